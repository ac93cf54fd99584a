// The switches that hold for the whole process: what it sets up before its first window, and the
// desktop's high contrast, which decides the colours of every form.
#pragma once

#include <windows.h>

namespace volane::win32 {

// Per-monitor v2 awareness when the manifest did not already set it; older systems get the
// system-wide awareness. Call before the first window is created.
void EnableDpiAwareness();

// For a program whose windows take no typed text: no input method is loaded for them. Called
// before the first window.
void DisableInputMethod();

// Whether a high-contrast theme is on (SPI_GETHIGHCONTRAST): then the forms' designed colours
// give way to the system's.
bool HighContrastOn();

}  // namespace volane::win32
