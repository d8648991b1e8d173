// The settings-file text format, its round trip, and the atomic, content-keeping save.
#include "rowname.h"
#include "tempdir.h"

#include <climits>
#include <config/atomicfile.h>
#include <config/configio.h>
#include <config/pathname.h>
#include <config/settingsfile.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#ifndef _WIN32
#include "nonblocking.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace vl::config;
namespace fs = std::filesystem;

namespace {

using S = EncoderSettings;
using Fields = std::vector<std::pair<int32_t S::*, int32_t>>;

EncoderSettings filledBlock(uint8_t fill, const Fields& fields = {})
{
    EncoderSettings s;
    std::memset(&s, fill, sizeof s);
    for (const auto& [field, value] : fields)
        s.*field = value;
    return s;
}

// Recognisable values in every field (index 10: 192 kbit/s), then `change`.
EncoderSettings baseBlock(const Fields& change = {})
{
    Fields fields = { { &S::mode, VL_MODE_STEREO }, { &S::layer, 2 }, { &S::psychModel, 1 }, { &S::bitrateIndex, 10 },
        { &S::emphasis, VL_EMPHASIS_NONE }, { &S::privateBit, 0 }, { &S::errorProtection, 0 }, { &S::copyrightBit, 0 },
        { &S::originalBit, 1 }, { &S::audioType, VL_AUDIO_MPEG2_DVD }, { &S::sampleFrequency, 48000 } };
    fields.insert(fields.end(), change.begin(), change.end());
    return filledBlock(0xa5, fields);
}

bool sameBlock(const EncoderSettings& a, const EncoderSettings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeText(const std::string& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// Saves baseBlock(change) to file: 0 on success, as saveSettings.
int32_t save(const std::string& file, const Fields& change = {})
{
    EncoderSettings s = baseBlock(change);
    return saveSettings(&s, file.c_str());
}

// The block loading file into baseBlock() gives; baseBlock() when it fails.
EncoderSettings loaded(const std::string& file)
{
    EncoderSettings s = baseBlock();
    return loadSettings(&s, file.c_str()) == 0 ? s : baseBlock();
}

const Fields mono = { { &S::mode, VL_MODE_MONO } };

// ---- text ------------------------------------------------------------------

// name, text, what loading it changes in baseBlock()
using LoadCase = std::tuple<const char*, std::string, Fields>;

const std::string head = "[MPEG Audio]\n";

const LoadCase loadCases[] = {
    { "every_key",
        head
            + "audio_type = 13\nsample_frequency = 44100\nlayer = 1\nmode = dual_channel\nbitrate = 448\n"
              "psychoacoustic_model = 2\nemphasis = ccitt_j17\nprivate = 1\ncopyright = yes\noriginal = off\n"
              "error_protection = true\n",
        { { &S::audioType, 13 }, { &S::sampleFrequency, 44100 }, { &S::layer, 1 }, { &S::mode, VL_MODE_DUAL_CHANNEL },
            { &S::bitrateIndex, 14 }, { &S::psychModel, 2 }, { &S::emphasis, VL_EMPHASIS_CCITT_J17 },
            { &S::privateBit, 1 }, { &S::copyrightBit, 1 }, { &S::originalBit, 0 }, { &S::errorProtection, 1 } } },
    { "names_in_any_case", "[mpeg audio]\nMODE = Joint Stereo\nEmphasis = 50/15\n",
        { { &S::mode, VL_MODE_JOINT_STEREO }, { &S::emphasis, VL_EMPHASIS_50_15 } } },
    { "comments_and_foreign_keys",
        "; written by hand\n# another comment\n[Video]\nbitrate = 9000\nfoo=bar\n\n[MPEG Audio]\n"
        "  colour = blue\nmode = mono ; trailing comment\nbitrate = 64 # also a comment\n[Other]\nmode = x\n",
        { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 4 } } },
    { "crlf_and_byte_order_mark", "\xEF\xBB\xBF[MPEG Audio]\r\nmode = mono\r\nbitrate = 384\r\n",
        { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 14 } } },
    { "later_duplicate_wins", head + "mode = mono\nmode = stereo\nmode = dual_channel\n",
        { { &S::mode, VL_MODE_DUAL_CHANNEL } } },
    { "bitrate_read_with_the_later_layer", head + "bitrate = 416\nlayer = 1\n",
        { { &S::layer, 1 }, { &S::bitrateIndex, 13 } } },
    { "bitrate_read_with_the_frequency", head + "bitrate = 8\nsample_frequency = 22050\n",
        { { &S::sampleFrequency, 22050 }, { &S::bitrateIndex, 1 } } },
    { "layer_alone_keeps_the_index", head + "layer = 1\n", { { &S::layer, 1 } } },
    { "section_split_in_two", head + "mode = mono\n[X]\n" + head + "bitrate = 32\n",
        { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 1 } } },
};

