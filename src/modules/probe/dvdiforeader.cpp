#include "dvdiforeader.h"

#include "pesheader.h"
#include "programstreamreader.h"

#include <cctype>
#include <cstring>

namespace vl::probe {

namespace {

constexpr size_t audioCountOffset = 0x202;
constexpr size_t audioAttributesOffset = 0x204;
constexpr int maxAudioStreams = 8;
constexpr int codingMpeg1 = 2;
constexpr int codingMpeg2Extension = 3;

// The name of a sibling file in the letter case of the IFO's own name.
std::string inCaseOf(const std::string& reference, const std::string& upper)
{
    const bool lower = !reference.empty() && std::islower(static_cast<unsigned char>(reference.back()));
    std::string name = upper;
    if (lower) {
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return name;
}

std::unique_ptr<ByteSource> openSiblingAnyCase(const ByteSource& source, const std::string& upper)
{
    std::unique_ptr<ByteSource> sibling = source.openSibling(inCaseOf(source.fileName(), upper));
    if (!sibling) {
        std::string lower = upper;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        sibling = source.openSibling(lower);
        if (!sibling) {
            sibling = source.openSibling(upper);
        }
    }
    return sibling;
}

// "VTS_01_0.IFO" -> "VTS_01_1.VOB"; empty when the name is not of that form.
std::string firstVobName(const std::string& ifoName)
{
    if (ifoName.size() != 12) {
        return {};
    }
    std::string upper = ifoName;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (upper.compare(0, 4, "VTS_") != 0
        || (upper.compare(6, 6, "_0.IFO") != 0 && upper.compare(6, 6, "_0.BUP") != 0)) {
        return {};
    }
    return upper.substr(0, 6) + "_1.VOB";
}

ProbeResult readTitleSet(BoundedReader& reader, uint64_t budget)
{
    ProbeResult result;
    result.container = Container::DvdIfo;
    const uint8_t* p = reader.peek(0, audioAttributesOffset + maxAudioStreams * 8);
    if (!p) {
        result.status = reader.failed() ? Status::ReadFailed : Status::Malformed;
        return result;
    }
    const int count = be16(p + audioCountOffset);
    if (count > maxAudioStreams) {
        result.status = Status::Malformed;
        return result;
    }
    int stream = -1;
    for (int i = 0; i < count && stream < 0; ++i) {
        const int coding = p[audioAttributesOffset + i * 8] >> 5;
        if (coding == codingMpeg1 || coding == codingMpeg2Extension) {
            stream = i;
        }
    }
    if (stream < 0) {
        result.status = Status::NoAudio;
        return result;
    }
    const uint8_t* attributes = p + audioAttributesOffset + stream * 8;
    if (((attributes[1] >> 4) & 3) != 0) {
        result.status = Status::ReservedValue; // MPEG audio on DVD is 48 kHz only
        return result;
    }
    const int channels = (attributes[1] & 7) + 1;
    result.status = Status::Ok;
    result.audio.fields = FieldLayer | FieldSampleFrequency | FieldMode;
    result.audio.mpegVersion = 1;
    result.audio.layer = 2;
    result.audio.sampleFrequency = 48000;
    result.audio.channels = channels == 1 ? 1 : 2;
    result.audio.mode = channels == 1 ? 3 : 0;

    const std::string vobName = firstVobName(reader.source().fileName());
    if (vobName.empty()) {
        return result;
    }
    const std::unique_ptr<ByteSource> vob = openSiblingAnyCase(reader.source(), vobName);
    if (!vob) {
        return result;
    }
    BoundedReader vobReader(*vob, budget > reader.spent() ? budget - reader.spent() : 0);
    const ProbeResult fromVob = readProgramStream(vobReader, 0, 0xc0 + stream);
    result.bytesRead = vob->bytesRead();
    if (fromVob.status == Status::Ok) {
        result.audio = fromVob.audio;
        result.audio.audioOffset = -1; // an offset in the VOB, not in this file
    }
    return result;
}

} // namespace

bool looksLikeDvdIfo(const uint8_t* head, size_t n)
{
    return n >= 12 && (std::memcmp(head, "DVDVIDEO-VTS", 12) == 0 || std::memcmp(head, "DVDVIDEO-VMG", 12) == 0);
}

ProbeResult readDvdIfo(BoundedReader& reader, uint64_t budget)
{
    const uint8_t* head = reader.peek(0, 12);
    if (head && std::memcmp(head, "DVDVIDEO-VMG", 12) == 0) {
        ProbeResult result;
        result.container = Container::DvdIfo;
        const std::unique_ptr<ByteSource> titleSet = openSiblingAnyCase(reader.source(), "VTS_01_0.IFO");
        if (!titleSet) {
            return result;
        }
        BoundedReader titleReader(*titleSet, budget > reader.spent() ? budget - reader.spent() : 0);
        const uint8_t* titleHead = titleReader.peek(0, 12);
        if (!titleHead || std::memcmp(titleHead, "DVDVIDEO-VTS", 12) != 0) {
            result.bytesRead = titleSet->bytesRead();
            return result;
        }
        result = readTitleSet(titleReader, budget);
        result.bytesRead += titleSet->bytesRead();
        return result;
    }
    return readTitleSet(reader, budget);
}

} // namespace vl::probe
