// Files on Windows: names beyond ASCII reach the disk through the
// wide-character API, paths may use backslashes, and what a save leaves
// behind follows Windows' own rules (process ids, the read-only attribute).
#include "fixturetable.h"
#include "tempdir.h"

#include <config/configio.h>
#include <gtest/gtest.h>
#include <probe/mpegprobe.h>
#include <string>
#include <windows.h>

namespace {

std::wstring wide(const std::string& utf8)
{
    std::wstring text(utf8.size(), L'\0');
    text.resize(MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size())));
    return text;
}

// The same file as a full Windows path with backslashes only, in UTF-8.
std::string backslashed(const std::string& path)
{
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(wide(path).c_str(), MAX_PATH, full, nullptr);
    std::string text(length * 3, '\0');
    text.resize(WideCharToMultiByte(
        CP_UTF8, 0, full, static_cast<int>(length), text.data(), static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

EncoderSettings monoBlock()
{
    EncoderSettings s {};
    s.layer = 2;
    s.mode = VL_MODE_MONO;
    s.bitrateIndex = 8;
    s.psychModel = 1;
    s.audioType = VL_AUDIO_MPEG1;
    s.sampleFrequency = 48000;
    return s;
}

TEST(Win32Files, NamesBeyondAsciiThroughTheWideApi)
{
    const TempDir dir("vl_win32_");
    // "Ärger_音.ini" and "Größe_音.mp2"
    const std::string settings = dir.file("\xC3\x84rger_\xE9\x9F\xB3.ini");
    const std::string mpeg = dir.file("Gr\xC3\xB6\xC3\x9F"
                                      "e_\xE9\x9F\xB3.mp2");
    EncoderSettings saved = monoBlock();
    ASSERT_EQ(vl::config::saveSettings(&saved, settings.c_str()), 0);
    EXPECT_NE(GetFileAttributesW(wide(settings).c_str()), INVALID_FILE_ATTRIBUTES);
    EncoderSettings loaded {};
    ASSERT_EQ(vl::config::loadSettings(&loaded, settings.c_str()), 0);
    EXPECT_EQ(loaded.mode, VL_MODE_MONO);

    const std::string fixture = std::string(VL_FIXTURE_DIR) + "/es_l2_48k_stereo_192.mp2";
    ASSERT_TRUE(CopyFileW(wide(fixture).c_str(), wide(mpeg).c_str(), TRUE));
    EXPECT_EQ(vl::probe::probeFile(mpeg.c_str()).status, vl::probe::Status::Ok);
    ASSERT_EQ(vl::config::loadSettings(&loaded, mpeg.c_str()), 0);
    EXPECT_EQ(loaded.mode, VL_MODE_STEREO);
}

TEST(Win32Files, BackslashedPaths)
{
    // The VOB beside a DVD's IFO is found through either separator.
    const std::string ifo = std::string(VL_FIXTURE_DIR) + "/dvd/VIDEO_TS/VTS_01_0.IFO";
    const vl::probe::ProbeResult viaSlashes = vl::probe::probeFile(ifo.c_str());
    const vl::probe::ProbeResult viaBackslashes = vl::probe::probeFile(backslashed(ifo).c_str());
    ASSERT_EQ(viaBackslashes.status, vl::probe::Status::Ok);
    EXPECT_EQ(viaBackslashes.audio.fields, viaSlashes.audio.fields);
    EXPECT_TRUE(viaBackslashes.audio.fields & vl::probe::FieldMode);

    // A save's temporary file waits beside the file, not in the working
    // directory.
    const TempDir dir("vl_win32_");
    const std::string file = backslashed(dir.file("saved.ini"));
    EncoderSettings s = monoBlock();
    ASSERT_EQ(vl::config::saveSettings(&s, file.c_str()), 0);
    ASSERT_EQ(vl::config::saveSettings(&s, file.c_str()), 0);
    WIN32_FIND_DATAW entry;
    const HANDLE listing = FindFirstFileW(wide(dir.file("*")).c_str(), &entry);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE);
    std::wstring names;
    do {
        names += std::wstring(entry.cFileName) + L" ";
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    EXPECT_EQ(names, L". .. saved.ini ");
}

// A save removes the temporary files that saves of processes which are gone
// left behind, and keeps those of running ones.
TEST(Win32Files, TemporaryFilesOfGoneProcessesAreRemoved)
{
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child {};
    wchar_t command[] = L"cmd.exe /c exit 0";
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    WaitForSingleObject(child.hProcess, INFINITE);
    const std::string gone = std::to_string(child.dwProcessId);
    const TempDir dir("vl_win32_");
    const std::string stray = dir.file(".s.ini.tmp" + gone + "_3");
    const std::string running = dir.file(".s.ini.tmp" + std::to_string(GetCurrentProcessId()) + "_900");
    for (const std::string& name : { stray, running })
        CloseHandle(CreateFileW(wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EncoderSettings s = monoBlock();
    ASSERT_EQ(vl::config::saveSettings(&s, dir.file("s.ini").c_str()), 0);
    CloseHandle(child.hProcess); // the id stays taken until here
    CloseHandle(child.hThread);
    EXPECT_EQ(GetFileAttributesW(wide(stray).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(wide(running).c_str()), INVALID_FILE_ATTRIBUTES);
}

// Windows keeps one permission bit: the read-only attribute. A save
// replaces a read-only file, as a rename does on POSIX, and keeps it
// read-only.
TEST(Win32Files, ReadOnlyFileStaysReadOnly)
{
    const TempDir dir("vl_win32_");
    const std::wstring file = wide(dir.file("locked.ini"));
    EncoderSettings s = monoBlock();
    ASSERT_EQ(vl::config::saveSettings(&s, dir.file("locked.ini").c_str()), 0);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    s.mode = VL_MODE_DUAL_CHANNEL;
    ASSERT_EQ(vl::config::saveSettings(&s, dir.file("locked.ini").c_str()), 0);
    EncoderSettings loaded {};
    ASSERT_EQ(vl::config::loadSettings(&loaded, dir.file("locked.ini").c_str()), 0);
    EXPECT_EQ(loaded.mode, VL_MODE_DUAL_CHANNEL);
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); // so that it can be removed
}

} // namespace