using LoadText = testing::TestWithParam<LoadCase>;

TEST_P(LoadText, SetsWhatTheTextSays)
{
    const auto& [name, text, change] = GetParam();
    EncoderSettings block = baseBlock();
    EXPECT_TRUE(applySettingsText(text, block).ok());
    EXPECT_TRUE(sameBlock(block, baseBlock(change)));
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadText, testing::ValuesIn(loadCases), RowName());

TEST(LoadText, AnyFaultLoadsNothing)
{
    for (const auto& [text, error] : std::initializer_list<std::pair<std::string, ParseError>> {
             { head + "bitrate = 448\n", ParseError::BitrateNotInTable },
             { head + "bitrate = 384\nsample_frequency = 16000\n", ParseError::BitrateNotInTable },
             { head + "mode = quadraphonic\n", ParseError::UnknownValue },
             { head + "emphasis = 2\n", ParseError::UnknownValue }, { head + "layer = 3\n", ParseError::UnknownValue },
             { head + "copyright = 2\n", ParseError::UnknownValue }, { head + "mode =\n", ParseError::UnknownValue },
             { head + "sample_frequency = 99999999999\n", ParseError::UnknownValue },
             { head + "bitrate = 192k\n", ParseError::UnknownValue },
             { head + "mode = mono\nlayer = 1\nemphasis = loud\n", ParseError::UnknownValue },
             { head + "mode mono\n", ParseError::MalformedLine },
             { "[Other]\njust words\n" + head + "mode = mono\n", ParseError::MalformedLine },
             { "[MPEG Audio\nmode = mono\n", ParseError::MalformedLine },
             { head + " = mono\n", ParseError::MalformedLine }, { "mode = mono\n", ParseError::NoSection },
             { std::string("[MPEG Audio]\nmode = mono\n\0\x01\x02", 28), ParseError::NotText },
             { head + "; caf\xE9\n", ParseError::NotText }, { head + "; \xC0\xAF\n", ParseError::NotText } }) {
        EncoderSettings block = baseBlock();
        EXPECT_EQ(applySettingsText(text, block).error, error) << text;
        EXPECT_TRUE(sameBlock(block, baseBlock())) << text;
    }
}

// Every valid combination, saved and loaded into a block that differs in every byte.
TEST(RoundTrip, EveryValidCombinationInText)
{
    const int audioTypes[] = { VL_AUDIO_MPEG1, VL_AUDIO_MPEG2_DVD, VL_AUDIO_AVC_HD, -1, 1000 };
    const int frequencies[] = { 32000, 44100, 48000, 16000, 22050, 24000 };
    const int emphases[] = { VL_EMPHASIS_NONE, VL_EMPHASIS_50_15, VL_EMPHASIS_CCITT_J17 };
    for (int n = 0; n < 2 * 4 * 14 * 6 * 3 * 32; ++n) {
        const int bits = n % 32, c = n / 32; // c: layer, mode, index, frequency, emphasis
        Fields fields { { &S::layer, 1 + c % 2 }, { &S::mode, c / 2 % 4 }, { &S::bitrateIndex, 1 + c / 8 % 14 },
            { &S::sampleFrequency, frequencies[c / 112 % 6] }, { &S::emphasis, emphases[c / 672] },
            { &S::privateBit, bits & 1 }, { &S::copyrightBit, (bits >> 1) & 1 }, { &S::originalBit, (bits >> 2) & 1 },
            { &S::errorProtection, (bits >> 3) & 1 }, { &S::psychModel, 1 + (bits >> 4) },
            { &S::audioType, audioTypes[n % 5] } };
        const std::optional<std::string> text = mergeSettingsText(filledBlock(0x11, fields), "");
        Fields other = fields;
        for (auto& [field, value] : other)
            value += 1000;
        EncoderSettings target = filledBlock(0xee, other);
        ASSERT_TRUE(text && applySettingsText(*text, target).ok()) << text.value_or("");
        ASSERT_TRUE(sameBlock(target, filledBlock(0xee, fields))) << *text;
    }
}

// name, the file saved into, what the save makes of it
using MergeCase = std::tuple<const char*, std::string, std::string>;

