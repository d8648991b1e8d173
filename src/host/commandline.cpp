#include "commandline.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>

namespace vl::host {

namespace {

using Apply = std::function<bool(CommandLine&, const char*)>;

constexpr unsigned bit(Command command)
{
    return 1u << static_cast<unsigned>(command);
}

constexpr unsigned dialogCommands = bit(Command::Show) | bit(Command::Edit);
constexpr unsigned allCommands = dialogCommands | bit(Command::Probe) | bit(Command::Check) | bit(Command::Encode);

struct Option
{
    const char* name;
    const char* value; // null for a switch
    const char* help;
    unsigned commands; // bits of the commands that take it
    Apply apply;
};

struct CommandInfo
{
    Command command;
    const char* name;
    const char* operands; // synopsis of the operands
    std::size_t minOperands;
    std::size_t maxOperands;
    const char* summary; // one line for the program's help
    const char* description;
    const char* exitStatus;
};

constexpr std::size_t many = static_cast<std::size_t>(-1);

const CommandInfo commands[] = {
    { Command::Show, "show", "", 0, 0, "show the dialog on a block made from options, print the result (default)",
        "Shows the settings dialog on a settings block made from the options and prints\n"
        "the dialog's result code and the block's fields, one name=value per line.\n",
        "0 accepted, 1 cancelled, 2 an error (bad option, the dialog could not start)" },
    { Command::Edit, "edit", "FILE", 1, 1, "edit a settings file in the dialog",
        "Loads FILE (.ini or .cfg) through the settings-file module, or, when it does\n"
        "not exist, the encoder module's defaults for the audio type; --from takes the\n"
        "parameters of an MPEG file on top. Shows the dialog and saves FILE on OK;\n"
        "Cancel leaves it as it was. The audio type is chosen with --audio-type: the\n"
        "dialog does not hand a type back, so its audio type box is locked.\n",
        "0 saved, 1 cancelled, 2 an error (bad option, unreadable file, not saved)" },
    { Command::Probe, "probe", "FILE...", 1, many, "print the encoding parameters of MPEG files",
        "Prints the parameters of the first MPEG-1/2 Layer I or II audio stream of each\n"
        "file as the import module reads them, one line per file. A file that cannot\n"
        "be read gets its reason on stderr; the other files are still printed.\n",
        "0 every file read, 1 a file could not be read, 2 bad option or no import module" },
    { Command::Check, "check", "FILE", 1, 1, "check a settings file for its audio type",
        "Runs the encoder module's settings check on FILE (a settings file or an MPEG\n"
        "file) and prints each finding with its level.\n",
        "0 the settings pass, 1 they fail, 2 bad option or a file that cannot be loaded" },
    { Command::Encode, "encode", "--settings FILE IN OUT", 2, 2,
        "encode PCM audio to MPEG-1/2 Layer II with a settings file",
        "Encodes the PCM audio file IN (WAV, AIFF, FLAC, ... as libsndfile reads them)\n"
        "to MPEG audio Layer II in OUT with libtwolame, with the settings of --settings.\n"
        "The settings are checked at IN's sampling frequency first; OUT appears only\n"
        "when the whole file was encoded. A progress bar goes to stderr when it is a\n"
        "terminal.\n",
        "0 encoded, 1 the settings check failed (nothing written), 2 an error" },
};

const CommandInfo& infoOf(Command command)
{
    return commands[static_cast<std::size_t>(command)];
}

// Whole-string integer in decimal or with a 0x prefix, within the range; a
// leading zero does not make it octal ("08" is 8).
bool toInteger(const char* text, long long low, long long high, long long& value)
{
    if (!text || !*text)
        return false;
    const bool hexadecimal = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text, &end, hexadecimal ? 16 : 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

Apply field(int32_t EncoderSettings::*member, std::initializer_list<long long> allowed)
{
    const std::vector<long long> values(allowed);
    return [member, values](CommandLine& line, const char* text) {
        long long value = 0;
        if (!toInteger(text, LLONG_MIN, LLONG_MAX, value)
            || std::find(values.begin(), values.end(), value) == values.end())
            return false;
        line.settings.*member = static_cast<int32_t>(value);
        return true;
    };
}

Apply flag(int32_t EncoderSettings::*member)
{
    return field(member, { 0, 1 });
}

// For std::string and std::optional<std::string> members.
template<typename Text>
Apply text(Text CommandLine::*member)
{
    return [member](CommandLine& line, const char* value) {
        line.*member = value;
        return true;
    };
}

Apply integer(std::optional<int32_t> CommandLine::*member, long long low)
{
    return [member, low](CommandLine& line, const char* text) {
        long long value = 0;
        if (!toInteger(text, low, INT32_MAX, value))
            return false;
        line.*member = static_cast<int32_t>(value);
        return true;
    };
}

Apply setSwitch(bool CommandLine::*member)
{
    return [member](CommandLine& line, const char*) {
        line.*member = true;
        return true;
    };
}

bool applyMode(CommandLine& line, const char* text)
{
    static const char* const names[] = { "stereo", "joint", "dual", "mono" };
    for (int32_t code = 0; code < 4; ++code) {
        if (std::strcmp(text, names[code]) == 0) {
            line.settings.mode = code;
            return true;
        }
    }
    long long value = 0;
    if (!toInteger(text, 0, 3, value))
        return false;
    line.settings.mode = static_cast<int32_t>(value);
    return true;
}

bool applyLanguage(CommandLine& line, const char* text)
{
    if (std::strcmp(text, "de") == 0)
        line.language = 7;
    else if (std::strcmp(text, "ja") == 0)
        line.language = 17;
    else
        return false;
    return true;
}

bool applyFlags(CommandLine& line, const char* text)
{
    long long value = 0;
    if (!toInteger(text, 0, UINT32_MAX, value))
        return false;
    line.flags = static_cast<uint32_t>(value);
    return true;
}

bool applyParent(CommandLine& line, const char* text)
{
    long long value = 0;
    if (!toInteger(text, 0, INT64_MAX, value))
        return false;
    line.parent = static_cast<uint64_t>(value);
    return true;
}

const std::vector<Option>& optionTable()
{
    constexpr unsigned show = bit(Command::Show);
    static const std::vector<Option> table = {
        { "--settings", "FILE", "settings file (.ini, .cfg) to encode with; required", bit(Command::Encode),
            text(&CommandLine::settingsFile) },
        { "--from", "MEDIA", "take layer, mode, bitrate, frequency, emphasis and bits from an MPEG file",
            bit(Command::Edit), text(&CommandLine::from) },
        { "--audio-type", "N", "audio type id (0 MPEG-1, 1 VideoCD, 4 MPEG-2 DVD, ...)",
            show | bit(Command::Edit) | bit(Command::Check) | bit(Command::Encode),
            integer(&CommandLine::audioType, INT32_MIN) },
        { "--sample-rate", "HZ", "sampling frequency in Hz (default 48000, or the file's)",
            show | bit(Command::Edit) | bit(Command::Check), integer(&CommandLine::sampleFrequency, 1) },
        { "--lang", "de|ja", "print the findings in German or Japanese", bit(Command::Check), applyLanguage },
        { "--json", nullptr, "one JSON object per line instead of name=value text", bit(Command::Probe),
            setSwitch(&CommandLine::json) },
        { "--layer", "1|2", "layer", show, field(&EncoderSettings::layer, { 1, 2 }) },
        { "--mode", "MODE", "stereo, joint, dual, mono or 0-3", show, applyMode },
        { "--bitrate-index", "N", "bitrate index 1-14", show,
            field(&EncoderSettings::bitrateIndex, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14 }) },
        { "--psych-model", "1|2", "psychoacoustic model", show, field(&EncoderSettings::psychModel, { 1, 2 }) },
        { "--emphasis", "0|1|3", "emphasis: none, 50/15 us, CCITT J.17", show,
            field(&EncoderSettings::emphasis, { 0, 1, 3 }) },
        { "--private", "0|1", "private bit", show, flag(&EncoderSettings::privateBit) },
        { "--crc", "0|1", "error protection", show, flag(&EncoderSettings::errorProtection) },
        { "--copyright", "0|1", "copyright bit", show, flag(&EncoderSettings::copyrightBit) },
        { "--original", "0|1", "original bit", show, flag(&EncoderSettings::originalBit) },
        { "--flags", "N", "dialog flags, decimal or 0x... (default 0x71; edit 0x2071)", dialogCommands, applyFlags },
        { "--parent", "HANDLE", "native window handle of the host window", dialogCommands, applyParent },
        { "--title", "TEXT", "window title", dialogCommands, text(&CommandLine::title) },
        { "--banner", "PATH", "banner image", dialogCommands, text(&CommandLine::banner) },
        { "--library", "PATH", "dialog library; the modules are taken from its directory", allCommands,
            text(&CommandLine::library) },
        { "--verbose", nullptr, "also print the library's and Qt's messages", allCommands,
            setSwitch(&CommandLine::verbose) },
        { "--version", nullptr, "print the version and exit", allCommands, setSwitch(&CommandLine::version) },
        { "--help", nullptr, "print this text and exit", allCommands, setSwitch(&CommandLine::help) },
    };
    return table;
}

const Option* findOption(const std::string& name)
{
    for (const Option& option : optionTable()) {
        if (name == option.name)
            return &option;
    }
    return nullptr;
}

// Applies one option; index moves past a separate value.
bool applyOption(int argc, const char* const* argv, int& index, CommandLine& line, std::string& error)
{
    const std::string argument = argv[index];
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const Option* const option = findOption(name);
    if (!option || !(option->commands & bit(line.command))) {
        error = (option ? name + " is not an option of " + commandName(line.command) : "unknown option " + name);
        return false;
    }
    std::string value;
    if (!option->value) {
        if (equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
    } else if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
    } else if (index + 1 < argc) {
        value = argv[++index];
    } else {
        error = name + " needs a value";
        return false;
    }
    if (!option->apply(line, value.c_str())) {
        error = "bad value for " + name + ": " + value;
        return false;
    }
    return true;
}

bool checkOperands(const CommandLine& line, std::string& error)
{
    const CommandInfo& info = infoOf(line.command);
    const std::size_t count = line.files.size();
    if (count >= info.minOperands && count <= info.maxOperands)
        return true;
    const std::string usage = std::string(info.name) + " " + info.operands;
    if (line.command == Command::Show) {
        error = "unknown command " + line.files.front();
        return false;
    }
    error = count < info.minOperands ? "missing operand; usage: " + usage : "too many operands; usage: " + usage;
    return false;
}

std::string optionLines(Command command)
{
    std::string text;
    for (const Option& option : optionTable()) {
        if (!(option.commands & bit(command)))
            continue;
        std::string left = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        left.resize(std::max<std::size_t>(left.size() + 1, 26), ' ');
        text += left + option.help + "\n";
    }
    return text;
}

const CommandInfo* findCommand(const char* name)
{
    for (const CommandInfo& info : commands) {
        if (std::strcmp(name, info.name) == 0)
            return &info;
    }
    return nullptr;
}

// The command is the first argument that is neither an option nor an
// option's value, so options of every command may come before it; 0 when
// there is none.
int commandIndex(int argc, const char* const* argv)
{
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--")
            return 0;
        if (argument.size() > 1 && argument[0] == '-') {
            const Option* const option = findOption(argument.substr(0, argument.find('=')));
            if (option && option->value && argument.find('=') == std::string::npos)
                ++index;
            continue;
        }
        return findCommand(argv[index]) ? index : 0;
    }
    return 0;
}

} // namespace

