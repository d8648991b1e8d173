// The settings-file text format, its exhaustive round trip, and the atomic,
// content-keeping save.
#include "tempdir.h"

#include <algorithm>
#include <climits>
#include <config/atomicfile.h>
#include <config/configio.h>
#include <config/pathname.h>
#include <config/settingsfile.h>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
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

// The block every load case starts from: recognisable values in every field
// (bitrate index 10 is 192 kbit/s at MPEG-1 Layer II), then `change`.
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

// ---- loading ---------------------------------------------------------------

struct LoadCase
{
    const char* name;
    std::string text;
    ParseError error;
    Fields change; // what a successful load changes in baseBlock()
};

const std::string head = "[MPEG Audio]\n";

const LoadCase loadCases[] = {
    { "every_key",
        head
            + "audio_type = 13\nsample_frequency = 44100\nlayer = 1\nmode = dual_channel\nbitrate = 448\n"
              "psychoacoustic_model = 2\nemphasis = ccitt_j17\nprivate = 1\ncopyright = yes\noriginal = off\n"
              "error_protection = true\n",
        ParseError::None,
        { { &S::audioType, 13 }, { &S::sampleFrequency, 44100 }, { &S::layer, 1 }, { &S::mode, VL_MODE_DUAL_CHANNEL },
            { &S::bitrateIndex, 14 }, { &S::psychModel, 2 }, { &S::emphasis, VL_EMPHASIS_CCITT_J17 },
            { &S::privateBit, 1 }, { &S::copyrightBit, 1 }, { &S::originalBit, 0 }, { &S::errorProtection, 1 } } },
    { "names_ignore_case_and_separators", "[mpeg audio]\nMODE = Joint Stereo\nEmphasis = 50/15\n", ParseError::None,
        { { &S::mode, VL_MODE_JOINT_STEREO }, { &S::emphasis, VL_EMPHASIS_50_15 } } },
    { "comments_unknown_keys_and_sections",
        "; written by hand\n# another comment\n[Video]\nbitrate = 9000\nfoo=bar\n\n[MPEG Audio]\n"
        "  colour = blue\nmode = mono ; trailing comment\nbitrate = 64 # also a comment\n[Other]\nmode = x\n",
        ParseError::None, { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 4 } } },
    { "crlf_and_byte_order_mark", "\xEF\xBB\xBF[MPEG Audio]\r\nmode = mono\r\nbitrate = 384\r\n", ParseError::None,
        { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 14 } } },
    { "later_duplicate_wins", head + "mode = mono\nmode = stereo\nmode = dual_channel\n", ParseError::None,
        { { &S::mode, VL_MODE_DUAL_CHANNEL } } },
    { "bitrate_resolved_with_the_files_layer_even_when_listed_first", head + "bitrate = 416\nlayer = 1\n",
        ParseError::None, { { &S::layer, 1 }, { &S::bitrateIndex, 13 } } },
    { "bitrate_resolved_with_the_files_frequency", head + "bitrate = 8\nsample_frequency = 22050\n", ParseError::None,
        { { &S::sampleFrequency, 22050 }, { &S::bitrateIndex, 1 } } },
    { "layer_change_alone_keeps_the_index", head + "layer = 1\n", ParseError::None, { { &S::layer, 1 } } },
    { "section_split_in_two", head + "mode = mono\n[X]\n" + head + "bitrate = 32\n", ParseError::None,
        { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 1 } } },
    { "bitrate_the_layer_lacks", head + "bitrate = 448\n", ParseError::BitrateNotInTable, {} },
    { "bitrate_lost_by_a_frequency_change", head + "bitrate = 384\nsample_frequency = 16000\n",
        ParseError::BitrateNotInTable, {} },
    { "unknown_mode", head + "mode = quadraphonic\n", ParseError::UnknownValue, {} },
    { "unknown_emphasis", head + "emphasis = 2\n", ParseError::UnknownValue, {} },
    { "layer_3", head + "layer = 3\n", ParseError::UnknownValue, {} },
    { "flag_out_of_range", head + "copyright = 2\n", ParseError::UnknownValue, {} },
    { "empty_value", head + "mode =\n", ParseError::UnknownValue, {} },
    { "number_overflow", head + "sample_frequency = 99999999999\n", ParseError::UnknownValue, {} },
    { "bitrate_with_unit", head + "bitrate = 192k\n", ParseError::UnknownValue, {} },
    { "good_keys_before_a_bad_one", head + "mode = mono\nlayer = 1\nemphasis = loud\n", ParseError::UnknownValue, {} },
    { "line_without_equals", head + "mode mono\n", ParseError::MalformedLine, {} },
    { "malformed_line_in_another_section", "[Other]\njust words\n" + head + "mode = mono\n", ParseError::MalformedLine,
        {} },
    { "unclosed_section", "[MPEG Audio\nmode = mono\n", ParseError::MalformedLine, {} },
    { "key_missing", head + " = mono\n", ParseError::MalformedLine, {} },
    { "no_section", "mode = mono\n", ParseError::NoSection, {} },
    { "binary", std::string("[MPEG Audio]\nmode = mono\n\0\x01\x02", 28), ParseError::NotText, {} },
    { "invalid_utf8", head + "; caf\xE9\n", ParseError::NotText, {} },
    { "overlong_utf8", head + "; \xC0\xAF\n", ParseError::NotText, {} },
};

