// The window hook of the single-instance protocol: the hooked window's procedure is replaced by
// one that runs the restore on message 1025 with wParam 4001, and passes every message on to the
// previous procedure, which the window's user-data slot keeps. Everything is pointer-sized, so
// 64-bit procedure addresses survive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace volane::app {

using RestoreAction = std::function<void()>;
using MessageFilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);

// Hooks the window; restore runs on each restore request until the window is unhooked, and must
// live that long. The window takes the request from a less privileged process too (through
// allowMessage, which stands in for ChangeWindowMessageFilterEx in tests). Returns the previous
// window procedure.
[[nodiscard]] std::intptr_t HookWindow(
    std::intptr_t window, const RestoreAction* restore,
    MessageFilterFn allowMessage = &::ChangeWindowMessageFilterEx);
// Puts the previous procedure back; the user-data slot keeps it.
void UnhookWindow(std::intptr_t window, std::intptr_t previousProc);

}  // namespace volane::app
