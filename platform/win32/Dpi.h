// DPI of windows and the frame metrics at a DPI. The per-monitor calls exist only on Windows 10
// 1607 and later, so they are looked up at run time and each has an older fallback.
#pragma once

#include <windows.h>

#include "platform/win32/Handles.h"

namespace volane::win32 {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// The DPI a window is drawn at (GetDpiForWindow, else the screen's LOGPIXELSX).
UINT DpiOf(HWND window);
// The same with the call given; null takes the road of Windows before 1607, which lacks it.
UINT DpiOf(HWND window, GetDpiForWindowFn getDpiForWindow);
// The DPI of the primary screen, for measures taken before a window exists (GetDpiForSystem,
// else the screen's LOGPIXELSX); the second with the call given.
UINT SystemDpi();
UINT SystemDpi(GetDpiForSystemFn getDpiForSystem);
// A system metric scaled for a DPI (GetSystemMetricsForDpi, else GetSystemMetrics).
int MetricForDpi(int index, UINT dpi);
// The outer rectangle of a window whose client area is `client`.
RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);
// The same with the call given; null takes AdjustWindowRectEx, at the system's DPI. Wine 8 has
// both per-monitor calls, so only a test that passes null takes the older roads there.
RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi,
                        AdjustWindowRectExForDpiFn adjustForDpi);
// The desktop's message font (dialogs, labels, the tree) at a DPI.
[[nodiscard]] unique_hfont MessageFontForDpi(UINT dpi);
// The same with the call given; null takes the system DPI's font, scaled.
[[nodiscard]] unique_hfont MessageFontForDpi(UINT dpi, SystemParametersInfoForDpiFn infoForDpi);

}  // namespace volane::win32
