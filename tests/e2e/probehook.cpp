// probehook.dll: read from inside Volane what Wine does not let another process read, the
// main window's menu. probe.exe installs MenuDumpHook as a WH_CALLWNDPROC hook on the window's
// thread and sends the window the registered message kMenuDumpMessage; the hook then writes
// every item of the window's menu into the named mapping that probe created and reads back.
// Nothing is written to disk, so the hook may run while a test watches the file system.
//
// One line per item, tab-separated: depth, position, command id (0 for a submenu or a
// separator), state bits (MF_CHECKED 0x8, MF_GRAYED 0x1...), checked (0/1), screen rectangle
// of a menu-bar item ("-" below the bar), text.

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "tests/e2e/probehook.h"

namespace {

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
}

void DumpMenu(HWND window, HMENU menu, int depth, std::wstring& out) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text) - 1);
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::wstring where = L"-";
        RECT rect{};
        if (depth == 0 && ::GetMenuItemRect(window, menu, static_cast<UINT>(i), &rect))
            where = RectText(rect);
        wchar_t state[16];
        std::swprintf(state, std::size(state), L"0x%x", info.fState);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        out += std::to_wstring(depth) + L"\t" + std::to_wstring(i) + L"\t" +
               std::to_wstring(info.hSubMenu || separator ? 0 : info.wID) + L"\t" + state + L"\t" +
               std::to_wstring((info.fState & MFS_CHECKED) ? 1 : 0) + L"\t" + where + L"\t" +
               (separator ? L"-" : text) + L"\n";
        if (info.hSubMenu) DumpMenu(window, info.hSubMenu, depth + 1, out);
    }
}

void WriteDump(HWND window) {
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, volane::probe::kMenuDumpMapping);
    if (!mapping) return;
    void* view = ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, volane::probe::kMenuDumpBytes);
    if (view) {
        std::wstring dump;
        HMENU menu = ::GetMenu(window);
        if (menu) DumpMenu(window, menu, 0, dump);
        const std::size_t chars =
            std::min(dump.size(), volane::probe::kMenuDumpBytes / sizeof(wchar_t) - 1);
        auto* target = static_cast<wchar_t*>(view);
        std::wmemcpy(target, dump.data(), chars);
        target[chars] = L'\0';
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuDumpHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        static const UINT dumpMessage = ::RegisterWindowMessageW(volane::probe::kMenuDumpMessage);
        if (call->message == dumpMessage) WriteDump(call->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
