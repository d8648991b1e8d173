// The Windows functions of the platform layer on real windows that the test
// creates: a host window with an edit control in it.
#include "platform/platform.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

uint64_t handleOf(HWND window)
{
    return reinterpret_cast<uint64_t>(window);
}

class HostWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 400, 300, nullptr,
            nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host, nullptr) << "no window, error " << GetLastError();
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 20, 150, 24, host, nullptr,
            GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override
    {
        if (host)
            DestroyWindow(host);
    }

    HWND host = nullptr;
    HWND edit = nullptr;
};

TEST_F(HostWindow, RectangleInScreenCoordinates)
{
    Platform::WindowRect rect;
    ASSERT_TRUE(Platform::hostWindowRect(handleOf(host), &rect));
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.right, 500);
    EXPECT_EQ(rect.bottom, 420);

    // A child window is reported where it lies on the screen.
    POINT origin {};
    ASSERT_TRUE(ClientToScreen(host, &origin));
    ASSERT_TRUE(Platform::hostWindowRect(handleOf(edit), &rect));
    EXPECT_EQ(rect.left, origin.x + 10);
    EXPECT_EQ(rect.top, origin.y + 20);
    EXPECT_EQ(rect.right - rect.left, 150);
    EXPECT_EQ(rect.bottom - rect.top, 24);
}

TEST_F(HostWindow, NoRectangleWithoutAWindow)
{
    Platform::WindowRect rect;
    EXPECT_FALSE(Platform::hostWindowRect(0, &rect));
    EXPECT_FALSE(Platform::hostWindowRect(handleOf(host), nullptr));
    const uint64_t gone = handleOf(host);
    DestroyWindow(host);
    host = nullptr;
    EXPECT_FALSE(Platform::hostWindowRect(gone, &rect));
}

} // namespace
