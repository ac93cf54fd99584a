// probe.exe: looks into another process's windows for the end-to-end tests and prints plain
// UTF-8 lines. Every subcommand exits 0 on success, 1 when what it waits for or looks at is
// not there, and 2 on a usage error.
//
//   probe title                            the main window's caption, as the executable has it
//   probe wait   WIN [ms]                  waits until WIN is visible; prints its handle
//   probe gone   WIN [ms]                  waits until WIN no longer exists
//   probe watch  WIN ms                    fails when WIN shows up at any time within ms
//   probe window WIN                       measures, styles and display state of WIN
//   probe list   CLASS                     top-level windows of CLASS with their child texts
//   probe tree   WIN [ms]                  every node of WIN's tree view, in display order
//   probe send   WIN msg [wParam [lParam]] SendMessage; prints the result
//   probe post   WIN msg [wParam [lParam]] PostMessage
//   probe move   WIN x y                   moves WIN's top left corner, as a user's drag does
//   probe exit   pid [ms]                  waits until the process ends; prints its exit code
//   probe metrics                          the system metrics the tests compute clicks from
//   probe drives                           each logical drive with its GetDriveTypeW number
//   probe frame  WIN                       the frame AdjustWindowRectEx puts around WIN's client
//   probe count  WIN                       top-level windows with WIN's caption (all, visible)
//   probe settext WIN text                 sets WIN's caption, as SetWindowTextW does
//   probe menu   WIN                       WIN's menu, read from inside its process (probehook)
//   probe storm  WIN n seed                n messages 1025 with random wParam (never 4001) and
//                                          lParam, each sent and waited for; prints how many
//   probe repeat WIN n msg [wParam [lParam]] the same message sent n times in a row
//
// WIN is "@main" (Volane's main window), "class:NAME" (the first top-level window of that
// class, such as class:#32768 for an open popup menu), a handle ("0x1a2b") or an exact caption.

// <windows.h> comes first: <commctrl.h> needs its types.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "identity.h"
#include "platform/win32/Handles.h"
#include "tests/e2e/probehook.h"

namespace {

using volane::win32::unique_handle;

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;
constexpr DWORD kDefaultWaitMs = 15000;
constexpr DWORD kPollMs = 20;

#define PROBE_WIDEN2(x) L##x
#define PROBE_WIDEN(x) PROBE_WIDEN2(x)
constexpr std::wstring_view kMainTitle = PROBE_WIDEN(VOLANE_WINDOW_TITLE);

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

// Raw bytes to the standard output: no CRT text mode, so lines end in "\n" alone and the
// UTF-8 reaches the Linux side unchanged.
void Print(std::wstring_view line) {
    const std::string bytes = Utf8(line) + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
                &written, nullptr);
}

std::wstring Hex(std::uintptr_t value) {
    wchar_t buf[32];
    std::swprintf(buf, std::size(buf), L"0x%llx", static_cast<unsigned long long>(value));
    return buf;
}

std::wstring HwndText(HWND hwnd) {
    return Hex(reinterpret_cast<std::uintptr_t>(hwnd));
}

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
}

std::optional<std::uint64_t> ParseNumber(const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    const std::uint64_t value = std::wcstoull(text.c_str(), &end, 0);
    if (end == nullptr || *end != L'\0') return std::nullopt;
    return value;
}

DWORD ParseTimeout(const std::vector<std::wstring>& args, std::size_t index) {
    if (index >= args.size()) return kDefaultWaitMs;
    return static_cast<DWORD>(ParseNumber(args[index]).value_or(kDefaultWaitMs));
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT with a timeout: a hung target must not hang the probe.
    wchar_t buf[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buf), reinterpret_cast<LPARAM>(buf),
                          SMTO_ABORTIFHUNG, 2000, &copied);
    return std::wstring(buf, static_cast<std::size_t>(copied));
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buf[256] = {};
    const int n = ::GetClassNameW(hwnd, buf, static_cast<int>(std::size(buf)));
    return std::wstring(buf, static_cast<std::size_t>(n > 0 ? n : 0));
}

