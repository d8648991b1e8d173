// The Windows platform layer under wine: module loading, wide file names, a real host window, the language.
#include "platform/dynamicmodule.h"
#include "platform/platform.h"
#include "platform/win32windows.h"
#include "tempdir.h"

#include <algorithm>
#include <config/configio.h>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace vl::config;

void expectSystemError(const DynamicModule& module, DWORD code)
{
    char text[2048] = {};
    FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text, nullptr);
    EXPECT_EQ(module.lastError, code);
    EXPECT_NE(text[0], '\0');
    EXPECT_STREQ(module.errorText.data(), text);
}

// Names get ".dll" appended; a released module leaves the process; a failed
// load leaves no file name and keeps the system's code and text.
TEST(DynamicModule, LoadResolveRelease)
{
    {
        DynamicModule module;
        ASSERT_EQ(module.load("vl_enc_mpa"), 1) << module.errorText.data();
        EXPECT_EQ(std::wstring(module.fileName.data()), L"vl_enc_mpa.dll");
        EXPECT_EQ(module.handle, GetModuleHandleW(L"vl_enc_mpa.dll"));
        EXPECT_NE(module.resolve("mpegOutAudioChkSettings"), nullptr);
        EXPECT_EQ(module.resolve("MPAConfigGetAPIExt"), nullptr);
        expectSystemError(module, ERROR_PROC_NOT_FOUND);
        EXPECT_EQ(module.unload(), 1);
        EXPECT_EQ(module.loaded, 0);
        EXPECT_EQ(GetModuleHandleW(L"vl_enc_mpa.dll"), nullptr);
        ASSERT_EQ(module.load("vl_mfimport", "dll"), 1);
    }
    EXPECT_EQ(GetModuleHandleW(L"vl_mfimport.dll"), nullptr); // the destructor released it
    const std::pair<std::string, DWORD> rows[] = { { "vl_no_such_module", ERROR_MOD_NOT_FOUND },
        { "vl_enc_mpa.dll", ERROR_MOD_NOT_FOUND }, // ".dll" is appended even so
        { std::string(DynamicModule::FileNameCapacity - 4, 'm'), ERROR_FILENAME_EXCED_RANGE } };
    for (const auto& [name, error] : rows) {
        SCOPED_TRACE(name);
        DynamicModule module;
        EXPECT_EQ(module.load(name.c_str()), 0);
        EXPECT_EQ(module.handle, nullptr);
        EXPECT_EQ(module.fileName[0], L'\0');
        expectSystemError(module, error);
    }
}

// Names beyond ASCII reach the disk, backslashes separate, a save keeps a file read-only.
TEST(Win32Files, WideNamesBackslashesReadOnly)
{
    const auto backslashed = [](std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    };
    const auto wide = [](const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); };
    const TempDir dir("vl_win32_");
    const std::string settings = backslashed(dir.file("\xC3\x84rger_\xE9\x9F\xB3.ini")); // "Ärger_音.ini"
    const std::string mpeg = dir.file("Gr\xC3\xB6\xC3\x9F_\xE9\x9F\xB3.mp2"); // "Größ_音.mp2"
    EncoderSettings s {};
    s.layer = 2;
    s.psychModel = 1;
    s.bitrateIndex = 8;
    s.mode = VL_MODE_MONO;
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0);
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0); // over the file: no temporary left
    EXPECT_EQ(dir.entries(), std::vector<std::string> { "\xC3\x84rger_\xE9\x9F\xB3.ini" });
    ASSERT_TRUE(CopyFileW(wide(VL_FIXTURE_DIR "/es_l2_48k_stereo_192.mp2").c_str(), wide(mpeg).c_str(), TRUE));
    ASSERT_EQ(loadSettings(&s, mpeg.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_STEREO);
    // The VOB beside a DVD's IFO.
    ASSERT_EQ(loadSettings(&s, backslashed(VL_FIXTURE_DIR "/dvd/VIDEO_TS/VTS_01_0.IFO").c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_JOINT_STEREO);
    ASSERT_TRUE(SetFileAttributesW(wide(settings).c_str(), FILE_ATTRIBUTE_READONLY));
    s.mode = VL_MODE_DUAL_CHANNEL;
    ASSERT_EQ(saveSettings(&s, settings.c_str()), 0);
    ASSERT_EQ(loadSettings(&s, settings.c_str()), 0);
    EXPECT_EQ(s.mode, VL_MODE_DUAL_CHANNEL);
    EXPECT_TRUE(GetFileAttributesW(wide(settings).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(wide(settings).c_str(), FILE_ATTRIBUTE_NORMAL); // removable
}

// A window of our own adopted into a host window with a focused edit.
TEST(Win32Windows, AdoptionOfAHostWindow)
{
    namespace Win32 = Platform::Win32;
    const auto handle = [](HWND window) { return reinterpret_cast<uintptr_t>(window); };
    const auto create = [](const wchar_t* type, DWORD style, int x, int y, int width, int height, HWND parent) {
        return CreateWindowExW(0, type, L"", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
    };
    const HWND host = create(L"STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 400, 300, nullptr);
    ASSERT_NE(host, nullptr) << "no window (error " << GetLastError() << "): is there a display?";
    const HWND edit = create(L"EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20, 150, 24, host);
    const HWND own = create(L"STATIC", WS_POPUP, 0, 0, 50, 50, nullptr);
    SetForegroundWindow(host);
    SetFocus(edit);

    Win32::makeChildWindow(handle(own));
    Win32::reparent(handle(own), handle(host));
    EXPECT_EQ(DWORD(GetWindowLongW(own, GWL_STYLE)), DWORD(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(GetAncestor(own, GA_PARENT), host);
    ShowWindow(own, SW_SHOW);
    const uintptr_t saved = Win32::focusWindow();
    Win32::setFocus(handle(own));
    EXPECT_EQ(GetFocus(), own);
    Win32::setFocus(saved);
    EXPECT_EQ(GetFocus(), edit);
    Win32::setEnabled(handle(host), false);
    EXPECT_FALSE(IsWindowEnabled(host));
    Platform::WindowRect r;
    ASSERT_TRUE(Win32::windowRect(handle(host), &r));
    EXPECT_EQ(std::vector<int>({ r.left, r.top, r.right, r.bottom }), std::vector<int>({ 100, 120, 500, 420 }));
    DestroyWindow(host);
    EXPECT_FALSE(Win32::windowRect(handle(host), &r) || Win32::windowRect(0, &r));
}

TEST(UserLanguage, FollowsTheSessionsLocale)
{
    const char* const locale = std::getenv("LC_ALL");
    if (!locale || !*locale)
        GTEST_SKIP() << "LC_ALL is not set";
    const std::string language = std::string(locale).substr(0, 2);
    const int expected = language == "de" ? LANG_GERMAN : language == "ja" ? LANG_JAPANESE : LANG_ENGLISH;
    EXPECT_EQ(Platform::primaryLanguage(Platform::userDefaultLanguageId()), expected) << language;
}

} // namespace
