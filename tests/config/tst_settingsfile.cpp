// The settings-file text format, its exhaustive round trip, and the atomic,
// content-keeping save.
#include <algorithm>
#include <config/atomicfile.h>
#include <config/configio.h>
#include <config/pathname.h>
#include <config/settingsfile.h>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vl::config;

namespace {

EncoderSettings filledBlock(uint8_t fill)
{
    EncoderSettings s;
    std::memset(&s, fill, sizeof s);
    return s;
}

// The block every load case starts from: recognisable values in every field.
EncoderSettings baseBlock()
{
    EncoderSettings s = filledBlock(0xa5);
    s.mode = VL_MODE_STEREO;
    s.layer = 2;
    s.psychModel = 1;
    s.bitrateIndex = 10; // 192 kbit/s at MPEG-1 Layer II
    s.emphasis = VL_EMPHASIS_NONE;
    s.privateBit = 0;
    s.errorProtection = 0;
    s.copyrightBit = 0;
    s.originalBit = 1;
    s.audioType = VL_AUDIO_MPEG2_DVD;
    s.sampleFrequency = 48000;
    return s;
}

bool sameBlock(const EncoderSettings& a, const EncoderSettings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// ---- loading ---------------------------------------------------------------

struct LoadCase
{
    const char* name;
    std::string text;
    ParseError error;
    std::function<void(EncoderSettings&)> change; // what a successful load changes in baseBlock()
};

std::vector<LoadCase> loadCases()
{
    const std::string head = "[MPEG Audio]\n";
    return {
        { "one_key_changes_one_field", head + "mode = mono\n", ParseError::None,
            [](EncoderSettings& s) { s.mode = VL_MODE_MONO; } },
        { "every_key",
            head
                + "audio_type = 13\nsample_frequency = 44100\nlayer = 1\nmode = dual_channel\nbitrate = 448\n"
                  "psychoacoustic_model = 2\nemphasis = ccitt_j17\nprivate = 1\ncopyright = yes\noriginal = off\n"
                  "error_protection = true\n",
            ParseError::None,
            [](EncoderSettings& s) {
                s.audioType = 13;
                s.sampleFrequency = 44100;
                s.layer = 1;
                s.mode = VL_MODE_DUAL_CHANNEL;
                s.bitrateIndex = 14;
                s.psychModel = 2;
                s.emphasis = VL_EMPHASIS_CCITT_J17;
                s.privateBit = 1;
                s.copyrightBit = 1;
                s.originalBit = 0;
                s.errorProtection = 1;
            } },
        { "names_ignore_case_and_separators", "[mpeg audio]\nMODE = Joint Stereo\nEmphasis = 50/15\n", ParseError::None,
            [](EncoderSettings& s) {
                s.mode = VL_MODE_JOINT_STEREO;
                s.emphasis = VL_EMPHASIS_50_15;
            } },
        { "comments_unknown_keys_and_sections",
            "; written by hand\n# another comment\n[Video]\nbitrate = 9000\nfoo=bar\n\n[MPEG Audio]\n"
            "  colour = blue\nmode = mono ; trailing comment\nbitrate = 64 # also a comment\n[Other]\nmode = x\n",
            ParseError::None,
            [](EncoderSettings& s) {
                s.mode = VL_MODE_MONO;
                s.bitrateIndex = 4;
            } },
        { "crlf_and_byte_order_mark", "\xEF\xBB\xBF[MPEG Audio]\r\nmode = mono\r\nbitrate = 384\r\n", ParseError::None,
            [](EncoderSettings& s) {
                s.mode = VL_MODE_MONO;
                s.bitrateIndex = 14;
            } },
        { "later_duplicate_wins", head + "mode = mono\nmode = stereo\nmode = dual_channel\n", ParseError::None,
            [](EncoderSettings& s) { s.mode = VL_MODE_DUAL_CHANNEL; } },
        { "bitrate_resolved_with_the_files_layer_even_when_listed_first", head + "bitrate = 416\nlayer = 1\n",
            ParseError::None,
            [](EncoderSettings& s) {
                s.layer = 1;
                s.bitrateIndex = 13;
            } },
        { "bitrate_resolved_with_the_files_frequency", head + "bitrate = 8\nsample_frequency = 22050\n",
            ParseError::None,
            [](EncoderSettings& s) {
                s.sampleFrequency = 22050;
                s.bitrateIndex = 1;
            } },
        { "layer_change_alone_keeps_the_index", head + "layer = 1\n", ParseError::None,
            [](EncoderSettings& s) { s.layer = 1; } },
        { "negative_audio_type", head + "audio_type = -3\n", ParseError::None,
            [](EncoderSettings& s) { s.audioType = -3; } },
        { "section_split_in_two", head + "mode = mono\n[X]\n" + head + "bitrate = 32\n", ParseError::None,
            [](EncoderSettings& s) {
                s.mode = VL_MODE_MONO;
                s.bitrateIndex = 1;
            } },
        { "bitrate_the_layer_lacks", head + "bitrate = 448\n", ParseError::BitrateNotInTable, nullptr },
        { "bitrate_the_version_lacks", head + "bitrate = 8\n", ParseError::BitrateNotInTable, nullptr },
        { "bitrate_lost_by_a_frequency_change", head + "bitrate = 384\nsample_frequency = 16000\n",
            ParseError::BitrateNotInTable, nullptr },
        { "unknown_mode", head + "mode = quadraphonic\n", ParseError::UnknownValue, nullptr },
        { "unknown_emphasis", head + "emphasis = 2\n", ParseError::UnknownValue, nullptr },
        { "layer_3", head + "layer = 3\n", ParseError::UnknownValue, nullptr },
        { "flag_out_of_range", head + "copyright = 2\n", ParseError::UnknownValue, nullptr },
        { "empty_value", head + "mode =\n", ParseError::UnknownValue, nullptr },
        { "number_overflow", head + "sample_frequency = 99999999999\n", ParseError::UnknownValue, nullptr },
        { "negative_frequency", head + "sample_frequency = -48000\n", ParseError::UnknownValue, nullptr },
        { "bitrate_with_unit", head + "bitrate = 192k\n", ParseError::UnknownValue, nullptr },
        { "good_keys_before_a_bad_one", head + "mode = mono\nlayer = 1\nemphasis = loud\n", ParseError::UnknownValue,
            nullptr },
        { "line_without_equals", head + "mode mono\n", ParseError::MalformedLine, nullptr },
        { "malformed_line_in_another_section", "[Other]\njust words\n" + head + "mode = mono\n",
            ParseError::MalformedLine, nullptr },
        { "unclosed_section", "[MPEG Audio\nmode = mono\n", ParseError::MalformedLine, nullptr },
        { "key_missing", head + " = mono\n", ParseError::MalformedLine, nullptr },
        { "no_section", "mode = mono\n", ParseError::NoSection, nullptr },
        { "empty_text", "", ParseError::NoSection, nullptr },
        { "binary", std::string("[MPEG Audio]\nmode = mono\n\0\x01\x02", 28), ParseError::NotText, nullptr },
        { "invalid_utf8", head + "; caf\xE9\n", ParseError::NotText, nullptr },
        { "overlong_utf8", head + "; \xC0\xAF\n", ParseError::NotText, nullptr },
    };
}

class LoadText : public testing::TestWithParam<LoadCase>
{
};

TEST_P(LoadText, AllOrNothing)
{
    const LoadCase& c = GetParam();
    EncoderSettings block = baseBlock();
    const ParseResult result = applySettingsText(c.text, block);
    EXPECT_EQ(result.error, c.error);
    EncoderSettings expected = baseBlock();
    if (c.change && c.error == ParseError::None) {
        c.change(expected);
    }
    EXPECT_TRUE(sameBlock(block, expected)) << "the block differs from what the text asks for";
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadText, testing::ValuesIn(loadCases()),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// ---- round trip ------------------------------------------------------------

struct Combination
{
    int layer, mode, bitrateIndex, frequency, emphasis, flags, psychModel, audioType;
};

void setFields(EncoderSettings& s, const Combination& c)
{
    s.layer = c.layer;
    s.mode = c.mode;
    s.bitrateIndex = c.bitrateIndex;
    s.sampleFrequency = c.frequency;
    s.emphasis = c.emphasis;
    s.privateBit = c.flags & 1;
    s.copyrightBit = (c.flags >> 1) & 1;
    s.originalBit = (c.flags >> 2) & 1;
    s.errorProtection = (c.flags >> 3) & 1;
    s.psychModel = c.psychModel;
    s.audioType = c.audioType;
}

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
                                visit(Combination {
                                    layer, mode, index, frequency, emphasis, flags, psych, audioTypes[n % 5] });
}

TEST(RoundTrip, EveryValidCombinationInText)
{
    int count = 0;
    forEachValidCombination([&](const Combination& c) {
        EncoderSettings source = filledBlock(0x11);
        setFields(source, c);
        const std::optional<std::string> text = mergeSettingsText(source, "");
        ASSERT_TRUE(text);
        // Load into a block that differs in every field and every other byte.
        EncoderSettings target = filledBlock(0xee);
        setFields(target,
            { 3 - c.layer, 3 - c.mode, 15 - c.bitrateIndex, 8000, 2, ~c.flags & 15, 3 - c.psychModel,
                c.audioType + 1 });
        EncoderSettings expected = target;
        setFields(expected, c);
        ASSERT_TRUE(applySettingsText(*text, target).ok()) << *text;
        ASSERT_TRUE(sameBlock(target, expected)) << *text;
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

// What a save writes for baseBlock() with mode mono.
std::vector<MergeCase> mergeCases()
{
    const std::string keys = "audio_type = 4\nsample_frequency = 48000\nlayer = 2\nmode = mono\nbitrate = 192\n"
                             "psychoacoustic_model = 1\nemphasis = none\nprivate = 0\ncopyright = 0\noriginal = 1\n"
                             "error_protection = 0\n";
    return {
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
            "\xEF\xBB\xBF[Video]\r\nsize = 1\r\n\r\n[MPEG Audio]\r\n" +
                [&] {
                    std::string crlf;
                    for (const char ch : keys) {
                        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
                    }
                    return crlf;
                }() },
    };
}

class MergeText : public testing::TestWithParam<MergeCase>
{
};

TEST_P(MergeText, KeepsEverythingElse)
{
    EncoderSettings s = baseBlock();
    s.mode = VL_MODE_MONO;
    const std::optional<std::string> text = mergeSettingsText(s, GetParam().existing);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, GetParam().expected);
    EncoderSettings loaded = filledBlock(0x33);
    ASSERT_TRUE(applySettingsText(*text, loaded).ok());
    EXPECT_EQ(loaded.mode, VL_MODE_MONO);
    EXPECT_EQ(loaded.bitrateIndex, 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeText, testing::ValuesIn(mergeCases()),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(MergeText, FieldsWithoutTextAreLeftOutAndStaleLinesDropped)
{
    EncoderSettings s = baseBlock();
    s.emphasis = 2; // reserved
    s.bitrateIndex = 15; // forbidden
    s.mode = 7;
    const std::optional<std::string> text = mergeSettingsText(s, "[MPEG Audio]\nemphasis = 50/15\nbitrate = 64\n");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->find("\nemphasis "), std::string::npos);
    EXPECT_EQ(text->find("\nbitrate "), std::string::npos);
    EXPECT_EQ(text->find("\nmode "), std::string::npos);
    EncoderSettings loaded = baseBlock();
    ASSERT_TRUE(applySettingsText(*text, loaded).ok());
    EXPECT_EQ(loaded.emphasis, VL_EMPHASIS_NONE); // absent: unchanged
}

// An inline comment right behind an empty value stays a comment once the
// value is filled in (found by fuzzing: the file then failed to load).
TEST(MergeText, InlineCommentGluedToAnEmptyValue)
{
    const EncoderSettings s = baseBlock();
    const std::optional<std::string> text = mergeSettingsText(s, "[MPEG Audio]\nemphasis =#note\nmode =;x\n");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("[MPEG Audio]\nemphasis = none #note\nmode = stereo ;x\n", 0), 0u) << *text;
    EncoderSettings loaded = filledBlock(0);
    EXPECT_TRUE(applySettingsText(*text, loaded).ok());
}

// Every input the settings-file fuzz target found: a failed load leaves the
// block alone, and a save into it loads again to the saved values.
TEST(MergeText, FuzzFindings)
{
    const std::string dir = VL_SETTINGS_FUZZ_DIR;
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    int files = 0;
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') {
            continue;
        }
        ++files;
        std::ifstream in(dir + "/" + e->d_name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EncoderSettings block = baseBlock();
        if (!applySettingsText(bytes, block).ok()) {
            EXPECT_TRUE(sameBlock(block, baseBlock())) << e->d_name;
        }
        const EncoderSettings saved = baseBlock();
        if (const std::optional<std::string> merged = mergeSettingsText(saved, bytes)) {
            EncoderSettings back = filledBlock(0xa5);
            EXPECT_TRUE(applySettingsText(*merged, back).ok()) << e->d_name;
            EXPECT_TRUE(sameBlock(back, saved)) << e->d_name;
        }
    }
    closedir(d);
    EXPECT_GT(files, 0);
}

TEST(MergeText, RefusesWhatItCannotKeep)
{
    const EncoderSettings s = baseBlock();
    EXPECT_FALSE(mergeSettingsText(s, "[MPEG Audio]\nnot a key value line\n"));
    EXPECT_FALSE(mergeSettingsText(s, std::string("\x00\x01\x02\x03", 4)));
}

// ---- files -----------------------------------------------------------------

class SettingsFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/vl_config_XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_dir = name;
    }
    void TearDown() override
    {
        for (const std::string& entry : entries()) {
            unlink((m_dir + "/" + entry).c_str());
        }
        rmdir(m_dir.c_str());
    }