HWND FindTarget(const std::wstring& target) {
    if (target == L"@main") return ::FindWindowW(nullptr, std::wstring(kMainTitle).c_str());
    if (target.rfind(L"class:", 0) == 0) return ::FindWindowW(target.substr(6).c_str(), nullptr);
    if (target.rfind(L"0x", 0) == 0) {
        const auto value = ParseNumber(target);
        HWND hwnd = value ? reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value)) : nullptr;
        return ::IsWindow(hwnd) ? hwnd : nullptr;
    }
    return ::FindWindowW(nullptr, target.c_str());
}

// Wine gives no notification about another process's windows that a console tool could
// wait on, so waiting means looking again every few milliseconds until the deadline.
bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(kPollMs);
    }
}

int Title() {
    Print(kMainTitle);
    return kOk;
}

int Wait(const std::wstring& target, DWORD timeoutMs) {
    HWND found = nullptr;
    const bool ok = PollUntil(timeoutMs, [&] {
        found = FindTarget(target);
        return found != nullptr && ::IsWindowVisible(found);
    });
    if (!ok) return kNotFound;
    Print(HwndText(found));
    return kOk;
}

int Gone(const std::wstring& target, DWORD timeoutMs) {
    return PollUntil(timeoutMs, [&] { return FindTarget(target) == nullptr; }) ? kOk : kNotFound;
}

int Watch(const std::wstring& target, DWORD durationMs) {
    const ULONGLONG start = ::GetTickCount64();
    const bool seen = PollUntil(durationMs, [&] { return FindTarget(target) != nullptr; });
    if (!seen) return kOk;
    Print(L"seen after " + std::to_wstring(::GetTickCount64() - start) + L" ms");
    return kNotFound;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void PrintWindowFacts(HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    const auto style = static_cast<std::uintptr_t>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<std::uintptr_t>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    Print(L"hwnd=" + HwndText(hwnd));
    Print(L"pid=" + std::to_wstring(pid));
    Print(L"class=" + ClassName(hwnd));
    Print(L"caption=" + WindowText(hwnd));
    Print(L"rect=" + RectText(rect));
    Print(L"client=" + RectText(ClientRectOnScreen(hwnd)));
    Print(L"style=" + Hex(style));
    Print(L"exstyle=" + Hex(exStyle));
    Print(L"topmost=" + std::to_wstring((exStyle & WS_EX_TOPMOST) ? 1 : 0));
    Print(L"visible=" + std::to_wstring(::IsWindowVisible(hwnd) ? 1 : 0));
    Print(L"iconic=" + std::to_wstring(::IsIconic(hwnd) ? 1 : 0));
    Print(L"zoomed=" + std::to_wstring(::IsZoomed(hwnd) ? 1 : 0));
    Print(L"enabled=" + std::to_wstring(::IsWindowEnabled(hwnd) ? 1 : 0));
    Print(L"foreground=" + std::to_wstring(::GetForegroundWindow() == hwnd ? 1 : 0));
    TITLEBARINFO title{};
    title.cbSize = sizeof(title);
    if (::GetTitleBarInfo(hwnd, &title)) {
        Print(L"titlebar=" + RectText(title.rcTitleBar));
        // The close box is the last button of the caption, SM_CXSIZE wide at its right end.
        const int size = ::GetSystemMetrics(SM_CXSIZE);
        Print(L"closebox=" + std::to_wstring(title.rcTitleBar.right - size / 2 - 1) + L" " +
              std::to_wstring((title.rcTitleBar.top + title.rcTitleBar.bottom) / 2));
    }
    MENUBARINFO bar{};
    bar.cbSize = sizeof(bar);
    if (::GetMenuBarInfo(hwnd, OBJID_MENU, 0, &bar)) Print(L"menubar=" + RectText(bar.rcBar));
}

int Window(const std::wstring& target) {
    HWND hwnd = FindTarget(target);
    if (hwnd == nullptr) return kNotFound;
    PrintWindowFacts(hwnd);
    return kOk;
}

// Child lines: hwnd, class, control id, visible, screen rectangle, text.
BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    Print(L"  child\t" + HwndText(child) + L"\t" + ClassName(child) + L"\t" +
          std::to_wstring(::GetDlgCtrlID(child)) + L"\t" +
          std::to_wstring(::IsWindowVisible(child) ? 1 : 0) + L"\t" + RectText(rect) + L"\t" +
          WindowText(child));
    return TRUE;
}

struct ListContext {
    std::wstring className;
    int count = 0;
};