class LoadText : public testing::TestWithParam<LoadCase>
{
};

TEST_P(LoadText, AllOrNothing)
{
    const LoadCase& c = GetParam();
    EncoderSettings block = baseBlock();
    EXPECT_EQ(applySettingsText(c.text, block).error, c.error);
    const EncoderSettings expected = c.error == ParseError::None ? baseBlock(c.change) : baseBlock();
    EXPECT_TRUE(sameBlock(block, expected)) << "the block differs from what the text asks for";
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadText, testing::ValuesIn(loadCases),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// ---- round trip ------------------------------------------------------------

// Visits the fields of every valid combination of the values a file can hold.
template<typename Visit>
void forEachValidCombination(Visit visit)
{
    const int frequencies[] = { 32000, 44100, 48000, 16000, 22050, 24000 };
    const int emphases[] = { VL_EMPHASIS_NONE, VL_EMPHASIS_50_15, VL_EMPHASIS_CCITT_J17 };
    const int audioTypes[] = { VL_AUDIO_MPEG1, VL_AUDIO_MPEG2_DVD, VL_AUDIO_AVC_HD, -1, 1000 };
    int n = 0;
    for (int layer = 1; layer <= 2; ++layer)
        for (int mode = 0; mode < 4; ++mode)
            for (int index = 1; index <= 14; ++index)
                for (const int frequency : frequencies)
                    for (const int emphasis : emphases)
                        for (int flags = 0; flags < 16; ++flags)
                            for (int psych = 1; psych <= 2; ++psych, ++n)
                                visit(Fields { { &S::layer, layer }, { &S::mode, mode }, { &S::bitrateIndex, index },
                                    { &S::sampleFrequency, frequency }, { &S::emphasis, emphasis },
                                    { &S::privateBit, flags & 1 }, { &S::copyrightBit, (flags >> 1) & 1 },
                                    { &S::originalBit, (flags >> 2) & 1 }, { &S::errorProtection, flags >> 3 },
                                    { &S::psychModel, psych }, { &S::audioType, audioTypes[n % 5] } });
}

TEST(RoundTrip, EveryValidCombinationInText)
{
    int count = 0;
    forEachValidCombination([&](const Fields& fields) {
        const std::optional<std::string> text = mergeSettingsText(filledBlock(0x11, fields), "");
        ASSERT_TRUE(text);
        // Load into a block that differs in every field and every other byte.
        Fields other = fields;
        for (auto& [field, value] : other)
            value += 1000;
        EncoderSettings target = filledBlock(0xee, other);
        ASSERT_TRUE(applySettingsText(*text, target).ok()) << *text;
        ASSERT_TRUE(sameBlock(target, filledBlock(0xee, fields))) << *text;
        ++count;
    });
    EXPECT_EQ(count, 2 * 4 * 14 * 6 * 3 * 16 * 2);
}

// ---- saving ----------------------------------------------------------------

struct MergeCase
{
    const char* name;
    std::string existing;
    std::string expected;
};

std::string crlf(const std::string& text)
{
    std::string out;
    for (const char ch : text)
        out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    return out;
}

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
        "\xEF\xBB\xBF[Video]\r\nsize = 1\r\n\r\n[MPEG Audio]\r\n" + crlf(keys) },
};

