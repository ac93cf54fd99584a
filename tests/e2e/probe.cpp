// probe.exe: looks into another process's windows for the end-to-end tests, from outside, and
// prints plain UTF-8 lines. Exit status 0 when done, 1 when what it looks or waits for is not
// there, 2 on a usage error.
//
//   probe wait   WIN [ms]          waits until WIN is visible; prints its handle
//   probe gone   WIN [ms]          waits until no window is WIN
//   probe watch  WIN ms            fails when WIN shows up at any time within ms
//   probe window WIN               key=value lines: caption, place, pinning, state, tree
//   probe list   CLASS             top-level windows of CLASS and their children
//   probe tree   WIN [ms]          the nodes of WIN's tree view, in display order
//   probe send   WIN msg [w...]    SendMessage with each wParam in turn (lParam 0)
//   probe post   WIN msg [w]       PostMessage
//   probe count  WIN               windows with WIN's caption: all, visible
//   probe settext WIN text         renames WIN
//   probe bar    N                 the screen point of item N of the main window's menu bar
//   probe popup  LAYOUT N          the screen point of item N of the open popup menu, whose
//                                  items are LAYOUT top to bottom: T text, S separator
//   probe serve                    reads commands, one a line with tab-separated words, and
//                                  answers each with its output and a line "\x1f<status>"
//
// WIN is "@main" (Volane's main window), "class:NAME", a handle "0x..." or an exact caption.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "identity.h"

namespace {

#define PROBE_WIDEN2(x) L##x
#define PROBE_WIDEN(x) PROBE_WIDEN2(x)
const wchar_t kMainTitle[] = PROBE_WIDEN(VOLANE_WINDOW_TITLE);

void Print(const std::wstring& line) {
    std::string bytes(::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr,
                                            nullptr), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.back() = '\n';  // raw bytes: no CRT text mode, no "\r"
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
                &written, nullptr);
}

std::wstring Num(long long n) { return std::to_wstring(n); }
std::wstring Handle(HWND hwnd) {
    wchar_t buf[24];
    std::swprintf(buf, 24, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return buf;
}
std::wstring Rect(const RECT& r) {
    return Num(r.left) + L" " + Num(r.top) + L" " + Num(r.right) + L" " + Num(r.bottom);
}
std::uintptr_t Number(const std::wstring& text) { return std::wcstoull(text.c_str(), nullptr, 0); }

std::wstring Text(HWND hwnd) {
    // With a timeout: a hung target must not hang the probe.
    wchar_t buf[1024] = {};
    DWORD_PTR n = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                          2000, &n);
    return std::wstring(buf, n);
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buf[256] = {};
    return std::wstring(buf, static_cast<std::size_t>(::GetClassNameW(hwnd, buf, 256)));
}

HWND Find(const std::wstring& win) {
    if (win == L"@main") return ::FindWindowW(nullptr, kMainTitle);
    if (win.rfind(L"class:", 0) == 0) return ::FindWindowW(win.substr(6).c_str(), nullptr);
    if (win.rfind(L"0x", 0) == 0) {
        HWND hwnd = reinterpret_cast<HWND>(Number(win));
        return ::IsWindow(hwnd) ? hwnd : nullptr;
    }
    return ::FindWindowW(nullptr, win.c_str());
}

// Wine tells a console program nothing about another process's windows: waiting is looking
// again every few milliseconds.
template <typename Done>
bool Poll(DWORD ms, Done done) {
    for (const ULONGLONG end = ::GetTickCount64() + ms;; ::Sleep(20)) {
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
    }
}

