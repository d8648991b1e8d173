#include "hostoptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {
struct Option
{
    const char* name;
    const char* value; // null for a switch
    const char* help;
    std::function<bool(HostOptions&, const char*)> apply;
};

// Whole-string integer in decimal or with a 0x prefix, within the range.
bool toInteger(const char* text, long long low, long long high, long long& value)
{
    if (!text || !*text)
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text, &end, 0);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

std::function<bool(HostOptions&, const char*)> field(int32_t EncoderSettings::*member, long long low, long long high)
{
    return [member, low, high](HostOptions& options, const char* text) {
        long long value = 0;
        if (!toInteger(text, low, high, value))
            return false;
        options.settings.*member = static_cast<int32_t>(value);
        return true;
    };
}

bool applyMode(HostOptions& options, const char* text)
{
    static const char* const names[] = { "stereo", "joint", "dual", "mono" };
    for (int32_t code = 0; code < 4; ++code) {
        if (std::strcmp(text, names[code]) == 0) {
            options.settings.mode = code;
            return true;
        }
    }
    long long value = 0;
    if (!toInteger(text, 0, 3, value))
        return false;
    options.settings.mode = static_cast<int32_t>(value);
    return true;
}

const std::vector<Option>& optionTable()
{
    static const std::vector<Option> table = {
        { "--library", "PATH", "dialog library to load (default: libvl_gui_mpa.so beside this program)",
            [](HostOptions& o, const char* v) {
                o.library = v;
                return true;
            } },
        { "--flags", "N", "dialog flags, decimal or 0x... (default 0x71)",
            [](HostOptions& o, const char* v) {
                long long value = 0;
                if (!toInteger(v, 0, 0xffffffffLL, value))
                    return false;
                o.flags = static_cast<uint32_t>(value);
                return true;
            } },
        { "--parent", "HANDLE", "native window handle of the host window",
            [](HostOptions& o, const char* v) {
                long long value = 0;
                if (!toInteger(v, 0, INT64_MAX, value))
                    return false;
                o.parent = static_cast<uint64_t>(value);
                return true;
            } },
        { "--title", "TEXT", "window title (passed in a parameter record)",
            [](HostOptions& o, const char* v) {
                o.title = v;
                return true;
            } },
        { "--banner", "PATH", "banner image (passed in a parameter record)",
            [](HostOptions& o, const char* v) {
                o.banner = v;
                return true;
            } },
        { "--audio-type", "N", "audio type id (0 MPEG-1, 4 MPEG-2 DVD, ...)",
            field(&EncoderSettings::audioType, INT32_MIN, INT32_MAX) },
        { "--sample-rate", "HZ", "sampling frequency in Hz", field(&EncoderSettings::sampleFrequency, 0, INT32_MAX) },
        { "--layer", "1|2", "layer", field(&EncoderSettings::layer, 1, 2) },
        { "--mode", "MODE", "stereo, joint, dual, mono or 0-3", applyMode },
        { "--bitrate-index", "N", "bitrate index 1-14", field(&EncoderSettings::bitrateIndex, 0, 15) },
        { "--psych-model", "1|2", "psychoacoustic model", field(&EncoderSettings::psychModel, 1, 2) },
        { "--emphasis", "0|1|3", "emphasis code", field(&EncoderSettings::emphasis, 0, 3) },
        { "--private", "0|1", "private bit", field(&EncoderSettings::privateBit, 0, 1) },
        { "--crc", "0|1", "error protection", field(&EncoderSettings::errorProtection, 0, 1) },
        { "--copyright", "0|1", "copyright bit", field(&EncoderSettings::copyrightBit, 0, 1) },
        { "--original", "0|1", "original bit", field(&EncoderSettings::originalBit, 0, 1) },
        { "--help", nullptr, "show this text",
            [](HostOptions& o, const char*) {
                o.help = true;
                return true;
            } },
    };
    return table;
}
} // namespace

EncoderSettings HostOptions::defaultSettings()
{
    EncoderSettings settings;
    std::memset(&settings, 0, sizeof settings);
    settings.mode = VL_MODE_JOINT_STEREO;
    settings.layer = 2;
    settings.psychModel = 1;
    settings.bitrateIndex = 11; // 224 kbps in MPEG-1 Layer II
    settings.emphasis = VL_EMPHASIS_NONE;
    settings.audioType = VL_AUDIO_MPEG1;
    settings.sampleFrequency = 48000;
    return settings;
}

bool parseHostOptions(int argc, const char* const* argv, HostOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const char* const argument = argv[i];
        const Option* match = nullptr;
        for (const Option& option : optionTable()) {
            if (std::strcmp(argument, option.name) == 0)
                match = &option;
        }
        if (!match) {
            error = std::string("unknown option ") + argument;
            return false;
        }
        const char* value = nullptr;
        if (match->value) {
            if (i + 1 >= argc) {
                error = std::string(argument) + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!match->apply(options, value)) {
            error = std::string("bad value for ") + argument + ": " + value;
            return false;
        }
    }
    return true;
}

std::string hostUsage(const char* program)
{
    std::string text = std::string("usage: ") + program + " [options]\n"
        + "Shows the MPEG-1/2 audio encoder settings dialog for a settings block and prints\n"
        + "the result code and the block's fields, one name=value per line.\n\n";
    for (const Option& option : optionTable()) {
        std::string left = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        left.resize(std::max<std::size_t>(left.size() + 1, 26), ' ');
        text += left + option.help + "\n";
    }
    return text;
}

std::vector<std::string> describeSettings(const EncoderSettings& settings)
{
    const std::pair<const char*, int32_t> fields[] = {
        { "mode", settings.mode },
        { "layer", settings.layer },
        { "psychModel", settings.psychModel },
        { "bitrateIndex", settings.bitrateIndex },
        { "emphasis", settings.emphasis },
        { "privateBit", settings.privateBit },
        { "errorProtection", settings.errorProtection },
        { "copyrightBit", settings.copyrightBit },
        { "originalBit", settings.originalBit },
        { "audioType", settings.audioType },
        { "sampleFrequency", settings.sampleFrequency },
    };
    std::vector<std::string> lines;
    for (const auto& entry : fields)
        lines.push_back(std::string(entry.first) + "=" + std::to_string(entry.second));
    return lines;
}
