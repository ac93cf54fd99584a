// The window hook of the single-instance protocol: the hooked window's procedure is replaced by
// one that runs the restore on message 1025 with wParam 4001, and passes every message on to the
// previous procedure, which the window's user-data slot keeps. Everything is pointer-sized, so
// 64-bit procedure addresses survive.
#pragma once

#include <cstdint>
#include <functional>

namespace volane::app {

using RestoreAction = std::function<void()>;

// Hooks the window; restore runs on each restore request until the window is unhooked, and must
// live that long. Returns the previous window procedure.
[[nodiscard]] std::intptr_t HookWindow(std::intptr_t window, const RestoreAction* restore);
// Puts the previous procedure back; the user-data slot keeps it.
void UnhookWindow(std::intptr_t window, std::intptr_t previousProc);

}  // namespace volane::app
