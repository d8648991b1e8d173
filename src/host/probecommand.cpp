// probe: the first MPEG audio stream of each file as the import module
// describes it, as name=value text or one JSON object per line.
#include "commandline.h"
#include "commands.h"
#include "companionmodules.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vl::host {

namespace {

struct Field
{
    const char* name;
    std::string value; // empty: the file does not reveal it
    bool isText;
};

std::string fromTable(int32_t code, const std::vector<const char*>& names)
{
    return code >= 0 && static_cast<std::size_t>(code) < names.size() && names[code] ? names[code] : "";
}

Field number(const char* name, int64_t value)
{
    return { name, value < 0 ? std::string() : std::to_string(value), false };
}

// Names as in settings files where they have one there.
std::vector<Field> describe(const MpegInInfo& info)
{
    return {
        { "container",
            fromTable(info.container,
                { "unknown", "elementary", "program_stream", "transport_stream", "iso_media", "mxf", "dvd_ifo" }),
            true },
        number("mpeg_version", info.mpegVersion),
        number("layer", info.layer),
        { "mode", fromTable(info.mode, { "stereo", "joint_stereo", "dual_channel", "mono" }), true },
        number("bitrate", info.bitrateKbps),
        number("bitrate_index", info.bitrateIndex),
        number("sample_frequency", info.sampleFrequency),
        { "emphasis", fromTable(info.emphasis, { "none", "50/15", nullptr, "ccitt_j17" }), true },
        number("private", info.privateBit),
        number("copyright", info.copyrightBit),
        number("original", info.originalBit),
        number("error_protection", info.errorProtection),
        number("channels", info.channels),
        number("audio_offset", info.audioOffset),
    };
}

std::string jsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string asJson(const std::string& file, const std::vector<Field>& fields)
{
    std::string line = "{\"file\":" + jsonString(file);
    for (const Field& field : fields) {
        const std::string value = field.value.empty() ? "null" : field.isText ? jsonString(field.value) : field.value;
        line += ",\"" + std::string(field.name) + "\":" + value;
    }
    return line + "}";
}

std::string asText(const std::string& file, const std::vector<Field>& fields)
{
    std::string line = file + ":";
    for (const Field& field : fields) {
        if (!field.value.empty())
            line += " " + std::string(field.name) + "=" + field.value;
    }
    return line;
}

// The import module's result codes.
std::string failureReason(const std::string& file, int32_t result)
{
    struct stat status
    {
    };
    if (result == 1 && stat(file.c_str(), &status) != 0)
        return std::strerror(errno);
    switch (result) {
    case 1:
        return "not a regular file, or it cannot be opened";
    case 2:
        return "read error";
    case 3:
        return "no MPEG audio stream";
    case 4:
        return "the stream is Layer III";
    case 5:
        return "the stream uses free format";
    case 6:
        return "the stream uses a reserved value (emphasis 2 or an MPEG-2.5 sampling frequency)";
    case 7:
        return "the container contradicts itself";
    default:
        return "the import module failed with result " + std::to_string(result);
    }
}

} // namespace

int runProbe(const CommandLine& line, CompanionModules& modules)
{
    const MpegInInfoInitFunc init = modules.importInit();
    const MpegInGetInfoFunc getInfo = init ? modules.importGetInfo() : nullptr;
    if (!getInfo)
        return fail(modules.errorString());
    int status = exitSuccess;
    for (const std::string& file : line.files) {
        MpegInInfo info;
        init(&info);
        const int32_t result = getInfo(&info, file.c_str());
        if (result != 0) {
            std::fprintf(stderr, "mpa-settings: %s: %s\n", file.c_str(), failureReason(file, result).c_str());
            status = exitDeclined;
            continue;
        }
        const std::vector<Field> fields = describe(info);
        std::printf("%s\n", (line.json ? asJson(file, fields) : asText(file, fields)).c_str());
        std::fflush(stdout);
    }
    return status;
}

} // namespace vl::host
