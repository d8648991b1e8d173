// Files on Windows: names beyond ASCII reach the disk through the
// wide-character API, paths may use backslashes, and a save follows Windows'
// own rules for writers that are gone and for read-only files.
#include "fixturetable.h"
#include "tempdir.h"

#include <config/configio.h>
#include <filesystem>
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

bool exists(const std::string& path)
{
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

EncoderSettings block(int32_t mode)
{
    EncoderSettings s {};
    s.layer = 2;
    s.mode = mode;
    s.bitrateIndex = 8;
    s.psychModel = 1;
    s.sampleFrequency = 48000;
    return s;
}

class Win32Files : public testing::Test
{
protected:
    const TempDir dir { "vl_win32_" };
};

TEST_F(Win32Files, NamesBeyondAscii)
{
    const std::string settings = dir.file("\xC3\x84rger_\xE9\x9F\xB3.ini"); // "Ärger_音.ini"
    const std::string mpeg = dir.file("Gr\xC3\xB6\xC3\x9F"
                                      "e_\xE9\x9F\xB3.mp2"); // "Größe_音.mp2"
    EncoderSettings s = block(VL_MODE_MONO);
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0);
    EXPECT_TRUE(exists(settings));
    ASSERT_EQ(loadSettings(&s, settings.c_str()), 0);

    const std::string fixture = std::string(VL_FIXTURE_DIR) + "/es_l2_48k_stereo_192.mp2";
    ASSERT_TRUE(CopyFileW(wide(fixture).c_str(), wide(mpeg).c_str(), TRUE));
    ASSERT_EQ(loadSettings(&s, mpeg.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_STEREO);
}

TEST_F(Win32Files, BackslashedPaths)
{
    const auto backslashed = [](std::string path) {
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        return path;
    };
    // The VOB beside a DVD's IFO gives the channel mode.
    EncoderSettings s = block(VL_MODE_MONO);
    const std::string ifo = backslashed(std::string(VL_FIXTURE_DIR) + "/dvd/VIDEO_TS/VTS_01_0.IFO");
    ASSERT_EQ(loadSettings(&s, ifo.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_JOINT_STEREO);
    // Saves leave their temporary file nowhere, the working directory included.
    const std::string file = backslashed(dir.file("saved.ini"));
    ASSERT_EQ(saveSettings(&s, file.c_str()), 0);
    ASSERT_EQ(saveSettings(&s, file.c_str()), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "saved.ini" });
}

// A save removes the temporary files of saves whose process is gone, and
// keeps those of running ones.
TEST_F(Win32Files, TemporaryFilesOfGoneWriters)
{
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child {};
    wchar_t command[] = L"cmd.exe /c exit 0";
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    WaitForSingleObject(child.hProcess, INFINITE);
    const std::string gone = dir.file(".s.ini.tmp" + std::to_string(child.dwProcessId) + "_3");
    const std::string running = dir.file(".s.ini.tmp" + std::to_string(GetCurrentProcessId()) + "_900");
    for (const std::string& name : { gone, running })
        CloseHandle(CreateFileW(wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EncoderSettings s = block(VL_MODE_MONO);
    ASSERT_EQ(saveSettings(&s, dir.file("s.ini").c_str()), 0);
    CloseHandle(child.hProcess); // its id is not reused before this
    CloseHandle(child.hThread);
    EXPECT_FALSE(exists(gone));
    EXPECT_TRUE(exists(running));
}

// A save replaces a read-only file, as a rename does on POSIX, and keeps it
// read-only, as it keeps permission bits there.
TEST_F(Win32Files, ReadOnlyFileStaysReadOnly)
{
    const std::string file = dir.file("locked.ini");
    EncoderSettings s = block(VL_MODE_MONO);
    ASSERT_EQ(saveSettings(&s, file.c_str()), 0);
    ASSERT_TRUE(SetFileAttributesW(wide(file).c_str(), FILE_ATTRIBUTE_READONLY));
    s.mode = VL_MODE_DUAL_CHANNEL;
    ASSERT_EQ(saveSettings(&s, file.c_str()), 0);
    EncoderSettings loaded = block(VL_MODE_MONO);
    ASSERT_EQ(loadSettings(&loaded, file.c_str()), 0);
    EXPECT_EQ(loaded.mode, VL_MODE_DUAL_CHANNEL);
    EXPECT_TRUE(GetFileAttributesW(wide(file).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(wide(file).c_str(), FILE_ATTRIBUTE_NORMAL); // so that it can be removed
}

} // namespace
