#include "transportstreamreader.h"

#include "payloadbuffer.h"
#include "pesheader.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace vl::probe {

namespace {

constexpr int patPid = 0;
constexpr int nullPid = 0x1fff;
constexpr size_t maxSection = 1024;
// Without a PAT, give up waiting for one after this many packets.
constexpr uint64_t patPatience = 4096;
// Bytes without a packet grid after which the stream counts as ended.
constexpr uint64_t maxResync = 64 * 1024;

struct Candidate
{
    int pid;
    bool privateData; // stream type 0x06: MPEG audio only by its PES stream id or its payload
};

// A PES stream id whose payload may be MPEG audio: an MPEG audio id, or
// private stream 1, whose payload must show it.
bool mayCarryAudio(int streamId)
{
    return isMpegAudioStreamId(streamId) || streamId == privateStream1;
}

bool carriesAudio(const Candidate& c, int streamId)
{
    return isMpegAudioStreamId(streamId) || (c.privateData && streamId == privateStream1);
}

// One PID's view: the PSI section being assembled, or the audio PES payload.
struct PidState
{
    std::vector<uint8_t> section;
    bool sectionActive = false;
    int streamId = -1; // PES stream id of the first packet start, -1 unknown
    PayloadBuffer payload;
};

class TransportStreamParser
{
public:
    TransportStreamParser(BoundedReader& input, const TransportLayout& packetLayout)
        : reader(input)
        , layout(packetLayout)
    {
    }

    ProbeResult run();

private:
    bool readPacket(uint64_t pos, const uint8_t*& packet);
    void handlePacket(const uint8_t* packet);
    void handleSectionData(int pid, PidState& state, const uint8_t* payload, size_t n, bool unitStart);
    void handleSection(int pid, const uint8_t* section, size_t n);
    void handlePes(int pid, PidState& state, const uint8_t* payload, size_t n, bool unitStart, uint64_t fileOffset);
    bool isPmtPid(int pid) const { return std::find(pmtPids.begin(), pmtPids.end(), pid) != pmtPids.end(); }
    bool tablesComplete() const { return patSeen && pmtsParsed.size() == pmtPids.size(); }
    bool done();
    // Lost sync at pos: the distance to the next byte from which the packet
    // grid holds again (a sync byte, and one a packet further unless the data
    // ends first), or to where to look again.
    uint64_t resyncDistance(uint64_t pos);
    std::vector<const PayloadBuffer*> streamsInOrder() const;