class MergeText : public testing::TestWithParam<MergeCase>
{
};

TEST_P(MergeText, KeepsEverythingElse)
{
    const std::optional<std::string> text
        = mergeSettingsText(baseBlock({ { &S::mode, VL_MODE_MONO } }), GetParam().existing);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, GetParam().expected);
    EncoderSettings loaded = filledBlock(0x33);
    ASSERT_TRUE(applySettingsText(*text, loaded).ok());
    EXPECT_EQ(loaded.mode, VL_MODE_MONO);
    EXPECT_EQ(loaded.bitrateIndex, 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeText, testing::ValuesIn(mergeCases),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(MergeText, RefusesWhatItCannotKeep)
{
    EXPECT_FALSE(mergeSettingsText(baseBlock(), "[MPEG Audio]\nnot a key value line\n"));
    EXPECT_FALSE(mergeSettingsText(baseBlock(), std::string("\x00\x01\x02\x03", 4)));
}

// Every input the settings-file fuzz target found: a failed load leaves the
// block alone, and a save into it loads again to the saved values.
TEST(MergeText, FuzzFindings)
{
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(VL_SETTINGS_FUZZ_DIR)) {
        ++files;
        const std::string bytes = readText(entry.path());
        const std::string name = entry.path().filename().string();
        EncoderSettings block = baseBlock();
        if (!applySettingsText(bytes, block).ok()) {
            EXPECT_TRUE(sameBlock(block, baseBlock())) << name;
        }
        if (const std::optional<std::string> merged = mergeSettingsText(baseBlock(), bytes)) {
            EncoderSettings back = filledBlock(0xa5);
            EXPECT_TRUE(applySettingsText(*merged, back).ok()) << name;
            EXPECT_TRUE(sameBlock(back, baseBlock())) << name;
        }
    }
    EXPECT_GT(files, 0);
}

// ---- files -----------------------------------------------------------------

class SettingsFiles : public testing::Test
{
protected:
    std::string path(const std::string& name) const { return temporary.file(name); }
    // The names in the directory, in UTF-8.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(dir)))
            names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static void writeText(const std::string& file, const std::string& text)
    {
        std::ofstream(file, std::ios::binary) << text;
    }

    const TempDir temporary { "vl_config_" };
    const std::string dir = temporary.path();
};

TEST_F(SettingsFiles, LoadFailuresLeaveTheBlockUntouched)
{
    writeText(path("bad.cfg"), "[MPEG Audio]\nmode = mono\nbitrate = 1000\n");
    writeText(path("empty.ini"), "");
    writeText(path("big.ini"), "[MPEG Audio]\n" + std::string(2 * 1024 * 1024, ';') + "\n");
    for (const std::string& file :
        { path("bad.cfg"), path("empty.ini"), path("big.ini"), path("missing.ini"), dir, std::string() }) {
        EncoderSettings block = baseBlock();
        EXPECT_NE(loadSettings(&block, file.c_str()), 0) << file;
        EXPECT_TRUE(sameBlock(block, baseBlock())) << file;
    }
    EXPECT_NE(loadSettings(nullptr, path("bad.cfg").c_str()), 0);
    EncoderSettings block = baseBlock();
    EXPECT_NE(loadSettings(&block, nullptr), 0);
}

TEST_F(SettingsFiles, SaveFailsCleanly)
{
    EncoderSettings s = baseBlock();
    EXPECT_NE(saveSettings(&s, path("no/such/dir.ini").c_str()), 0);
    EXPECT_NE(saveSettings(&s, nullptr), 0);
    EXPECT_NE(saveSettings(nullptr, path("x.ini").c_str()), 0);
    for (const std::string& name : { std::string(), dir + "/", dir }) {
        EXPECT_FALSE(writeFileAtomically(name, "x")) << name;
    }
    EXPECT_TRUE(entries().empty());
}