// What a save writes for baseBlock() with mode mono.
const std::string keys = "audio_type = 4\nsample_frequency = 48000\nlayer = 2\nmode = mono\nbitrate = 192\n"
                         "psychoacoustic_model = 1\nemphasis = none\nprivate = 0\ncopyright = 0\noriginal = 1\n"
                         "error_protection = 0\n";

const MergeCase mergeCases[] = {
    { "new_file", "", "[MPEG Audio]\n" + keys },
    { "other_sections_kept_and_ours_appended", "; my settings\n[Video]\nbitrate = 9000\n",
        "; my settings\n[Video]\nbitrate = 9000\n\n[MPEG Audio]\n" + keys },
    { "values_replaced_in_place_with_their_comments",
        "[MPEG Audio]\n; the mode\nMode = stereo ; was stereo\nbitrate=128\nextra = kept\n\n[Video]\nsize = 1\n",
        "[MPEG Audio]\n; the mode\nMode = mono ; was stereo\nbitrate=192\nextra = kept\naudio_type = 4\n"
        "sample_frequency = 48000\nlayer = 2\npsychoacoustic_model = 1\nemphasis = none\nprivate = 0\n"
        "copyright = 0\noriginal = 1\nerror_protection = 0\n\n[Video]\nsize = 1\n" },
    { "duplicates_dropped", "[MPEG Audio]\n" + keys + "mode = stereo\n", "[MPEG Audio]\n" + keys },
    { "crlf_bom_and_missing_final_newline_kept", "\xEF\xBB\xBF[Video]\r\nsize = 1",
        "\xEF\xBB\xBF[Video]\r\nsize = 1\r\n\r\n[MPEG Audio]\r\n"
            + std::regex_replace(keys, std::regex("\n"), "\r\n") },
};

using MergeText = testing::TestWithParam<MergeCase>;

TEST_P(MergeText, KeepsEverythingElse)
{
    const auto& [name, existing, expected] = GetParam();
    const std::optional<std::string> text = mergeSettingsText(baseBlock(mono), existing);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeText, testing::ValuesIn(mergeCases), RowName());

// No text for a field out of range, nor into text that is no settings file.
TEST(MergeText, RefusesWhatItCannotKeep)
{
    for (const Fields& change : std::initializer_list<Fields> { { { &S::layer, 0 } }, { { &S::layer, 7 } },
             { { &S::psychModel, INT_MAX } }, { { &S::privateBit, INT_MIN } }, { { &S::copyrightBit, 2 } },
             { { &S::errorProtection, -1 } }, { { &S::mode, 4 } }, { { &S::bitrateIndex, 0 } },
             { { &S::bitrateIndex, 15 } }, { { &S::emphasis, 2 } }, { { &S::sampleFrequency, -1 } } })
        EXPECT_FALSE(mergeSettingsText(baseBlock(change), "")) << change[0].second;
    EXPECT_FALSE(mergeSettingsText(baseBlock(), "[MPEG Audio]\nnot a key value line\n"));
    EXPECT_FALSE(mergeSettingsText(baseBlock(), std::string("\x00\x01\x02\x03", 4)));
}

// Inputs the fuzz target found: a failed load changes nothing, a save loads back.
TEST(MergeText, FuzzFindings)
{
    const fs::directory_iterator files(VL_SETTINGS_FUZZ_DIR);
    ASSERT_TRUE(files != fs::directory_iterator());
    for (const fs::directory_entry& entry : files) {
        const std::string bytes = readText(entry.path());
        EncoderSettings block = baseBlock(), back = filledBlock(0xa5);
        const std::optional<std::string> merged = mergeSettingsText(baseBlock(), bytes);
        EXPECT_TRUE(applySettingsText(bytes, block).ok() || sameBlock(block, baseBlock())) << entry.path();
        EXPECT_TRUE(!merged || (applySettingsText(*merged, back).ok() && sameBlock(back, baseBlock()))) << entry.path();
    }
}

// ---- files -----------------------------------------------------------------

struct SettingsFiles : testing::Test
{
    std::string path(const std::string& name) const { return temporary.file(name); }
    std::vector<std::string> entries() const { return temporary.entries(); }
    const TempDir temporary;
};
template<typename Row>
struct SettingsFileRows : SettingsFiles, testing::WithParamInterface<Row>
{
};