BOOL CALLBACK PrintTopLevel(HWND hwnd, LPARAM param) {
    auto& context = *reinterpret_cast<ListContext*>(param);
    if (ClassName(hwnd) != context.className) return TRUE;
    ++context.count;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    Print(L"window\t" + HwndText(hwnd) + L"\t" + std::to_wstring(pid) + L"\t" +
          std::to_wstring(::IsWindowVisible(hwnd) ? 1 : 0) + L"\t" + RectText(rect) + L"\t" +
          RectText(ClientRectOnScreen(hwnd)) + L"\t" + WindowText(hwnd));
    ::EnumChildWindows(hwnd, PrintChild, 0);
    return TRUE;
}

int List(const std::wstring& className) {
    ListContext context{className};
    ::EnumWindows(PrintTopLevel, reinterpret_cast<LPARAM>(&context));
    return context.count > 0 ? kOk : kNotFound;
}

// A block of memory inside the tree view's process: TVM_GETITEMW and TVM_GETITEMRECT write
// through pointers, and those must be valid in the target.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND owner, std::size_t size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(owner, &pid);
        process_.reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (process_)
            address_ = ::VirtualAllocEx(process_.get(), nullptr, size_, MEM_COMMIT | MEM_RESERVE,
                                        PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_ != nullptr) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return address_ != nullptr; }
    std::uintptr_t Address() const { return reinterpret_cast<std::uintptr_t>(address_); }
    bool Write(const void* data, std::size_t size) {
        return size <= size_ &&
               ::WriteProcessMemory(process_.get(), address_, data, size, nullptr) != FALSE;
    }
    bool Read(void* data, std::size_t size) const {
        return size <= size_ &&
               ::ReadProcessMemory(process_.get(), address_, data, size, nullptr) != FALSE;
    }

  private:
    unique_handle process_;
    void* address_ = nullptr;
    std::size_t size_;
};

constexpr std::size_t kTextChars = 520;

struct RemoteItem {
    TVITEMW item;
    wchar_t text[kTextChars];
};

struct NodeFacts {
    std::wstring text;
    int image = -1;
    int selectedImage = -1;
    bool expanded = false;
    bool selected = false;
    std::optional<POINT> centre;
};

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

int CountChildren(HWND tree, HTREEITEM item) {
    int n = 0;
    for (HTREEITEM c = NextItem(tree, item, TVGN_CHILD); c; c = NextItem(tree, c, TVGN_NEXT)) ++n;
    return n;
}

std::optional<POINT> ItemCentre(HWND tree, HTREEITEM item, RemoteBuffer& buffer) {
    // TVM_GETITEMRECT takes the item handle in the rectangle it fills; TRUE asks for the
    // label's rectangle, where a click hits the node itself.
    RECT rect{};
    std::memcpy(&rect, &item, sizeof(item));
    if (!buffer.Write(&rect, sizeof(rect))) return std::nullopt;
    if (!::SendMessageW(tree, TVM_GETITEMRECT, TRUE, static_cast<LPARAM>(buffer.Address())))
        return std::nullopt;
    if (!buffer.Read(&rect, sizeof(rect))) return std::nullopt;
    RECT client{};
    ::GetClientRect(tree, &client);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!::PtInRect(&client, centre)) return std::nullopt;  // scrolled out of view
    ::ClientToScreen(tree, &centre);
    return centre;
}

std::optional<NodeFacts> ReadNode(HWND tree, HTREEITEM item, RemoteBuffer& buffer) {
    RemoteItem remote{};
    remote.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    remote.item.hItem = item;
    remote.item.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    remote.item.pszText = reinterpret_cast<wchar_t*>(buffer.Address() + offsetof(RemoteItem, text));
    remote.item.cchTextMax = static_cast<int>(kTextChars);
    if (!buffer.Write(&remote, sizeof(remote))) return std::nullopt;
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, static_cast<LPARAM>(buffer.Address())))
        return std::nullopt;
    if (!buffer.Read(&remote, sizeof(remote))) return std::nullopt;
    remote.text[kTextChars - 1] = L'\0';
    NodeFacts facts;
    facts.text = remote.text;
    facts.image = remote.item.iImage;
    facts.selectedImage = remote.item.iSelectedImage;
    facts.expanded = (remote.item.state & TVIS_EXPANDED) != 0;
    facts.selected = (remote.item.state & TVIS_SELECTED) != 0;
    facts.centre = ItemCentre(tree, item, buffer);
    return facts;
}