// Permission bits, symbolic links, FIFOs and devices, process ids and file
// size limits are POSIX's: the cases below that need them run there only.
#ifndef _WIN32
// Both ways a new content waits for its rename replace the file whole, with
// the permission bits asked for; a write that the file system refuses
// halfway (a file size limit, as a full disk would) leaves the old file
// whole and no temporary file behind.
class TemporaryFiles : public SettingsFiles, public testing::WithParamInterface<TemporaryKind>
{
};

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

INSTANTIATE_TEST_SUITE_P(Kinds, TemporaryFiles, testing::Values(TemporaryKind::Unnamed, TemporaryKind::Named),
    [](const testing::TestParamInfo<TemporaryKind>& info) {
        return std::string(info.param == TemporaryKind::Unnamed ? "unnamed" : "named");
    });

// What saves killed between creating and renaming their temporary file left
// behind: the next save of the same name removes the files of processes that
// are gone, and nothing else.
TEST_F(SettingsFiles, SaveRemovesTemporaryFilesOfGoneProcesses)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string gone = std::to_string(child);
    const std::string alive = std::to_string(getppid());
    const std::vector<std::string> kept
        = { ".s.ini.tmp" + alive + "_0", ".s.ini.tmpx_1", ".t.ini.tmp" + gone + "_0", "s.ini" };
    for (const std::string& name : kept)
        writeText(path(name), "[MPEG Audio]\n");
    for (const std::string& name : { ".s.ini.tmp" + gone + "_0", ".s.ini.tmp" + gone + "_17" })
        writeText(path(name), "[MPEG Audio]\n");
    EncoderSettings s = baseBlock();
    ASSERT_EQ(saveSettings(&s, path("s.ini").c_str()), 0);
    EXPECT_EQ(entries(), kept);
}

#endif

// ---- what a save refuses --------------------------------------------------

struct RefusedCase
{
    const char* name;
    Fields change; // of baseBlock()
    size_t fileSize; // of the settings file saved into, padded by a comment
};

const RefusedCase refusedCases[] = {
    { "layer_7", { { &S::layer, 7 } }, 0 },
    { "layer_0", { { &S::layer, 0 } }, 0 },
    { "psych_model_int_max", { { &S::psychModel, INT_MAX } }, 0 },
    { "private_int_min", { { &S::privateBit, INT_MIN } }, 0 },
    { "copyright_2", { { &S::copyrightBit, 2 } }, 0 },
    { "error_protection_minus_1", { { &S::errorProtection, -1 } }, 0 },
    { "mode_4", { { &S::mode, 4 } }, 0 },
    { "bitrate_index_0", { { &S::bitrateIndex, 0 } }, 0 },
    { "bitrate_index_15", { { &S::bitrateIndex, 15 } }, 0 },
    { "reserved_emphasis_2", { { &S::emphasis, 2 } }, 0 },
    { "negative_frequency", { { &S::sampleFrequency, -1 } }, 0 },
    { "content_kept_would_pass_the_size_limit", {}, maxSettingsFileSize - 100 },
    { "file_at_the_size_limit", {}, maxSettingsFileSize },
};

class RefusedSave : public SettingsFiles, public testing::WithParamInterface<RefusedCase>
{
};