    std::string path(const std::string& name) const { return m_dir + "/" + name; }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(m_dir.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                    names.emplace_back(entry->d_name);
                }
            }
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static void writeText(const std::string& file, const std::string& text)
    {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string readText(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string m_dir;
};

TEST_F(SettingsFiles, RoundTripThroughFiles)
{
    int n = 0;
    forEachValidCombination([&](const Combination& c) {
        if (n++ % 997 != 0) {
            return;
        }
        EncoderSettings source = filledBlock(0x42);
        setFields(source, c);
        const std::string file = path("round.ini");
        ASSERT_EQ(saveSettings(&source, file.c_str()), 0);
        EncoderSettings loaded = filledBlock(0x42);
        ASSERT_EQ(loadSettings(&loaded, file.c_str()), 0);
        ASSERT_TRUE(sameBlock(loaded, source)) << readText(file);
    });
    EXPECT_EQ(entries(), std::vector<std::string> { "round.ini" }); // no temporary files left
}

TEST_F(SettingsFiles, LoadFailuresLeaveTheBlockUntouched)
{
    writeText(path("bad.cfg"), "[MPEG Audio]\nmode = mono\nbitrate = 1000\n");
    writeText(path("empty.ini"), "");
    writeText(path("big.ini"), "[MPEG Audio]\n" + std::string(2 * 1024 * 1024, ';') + "\n");
    for (const std::string& file :
        { path("bad.cfg"), path("empty.ini"), path("big.ini"), path("missing.ini"), m_dir, std::string() }) {
        EncoderSettings block = baseBlock();
        EXPECT_NE(loadSettings(&block, file.c_str()), 0) << file;
        EXPECT_TRUE(sameBlock(block, baseBlock())) << file;
    }
    EXPECT_NE(loadSettings(nullptr, path("bad.cfg").c_str()), 0);
    EncoderSettings block = baseBlock();
    EXPECT_NE(loadSettings(&block, nullptr), 0);
}

TEST_F(SettingsFiles, SaveKeepsPermissionsAndFollowsLinks)
{
    const std::string target = path("real.ini");
    writeText(target, "; keep me\n");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.ini", path("link.ini").c_str()), 0);
    EncoderSettings s = baseBlock();
    ASSERT_EQ(saveSettings(&s, path("link.ini").c_str()), 0);
    struct stat st
    {
    };
    ASSERT_EQ(lstat(path("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(readText(target).rfind("; keep me\n", 0), 0u);
    EXPECT_EQ(entries(), (std::vector<std::string> { "link.ini", "real.ini" }));
}

TEST_F(SettingsFiles, SaveFailsCleanly)
{
    EncoderSettings s = baseBlock();
    EXPECT_NE(saveSettings(&s, path("no/such/dir.ini").c_str()), 0);
    ASSERT_EQ(mkdir(path("adir.ini").c_str(), 0755), 0);
    EXPECT_NE(saveSettings(&s, path("adir.ini").c_str()), 0);
    rmdir(path("adir.ini").c_str());
    EXPECT_NE(saveSettings(&s, nullptr), 0);
    EXPECT_NE(saveSettings(nullptr, path("x.ini").c_str()), 0);
    EXPECT_TRUE(entries().empty());
}

// A write that the file system refuses halfway (here a file size limit, as a
// full disk would) leaves the old file whole and no temporary file behind.
TEST_F(SettingsFiles, RefusedWriteKeepsTheOldFile)
{
    const std::string file = path("keep.ini");
    const std::string old = "[MPEG Audio]\nmode = mono\n";
    writeText(file, old);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EncoderSettings s = baseBlock();
    const int32_t result = saveSettings(&s, file.c_str());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    EXPECT_NE(result, 0);
    EXPECT_EQ(readText(file), old);
    EXPECT_EQ(entries(), std::vector<std::string> { "keep.ini" });
}

TEST_F(SettingsFiles, ForeignFileIsKeptAsBackup)
{
    const std::string file = path("notes.ini");
    const std::string old = std::string("\x89PNG\r\n\x1a\n\0\0", 10);
    writeText(file, old);
    EncoderSettings s = baseBlock();
    ASSERT_EQ(saveSettings(&s, file.c_str()), 0);
    EXPECT_EQ(readText(file + ".bak"), old);
    EncoderSettings loaded = filledBlock(0);
    EXPECT_EQ(loadSettings(&loaded, file.c_str()), 0);
    EXPECT_EQ(loaded.bitrateIndex, 10);
}

TEST(AtomicFile, RefusesDirectoriesAndEmptyNames)
{
    EXPECT_FALSE(writeFileAtomically("", "x"));
    EXPECT_FALSE(writeFileAtomically("/tmp/", "x"));
    EXPECT_FALSE(writeFileAtomically("/tmp", "x"));
}

// ---- file names ------------------------------------------------------------

struct NameCase
{
    const char* name;
    std::string given;
    std::string once;
};

class DoubleEncodedName : public testing::TestWithParam<NameCase>
{
};

TEST_P(DoubleEncodedName, Undone)
{
    EXPECT_EQ(undoubledUtf8(GetParam().given), GetParam().once);
}

// "\xC3\x83\xC2\xA9" is U+00E9 encoded, read as Latin-1, and encoded again.
INSTANTIATE_TEST_SUITE_P(Names, DoubleEncodedName,
    testing::Values(NameCase { "ascii_is_left_alone", "/tmp/plain.ini", "" },
        NameCase { "doubled_e_acute", "/tmp/caf\xC3\x83\xC2\xA9.ini", "/tmp/caf\xC3\xA9.ini" },
        NameCase { "doubled_sharp_s_and_umlaut",
            "/gr\xC3\x83\xC2\xB6\xC3\x83\xC2\x9F"
            "e",
            "/gr\xC3\xB6\xC3\x9F"
            "e" },
        NameCase { "single_e_acute_is_not_doubled", "/tmp/caf\xC3\xA9.ini", "" },
        NameCase { "beyond_latin1_is_not_doubled", "/tmp/\xE2\x82\xAC.ini", "" },
        NameCase { "truncated_sequence", "/tmp/\xC3", "" }),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsFiles, DoubleEncodedNamesReachTheRealFile)
{
    const std::string once = path("caf\xC3\xA9.ini");
    const std::string twice = path("caf\xC3\x83\xC2\xA9.ini");
    EncoderSettings s = baseBlock();
    s.mode = VL_MODE_DUAL_CHANNEL;
    ASSERT_EQ(saveSettings(&s, twice.c_str()), 0);
    EXPECT_EQ(entries(), std::vector<std::string> { "caf\xC3\xA9.ini" });
    EncoderSettings loaded = baseBlock();
    ASSERT_EQ(loadSettings(&loaded, twice.c_str()), 0);
    EXPECT_EQ(loaded.mode, VL_MODE_DUAL_CHANNEL);
    ASSERT_EQ(loadSettings(&loaded, once.c_str()), 0);
}

} // namespace
