// The Windows operations of host-window adoption on real windows that the
// test creates: a host window with an edit control that has the focus, and
// a window of our own that is adopted into it.
#include "platform/win32windows.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace Win32 = Platform::Win32;

namespace {

uintptr_t handleOf(HWND window)
{
    return reinterpret_cast<uintptr_t>(window);
}

TEST(Win32Windows, AdoptionOfAHostWindow)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND host = CreateWindowExW(
        0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 400, 300, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(host, nullptr) << "no window (error " << GetLastError() << "): is there a display?";
    const HWND edit = CreateWindowExW(
        0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20, 150, 24, host, nullptr, instance, nullptr);
    const HWND own = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(host);
    SetFocus(edit);

    Win32::makeChildWindow(handleOf(own));
    Win32::reparent(handleOf(own), handleOf(host));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(own, GWL_STYLE)), DWORD(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(GetAncestor(own, GA_PARENT), host);

    Win32::setEnabled(handleOf(host), false);
    EXPECT_FALSE(IsWindowEnabled(host));
    Win32::setEnabled(handleOf(host), true);
    EXPECT_TRUE(IsWindowEnabled(host));

    // The focus is saved while the adopted window takes it, then given back.
    ShowWindow(own, SW_SHOW);
    const uintptr_t saved = Win32::focusWindow();
    EXPECT_EQ(saved, handleOf(edit));
    Win32::setFocus(handleOf(own));
    EXPECT_EQ(GetFocus(), own);
    Win32::setFocus(saved);
    EXPECT_EQ(GetFocus(), edit);

    Platform::WindowRect rect;
    ASSERT_TRUE(Win32::windowRect(handleOf(host), &rect));
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.right, 500);
    EXPECT_EQ(rect.bottom, 420);
    DestroyWindow(host);
    EXPECT_FALSE(Win32::windowRect(handleOf(host), &rect));
    EXPECT_FALSE(Win32::windowRect(0, &rect));
}

} // namespace
