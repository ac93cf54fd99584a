// How many handles, GDI objects and windows another process holds (scripts/soak). Wine answers
// GetProcessHandleCount and GetGuiResources with 0, so the handles come from the system's handle
// list and the GDI objects from the GDI handle table in the process environment block; both
// work on Windows as well.
#pragma once

#include <windows.h>

#include <winternl.h>

#include <cstring>
#include <vector>

namespace volane::counts {

template <typename F>
F NtCall(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll"), name)));
}

struct SystemHandle {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};

// Entries of the system's handle list that belong to the process; -1 when it cannot be read.
inline long HandleCount(DWORD pid) {
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = NtCall<Query>("NtQuerySystemInformation");
    constexpr ULONG kExtendedHandleInformation = 64;
    constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = query(kExtendedHandleInformation, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &needed);
        if (status == kLengthMismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) return -1;
        break;
    }
    ULONG_PTR count = 0;
    std::memcpy(&count, buffer.data(), sizeof(count));
    const auto* handles =
        reinterpret_cast<const SystemHandle*>(buffer.data() + 2 * sizeof(ULONG_PTR));
    long own = 0;
    for (ULONG_PTR i = 0; i < count; ++i)
        if (handles[i].processId == pid) ++own;
    return own;
}

// GDI objects of the process: GetGuiResources, else the used entries of the GDI handle table
// (GdiSharedHandleTable in its 64-bit process environment block); -1 when it cannot be read.
inline long GdiCount(HANDLE process) {
    if (const DWORD counted = ::GetGuiResources(process, GR_GDIOBJECTS))
        return static_cast<long>(counted);
    struct Entry {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24 && sizeof(void*) == 8);
    constexpr std::size_t kTableOffset = 0xF8;
    constexpr std::size_t kEntries = 0x10000;
    using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    PROCESS_BASIC_INFORMATION basic{};
    if (NtCall<Query>("NtQueryInformationProcess")(process, ProcessBasicInformation, &basic,
                                                   sizeof(basic), nullptr) != 0)
        return -1;
    void* table = nullptr;
    if (!::ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + kTableOffset,
                             &table, sizeof(table), nullptr) ||
        !table)
        return -1;
    std::vector<Entry> entries(kEntries);
    if (!::ReadProcessMemory(process, table, entries.data(), kEntries * sizeof(Entry), nullptr))
        return -1;
    long used = 0;
    for (const Entry& e : entries)
        if (e.type != 0) ++used;
    return used;
}

// Top-level windows of the process and all their children.
inline long WindowCount(DWORD pid) {
    struct Context {
        DWORD pid;
        long count;
    } context{pid, 0};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* c = reinterpret_cast<Context*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != c->pid) return TRUE;
            ++c->count;
            ::EnumChildWindows(
                window, [](HWND, LPARAM n) -> BOOL { return ++*reinterpret_cast<long*>(n), TRUE; },
                reinterpret_cast<LPARAM>(&c->count));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&context));
    return context.count;
}

// USER objects of the process: GetGuiResources, else its windows.
inline long UserCount(HANDLE process, DWORD pid) {
    if (const DWORD counted = ::GetGuiResources(process, GR_USEROBJECTS))
        return static_cast<long>(counted);
    return WindowCount(pid);
}

}  // namespace volane::counts
