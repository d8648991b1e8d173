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
        ASSERT_TRUE(edit && own);
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

TEST_F(HostWindow, AdoptsOwnWindowAsClippingChild)
{
    Win32::makeChildWindow(handleOf(own));
    Win32::reparent(handleOf(own), handleOf(host));
    const DWORD style = static_cast<DWORD>(GetWindowLongW(own, GWL_STYLE));
    EXPECT_EQ(style, static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(GetParent(own), host);
    EXPECT_EQ(GetAncestor(own, GA_ROOT), host);
}

TEST_F(HostWindow, DisablesAndEnables)
{
    Win32::setEnabled(handleOf(host), false);
    EXPECT_FALSE(IsWindowEnabled(host));
    Win32::setEnabled(handleOf(host), true);
    EXPECT_TRUE(IsWindowEnabled(host));
}

// The focus is saved while the adopted window takes it, then given back.
TEST_F(HostWindow, FocusSavedAndGivenBack)
{
    Win32::makeChildWindow(handleOf(own));
    Win32::reparent(handleOf(own), handleOf(host));
    ShowWindow(own, SW_SHOW);
    const uintptr_t saved = Win32::focusWindow();
    EXPECT_EQ(saved, handleOf(edit));
    Win32::setFocus(handleOf(own));
    EXPECT_EQ(GetFocus(), own);
    EXPECT_EQ(Win32::focusWindow(), handleOf(own));
    Win32::setFocus(saved);
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(HostWindow, ActivatesAndRaises)
{
    const HWND other = createWindow(L"STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150, 200, 200, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetActiveWindow(), other);
    Win32::activate(handleOf(host));
    EXPECT_EQ(GetActiveWindow(), host);

    BringWindowToTop(other);
    ASSERT_EQ(GetTopWindow(nullptr), other);
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

    // A child window is reported where it lies on the screen.
    POINT origin {};
    ASSERT_TRUE(ClientToScreen(host, &origin));
    ASSERT_TRUE(Win32::windowRect(handleOf(edit), &rect));
    EXPECT_EQ(rect.left, origin.x + 10);
    EXPECT_EQ(rect.top, origin.y + 20);
    EXPECT_EQ(rect.right - rect.left, 150);
    EXPECT_EQ(rect.bottom - rect.top, 24);

    EXPECT_FALSE(Win32::windowRect(0, &rect));
    EXPECT_FALSE(Win32::windowRect(handleOf(host), nullptr));
    const uintptr_t gone = handleOf(own);
    DestroyWindow(own);
    own = nullptr;
    EXPECT_FALSE(Win32::windowRect(gone, &rect));
}

TEST(Win32Input, ShiftAsTheThreadsKeyboardStateHasIt)
{
    BYTE keys[256] = {};
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_FALSE(Win32::shiftHeld());
    keys[VK_SHIFT] = 0x80;
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_TRUE(Win32::shiftHeld());
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST(Win32Input, FocusInIsSetFocusOnTheOwnWindow)
{
    const uintptr_t own = 0x1234;
    const struct
    {
        HWND window;
        UINT message;
        bool focusIn;
    } rows[] = {
        { reinterpret_cast<HWND>(own), WM_SETFOCUS, true },
        { reinterpret_cast<HWND>(own), WM_KILLFOCUS, false },
        { reinterpret_cast<HWND>(own + 1), WM_SETFOCUS, false },
    };
    for (const auto& row : rows) {
        MSG message {};
        message.hwnd = row.window;
        message.message = row.message;
        EXPECT_EQ(Win32::isFocusIn(&message, own), row.focusIn) << row.message;
    }
    EXPECT_FALSE(Win32::isFocusIn(nullptr, own));
}

} // namespace
