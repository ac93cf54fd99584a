// DPI of windows and the frame metrics at a DPI. The per-monitor calls exist only on Windows 10
// 1607 and later, so they are looked up at run time and each has an older fallback.
#pragma once

#include <windows.h>

#include "platform/win32/Handles.h"

namespace volane::win32 {

// The DPI a window is drawn at (GetDpiForWindow, else the screen's LOGPIXELSX).
UINT DpiOf(HWND window);
// The DPI of the primary screen, for measures taken before a window exists.
UINT SystemDpi();
// A system metric scaled for a DPI (GetSystemMetricsForDpi, else GetSystemMetrics).
int MetricForDpi(int index, UINT dpi);
// The outer rectangle of a window whose client area is `client`.
RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);
// The desktop's message font (dialogs, labels, the tree) at a DPI.
[[nodiscard]] unique_hfont MessageFontForDpi(UINT dpi);

}  // namespace volane::win32
