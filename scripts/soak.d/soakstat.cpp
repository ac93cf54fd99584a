// soakstat.exe: what scripts/soak measures of the running Volane, from outside, as key=value
// lines: the process of the main window, its handles, GDI objects, USER objects (windows where
// the system does not count them), working set and private bytes, and the nodes in its tree.
// Exit code 0, or 1 when there is no main window.

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>

#include "identity.h"
#include "platform/win32/Handles.h"
#include "scripts/soak.d/ProcessCounts.h"

int wmain() {
    HWND main = ::FindWindowW(nullptr, VOLANE_WIDEN(VOLANE_WINDOW_TITLE));
    DWORD pid = 0;
    if (main) ::GetWindowThreadProcessId(main, &pid);
    const volane::win32::unique_handle process(
        pid ? ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr);
    if (!process) return 1;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory));
    HWND tree = ::FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
    std::printf("pid=%lu\nhandles=%ld\ngdi=%ld\nuser=%ld\nworkingset=%zu\nprivate=%zu\nnodes=%ld\n",
                pid, volane::counts::HandleCount(pid), volane::counts::GdiCount(process.get()),
                volane::counts::UserCount(process.get(), pid), memory.WorkingSetSize,
                memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage,
                static_cast<long>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
    return 0;
}
