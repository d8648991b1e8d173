// The command line of mpa-settings: argument lists and what the program makes of them.
#include "commandline.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

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
        { std::pair { " title=", line.title }, { " from=", line.from }, { " settings=", line.settingsFile } })
        text << (value ? name + *value : "");
    if (line.language)
        text << " language=" << *line.language;
    text << (line.json ? " json" : "") << (line.help ? " help" : "") << (line.version ? " version" : "");
    for (const std::string& file : line.files)
        text << " [" << file << "]";
    return text.str();
}

// The arguments, split at spaces, and the summary, or "error".
const std::pair<const char*, const char*> rows[] = {
    { "", "show flags=0x71 block=2/1/11/1/0/0000/0/48000" },
    { "--layer 1 --mode mono --psych-model 2 --bitrate-index 14 --emphasis 3 --private 1 --crc 1 --copyright 1 "
      "--original 1 --audio-type 4 --sample-rate 22050",
        "show flags=0x71 block=1/3/14/2/3/1111/4/22050" },
    // Values after '=', a numeric mode, a leading zero that is not octal.
    { "show --mode=2 --bitrate-index=08 --emphasis 1 --flags 0x2011 --title Host --parent 0x2a",
        "show flags=0x2011 block=2/2/8/1/1/0000/0/48000 parent=42 title=Host" },
    { "edit dvd.ini --audio-type 4 --from clip.mpg",
        "edit flags=0x2071 block=2/1/11/1/0/0000/4/48000 from=clip.mpg [dvd.ini]" },
    { "probe --json a.mpg b.ts", "probe flags=0x71 block=2/1/11/1/0/0000/0/48000 json [a.mpg] [b.ts]" },
    { "check a.ini --lang ja --sample-rate 44100",
        "check flags=0x71 block=2/1/11/1/0/0000/0/44100 language=17 [a.ini]" },
    { "encode in.wav --settings s.ini out.mp2",
        "encode flags=0x71 block=2/1/11/1/0/0000/0/48000 settings=s.ini [in.wav] [out.mp2]" },
    { "probe -- --json -", "probe flags=0x71 block=2/1/11/1/0/0000/0/48000 [--json] [-]" },
};

const char* const refused[] = { "--colour", "convert", "--bitrate-index 15", "--emphasis 2", "--layer", "--flags 0x1z",
    "--mode quad", "--sample-rate 0", "probe --json=1 a", "probe --layer 1 a.mpg", "edit", "edit a.ini b.ini",
    "encode in.wav out.mp2", "check --lang fr a.ini" };

bool parse(const char* arguments, vl::host::CommandLine& line, std::string& error)
{
    std::istringstream words(std::string("mpa-settings ") + arguments);
    const std::vector<std::string> strings { std::istream_iterator<std::string>(words), {} };
    std::vector<const char*> argv;
    for (const std::string& word : strings)
        argv.push_back(word.c_str());
    return vl::host::parseCommandLine(int(argv.size()), argv.data(), line, error);
}

TEST(CommandLine, ParsesAsTheHelpSays)
{
    for (const auto& [arguments, expected] : rows) {
        vl::host::CommandLine line;
        std::string error;
        EXPECT_TRUE(parse(arguments, line, error)) << arguments << ": " << error;
        EXPECT_EQ(summary(line), expected) << arguments;
    }
    for (const char* arguments : refused) {
        vl::host::CommandLine line;
        std::string error;
        EXPECT_FALSE(parse(arguments, line, error)) << arguments << ": " << summary(line);
        EXPECT_FALSE(error.empty()) << arguments;
    }
}

} // namespace