// Failed loads leave the block as it was, failed saves the directory.
TEST_F(SettingsFiles, FailuresChangeNothing)
{
    writeText(path("bad.cfg"), "[MPEG Audio]\nmode = mono\nbitrate = 1000\n");
    writeText(path("empty.ini"), "");
    writeText(path("big.ini"), "[MPEG Audio]\n" + std::string(2 * 1024 * 1024, ';') + "\n");
    for (const std::string& file :
        { path("bad.cfg"), path("empty.ini"), path("big.ini"), path("missing.ini"), std::string() }) {
        EncoderSettings block = baseBlock();
        EXPECT_NE(loadSettings(&block, file.c_str()), 0) << file;
        EXPECT_TRUE(sameBlock(block, baseBlock())) << file;
    }
    EncoderSettings s = baseBlock();
    EXPECT_NE(loadSettings(nullptr, path("bad.cfg").c_str()), 0);
    EXPECT_NE(loadSettings(&s, nullptr), 0);
    EXPECT_NE(saveSettings(&s, path("no/such/dir.ini").c_str()), 0);
    EXPECT_NE(saveSettings(&s, nullptr), 0);
    EXPECT_NE(saveSettings(nullptr, path("x.ini").c_str()), 0);
    for (const std::string& name : { std::string(), temporary.path() + "/", temporary.path() })
        EXPECT_FALSE(writeFileAtomically(name, "x")) << name;
    EXPECT_EQ(entries(), (std::vector<std::string> { "bad.cfg", "big.ini", "empty.ini" }));
}

// A settings file of `size` bytes, padded by a comment.
std::string paddedSettings(size_t size)
{
    return "[MPEG Audio]\n;" + std::string(size - 15, ' ') + "\n";
}

// name, content of the file saved into, change of baseBlock(), whether it saves
using SaveIntoCase = std::tuple<const char*, std::string, Fields, bool>;

const SaveIntoCase saveIntoCases[] = {
    { "field_out_of_range", "[MPEG Audio]\n", { { &S::mode, 4 } }, false },
    { "content_kept_would_pass_the_size_limit", paddedSettings(maxSettingsFileSize - 100), mono, false },
    { "file_at_the_size_limit", paddedSettings(maxSettingsFileSize), mono, false },
    { "binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10), mono, true },
    { "binary_over_the_limit", std::string(maxSettingsFileSize + 1, '\0'), mono, true },
    { "settings_text_over_the_limit", paddedSettings(maxSettingsFileSize + 1), mono, true },
};

using SaveInto = SettingsFileRows<SaveIntoCase>;

// A save fails and keeps the file, or keeps what it cannot merge into as <name>.bak.
TEST_P(SaveInto, KeepsTheOldContent)
{
    const auto& [name, content, change, saved] = GetParam();
    const std::string file = path("notes.ini");
    writeText(file, content);
    writeText(file + ".bak", "an older backup");
    EXPECT_EQ(save(file, change) == 0, saved);
    EXPECT_TRUE(readText(saved ? file + ".bak" : file) == content);
    EXPECT_EQ(readText(file + ".bak") == "an older backup", !saved);
    EXPECT_EQ(sameBlock(loaded(file), baseBlock(mono)), saved);
    EXPECT_EQ(entries(), (std::vector<std::string> { "notes.ini", "notes.ini.bak" }));
}

INSTANTIATE_TEST_SUITE_P(Files, SaveInto, testing::ValuesIn(saveIntoCases), RowName());

// Names encoded twice (UTF-8 read as Latin-1, encoded again) are undone; "" if not.
TEST(DoubleEncodedName, Undone)
{
    for (const auto& [given, once] : { std::pair<std::string, std::string>("/tmp/plain.ini", ""),
             { "/tmp/caf\xC3\x83\xC2\xA9.ini", "/tmp/caf\xC3\xA9.ini" },
             { "/gr\xC3\x83\xC2\xB6\xC3\x83\xC2\x9F", "/gr\xC3\xB6\xC3\x9F" }, { "/tmp/caf\xC3\xA9.ini", "" },
             { "/tmp/\xE2\x82\xAC.ini", "" }, { "/tmp/\xC3", "" } })
        EXPECT_EQ(undoubledUtf8(given), once) << given;
}

TEST_F(SettingsFiles, DoubleEncodedNamesReachTheRealFile)
{
    const std::string twice = path("caf\xC3\x83\xC2\xA9.ini");
    ASSERT_EQ(save(twice, mono), 0);
    EXPECT_EQ(entries(), std::vector<std::string> { "caf\xC3\xA9.ini" });
    EXPECT_TRUE(sameBlock(loaded(twice), baseBlock(mono)));
}

// Permission bits, links, FIFOs, process ids and size limits: POSIX only.
#ifndef _WIN32
using TemporaryFiles = SettingsFileRows<TemporaryKind>;

// Both kinds of temporary file replace the file whole; a write refused halfway (as by a
// full disk) leaves the old file and no temporary file.
TEST_P(TemporaryFiles, ReplaceWholeOrNotAtAll)
{
    const std::string file = path("keep.ini");
    writeText(file, "old");
    ASSERT_TRUE(writeFileAtomically(file, "new content", 0640, GetParam()));
    EXPECT_EQ(readText(file), "new content");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeFileAtomically(file, std::string(64, 'x'), std::nullopt, GetParam());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    EXPECT_FALSE(written);
    EXPECT_EQ(readText(file), "new content");
    EXPECT_EQ(entries(), std::vector<std::string> { "keep.ini" });
}

INSTANTIATE_TEST_SUITE_P(Kinds, TemporaryFiles, testing::Values(TemporaryKind::Unnamed, TemporaryKind::Named));

// A save removes the temporary files that killed saves of its name left, and nothing else.
TEST_F(SettingsFiles, SaveRemovesTemporaryFilesOfGoneProcesses)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string gone = std::to_string(child), alive = std::to_string(getppid());
    const std::vector<std::string> kept
        = { ".s.ini.tmp" + alive + "_0", ".s.ini.tmpx_1", ".t.ini.tmp" + gone + "_0", "s.ini" };
    for (const std::string& name : kept)
        writeText(path(name), "[MPEG Audio]\n");
    for (const std::string& name : { ".s.ini.tmp" + gone + "_0", ".s.ini.tmp" + gone + "_17" })
        writeText(path(name), "[MPEG Audio]\n");
    ASSERT_EQ(save(path("s.ini")), 0);
    EXPECT_EQ(entries(), kept);
}