// A save writes the block's own values to a file that loads again, or
// nothing: it fails and leaves the file as it was.
TEST_P(RefusedSave, KeepsTheFile)
{
    const std::string file = path("kept.ini");
    std::string text = "[MPEG Audio]\n;";
    text.resize(std::max(GetParam().fileSize, text.size() + 1) - 1, ' ');
    writeText(file, text + "\n");
    EncoderSettings s = baseBlock(GetParam().change);
    EXPECT_NE(saveSettings(&s, file.c_str()), 0);
    EXPECT_EQ(readText(file), text + "\n");
    EXPECT_EQ(entries(), std::vector<std::string> { "kept.ini" });
    EncoderSettings loaded = baseBlock();
    EXPECT_EQ(loadSettings(&loaded, file.c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedSave, testing::ValuesIn(refusedCases),
    [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

// ---- what a save keeps -------------------------------------------------------

struct ForeignCase
{
    const char* name;
    std::string content;
};

const ForeignCase foreignCases[] = {
    { "binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10) },
    { "binary_over_the_limit", std::string(maxSettingsFileSize + 1, '\0') },
    { "settings_text_over_the_limit", "[MPEG Audio]\n;" + std::string(maxSettingsFileSize, ' ') + "\n" },
};

class ForeignFile : public SettingsFiles, public testing::WithParamInterface<ForeignCase>
{
};

// A file the save cannot keep, whatever its size, is kept as <name>.bak
// (replacing an older one) and the new file takes its name.
TEST_P(ForeignFile, IsKeptAsBackup)
{
    const std::string file = path("notes.ini");
    writeText(file, GetParam().content);
    writeText(file + ".bak", "an older backup");
    EncoderSettings s = baseBlock();
    ASSERT_EQ(saveSettings(&s, file.c_str()), 0);
    EXPECT_TRUE(readText(file + ".bak") == GetParam().content);
    EncoderSettings loaded = filledBlock(0);
    EXPECT_EQ(loadSettings(&loaded, file.c_str()), 0);
    EXPECT_EQ(loaded.bitrateIndex, 10);
    EXPECT_EQ(entries(), (std::vector<std::string> { "notes.ini", "notes.ini.bak" }));
}

INSTANTIATE_TEST_SUITE_P(Files, ForeignFile, testing::ValuesIn(foreignCases),
    [](const testing::TestParamInfo<ForeignCase>& info) { return std::string(info.param.name); });

#ifndef _WIN32
struct LinkCase
{
    const char* name;
    std::string target; // of link.ini, relative to the test directory
    bool targetExists;
    bool saved;
};

const LinkCase linkCases[] = {
    { "to_a_file", "real.ini", true, true },
    { "dangling", "real.ini", false, true },
    { "into_a_missing_directory", "nowhere/real.ini", false, false },
    { "loop", "link.ini", false, false },
};

class SaveThroughLink : public SettingsFiles, public testing::WithParamInterface<LinkCase>
{
};

// A save follows a link, also to a file that does not exist yet, and the
// link stays; an existing target keeps its content and permission bits.
TEST_P(SaveThroughLink, UpdatesTheFileItNames)
{
    const LinkCase& c = GetParam();
    if (c.targetExists) {
        writeText(path(c.target), "; keep me\n");
        ASSERT_EQ(chmod(path(c.target).c_str(), 0640), 0);
    }
    ASSERT_EQ(symlink(c.target.c_str(), path("link.ini").c_str()), 0);
    EncoderSettings s = baseBlock({ { &S::mode, VL_MODE_MONO } });
    EXPECT_EQ(saveSettings(&s, path("link.ini").c_str()) == 0, c.saved);
    EXPECT_TRUE(fs::is_symlink(path("link.ini")));
    std::vector<std::string> expected = { "link.ini" };
    if (c.saved) {
        expected.push_back(c.target);
        EncoderSettings loaded = baseBlock();
        EXPECT_EQ(loadSettings(&loaded, path(c.target).c_str()), 0);
        EXPECT_TRUE(sameBlock(loaded, s));
    }
    if (c.targetExists) {
        EXPECT_EQ(fs::status(path(c.target)).permissions() & fs::perms::all, fs::perms(0640));
        EXPECT_EQ(readText(path(c.target)).rfind("; keep me\n", 0), 0u);
    }
    EXPECT_EQ(entries(), expected);
}

INSTANTIATE_TEST_SUITE_P(Links, SaveThroughLink, testing::ValuesIn(linkCases),
    [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// ---- paths that are not regular files ----------------------------------------

// Runs call on a thread of its own. A call that blocks on the FIFO fifo is
// set free by opening the FIFO's other end until it returns, and counts as
// blocked.
bool returnsWithoutBlocking(const std::function<void()>& call, const std::string& fifo)
{
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread worker([&] {
        call();
        done.set_value();
    });
    const bool inTime = finished.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
    while (finished.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            close(writer);
    }
    worker.join();
    return inTime;
}

struct SpecialCase
{
    const char* name;
    mode_t type;
    dev_t device;
    const char* systemNode; // the same device, for a user who may not make one
};

const SpecialCase specialCases[] = {
    { "directory", S_IFDIR, 0, nullptr },
    { "fifo", S_IFIFO, 0, nullptr },
    { "zero_device", S_IFCHR, makedev(1, 5), "/dev/zero" },
    { "random_device", S_IFCHR, makedev(1, 9), "/dev/urandom" },
};

class SpecialPath : public SettingsFiles, public testing::WithParamInterface<SpecialCase>
{
};

// Load and save fail at once, without waiting for a FIFO's writer or reading
// a device, and leave the block and the entry as they were. Saves never aim
// at the system's own device nodes.
TEST_P(SpecialPath, LoadAndSaveFailWithoutBlocking)
{
    const SpecialCase& c = GetParam();
    std::string entry = path("special.ini");
    const bool made
        = c.type == S_IFDIR ? mkdir(entry.c_str(), 0755) == 0 : mknod(entry.c_str(), c.type | 0644, c.device) == 0;
    if (!made) {
        ASSERT_TRUE(c.systemNode) << entry;
        entry = c.systemNode;
    }
    EncoderSettings block = baseBlock();
    int32_t result = 0;
    EXPECT_TRUE(returnsWithoutBlocking([&] { result = loadSettings(&block, entry.c_str()); }, entry));
    EXPECT_NE(result, 0);
    EXPECT_TRUE(sameBlock(block, baseBlock()));
    if (made) {
        EXPECT_TRUE(returnsWithoutBlocking([&] { result = saveSettings(&block, entry.c_str()); }, entry));
        EXPECT_NE(result, 0);
        struct stat st
        {
        };
        EXPECT_EQ(lstat(entry.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0, c.type);
        EXPECT_EQ(entries(), std::vector<std::string> { "special.ini" });
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialPath, testing::ValuesIn(specialCases),
    [](const testing::TestParamInfo<SpecialCase>& info) { return std::string(info.param.name); });

#endif

// ---- file names ------------------------------------------------------------

// "\xC3\x83\xC2\xA9" is U+00E9 encoded, read as Latin-1, and encoded again;
// an empty result means the name is not doubly encoded.
TEST(DoubleEncodedName, Undone)
{
    const std::pair<std::string, std::string> rows[] = {
        { "/tmp/plain.ini", "" }, { "/tmp/caf\xC3\x83\xC2\xA9.ini", "/tmp/caf\xC3\xA9.ini" },
        { "/gr\xC3\x83\xC2\xB6\xC3\x83\xC2\x9F", "/gr\xC3\xB6\xC3\x9F" },
        { "/tmp/caf\xC3\xA9.ini", "" }, // encoded once
        { "/tmp/\xE2\x82\xAC.ini", "" }, // beyond Latin-1
        { "/tmp/\xC3", "" }, // truncated sequence
    };
    for (const auto& [given, once] : rows) {
        EXPECT_EQ(undoubledUtf8(given), once) << given;
    }
}

TEST_F(SettingsFiles, DoubleEncodedNamesReachTheRealFile)
{
    const std::string twice = path("caf\xC3\x83\xC2\xA9.ini");
    EncoderSettings s = baseBlock({ { &S::mode, VL_MODE_DUAL_CHANNEL } });
    ASSERT_EQ(saveSettings(&s, twice.c_str()), 0);
    EXPECT_EQ(entries(), std::vector<std::string> { "caf\xC3\xA9.ini" });
    EncoderSettings loaded = baseBlock();
    ASSERT_EQ(loadSettings(&loaded, twice.c_str()), 0);
    EXPECT_EQ(loaded.mode, VL_MODE_DUAL_CHANNEL);
    ASSERT_EQ(loadSettings(&loaded, path("caf\xC3\xA9.ini").c_str()), 0);
}

} // namespace
