#include "platform/win32/Dpi.h"

#include "platform/win32/LateBound.h"

namespace volane::win32 {

namespace {

// The address of an export of user32, or null on systems that lack it.
template <typename Fn>
Fn User32Export(const char* name) {
    return LateBound<Fn>(L"user32.dll", name);
}

using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

UINT ScreenDpi(HWND window) {
    const WindowDc dc(window);
    const int dpi = ::GetDeviceCaps(dc.get(), LOGPIXELSX);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT DpiOf(HWND window) {
    static const auto getDpiForWindow = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
    return DpiOf(window, getDpiForWindow);
}

UINT DpiOf(HWND window, GetDpiForWindowFn getDpiForWindow) {
    if (getDpiForWindow && window) {
        if (UINT dpi = getDpiForWindow(window)) return dpi;
    }
    return ScreenDpi(window);
}

UINT SystemDpi() {
    static const auto getDpiForSystem = User32Export<GetDpiForSystemFn>("GetDpiForSystem");
    return SystemDpi(getDpiForSystem);
}

UINT SystemDpi(GetDpiForSystemFn getDpiForSystem) {
    if (getDpiForSystem) {
        if (UINT dpi = getDpiForSystem()) return dpi;
    }
    return ScreenDpi(nullptr);
}

int MetricForDpi(int index, UINT dpi) {
    static const auto forDpi = User32Export<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : ::GetSystemMetrics(index);
}

RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi) {
    static const auto adjustForDpi =
        User32Export<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    return OuterRectForClient(client, style, exStyle, hasMenu, dpi, adjustForDpi);
}

RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi,
                        AdjustWindowRectExForDpiFn adjustForDpi) {
    if (adjustForDpi) {
        adjustForDpi(&client, style, hasMenu, exStyle, dpi);
    } else {
        ::AdjustWindowRectEx(&client, style, hasMenu, exStyle);
    }
    return client;
}

unique_hfont MessageFontForDpi(UINT dpi) {
    static const auto infoForDpi =
        User32Export<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    return MessageFontForDpi(dpi, infoForDpi);
}

unique_hfont MessageFontForDpi(UINT dpi, SystemParametersInfoForDpiFn infoForDpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    bool read =
        infoForDpi && infoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    if (!read) {
        read = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        // The unscaled call answers at the system DPI.
        if (read)
            metrics.lfMessageFont.lfHeight =
                ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                         static_cast<int>(SystemDpi()));
    }
    if (!read) return {};
    return unique_hfont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace volane::win32