// name, target of link.ini, whether the target exists, whether the save works
using LinkCase = std::tuple<const char*, std::string, bool, bool>;

const LinkCase linkCases[] = {
    { "to_a_file", "real.ini", true, true },
    { "dangling", "real.ini", false, true },
    { "into_a_missing_directory", "nowhere/real.ini", false, false },
    { "loop", "link.ini", false, false },
};

using SaveThroughLink = SettingsFileRows<LinkCase>;

// A save follows a link, dangling too; the link stays, the target keeps its other content and mode.
TEST_P(SaveThroughLink, UpdatesTheFileItNames)
{
    const auto& [name, target, targetExists, saved] = GetParam();
    if (targetExists) {
        writeText(path(target), "; keep me\n");
        ASSERT_EQ(chmod(path(target).c_str(), 0640), 0);
    }
    ASSERT_EQ(symlink(target.c_str(), path("link.ini").c_str()), 0);
    EXPECT_EQ(save(path("link.ini"), mono) == 0, saved);
    EXPECT_TRUE(fs::is_symlink(path("link.ini")));
    EXPECT_EQ(sameBlock(loaded(path(target)), baseBlock(mono)), saved);
    if (targetExists) {
        EXPECT_EQ(fs::status(path(target)).permissions() & fs::perms::all, fs::perms(0640));
        EXPECT_EQ(readText(path(target)).rfind("; keep me\n", 0), 0u);
    }
    EXPECT_EQ(entries().size(), saved ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Links, SaveThroughLink, testing::ValuesIn(linkCases), RowName());

using SpecialPath = SettingsFileRows<const char*>;

// Load and save fail at once and change nothing (a device takes the FIFO's path).
TEST_P(SpecialPath, LoadAndSaveFailWithoutBlocking)
{
    const std::string entry = path("special.ini");
    const bool fifo = GetParam() == std::string("fifo");
    ASSERT_EQ(fifo ? mkfifo(entry.c_str(), 0644) : mkdir(entry.c_str(), 0755), 0);
    EncoderSettings block = baseBlock();
    int32_t load = 0, save = 0;
    EXPECT_TRUE(returnsWithoutBlocking([&] { load = loadSettings(&block, entry.c_str()); }, entry));
    EXPECT_TRUE(returnsWithoutBlocking([&] { save = saveSettings(&block, entry.c_str()); }, entry));
    EXPECT_TRUE(load != 0 && save != 0 && sameBlock(block, baseBlock()));
    EXPECT_EQ(fifo ? fs::is_fifo(entry) : fs::is_directory(entry), true);
    EXPECT_EQ(entries(), std::vector<std::string> { "special.ini" });
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialPath, testing::Values("fifo", "directory"),
    [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
#endif

} // namespace
