// The Desktop Window Manager's part in a window: its transitions, the animation with which
// Windows shows a window minimized, maximized or restored.
#pragma once

#include <windows.h>

#include "platform/Result.h"

namespace volane::win32 {

using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

// Turns the window's transitions on or off (DWMWA_TRANSITIONS_FORCEDISABLED). dwmapi.dll is bound
// at the first call, so that start-up does not load it; setAttribute stands in for its
// DwmSetWindowAttribute in tests.
Result<void> SetWindowTransitions(HWND window, bool on,
                                  DwmSetWindowAttributeFn setAttribute = nullptr);

}  // namespace volane::win32
