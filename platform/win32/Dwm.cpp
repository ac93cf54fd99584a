#include "platform/win32/Dwm.h"

#include <dwmapi.h>

#include "platform/win32/LateBound.h"

namespace volane::win32 {

bool SetWindowTransitions(HWND window, bool on, DwmSetWindowAttributeFn setAttribute) {
    static const auto system =
        LateBound<DwmSetWindowAttributeFn>(L"dwmapi.dll", "DwmSetWindowAttribute");
    if (!setAttribute) setAttribute = system;
    if (!setAttribute) return false;
    // The attribute disables: TRUE turns the transitions off. It takes a BOOL, four bytes.
    const BOOL disabled = on ? FALSE : TRUE;
    return SUCCEEDED(
        setAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &disabled, sizeof(disabled)));
}

}  // namespace volane::win32
