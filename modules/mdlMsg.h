// The single-instance protocol and the window hook that receives its message: its portable
// half. The hook itself replaces a window procedure and lives with the program's windows.
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

}  // namespace volane
