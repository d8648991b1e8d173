#ifndef VL_HOST_HOSTOPTIONS_H
#define VL_HOST_HOSTOPTIONS_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <veltrano/mpa_settings.h>

// Command line of the mpa-settings host. Every option is one entry of a
// table (see hostoptions.cpp), so a new option is one more entry.
struct HostOptions
{
    std::string library; // empty: libvl_gui_mpa.so beside the program
    uint32_t flags = 0x71; // tab, Load/Save, no initial check, coloured messages
    uint64_t parent = 0; // native host window handle
    std::optional<std::string> title;
    std::optional<std::string> banner;
    bool help = false;

    // The block handed to the dialog: MPEG-1 Layer II, 48 kHz, 224 kbps,
    // joint stereo, psychoacoustic model 1, audio type "MPEG-1".
    EncoderSettings settings = defaultSettings();

    static EncoderSettings defaultSettings();
};

// Parses argv[1..]; false with a message on an unknown option or a bad value.
bool parseHostOptions(int argc, const char* const* argv, HostOptions& options, std::string& error);
// The --help text.
std::string hostUsage(const char* program);
// "name=value" lines of the settings block's fields, in block order.
std::vector<std::string> describeSettings(const EncoderSettings& settings);

#endif
