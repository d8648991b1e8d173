#ifndef VL_HOST_COMMANDLINE_H
#define VL_HOST_COMMANDLINE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <veltrano/mpa_dialog.h>
#include <veltrano/mpa_settings.h>

namespace vl::host {

enum class Command { Show, Edit, Probe, Check, Encode };

// Everything the command line of mpa-settings can say. Every option is one
// row of a table (commandline.cpp) that also names the commands taking it,
// so a new option is one more row and appears in the right --help texts.
struct CommandLine
{
    Command command = Command::Show; // also when no command is named
    bool help = false;
    bool version = false;
    bool verbose = false;
    bool json = false; // probe --json
    std::string library; // empty: libvl_gui_mpa.so beside the program or through its run path

    // Dialog options (show, edit). Edit locks the audio type unless --flags
    // says otherwise, because the dialog never hands the type back.
    std::optional<uint32_t> flags;
    uint64_t parent = 0; // native host window handle
    std::optional<std::string> title;
    std::optional<std::string> banner;

    std::optional<int32_t> audioType;
    std::optional<int32_t> sampleFrequency;
    std::optional<std::string> from; // edit --from MEDIA
    std::optional<std::string> settingsFile; // encode --settings FILE
    std::optional<uint16_t> language; // check --lang: 7 German, 17 Japanese

    // Show's block: MPEG-1 Layer II, 48 kHz, 224 kbps, joint stereo,
    // psychoacoustic model 1, audio type "MPEG-1", changed by the field
    // options and by --audio-type and --sample-rate.
    EncoderSettings settings = showDefaults();

    std::vector<std::string> files; // the command's operands, in order

    static EncoderSettings showDefaults();
    uint32_t dialogFlags() const;
};

// Parses argv[1..]. The first argument may name the command; without one the
// command is show. Options take their value as the next argument or after
// '='; "--" ends the options. False with a message on an unknown option, a
// value outside the range the help gives, or a wrong number of operands
// (unless --help or --version was given).
bool parseCommandLine(int argc, const char* const* argv, CommandLine& line, std::string& error);

// The --help text of the program, or of one command.
std::string programUsage();
std::string commandUsage(Command command);
const char* commandName(Command command);

} // namespace vl::host

#endif
