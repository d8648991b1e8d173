// The command line of mpa-settings: each row is an argument list and what
// the program must make of it, with the ranges and commands its --help
// names.
#include "commandline.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Row
{
    const char* name;
    std::vector<const char*> arguments;
    const char* expected; // summary of the parse, or "error"
};

std::ostream& operator<<(std::ostream& stream, const Row& row)
{
    return stream << row.name;
}

// What a parse produced, in one line, so a row states it in one string.
std::string summary(const vl::host::CommandLine& line)
{
    const EncoderSettings& s = line.settings;
    std::ostringstream text;
    text << vl::host::commandName(line.command) << " flags=0x" << std::hex << line.dialogFlags() << std::dec
         << " block=" << s.layer << "/" << s.mode << "/" << s.bitrateIndex << "/" << s.psychModel << "/" << s.emphasis
         << "/" << s.privateBit << s.errorProtection << s.copyrightBit << s.originalBit << "/" << s.audioType << "/"
         << s.sampleFrequency;
    if (line.parent)
        text << " parent=" << line.parent;
    for (const auto& [name, value] :
        { std::pair { "title", line.title }, { "from", line.from }, { "settings", line.settingsFile } }) {
        if (value)
            text << " " << name << "=" << *value;
    }
    if (line.language)
        text << " language=" << *line.language;
    for (const auto& [name, set] :
        { std::pair { " json", line.json }, { " help", line.help }, { " version", line.version } })
        text << (set ? name : "");
    for (const std::string& file : line.files)
        text << " [" << file << "]";
    return text.str();
}

class CommandLineRows : public testing::TestWithParam<Row>
{
};

TEST_P(CommandLineRows, ParsesAsTheHelpSays)
{
    std::vector<const char*> argv { "mpa-settings" };
    argv.insert(argv.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    vl::host::CommandLine line;
    std::string error;
    const bool parsed = vl::host::parseCommandLine(int(argv.size()), argv.data(), line, error);
    if (std::string(GetParam().expected) == "error") {
        EXPECT_FALSE(parsed) << summary(line);
        EXPECT_FALSE(error.empty());
    } else {
        EXPECT_TRUE(parsed) << error;
        EXPECT_EQ(summary(line), GetParam().expected);
    }
}

const Row rows[] = {
    { "no arguments show the default block", {}, "show flags=0x71 block=2/1/11/1/0/0000/0/48000" },
    { "every field of show",
        { "--layer", "1", "--mode", "mono", "--psych-model", "2", "--bitrate-index", "14", "--emphasis", "3",
            "--private", "1", "--crc", "1", "--copyright", "1", "--original", "1", "--audio-type", "4", "--sample-rate",
            "22050" },
        "show flags=0x71 block=1/3/14/2/3/1111/4/22050" },
    { "named show, values after '=', numeric mode, a leading zero that is not octal",
        { "show", "--mode=2", "--bitrate-index=08", "--emphasis", "1", "--flags", "0x2011", "--title", "Host",
            "--parent", "0x2a" },
        "show flags=0x2011 block=2/2/8/1/1/0000/0/48000 parent=42 title=Host" },
    { "edit locks the audio type", { "edit", "dvd.ini", "--audio-type", "4", "--from", "clip.mpg" },
        "edit flags=0x2071 block=2/1/11/1/0/0000/4/48000 from=clip.mpg [dvd.ini]" },
    { "edit with flags of its own", { "edit", "--flags", "0x71", "a.ini" },
        "edit flags=0x71 block=2/1/11/1/0/0000/0/48000 [a.ini]" },
    { "probe several files as JSON", { "probe", "--json", "a.mpg", "b.ts", "c.mp2" },
        "probe flags=0x71 block=2/1/11/1/0/0000/0/48000 json [a.mpg] [b.ts] [c.mp2]" },
    { "check in Japanese", { "check", "a.ini", "--lang", "ja", "--sample-rate", "44100" },
        "check flags=0x71 block=2/1/11/1/0/0000/0/44100 language=17 [a.ini]" },
    { "check in German", { "check", "--lang=de", "a.ini" },
        "check flags=0x71 block=2/1/11/1/0/0000/0/48000 language=7 [a.ini]" },
    { "encode", { "encode", "in.wav", "--settings", "s.ini", "out.mp2" },
        "encode flags=0x71 block=2/1/11/1/0/0000/0/48000 settings=s.ini [in.wav] [out.mp2]" },
    { "operands after --", { "probe", "--", "--json", "-" },
        "probe flags=0x71 block=2/1/11/1/0/0000/0/48000 [--json] [-]" },
    { "help needs no operands", { "encode", "--help" }, "encode flags=0x71 block=2/1/11/1/0/0000/0/48000 help" },
    { "version anywhere", { "check", "--version" }, "check flags=0x71 block=2/1/11/1/0/0000/0/48000 version" },

    { "unknown option", { "--colour" }, "error" },
    { "unknown command is an operand show does not take", { "convert" }, "error" },
    { "bitrate index 15", { "--bitrate-index", "15" }, "error" },
    { "bitrate index 0", { "--bitrate-index", "0" }, "error" },
    { "reserved emphasis 2", { "--emphasis", "2" }, "error" },
    { "layer 3", { "--layer", "3" }, "error" },
    { "missing value", { "--layer" }, "error" },
    { "trailing garbage", { "--flags", "0x1z" }, "error" },
    { "unknown mode name", { "--mode", "quad" }, "error" },
    { "sampling frequency 0", { "--sample-rate", "0" }, "error" },
    { "a switch with a value", { "probe", "--json=1", "a" }, "error" },
    { "an option of another command", { "probe", "--layer", "1", "a.mpg" }, "error" },
    { "edit without a file", { "edit" }, "error" },
    { "edit with two files", { "edit", "a.ini", "b.ini" }, "error" },
    { "encode without settings", { "encode", "in.wav", "out.mp2" }, "error" },
    { "a language without translation", { "check", "--lang", "fr", "a.ini" }, "error" },
};

INSTANTIATE_TEST_SUITE_P(Rows, CommandLineRows, testing::ValuesIn(rows));

TEST(CommandLineHelp, EachCommandListsItsOwnOptionsAndExitStatus)
{
    const std::pair<vl::host::Command, std::vector<const char*>> expectations[] = {
        { vl::host::Command::Show, { "--bitrate-index N", "1-14", "0|1|3", "0 accepted, 1 cancelled, 2" } },
        { vl::host::Command::Edit, { "--from", "--audio-type", "--title", "0 saved, 1 cancelled, 2" } },
        { vl::host::Command::Probe, { "--json", "--library", "Exit status" } },
        { vl::host::Command::Check, { "--lang de|ja", "0 the settings pass, 1 they fail, 2" } },
        { vl::host::Command::Encode, { "--settings FILE IN OUT", "Exit status" } },
    };
    for (const auto& [command, parts] : expectations) {
        const std::string text = vl::host::commandUsage(command);
        for (const char* part : parts)
            EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
        EXPECT_EQ(text.find(command == vl::host::Command::Show ? "--json" : "--layer"), std::string::npos) << text;
    }
}

} // namespace
