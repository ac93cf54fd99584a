#include "platform/win32/ProcessSetup.h"

#include <imm.h>

#include "platform/win32/LateBound.h"

namespace volane::win32 {

void EnableDpiAwareness() {
    using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto setContext =
        LateBound<SetProcessDpiAwarenessContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext");
    if (setContext) {
        // Fails with "access denied" when the manifest already chose an awareness: keep it.
        if (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return;
        if (::GetLastError() == ERROR_ACCESS_DENIED) return;
        // Windows 10 before 1703 knows the first per-monitor awareness only.
        if (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) return;
    }
    ::SetProcessDPIAware();
}

void DisableInputMethod() {
    // An input method is loaded when a window is first activated: under Wine some 12 ms of
    // start-up, and a composition window over any letter typed.
    ::ImmDisableIME(static_cast<DWORD>(-1));
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace volane::win32