EncoderSettings CommandLine::showDefaults()
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

uint32_t CommandLine::dialogFlags() const
{
    constexpr uint32_t standard
        = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK | VL_FLAG_COLOURED_MESSAGES;
    if (flags)
        return *flags;
    return command == Command::Edit ? standard | VL_FLAG_LOCK_AUDIO_TYPE : standard;
}

const char* commandName(Command command)
{
    return infoOf(command).name;
}

bool parseCommandLine(int argc, const char* const* argv, CommandLine& line, std::string& error)
{
    const int named = commandIndex(argc, argv);
    if (named > 0)
        line.command = findCommand(argv[named])->command;
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const char* const argument = argv[index];
        if (index == named)
            continue;
        if (!optionsEnded && std::strcmp(argument, "--") == 0)
            optionsEnded = true;
        else if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
            if (!applyOption(argc, argv, index, line, error))
                return false;
        } else
            line.files.push_back(argument);
    }
    if (line.audioType)
        line.settings.audioType = *line.audioType;
    if (line.sampleFrequency)
        line.settings.sampleFrequency = *line.sampleFrequency;
    if (line.help || line.version)
        return true;
    if (line.command == Command::Encode && !line.settingsFile) {
        error = "encode needs --settings FILE";
        return false;
    }
    return checkOperands(line, error);
}

std::string programUsage()
{
    std::string text = "usage: mpa-settings [COMMAND] [OPTIONS] [FILE...]\n"
                       "Edits, checks and uses MPEG-1/2 audio encoder settings through the settings\n"
                       "dialog library and its companion modules.\n\nCommands:\n";
    for (const CommandInfo& info : commands) {
        std::string left = std::string("  ") + info.name;
        left.resize(12, ' ');
        text += left + info.summary + "\n";
    }
    text += "\nRun \"mpa-settings COMMAND --help\" for the options of a command. Without a\n"
            "command, mpa-settings runs show, whose options are:\n"
        + optionLines(Command::Show);
    text += "\nExit status: 0 success (accepted, saved, passed), 1 the user cancelled, the\n"
            "check failed or a file could not be probed, 2 an error.\n";
    return text;
}

std::string commandUsage(Command command)
{
    const CommandInfo& info = infoOf(command);
    std::string synopsis = std::string("usage: mpa-settings ") + info.name + " [OPTIONS]";
    if (*info.operands)
        synopsis += std::string(" ") + info.operands;
    return synopsis + "\n" + info.description + "\nOptions:\n" + optionLines(command)
        + "\nExit status: " + info.exitStatus + ".\n";
}

} // namespace vl::host
