// Files on Windows: names beyond ASCII reach the disk through the
// wide-character API, paths may use backslashes, and a save keeps a file
// read-only as it keeps permission bits on POSIX.
#include "tempdir.h"

#include <config/configio.h>
#include <gtest/gtest.h>
#include <windows.h>

using vl::config::loadSettings;
using vl::config::saveSettings;

namespace {

std::wstring wide(const std::string& utf8)
{
    std::wstring text(utf8.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), int(text.size())));
    return text;
}

std::string backslashed(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

TEST(Win32Files, NamesBeyondAsciiAndBackslashes)
{
    const TempDir dir("vl_win32_");
    const std::string settings = backslashed(dir.file("\xC3\x84rger_\xE9\x9F\xB3.ini")); // "Ärger_音.ini"
    const std::string mpeg = dir.file("Gr\xC3\xB6\xC3\x9F"
                                      "e_\xE9\x9F\xB3.mp2"); // "Größe_音.mp2"
    EncoderSettings s {};
    s.layer = 2;
    s.psychModel = 1;
    s.bitrateIndex = 8;
    s.mode = VL_MODE_MONO;
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0);
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0); // the temporary file waits beside it
    EXPECT_EQ(dir.entries(), std::vector<std::string> { "\xC3\x84rger_\xE9\x9F\xB3.ini" });

    const std::string fixture = std::string(VL_FIXTURE_DIR) + "/es_l2_48k_stereo_192.mp2";
    ASSERT_TRUE(CopyFileW(wide(fixture).c_str(), wide(mpeg).c_str(), TRUE));
    ASSERT_EQ(loadSettings(&s, mpeg.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_STEREO);
    // The VOB beside a DVD's IFO is found through backslashes too.
    const std::string ifo = backslashed(std::string(VL_FIXTURE_DIR) + "/dvd/VIDEO_TS/VTS_01_0.IFO");
    ASSERT_EQ(loadSettings(&s, ifo.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_JOINT_STEREO);

    // A read-only file is replaced, as a rename replaces it on POSIX, and
    // stays read-only.
    ASSERT_TRUE(SetFileAttributesW(wide(settings).c_str(), FILE_ATTRIBUTE_READONLY));
    s.mode = VL_MODE_DUAL_CHANNEL;
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0);
    ASSERT_EQ(loadSettings(&s, settings.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_DUAL_CHANNEL);
    EXPECT_TRUE(GetFileAttributesW(wide(settings).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(wide(settings).c_str(), FILE_ATTRIBUTE_NORMAL); // so that it can be removed
}

} // namespace
