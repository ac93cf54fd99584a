// The single-instance protocol and the window hook that receives its message.
#pragma once

#include <cstdint>
#include <string>

namespace volane {

inline constexpr unsigned WM_SHOWEXT = 1025;  // WM_USER + 1
inline constexpr std::uintptr_t SHOW_CODE = 4001;

// Whether a message is the restore request of a second instance.
constexpr bool IsShowRequest(unsigned message, std::uintptr_t wParam) {
    return message == WM_SHOWEXT && wParam == SHOW_CODE;
}

// The tag text that holds a hooked window's previous procedure, and back. TagToProc throws
// AppError (type mismatch) when the text is no number.
std::wstring ProcToTag(std::intptr_t previousProc);
std::intptr_t TagToProc(const std::wstring& tag);

#ifdef _WIN32
// Win32 only: the window procedure replacement through GWLP_WNDPROC, with the previous
// procedure kept in the window's user-data slot.
std::intptr_t HookWindow(std::intptr_t window);
void UnhookWindow(std::intptr_t window, std::intptr_t previousProc);
// Provided by the application: runs the restore sequence on frmMain, if it is loaded.
void RestoreMainForm();
#endif

}  // namespace volane
