// The W calls are used throughout: with the narrow forms, CallWindowProcA and a procedure set by
// SetWindowLongA would convert every text message through the ANSI code page, and the Chinese
// captions and tree labels would not come through intact.
#include "app/WindowHook.h"

#include <windows.h>

#include "modules/mdlMsg.h"
#include "platform/win32/Fatal.h"

namespace volane::app {

namespace {

// Read only when a restore request arrives: a property costs a server round trip under Wine,
// which the user-data slot, read on every message, does not.
constexpr wchar_t kRestoreProperty[] = L"Volane.Restore";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::Guarded([&]() -> LRESULT {
        if (IsShowRequest(message, wParam)) {
            const auto* restore =
                static_cast<const RestoreAction*>(::GetPropW(window, kRestoreProperty));
            if (restore && *restore) (*restore)();
        }
        // Every message, the restore request included, goes on to the previous procedure.
        const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        return ::CallWindowProcW(previous, window, message, wParam, lParam);
    });
}

}  // namespace

std::intptr_t HookWindow(std::intptr_t window, const RestoreAction* restore,
                         MessageFilterFn allowMessage) {
    HWND handle = reinterpret_cast<HWND>(window);
    ::SetPropW(handle, kRestoreProperty, const_cast<RestoreAction*>(restore));
    // An instance that runs elevated (started from an installer's last page, or as
    // administrator) would not see the request of a normal second start: User Interface
    // Privilege Isolation drops messages above WM_USER from a less privileged process, and the
    // sender could not tell. The request alone is let in, and to this window alone. Wine has no
    // such isolation; the call succeeds there and changes nothing.
    allowMessage(handle, WM_SHOWEXT, MSGFLT_ALLOW, nullptr);
    // Replacing the procedure sends no message, so the slot is filled before WindowProc first
    // runs.
    const LONG_PTR previous =
        ::SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    ::SetWindowLongPtrW(handle, GWLP_USERDATA, previous);
    return static_cast<std::intptr_t>(previous);
}

void UnhookWindow(std::intptr_t window, std::intptr_t previousProc) {
    HWND handle = reinterpret_cast<HWND>(window);
    ::SetWindowLongPtrW(handle, GWLP_WNDPROC, static_cast<LONG_PTR>(previousProc));
    ::RemovePropW(handle, kRestoreProperty);
}

}  // namespace volane::app
