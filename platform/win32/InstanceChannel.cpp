#include "platform/win32/Services.h"

namespace volane::win32 {

std::intptr_t InstanceChannel::FindWindowByTitle(const std::string& ansiTitle) {
    return reinterpret_cast<std::intptr_t>(::FindWindowA(nullptr, ansiTitle.c_str()));
}

void InstanceChannel::AllowForeground(std::intptr_t window) {
    // The running instance may then bring itself to the front while it handles the message;
    // without this the system only flashes its taskbar button.
    DWORD processId = 0;
    ::GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &processId);
    if (processId != 0) allow_(processId);
}

void InstanceChannel::Send(std::intptr_t window, unsigned message, std::uintptr_t wParam) {
    // The receiver's hook never reads lParam but passes the message on to the window's previous
    // procedure, which may take 1025 (WM_USER + 1) for a message of its own and read through
    // lParam: the address of a zero keeps that harmless. SendMessageA returns only after the
    // receiver handled it, while the variable is alive.
    std::int32_t zero = 0;
    ::SendMessageA(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
                   reinterpret_cast<LPARAM>(&zero));
}

}  // namespace volane::win32