RECT ScreenRect(HWND hwnd, bool client) {
    RECT r{};
    if (!client) {
        ::GetWindowRect(hwnd, &r);
        return r;
    }
    ::GetClientRect(hwnd, &r);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND TreeOf(HWND owner) {
    return owner ? ::FindWindowExW(owner, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
}

int Window(HWND hwnd) {
    if (!hwnd) return 1;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    const auto ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    Print(L"hwnd=" + Handle(hwnd));
    Print(L"pid=" + Num(pid));
    Print(L"class=" + ClassOf(hwnd));
    Print(L"caption=" + Text(hwnd));
    Print(L"rect=" + Rect(ScreenRect(hwnd, false)));
    Print(L"client=" + Rect(ScreenRect(hwnd, true)));
    if (HWND tree = TreeOf(hwnd)) Print(L"tree=" + Rect(ScreenRect(tree, false)));
    Print(L"topmost=" + Num((ex & WS_EX_TOPMOST) != 0));
    Print(L"iconic=" + Num(::IsIconic(hwnd)));
    Print(L"enabled=" + Num(::IsWindowEnabled(hwnd)));
    Print(L"foreground=" + Num(::GetForegroundWindow() == hwnd));
    return 0;
}

// One line per window: hwnd, pid, visible, rect, text; below it one line per child: "child",
// class, visible, shows an icon, rect, text.
int List(const std::wstring& className) {
    int found = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, className.c_str(), nullptr));) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        Print(L"window\t" + Handle(w) + L"\t" + Num(pid) + L"\t" +
              Num(::IsWindowVisible(w)) + L"\t" + Rect(ScreenRect(w, false)) + L"\t" + Text(w));
        ++found;
        for (HWND c = nullptr; (c = ::FindWindowExW(w, c, nullptr, nullptr));) {
            // An icon control stays visible, empty, when a box has no icon.
            const bool icon = ClassOf(c) == L"Static" && ::SendMessageW(c, STM_GETICON, 0, 0);
            Print(L"child\t" + ClassOf(c) + L"\t" + Num(::IsWindowVisible(c)) + L"\t" +
                  Num(icon) + L"\t" + Rect(ScreenRect(c, false)) + L"\t" + Text(c));
        }
    }
    return found ? 0 : 1;
}

// TVM_GETITEMW and TVM_GETITEMRECT write through pointers, which must be valid in the tree's
// process: the item and its text live in a block allocated there.
struct Remote {
    TVITEMW item;
    wchar_t text[520];
};

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

// node, depth, image, expanded, children, centre x, centre y ("-" when hidden), text
void PrintNodes(HWND tree, HANDLE process, Remote* at, HTREEITEM first, int depth) {
    for (HTREEITEM item = first; item; item = Next(tree, item, TVGN_NEXT)) {
        Remote r{};
        r.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_STATE;
        r.item.hItem = item;
        r.item.stateMask = TVIS_EXPANDED;
        r.item.pszText = at->text;
        r.item.cchTextMax = 519;
        ::WriteProcessMemory(process, at, &r, sizeof(r), nullptr);
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(at));
        ::ReadProcessMemory(process, at, &r, sizeof(r), nullptr);
        // TVM_GETITEMRECT takes the item in the rectangle; TRUE asks for the label's own.
        RECT box{};
        std::memcpy(&box, &item, sizeof(item));
        ::WriteProcessMemory(process, at, &box, sizeof(box), nullptr);
        std::wstring where = L"-\t-";
        if (::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(at))) {
            ::ReadProcessMemory(process, at, &box, sizeof(box), nullptr);
            POINT c{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
            ::ClientToScreen(tree, &c);
            where = Num(c.x) + L"\t" + Num(c.y);
        }
        int children = 0;
        for (HTREEITEM c = Next(tree, item, TVGN_CHILD); c; c = Next(tree, c, TVGN_NEXT))
            ++children;
        Print(L"node\t" + Num(depth) + L"\t" + Num(r.item.iImage) + L"\t" +
              Num((r.item.state & TVIS_EXPANDED) != 0) + L"\t" + Num(children) + L"\t" + where +
              L"\t" + r.text);
        PrintNodes(tree, process, at, Next(tree, item, TVGN_CHILD), depth + 1);
    }
}

// Waits until the tree holds a node: the drive roots come right after the window is shown.
int Tree(const std::wstring& win, DWORD ms) {
    HWND tree = nullptr;
    Poll(ms, [&] {
        tree = TreeOf(Find(win));
        return tree && ::SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0;
    });
    if (!tree) return 1;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tree, &pid);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    void* at = process ? ::VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT,
                                          PAGE_READWRITE)
                       : nullptr;
    if (!at) return 1;
    PrintNodes(tree, process, static_cast<Remote*>(at), Next(tree, nullptr, TVGN_ROOT), 0);
    ::VirtualFreeEx(process, at, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return 0;
}

int Count(const std::wstring& win) {
    const std::wstring caption = win == L"@main" ? kMainTitle : win;
    int all = 0, visible = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, nullptr, nullptr));) {
        if (Text(w) != caption) continue;
        ++all;
        visible += ::IsWindowVisible(w) ? 1 : 0;
    }
    Print(Num(all) + L" " + Num(visible));
    return 0;
}