    BoundedReader& reader;
    TransportLayout layout;
    std::map<int, PidState> pids;
    std::vector<int> pmtPids;
    std::vector<int> pmtsParsed;
    std::vector<Candidate> candidates;
    std::vector<int> audioPidsSeen; // PIDs whose PES may carry MPEG audio, in order of appearance
    bool patSeen = false;
    uint64_t packets = 0;
    uint64_t packetOffset = 0;
};

bool TransportStreamParser::done()
{
    if (!tablesComplete()) {
        if (patSeen || packets < patPatience) {
            return false;
        }
        // No PAT: any PID with enough of a stream will do, or enough of
        // every PID when none holds one.
        const auto holds = [this](int pid) { return pids.at(pid).payload.holdsStream(); };
        const auto full = [this](int pid) { return pids.at(pid).payload.enough(); };
        return std::any_of(audioPidsSeen.begin(), audioPidsSeen.end(), holds)
            || (!audioPidsSeen.empty() && std::all_of(audioPidsSeen.begin(), audioPidsSeen.end(), full));
    }
    // The first candidate in the programs' order that holds a stream decides;
    // one whose payload shows no stream makes way for the next.
    for (const Candidate& c : candidates) {
        const auto it = pids.find(c.pid);
        if (it == pids.end() || it->second.streamId < 0) {
            return false; // its first PES has not come by yet
        }
        if (!carriesAudio(c, it->second.streamId)) {
            continue;
        }
        PayloadBuffer& payload = it->second.payload;
        if (!payload.enough()) {
            return false;
        }
        if (payload.holdsStream()) {
            return true;
        }
    }
    return true; // the programs hold no MPEG audio
}

std::vector<const PayloadBuffer*> TransportStreamParser::streamsInOrder() const
{
    std::vector<const PayloadBuffer*> streams;
    if (patSeen && !pmtsParsed.empty()) {
        for (const Candidate& c : candidates) {
            const auto it = pids.find(c.pid);
            if (it != pids.end() && carriesAudio(c, it->second.streamId)) {
                streams.push_back(&it->second.payload);
            }
        }
        return streams;
    }
    for (const int pid : audioPidsSeen) {
        streams.push_back(&pids.at(pid).payload);
    }
    return streams;
}

void TransportStreamParser::handleSection(int pid, const uint8_t* s, size_t n)
{
    if (n < 12 || (s[5] & 1) == 0) {
        return; // too short for a PAT or PMT, or not yet applicable
    }
    const size_t end = n - 4; // the CRC
    if (pid == patPid && s[0] == 0x00) {
        patSeen = true;
        for (size_t at = 8; at + 4 <= end; at += 4) {
            const int program = be16(s + at);
            const int pmtPid = be16(s + at + 2) & 0x1fff;
            if (program != 0 && !isPmtPid(pmtPid)) {
                pmtPids.push_back(pmtPid);
            }
        }
        return;
    }
    if (s[0] != 0x02 || std::find(pmtsParsed.begin(), pmtsParsed.end(), pid) != pmtsParsed.end()) {
        return;
    }
    pmtsParsed.push_back(pid);
    size_t at = 12 + (be16(s + 10) & 0x0fff);
    while (at + 5 <= end) {
        const int type = s[at];
        const int esPid = be16(s + at + 1) & 0x1fff;
        if (type == 0x03 || type == 0x04 || type == 0x06) {
            candidates.push_back({ esPid, type == 0x06 });
        }
        at += 5 + (be16(s + at + 3) & 0x0fff);
    }
}

void TransportStreamParser::handleSectionData(
    int pid, PidState& state, const uint8_t* payload, size_t n, bool unitStart)
{
    size_t at = 0;
    if (unitStart) {
        const size_t pointer = payload[0];
        at = 1;
        if (state.sectionActive) {
            state.section.insert(state.section.end(), payload + at, payload + std::min(n, at + pointer));
        }
        at = std::min(n, at + pointer);
        if (state.sectionActive && state.section.size() >= 3) {
            // The previous section ended in this packet's pointer field.
            const size_t length = 3 + (be16(state.section.data() + 1) & 0x0fff);
            if (state.section.size() >= length) {
                handleSection(pid, state.section.data(), length);
            }
        }
        state.section.clear();
        state.sectionActive = true;
    }
    if (!state.sectionActive) {
        return;
    }
    state.section.insert(state.section.end(), payload + at, payload + n);
    if (state.section.size() >= 3) {
        const size_t length = 3 + (be16(state.section.data() + 1) & 0x0fff);
        if (length > maxSection) {
            state.sectionActive = false;
            state.section.clear();
        } else if (state.section.size() >= length) {
            handleSection(pid, state.section.data(), length);
            state.sectionActive = false;
            state.section.clear();
        }
    }
}

void TransportStreamParser::handlePes(
    int pid, PidState& state, const uint8_t* payload, size_t n, bool unitStart, uint64_t fileOffset)
{
    if (unitStart) {
        if (n < 4 || payload[0] != 0 || payload[1] != 0 || payload[2] != 1) {
            return;
        }
        if (state.streamId < 0) {
            state.streamId = payload[3];
            if (mayCarryAudio(state.streamId)) {
                audioPidsSeen.push_back(pid);
                state.payload = PayloadBuffer(state.streamId == privateStream1);
            }
        }
        if (!mayCarryAudio(state.streamId) || payload[3] != state.streamId || state.payload.enough()) {
            return;
        }
        const int offset = pesPayloadOffset(payload, n);
        if (offset > 0) {
            state.payload.append(payload + offset, n - offset, fileOffset + offset);
        }
        return;
    }
    if (mayCarryAudio(state.streamId) && state.payload.size() > 0 && !state.payload.enough()) {
        state.payload.append(payload, n, fileOffset);
    }
}

void TransportStreamParser::handlePacket(const uint8_t* packet)
{
    const uint8_t* ts = packet + layout.syncOffset;
    if (ts[1] & 0x80) {
        return; // transport error indicator: the packet is damaged
    }
    const int pid = be16(ts + 1) & 0x1fff;
    const bool unitStart = (ts[1] & 0x40) != 0;
    const int control = (ts[3] >> 4) & 3;
    if (pid == nullPid || (control & 1) == 0) {
        return;
    }
    size_t at = 4;
    if (control & 2) {
        at += 1 + ts[4];
    }
    if (at >= 188) {
        return;
    }
    const uint8_t* payload = ts + at;
    const size_t n = 188 - at;
    PidState& state = pids[pid];
    if (pid == patPid || isPmtPid(pid)) {
        handleSectionData(pid, state, payload, n, unitStart);
    } else {
        handlePes(pid, state, payload, n, unitStart, packetOffset + layout.syncOffset + at);
    }
}

uint64_t TransportStreamParser::resyncDistance(uint64_t pos)
{
    const size_t packetSize = static_cast<size_t>(layout.packetSize);
    const size_t sync = static_cast<size_t>(layout.syncOffset);
    const size_t avail = static_cast<size_t>(std::min<uint64_t>(reader.size() - pos, 3 * packetSize));
    const uint8_t* window = reader.peek(pos, avail);
    if (!window) {
        return 1; // the next read fails too and ends the loop
    }
    const size_t end = std::min(avail, sync + packetSize);
    for (size_t at = sync + 1; at < end; ++at) {
        const void* found = std::memchr(window + at, 0x47, end - at);
        if (!found) {
            break;
        }
        at = static_cast<size_t>(static_cast<const uint8_t*>(found) - window);
        if (at + packetSize >= avail || window[at + packetSize] == 0x47) {
            return at - sync;
        }
    }
    return end - sync;
}

ProbeResult TransportStreamParser::run()
{
    reader.setReadAhead(64 * 1024);
    const uint64_t size = reader.size();
    const uint64_t packetSize = static_cast<uint64_t>(layout.packetSize);
    bool stopped = false;
    uint64_t pos = layout.start;
    uint64_t lastPacketEnd = pos;
    while (pos + packetSize <= size) {
        if (pos - lastPacketEnd > maxResync) {
            break; // the stream has ended: a hole or other data follows
        }
        const uint8_t* packet = reader.peek(pos, static_cast<size_t>(packetSize));
        if (!packet) {
            stopped = true;
            break;
        }
        if (packet[layout.syncOffset] != 0x47) {
            pos += resyncDistance(pos);
            continue;
        }
        packetOffset = pos;
        ++packets;
        handlePacket(packet);
        pos += packetSize;
        lastPacketEnd = pos;
        if (done()) {
            stopped = true;
            break;
        }
    }
    ProbeResult result = firstUsableStream(streamsInOrder(), !stopped);
    if (result.status == Status::NoAudio && reader.failed()) {
        result.status = Status::ReadFailed;
    }
    return result;
}

} // namespace

bool detectTransportLayout(const uint8_t* head, size_t n, TransportLayout& layout)
{
    static constexpr int sizes[3][2] = { { 188, 0 }, { 192, 4 }, { 204, 0 } };
    for (const auto& [packetSize, syncOffset] : sizes) {
        for (size_t start = 0; start < static_cast<size_t>(packetSize) && start + syncOffset < n; ++start) {
            const size_t packets = std::min<size_t>(5, (n - start) / packetSize);
            if (packets < 2) {
                break;
            }
            bool ok = true;
            for (size_t k = 0; k < packets && ok; ++k) {
                ok = head[start + syncOffset + k * packetSize] == 0x47;
            }
            if (ok) {
                layout = { start, packetSize, syncOffset };
                return true;
            }
        }
    }
    return false;
}

ProbeResult readTransportStream(BoundedReader& reader, const TransportLayout& layout)
{
    TransportStreamParser parser(reader, layout);
    return parser.run();
}

} // namespace vl::probe