// One line per node: node, depth, image, selected image, expanded, selected, children,
// centre x, centre y ("-" when not visible), text; tab-separated, text last.
bool PrintNode(HWND tree, HTREEITEM item, int depth, RemoteBuffer& buffer) {
    const auto facts = ReadNode(tree, item, buffer);
    if (!facts) return false;
    const std::wstring x = facts->centre ? std::to_wstring(facts->centre->x) : L"-";
    const std::wstring y = facts->centre ? std::to_wstring(facts->centre->y) : L"-";
    Print(L"node\t" + std::to_wstring(depth) + L"\t" + std::to_wstring(facts->image) + L"\t" +
          std::to_wstring(facts->selectedImage) + L"\t" + std::to_wstring(facts->expanded) + L"\t" +
          std::to_wstring(facts->selected) + L"\t" + std::to_wstring(CountChildren(tree, item)) +
          L"\t" + x + L"\t" + y + L"\t" + facts->text);
    return true;
}

bool PrintSubtree(HWND tree, HTREEITEM first, int depth, RemoteBuffer& buffer) {
    for (HTREEITEM item = first; item; item = NextItem(tree, item, TVGN_NEXT)) {
        if (!PrintNode(tree, item, depth, buffer)) return false;
        if (!PrintSubtree(tree, NextItem(tree, item, TVGN_CHILD), depth + 1, buffer)) return false;
    }
    return true;
}

BOOL CALLBACK FindTreeChild(HWND child, LPARAM param) {
    if (ClassName(child) != WC_TREEVIEWW) return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

HWND FindTree(HWND owner) {
    HWND tree = nullptr;
    ::EnumChildWindows(owner, FindTreeChild, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

// Waits until the tree holds at least one node: the drive roots are added right after the
// window is shown, so a probe that looks at once may find the tree still empty.
int Tree(const std::wstring& target, DWORD timeoutMs) {
    HWND tree = nullptr;
    PollUntil(timeoutMs, [&] {
        HWND owner = FindTarget(target);
        tree = owner ? FindTree(owner) : nullptr;
        return tree != nullptr && ::SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0;
    });
    if (tree == nullptr) return kNotFound;
    Print(L"tree\t" + HwndText(tree) + L"\t" +
          std::to_wstring(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
    RemoteBuffer buffer(tree, sizeof(RemoteItem));
    if (!buffer.Valid()) return kNotFound;
    return PrintSubtree(tree, NextItem(tree, nullptr, TVGN_ROOT), 0, buffer) ? kOk : kNotFound;
}

int Send(const std::vector<std::wstring>& args, bool post) {
    HWND hwnd = FindTarget(args[1]);
    const auto message = ParseNumber(args[2]);
    const auto wParam = args.size() > 3 ? ParseNumber(args[3]) : std::optional<std::uint64_t>(0);
    const auto lParam = args.size() > 4 ? ParseNumber(args[4]) : std::optional<std::uint64_t>(0);
    if (!message || !wParam || !lParam) return kUsage;
    if (hwnd == nullptr) return kNotFound;
    const auto msg = static_cast<UINT>(*message);
    if (post)
        return ::PostMessageW(hwnd, msg, static_cast<WPARAM>(*wParam), static_cast<LPARAM>(*lParam))
                   ? kOk
                   : kNotFound;
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, msg, static_cast<WPARAM>(*wParam),
                               static_cast<LPARAM>(*lParam), SMTO_NORMAL, 10000, &result))
        return kNotFound;
    Print(std::to_wstring(static_cast<long long>(result)));
    return kOk;
}

int Move(const std::wstring& target, const std::wstring& xText, const std::wstring& yText) {
    const auto x = ParseNumber(xText);
    const auto y = ParseNumber(yText);
    if (!x || !y) return kUsage;
    HWND hwnd = FindTarget(target);
    if (hwnd == nullptr) return kNotFound;
    return ::SetWindowPos(hwnd, nullptr, static_cast<int>(*x), static_cast<int>(*y), 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? kOk
               : kNotFound;
}

int Exit(const std::wstring& pidText, DWORD timeoutMs) {
    const auto pid = ParseNumber(pidText);
    if (!pid) return kUsage;
    unique_handle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                        static_cast<DWORD>(*pid)));
    if (!process) {
        Print(L"gone");  // already ended and released
        return kOk;
    }
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return kNotFound;
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    Print(std::to_wstring(code));
    return kOk;
}

int Metrics() {
    const std::pair<const wchar_t*, int> metrics[] = {
        {L"cxscreen", SM_CXSCREEN},     {L"cyscreen", SM_CYSCREEN},
        {L"cycaption", SM_CYCAPTION},   {L"cymenu", SM_CYMENU},
        {L"cymenusize", SM_CYMENUSIZE}, {L"cxsize", SM_CXSIZE},
        {L"cxframe", SM_CXFRAME},       {L"cyframe", SM_CYFRAME},
        {L"cxedge", SM_CXEDGE},         {L"cxdoubleclk", SM_CXDOUBLECLK},
    };
    for (const auto& [name, index] : metrics)
        Print(std::wstring(name) + L"=" + std::to_wstring(::GetSystemMetrics(index)));
    Print(L"doubleclicktime=" + std::to_wstring(::GetDoubleClickTime()));
    return kOk;
}

int Drives() {
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((mask & (1u << i)) == 0) continue;
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', L'\0'};
        Print(std::wstring(root) + L"\t" + std::to_wstring(::GetDriveTypeW(root)));
    }
    return kOk;
}

int Frame(const std::wstring& target) {
    HWND hwnd = FindTarget(target);
    if (hwnd == nullptr) return kNotFound;
    RECT r{0, 0, 0, 0};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE)),
                         ::GetMenu(hwnd) != nullptr,
                         static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    // Insets: left, top (caption and menu bar included), right, bottom.
    Print(L"frame=" + std::to_wstring(-r.left) + L" " + std::to_wstring(-r.top) + L" " +
          std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom));
    return kOk;
}

