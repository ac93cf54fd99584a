// Pinning a top-level window above all others (the always-on-top band) and releasing it.
#pragma once

#include <windows.h>

namespace volane::win32 {

using SetWindowPosFn = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);

// SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, no move, no size. setWindowPos stands in for
// the system's call in tests.
void SetTopmostBand(HWND window, bool topmost, SetWindowPosFn setWindowPos = &::SetWindowPos);

}  // namespace volane::win32
