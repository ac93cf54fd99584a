#include "platform/win32/Dwm.h"

#include <dwmapi.h>

#include "platform/win32/ErrorText.h"
#include "platform/win32/LateBound.h"

namespace volane::win32 {

Result<void> SetWindowTransitions(HWND window, bool on, DwmSetWindowAttributeFn setAttribute) {
    static const auto system =
        LateBound<DwmSetWindowAttributeFn>(L"dwmapi.dll", "DwmSetWindowAttribute");
    if (!setAttribute) setAttribute = system;
    if (!setAttribute) return SystemError(ERROR_PROC_NOT_FOUND);
    // The attribute disables: TRUE turns the transitions off. It takes a BOOL, four bytes.
    const BOOL disabled = on ? FALSE : TRUE;
    const HRESULT set =
        setAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &disabled, sizeof(disabled));
    if (FAILED(set)) return SystemError(static_cast<DWORD>(set));
    return {};
}

}  // namespace volane::win32