struct CountContext {
    std::wstring caption;
    int all = 0;
    int visible = 0;
};

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param) {
    auto& context = *reinterpret_cast<CountContext*>(param);
    if (WindowText(hwnd) != context.caption) return TRUE;
    ++context.all;
    if (::IsWindowVisible(hwnd)) ++context.visible;
    return TRUE;
}

// Counts by caption over every top-level window, not just the first FindWindow gives.
int Count(const std::wstring& target) {
    CountContext context{target == L"@main" ? std::wstring(kMainTitle) : target};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&context));
    Print(std::to_wstring(context.all) + L" " + std::to_wstring(context.visible));
    return kOk;
}

int SetText(const std::wstring& target, const std::wstring& text) {
    HWND hwnd = FindTarget(target);
    if (hwnd == nullptr) return kNotFound;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                 SMTO_NORMAL, 10000, &result) &&
                   result
               ? kOk
               : kNotFound;
}

std::wstring ProbeFolder() {
    wchar_t buf[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    std::wstring path(buf, n);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

struct LibraryFree {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
struct HookFree {
    void operator()(HHOOK hook) const { ::UnhookWindowsHookEx(hook); }
};
struct ViewFree {
    void operator()(void* view) const { ::UnmapViewOfFile(view); }
};

// Wine answers GetMenuItemCount on another process's menu with -1; the hook DLL reads the
// menu on the window's own thread and hands the text back through a named mapping.
int Menu(const std::wstring& target) {
    HWND hwnd = FindTarget(target);
    if (hwnd == nullptr) return kNotFound;
    std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree> library(
        ::LoadLibraryW((ProbeFolder() + L"probehook.dll").c_str()));
    if (!library) return kNotFound;
    auto* proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), volane::probe::kMenuDumpHookName)));
    if (proc == nullptr) return kNotFound;
    unique_handle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                               volane::probe::kMenuDumpBytes,
                                               volane::probe::kMenuDumpMapping));
    if (!mapping) return kNotFound;
    std::unique_ptr<void, ViewFree> view(
        ::MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, volane::probe::kMenuDumpBytes));
    if (!view) return kNotFound;
    auto* text = static_cast<wchar_t*>(view.get());
    text[0] = L'\0';
    const DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
    std::unique_ptr<std::remove_pointer_t<HHOOK>, HookFree> hook(
        ::SetWindowsHookExW(WH_CALLWNDPROC, proc, library.get(), thread));
    if (!hook) return kNotFound;
    const UINT message = ::RegisterWindowMessageW(volane::probe::kMenuDumpMessage);
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, 0, 0, SMTO_NORMAL, 10000, &result)) return kNotFound;
    hook.reset();
    const std::wstring dump(text, wcsnlen(text, volane::probe::kMenuDumpBytes / sizeof(wchar_t)));
    if (dump.empty()) return kNotFound;
    std::size_t start = 0;
    while (start < dump.size()) {
        const std::size_t end = dump.find(L'\n', start);
        Print(L"item\t" + dump.substr(start, end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return kOk;
}

constexpr UINT kShowExt = WM_USER + 1;
constexpr WPARAM kShowCode = 4001;

// Each message is sent and waited for, so a storm cannot outrun the window and pile up.
int Storm(const std::wstring& target, const std::wstring& countText, const std::wstring& seedText) {
    const auto count = ParseNumber(countText);
    const auto seed = ParseNumber(seedText);
    if (!count || !seed) return kUsage;
    HWND hwnd = FindTarget(target);
    if (hwnd == nullptr) return kNotFound;
    std::mt19937_64 random(*seed);
    std::uint64_t delivered = 0;
    for (std::uint64_t i = 0; i < *count; ++i) {
        auto wParam = static_cast<WPARAM>(random());
        if (i % 4 == 0) wParam = kShowCode + 1 + (wParam % 64);  // near misses: 4002 and up
        if (i % 4 == 1) wParam = kShowCode - 1 - (wParam % 64);  // and 4000 and down
        if (wParam == kShowCode) wParam = 0;
        const auto lParam = static_cast<LPARAM>(random());
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(hwnd, kShowExt, wParam, lParam, SMTO_NORMAL, 5000, &result))
            ++delivered;
    }
    Print(std::to_wstring(delivered));
    return delivered == *count ? kOk : kNotFound;
}

int Repeat(const std::vector<std::wstring>& args) {
    const auto count = ParseNumber(args[2]);
    const auto message = ParseNumber(args[3]);
    const auto wParam = args.size() > 4 ? ParseNumber(args[4]) : std::optional<std::uint64_t>(0);
    const auto lParam = args.size() > 5 ? ParseNumber(args[5]) : std::optional<std::uint64_t>(0);
    if (!count || !message || !wParam || !lParam) return kUsage;
    HWND hwnd = FindTarget(args[1]);
    if (hwnd == nullptr) return kNotFound;
    std::uint64_t delivered = 0;
    for (std::uint64_t i = 0; i < *count; ++i) {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(hwnd, static_cast<UINT>(*message), static_cast<WPARAM>(*wParam),
                                  static_cast<LPARAM>(*lParam), SMTO_NORMAL, 10000, &result))
            ++delivered;
    }
    Print(std::to_wstring(delivered));
    return delivered == *count ? kOk : kNotFound;
}

