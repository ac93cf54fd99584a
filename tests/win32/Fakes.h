#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Text.h"

namespace volane::test {

// Every call of the stand-ins below, as text, in order.
inline std::vector<std::wstring> calls;

inline std::wstring NameOf(HWND window) {
    if (window == HWND_TOPMOST) return L"TOPMOST";
    if (window == HWND_NOTOPMOST) return L"NOTOPMOST";
    wchar_t name[64] = {};
    if (!::GetWindowTextW(window, name, 64)) ::GetClassNameW(window, name, 64);
    return name;
}

// DwmSetWindowAttribute as a BOOL attribute's setting calls it.
inline HRESULT WINAPI RecordedSetAttribute(HWND window, DWORD attribute, LPCVOID value,
                                           DWORD size) {
    calls.push_back(NameOf(window) + L" " + std::to_wstring(attribute) + L" " +
                    std::to_wstring(*static_cast<const BOOL*>(value)) + L" " +
                    std::to_wstring(size));
    return S_OK;
}

// SetWindowPos as the pinning calls it, then done.
inline BOOL WINAPI RecordedSetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy,
                                        UINT flags) {
    calls.push_back(NameOf(window) + L" " + NameOf(after) + L" " + std::to_wstring(x) + L"," +
                    std::to_wstring(y) + L"," + std::to_wstring(cx) + L"," + std::to_wstring(cy) +
                    L" " + std::to_wstring(flags));
    return ::SetWindowPos(window, after, x, y, cx, cy, flags);
}

// ChangeWindowMessageFilterEx as the hook calls it, then done.
inline BOOL WINAPI RecordedFilter(HWND window, UINT message, DWORD action,
                                  PCHANGEFILTERSTRUCT result) {
    calls.push_back(NameOf(window) + L" " + std::to_wstring(message) + L" " +
                    std::to_wstring(action) + (result ? L" result" : L""));
    return ::ChangeWindowMessageFilterEx(window, message, action, result);
}

// ShellExecuteA, not done: under Wine a browser started for real could outlive the run. It
// answers shellAnswer.
inline INT_PTR shellAnswer = 42;
inline HINSTANCE WINAPI RecordedShellExecute(HWND owner, LPCSTR verb, LPCSTR file,
                                             LPCSTR parameters, LPCSTR folder, INT show) {
    calls.push_back((owner ? L"owner " : L"") + win32::Widen(verb, CP_ACP) + L" " +
                    win32::Widen(file, CP_ACP) + L" [" + win32::Widen(parameters, CP_ACP) + L"] [" +
                    win32::Widen(folder, CP_ACP) + L"] " + std::to_wstring(show));
    return reinterpret_cast<HINSTANCE>(shellAnswer);
}

// RegOpenKeyExA with the access it is asked for, then done.
inline LONG WINAPI RecordedRegOpen(HKEY root, LPCSTR subKey, DWORD options, REGSAM access,
                                   PHKEY opened) {
    calls.push_back(win32::Widen(subKey, CP_ACP) + L" " + std::to_wstring(options) + L" " +
                    std::to_wstring(access));
    return ::RegOpenKeyExA(root, subKey, options, access, opened);
}

// GetModuleFileNameW as Windows answers for modulePath: cut to size - 1 and a zero when too long.
inline std::wstring modulePath;
inline DWORD WINAPI ModuleFileNameOf(HMODULE, LPWSTR buffer, DWORD size) {
    const DWORD n = std::min<DWORD>(static_cast<DWORD>(modulePath.size()), size - 1);
    modulePath.copy(buffer, n);
    buffer[n] = L'\0';
    calls.push_back(std::to_wstring(size));
    if (modulePath.size() < size) return n;
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

// The profile reader as Windows has it: after a UTF-8 mark, the first line's section is not found.
inline DWORD WINAPI WindowsProfileRead(LPCWSTR section, LPCWSTR key, LPCWSTR fallback,
                                       LPWSTR buffer, DWORD size, LPCWSTR file) {
    calls.push_back(std::wstring(section) + L"|" + key + L"|" + fallback + L"|" +
                    std::to_wstring(size) + L"|" + file);
    char mark[3] = {};
    std::ifstream(std::filesystem::path(file), std::ios::binary).read(mark, 3);
    if (std::string_view(mark, 3) != "\xEF\xBB\xBF")
        return ::GetPrivateProfileStringW(section, key, fallback, buffer, size, file);
    ::lstrcpynW(buffer, fallback, static_cast<int>(size));
    return ::lstrlenW(buffer);
}

// A listing's receiver: each entry with its attributes.
class Sink final : public IEntrySink {
  public:
    void OnEntry(std::wstring_view name, std::uint32_t attributes) override {
        entries[std::wstring(name)] = attributes;
        mode = ::GetThreadErrorMode();
        if (drop) ::CloseHandle(std::exchange(drop, nullptr));
    }
    std::map<std::wstring, DWORD> entries;
    HANDLE drop = nullptr;  // closed at the first entry
    UINT mode = 0;          // the thread's error mode while it lists
};

// The inserts, picture lists (1: a list, 0: none), keys and colour changes that reach the tree
// class's own procedure.
using Reached = std::vector<std::pair<UINT, WPARAM>>;
inline Reached reached;
inline WNDPROC treeClassProc = nullptr;
inline LRESULT CALLBACK RecordingTreeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP || msg == WM_SYSCOLORCHANGE)
        reached.push_back({msg, wParam});
    if (msg == TVM_SETIMAGELIST) reached.push_back({msg, lParam != 0});
    if (msg == TVM_GETITEMW) reached.push_back({msg, reinterpret_cast<TVITEMW*>(lParam)->mask});
    if (msg == TVM_INSERTITEMW)  // the item the control is told to insert after
        reached.push_back({msg, reinterpret_cast<WPARAM>(
                                    reinterpret_cast<TVINSERTSTRUCTW*>(lParam)->hInsertAfter)});
    return ::CallWindowProcW(treeClassProc, window, msg, wParam, lParam);
}

}  // namespace volane::test
