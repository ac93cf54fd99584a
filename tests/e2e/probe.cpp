// probe.exe looks into Volane's windows from another process. "serve" runs tab-separated commands
// a line, each answer UTF-8 lines and "\x1f<status>" (0 done, 1 not there): wait|gone WIN [ms],
// window WIN, list CLASS, tree WIN [ms], send WIN msg [wParam], free NAME [ms]; WIN is @main,
// class:NAME or a caption. Its arguments are one command; "host" is a first instance's stand-in.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Text.h"

namespace {

const wchar_t kMainTitle[] = L"Torlin [http://www.torlin.example]";
const wchar_t kInstanceName[] = L"Local\\Volane.SingleInstance";

// Raw bytes, no CRT text mode: lines end in "\n" alone.
void Print(const std::wstring& line) {
    const std::string out = volane::win32::Narrow(line, CP_UTF8) + '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()),
                &written, nullptr);
}

const auto Num = [](long long n) { return std::to_wstring(n); };
unsigned long long Number(const std::wstring& text) {
    return std::wcstoull(text.c_str(), nullptr, 0);
}

std::wstring Rect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return Num(r.left) + L" " + Num(r.top) + L" " + Num(r.right) + L" " + Num(r.bottom);
}

HWND Find(const std::wstring& win) {
    if (win == L"@main") return ::FindWindowW(nullptr, kMainTitle);
    if (win.starts_with(L"class:")) return ::FindWindowW(win.substr(6).c_str(), nullptr);
    return ::FindWindowW(nullptr, win.c_str());
}

// Wine tells a console program nothing of another process's windows: waiting is looking again.
template <typename Done>
bool Poll(DWORD ms, Done done) {
    for (const ULONGLONG end = ::GetTickCount64() + ms;; ::Sleep(20)) {
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
    }
}

int Window(HWND hwnd) {
    if (!hwnd) return 1;
    int ime = 0;
    const DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"IME", nullptr));)
        ime += ::GetWindowThreadProcessId(w, nullptr) == thread;
    Print(L"rect=" + Rect(hwnd));
    Print(L"foreground=" + Num(::GetForegroundWindow() == hwnd) + L"\nime=" + Num(ime));
    return 0;
}

int List(const std::wstring& className) {
    int found = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, className.c_str(), nullptr)); ++found)
        Print(L"window");
    return !found;
}

// TVM_GETITEMW and TVM_GETITEMRECT write through pointers: a block in the tree's process.
struct Remote {
    TVITEMW item;
    wchar_t text[520];
};

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

void PrintNodes(HWND tree, HANDLE process, Remote* at, HTREEITEM first, int depth) {
    for (HTREEITEM item = first; item; item = Next(tree, item, TVGN_NEXT)) {
        const UINT asked = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_STATE;
        Remote r{{asked, item, 0, TVIS_EXPANDED, at->text, 519, 0, 0, 0, 0}, {}};
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

int Tree(const std::wstring& win, DWORD ms) {
    HWND tree = nullptr;
    Poll(ms, [&] {
        return (tree = ::FindWindowExW(Find(win), nullptr, WC_TREEVIEWW, nullptr)) &&
               ::SendMessageW(tree, TVM_GETCOUNT, 0, 0);
    });
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tree, &pid);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    void* at = process
                   ? ::VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE)
                   : nullptr;
    if (!at) return 1;
    PrintNodes(tree, process, static_cast<Remote*>(at), Next(tree, nullptr, TVGN_ROOT), 0);
    ::VirtualFreeEx(process, at, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return 0;
}

bool Free(const std::wstring& name) {
    HANDLE held = ::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    if (held) ::CloseHandle(held);
    return !held;
}

int Run(const std::vector<std::wstring>& a) {
    const std::size_t n = a.size();
    if (n < 2) return 2;
    const std::wstring& cmd = a[0];
    HWND w = Find(a[1]);
    const DWORD ms = n > 2 ? static_cast<DWORD>(Number(a[2])) : 15000;
    if (cmd == L"wait") return !Poll(ms, [&] { return (w = Find(a[1])) && ::IsWindowVisible(w); });
    if (cmd == L"gone") return !Poll(ms, [&] { return !Find(a[1]); });
    if (cmd == L"free") return !Poll(ms, [&] { return Free(a[1]); });
    if (cmd == L"window") return Window(w);
    if (cmd == L"list") return List(a[1]);
    if (cmd == L"tree") return Tree(a[1], ms);
    if (cmd == L"send" && n >= 3 && w) {
        DWORD_PTR result = 0;
        return !::SendMessageTimeoutW(w, static_cast<UINT>(Number(a[2])), n > 3 ? Number(a[3]) : 0,
                                      0, SMTO_NORMAL, 10000, &result);
    }
    return 2;
}

// The first instance's stand-in, with its name and caption: prints each message 1025 ("1025
// <wParam> address|0"), answers a second later, prints "answered" and ends; or ends after 30 s.
LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != 1025 && msg != WM_TIMER) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == 1025) {
        Print(L"1025 " + Num(static_cast<long long>(wParam)) + (lParam ? L" address" : L" 0"));
        ::Sleep(1000);
        Print(L"answered");
    }
    ::PostQuitMessage(0);
    return 0;
}

int Host() {
    HANDLE name = ::CreateMutexW(nullptr, FALSE, kInstanceName);
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.lpszClassName = L"VolaneHost";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowW(L"VolaneHost", kMainTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                200, 100, nullptr, nullptr, nullptr, nullptr);
    ::SetTimer(hwnd, 1, 30000, nullptr);
    for (MSG m; ::GetMessageW(&m, nullptr, 0, 0) > 0;) ::DispatchMessageW(&m);
    ::DestroyWindow(hwnd);
    ::CloseHandle(name);
    return 0;
}

// A Wine process takes a few hundred milliseconds to start; a probe that stays answers at once.
int Serve() {
    for (std::string line; std::getline(std::cin, line);) {
        std::vector<std::wstring> args;
        for (std::size_t start = 0, tab = 0; tab < line.size(); start = tab + 1) {
            tab = std::min(line.find('\t', start), line.size());
            args.push_back(
                volane::win32::Widen(std::string_view(line).substr(start, tab - start), CP_UTF8));
        }
        Print(L"\x1f" + Num(Run(args)));
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"host") return Host();
    if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve();
    // One command from the command line, as scripts/run gives it.
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