int Usage() {
    Print(
        L"usage: probe title|wait|gone|watch|window|list|tree|send|post|move|exit|metrics|drives|"
        L"frame|count|settext|menu|storm|repeat ...");
    return kUsage;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.empty()) return Usage();
    const std::wstring& command = args[0];
    const std::size_t n = args.size();
    if (command == L"title") return Title();
    if (command == L"metrics") return Metrics();
    if (command == L"drives") return Drives();
    if (n < 2) return Usage();
    if (command == L"wait") return Wait(args[1], ParseTimeout(args, 2));
    if (command == L"gone") return Gone(args[1], ParseTimeout(args, 2));
    if (command == L"watch" && n >= 3) return Watch(args[1], ParseTimeout(args, 2));
    if (command == L"window") return Window(args[1]);
    if (command == L"list") return List(args[1]);
    if (command == L"tree") return Tree(args[1], ParseTimeout(args, 2));
    if ((command == L"send" || command == L"post") && n >= 3) return Send(args, command == L"post");
    if (command == L"move" && n >= 4) return Move(args[1], args[2], args[3]);
    if (command == L"exit") return Exit(args[1], ParseTimeout(args, 2));
    if (command == L"frame") return Frame(args[1]);
    if (command == L"count") return Count(args[1]);
    if (command == L"settext" && n >= 3) return SetText(args[1], args[2]);
    if (command == L"menu") return Menu(args[1]);
    if (command == L"storm" && n >= 4) return Storm(args[1], args[2], args[3]);
    if (command == L"repeat" && n >= 4) return Repeat(args);
    return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    return Run(args);
}