// Wine cannot hand out another process's menu items, so the bar is measured as Wine lays it
// out: right above the client area, one menu line high, each item its caption's width in the
// menu font plus two average characters. Both captions of the second item are two ideographs.
int Bar(int index) {
    HWND main = Find(L"@main");
    if (!main) return 1;
    const RECT client = ScreenRect(main, true);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HDC dc = ::GetDC(nullptr);
    HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE letters{}, text{};
    ::GetTextExtentPoint32W(dc, L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ", 52, &letters);
    const long padding = 2 * ((letters.cx / 26 + 1) / 2);
    const wchar_t* captions[] = {L"文件", L"收起"};
    long left = client.left, width = 0;
    for (int i = 0; i <= index && i < 2; ++i) {
        ::GetTextExtentPoint32W(dc, captions[i], 2, &text);
        left += width;
        width = text.cx + padding;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    Print(Num(left + width / 2) + L" " + Num(client.top - ::GetSystemMetrics(SM_CYMENU) / 2));
    return 0;
}

// Wine makes a text item SM_CYMENUSIZE high and a separator half that, with equal margins
// above and below the items; anything else fails.
int Popup(const std::wstring& layout, std::size_t index) {
    HWND menu = nullptr;
    if (!Poll(3000, [&] { return (menu = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(menu); }))
        return 1;
    const RECT r = ScreenRect(menu, false);
    const int item = ::GetSystemMetrics(SM_CYMENUSIZE);
    int items = 0;
    for (wchar_t c : layout) items += c == L'T' ? item : item / 2;
    const int margin = (r.bottom - r.top - items) / 2;
    if (margin < 0 || margin > 8 || index >= layout.size()) return 1;
    int y = r.top + margin;
    for (std::size_t i = 0; i < index; ++i) y += layout[i] == L'T' ? item : item / 2;
    Print(Num((r.left + r.right) / 2) + L" " + Num(y + item / 2));
    return 0;
}

int Run(const std::vector<std::wstring>& a) {
    const std::size_t n = a.size();
    const auto ms = [&](std::size_t i) { return n > i ? static_cast<DWORD>(Number(a[i])) : 15000u; };
    if (n < 2) return 2;
    const std::wstring& cmd = a[0];
    if (cmd == L"wait") {
        HWND w = nullptr;
        if (!Poll(ms(2), [&] { return (w = Find(a[1])) && ::IsWindowVisible(w); })) return 1;
        Print(Handle(w));
        return 0;
    }
    if (cmd == L"gone") return Poll(ms(2), [&] { return !Find(a[1]); }) ? 0 : 1;
    if (cmd == L"watch") return Poll(ms(2), [&] { return Find(a[1]) != nullptr; }) ? 1 : 0;
    if (cmd == L"window") return Window(Find(a[1]));
    if (cmd == L"list") return List(a[1]);
    if (cmd == L"tree") return Tree(a[1], ms(2));
    if (cmd == L"count") return Count(a[1]);
    if (cmd == L"bar") return Bar(static_cast<int>(Number(a[1])));
    if (cmd == L"popup" && n == 3) return Popup(a[1], Number(a[2]));
    if (cmd == L"settext" && n == 3) {
        HWND w = Find(a[1]);
        return w && ::SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str())) ? 0 : 1;
    }
    if ((cmd == L"send" || cmd == L"post") && n >= 3) {
        HWND w = Find(a[1]);
        const UINT msg = static_cast<UINT>(Number(a[2]));
        std::vector<WPARAM> params;
        for (std::size_t i = 3; i < n; ++i) params.push_back(Number(a[i]));
        if (params.empty()) params.push_back(0);
        for (WPARAM p : params) {
            DWORD_PTR result = 0;
            const bool ok = cmd == L"post" ? ::PostMessageW(w, msg, p, 0)
                                           : ::SendMessageTimeoutW(w, msg, p, 0, SMTO_NORMAL,
                                                                   10000, &result);
            if (!w || !ok) return 1;
        }
        return 0;
    }
    return 2;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
        static_cast<int>(out.size()))));
    return out;
}

// Starting a Wine process costs a few hundred milliseconds; one that stays answers at once.
int Serve() {
    std::string pending;
    for (;;) {
        std::size_t eol;
        while ((eol = pending.find('\n')) == std::string::npos) {
            char buf[4096];
            DWORD n = 0;
            if (!::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buf, sizeof(buf), &n, nullptr) || !n)
                return 0;
            pending.append(buf, n);
        }
        std::vector<std::wstring> args;
        for (std::size_t start = 0, tab = 0; tab < eol; start = tab + 1) {
            tab = std::min(pending.find('\t', start), eol);
            args.push_back(Wide(pending.substr(start, tab - start)));
        }
        pending.erase(0, eol + 1);
        Print(L"\x1f" + Num(Run(args)));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve();
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
