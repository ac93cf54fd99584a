#include "platform/win32/Dpi.h"
#include "platform/win32/LateBound.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

std::string asked;  // the last SystemParametersInfoForDpi call: action, size given, cbSize, DPI
BOOL WINAPI RecordedInfoForDpi(UINT action, UINT size, void* data, UINT winIni, UINT dpi) {
    asked = std::to_string(action) + " " + std::to_string(size) + " " +
            std::to_string(static_cast<NONCLIENTMETRICSW*>(data)->cbSize) + " " +
            std::to_string(dpi);
    static const auto real = win32::LateBound<win32::SystemParametersInfoForDpiFn>(
        L"user32.dll", "SystemParametersInfoForDpi");
    return real(action, size, data, winIni, dpi);
}

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
    EXPECT_EQ(win32::SystemDpi([]() -> UINT { return 120; }), 120u);
    EXPECT_EQ(win32::SystemDpi(nullptr), screenDpi);
    // The message font at 480 DPI the same by either road, the older scaled from the system DPI.
    const auto height = [](UINT dpi, win32::SystemParametersInfoForDpiFn infoForDpi) {
        return FontHeight(win32::MessageFontForDpi(dpi, infoForDpi).get());
    };
    EXPECT_EQ(height(480, &RecordedInfoForDpi), height(480, nullptr));
    EXPECT_EQ(asked, "41 504 504 480");
    EXPECT_EQ(height(480, nullptr), 5 * height(96, nullptr));
    EXPECT_LT(height(96, nullptr), 0);  // a character height
    const RECT client{10, 20, 110, 220};
    RECT frame = client;
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(win32::OuterRectForClient(client, WS_OVERLAPPEDWINDOW, 0, true, 192, nullptr), frame);
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace volane::test
