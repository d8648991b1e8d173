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

HWND createWindow(const wchar_t* windowClass, DWORD style, int x, int y, int width, int height, HWND parent)
{
    return CreateWindowExW(
        0, windowClass, L"", style, x, y, width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

class HostWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        host = createWindow(L"STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 400, 300, nullptr);
        ASSERT_NE(host, nullptr) << "no window (error " << GetLastError() << "): is there a display?";
        edit = createWindow(L"EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20, 150, 24, host);
        own = createWindow(L"STATIC", WS_POPUP, 0, 0, 50, 50, nullptr);
        SetForegroundWindow(host);
        SetFocus(edit);
        ASSERT_EQ(GetFocus(), edit);
    }
    void TearDown() override
    {
        DestroyWindow(own);
        DestroyWindow(host);
    }

    HWND host = nullptr;
    HWND edit = nullptr;
    HWND own = nullptr;
};

// Adopted as a clipping child; the host disabled and enabled; the focus
// saved while the adopted window takes it, then given back.
TEST_F(HostWindow, AdoptionDisablingAndFocus)
{
    Win32::makeChildWindow(handleOf(own));
    Win32::reparent(handleOf(own), handleOf(host));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(own, GWL_STYLE)), DWORD(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(GetAncestor(own, GA_PARENT), host);

    Win32::setEnabled(handleOf(host), false);
    EXPECT_FALSE(IsWindowEnabled(host));
    Win32::setEnabled(handleOf(host), true);
    EXPECT_TRUE(IsWindowEnabled(host));

    ShowWindow(own, SW_SHOW);
    const uintptr_t saved = Win32::focusWindow();
    EXPECT_EQ(saved, handleOf(edit));
    Win32::setFocus(handleOf(own));
    EXPECT_EQ(GetFocus(), own);
    Win32::setFocus(saved);
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(HostWindow, ActivatesAndRaises)
{
    const HWND other = createWindow(L"STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150, 200, 200, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetActiveWindow(), other);
    Win32::activate(handleOf(host));
    EXPECT_EQ(GetActiveWindow(), host);
    BringWindowToTop(other);
    Win32::raise(handleOf(host));
    EXPECT_EQ(GetTopWindow(nullptr), host);
    DestroyWindow(other);
}

TEST_F(HostWindow, RectangleInScreenCoordinates)
{
    Platform::WindowRect rect;
    ASSERT_TRUE(Win32::windowRect(handleOf(host), &rect));
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.right, 500);
    EXPECT_EQ(rect.bottom, 420);
    POINT origin {}; // a child window is reported where it lies on the screen
    ClientToScreen(host, &origin);
    ASSERT_TRUE(Win32::windowRect(handleOf(edit), &rect));
    EXPECT_EQ(rect.left, origin.x + 10);
    EXPECT_EQ(rect.bottom, origin.y + 20 + 24);

    DestroyWindow(own);
    EXPECT_FALSE(Win32::windowRect(handleOf(own), &rect));
    EXPECT_FALSE(Win32::windowRect(0, &rect));
    own = nullptr;
}

TEST(Win32Input, ShiftAndFocusInMessages)
{
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_TRUE(Win32::shiftHeld());
    keys[VK_SHIFT] = 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_FALSE(Win32::shiftHeld());

    const HWND own = reinterpret_cast<HWND>(0x1234);
    const MSG focusIn { own, WM_SETFOCUS, 0, 0, 0, {} };
    const MSG focusOut { own, WM_KILLFOCUS, 0, 0, 0, {} };
    EXPECT_TRUE(Win32::isFocusIn(&focusIn, handleOf(own)));
    EXPECT_FALSE(Win32::isFocusIn(&focusIn, handleOf(own) + 1));
    EXPECT_FALSE(Win32::isFocusIn(&focusOut, handleOf(own)));
}

} // namespace
