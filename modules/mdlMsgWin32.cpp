// The window hook of the single-instance protocol: the hooked window's procedure is replaced by
// WindowProc, and the previous procedure is kept in the window's user-data slot. Everything is
// pointer-sized, so the 64-bit procedure addresses survive.
//
// The W calls are used throughout: with the narrow forms, CallWindowProcA and a procedure set
// by SetWindowLongA would convert every text message through the ANSI code page, and the
// Chinese captions and tree labels would not come through intact.
#include <windows.h>

#include "modules/mdlMsg.h"
#include "platform/win32/Fatal.h"

namespace volane {

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::Guarded([&]() -> LRESULT {
        if (IsShowRequest(message, wParam)) RestoreMainForm();
        // Every message, the restore request included, goes on to the previous procedure.
        const auto previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        return ::CallWindowProcW(previous, window, message, wParam, lParam);
    });
}

}  // namespace

std::intptr_t HookWindow(std::intptr_t window) {
    HWND handle = reinterpret_cast<HWND>(window);
    // Replacing the procedure sends no message, so the slot is filled before WindowProc
    // first runs.
    const LONG_PTR previous =
        ::SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    ::SetWindowLongPtrW(handle, GWLP_USERDATA, previous);
    return static_cast<std::intptr_t>(previous);
}

void UnhookWindow(std::intptr_t window, std::intptr_t previousProc) {
    // The user-data slot keeps the previous procedure.
    ::SetWindowLongPtrW(reinterpret_cast<HWND>(window), GWLP_WNDPROC,
                        static_cast<LONG_PTR>(previousProc));
}

}  // namespace volane
