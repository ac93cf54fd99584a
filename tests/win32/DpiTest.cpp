#include "platform/win32/Dpi.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

// The per-monitor calls, or without them (Windows 10 before 1607) the screen's and system's DPI.
TEST(DpiTest, PerMonitorCallsWhereThereAreAndTheOlderOnesWhereNot) {
    HWND window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                    nullptr, nullptr);
    HDC screen = ::GetDC(nullptr);
    const auto screenDpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSX));
    ::ReleaseDC(nullptr, screen);
    const auto at120 = [](HWND) -> UINT { return 120; };
    EXPECT_EQ(win32::DpiOf(window, at120), 120u);
    EXPECT_EQ(win32::DpiOf(window, nullptr), screenDpi);
    EXPECT_EQ(win32::DpiOf(nullptr, at120), screenDpi);  // no window: the screen's
    const RECT client{10, 20, 110, 220};
    RECT frame = client;
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(win32::OuterRectForClient(client, WS_OVERLAPPEDWINDOW, 0, true, 192, nullptr), frame);
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace volane::test
