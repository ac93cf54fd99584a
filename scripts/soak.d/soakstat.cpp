// soakstat.exe: what scripts/soak needs to know about the running Volane from outside, as
// plain lines on standard output. Exit code 0 on success, 1 when the window, the node or the
// condition is not there, 2 on a usage error.
//
//   soakstat stats                     pid, handles, GDI objects, USER objects (windows when the
//                                      system does not count them), working set and private
//                                      bytes of the process that owns the main window, and the
//                                      number of nodes in its tree
//   soakstat point TEXT...             the node reached from the roots by these labels is
//                                      scrolled into view; prints the screen point on its label
//   soakstat wait MIN ms TEXT...       waits until that node has at least MIN children and is
//                                      expanded; prints the number of children
//   soakstat baritem N                 the screen point in item N (0-based) of the main window's
//                                      menu bar, 文件 then 收起/展开

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "identity.h"
#include "scripts/soak.d/ProcessCounts.h"

namespace {

#define SOAK_WIDEN2(x) L##x
#define SOAK_WIDEN(x) SOAK_WIDEN2(x)
constexpr const wchar_t* kMainTitle = SOAK_WIDEN(VOLANE_WINDOW_TITLE);

constexpr int kOk = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

void Print(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                          nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
                &written, nullptr);
}

HWND MainWindow() {
    return ::FindWindowW(nullptr, kMainTitle);
}

HWND TreeOf(HWND main) {
    return ::FindWindowExW(main, nullptr, WC_TREEVIEWW, nullptr);
}

int Stats() {
    HWND main = MainWindow();
    if (!main) return kNotFound;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(main, &pid);
    Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process.get()) return kNotFound;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory));
    HWND tree = TreeOf(main);
    Print(L"pid=" + std::to_wstring(pid));
    Print(L"handles=" + std::to_wstring(volane::counts::HandleCount(pid)));
    Print(L"gdi=" + std::to_wstring(volane::counts::GdiCount(process.get())));
    Print(L"user=" + std::to_wstring(volane::counts::UserCount(process.get(), pid)));
    Print(L"workingset=" + std::to_wstring(memory.WorkingSetSize));
    Print(L"private=" +
          std::to_wstring(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage));
    Print(L"nodes=" + std::to_wstring(tree ? ::SendMessageW(tree, TVM_GETCOUNT, 0, 0) : -1));
    return kOk;
}

// A block in the tree's process for the calls that write through a pointer.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND owner, std::size_t size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(owner, &pid);
        process_ =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = static_cast<char*>(::VirtualAllocEx(
                process_, nullptr, size_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteBuffer() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    char* Address() const { return address_; }
    bool Write(const void* data, std::size_t size) {
        return address_ && size <= size_ &&
               ::WriteProcessMemory(process_, address_, data, size, nullptr);
    }
    bool Read(void* data, std::size_t size) const {
        return address_ && size <= size_ &&
               ::ReadProcessMemory(process_, address_, data, size, nullptr);
    }

  private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
    std::size_t size_;
};

constexpr int kTextChars = 520;

struct RemoteItem {
    TVITEMW item;
    wchar_t text[kTextChars];
};

std::wstring ItemText(HWND tree, HTREEITEM item, RemoteBuffer& buffer) {
    RemoteItem remote{};
    remote.item.mask = TVIF_HANDLE | TVIF_TEXT;
    remote.item.hItem = item;
    remote.item.pszText = reinterpret_cast<wchar_t*>(buffer.Address() + offsetof(RemoteItem, text));
    remote.item.cchTextMax = kTextChars;
    if (!buffer.Write(&remote, sizeof(remote))) return {};
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.Address())))
        return {};
    if (!buffer.Read(&remote, sizeof(remote))) return {};
    remote.text[kTextChars - 1] = L'\0';
    return remote.text;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The node reached from the roots by the labels, one level per label.
HTREEITEM FindByTexts(HWND tree, const std::vector<std::wstring>& texts, RemoteBuffer& buffer) {
    HTREEITEM item = nullptr;
    HTREEITEM level = Next(tree, nullptr, TVGN_ROOT);
    for (const std::wstring& text : texts) {
        item = nullptr;
        for (HTREEITEM sibling = level; sibling; sibling = Next(tree, sibling, TVGN_NEXT)) {
            if (ItemText(tree, sibling, buffer) == text) {
                item = sibling;
                break;
            }
        }
        if (!item) return nullptr;
        level = Next(tree, item, TVGN_CHILD);
    }
    return item;
}

int Point(const std::vector<std::wstring>& texts) {
    HWND main = MainWindow();
    HWND tree = main ? TreeOf(main) : nullptr;
    if (!tree) return kNotFound;
    RemoteBuffer buffer(tree, sizeof(RemoteItem));
    HTREEITEM item = FindByTexts(tree, texts, buffer);
    if (!item) return kNotFound;
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT rect{};
    std::memcpy(&rect, &item, sizeof(item));
    if (!buffer.Write(&rect, sizeof(rect))) return kNotFound;
    if (!::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer.Address())))
        return kNotFound;
    buffer.Read(&rect, sizeof(rect));
    POINT at{rect.left + 6, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(tree, &at);
    Print(std::to_wstring(at.x) + L" " + std::to_wstring(at.y));
    return kOk;
}

// Menus of another process cannot be read under Wine, so the bar is laid out here as the menu
// code does: it lies right above the client area, one menu line high, and each item is its
// text's width plus two average characters, side by side from the left. Both captions of the
// second item are two ideographs wide.
int BarItem(int index) {
    HWND main = MainWindow();
    if (!main) return kNotFound;
    POINT origin{0, 0};
    ::ClientToScreen(main, &origin);
    const RECT bar{origin.x, origin.y - ::GetSystemMetrics(SM_CYMENU), origin.x, origin.y};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HDC dc = ::GetDC(nullptr);
    HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE average{};
    constexpr wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    ::GetTextExtentPoint32W(dc, kAlphabet, 52, &average);
    const long padding = 2 * ((average.cx / 26 + 1) / 2);
    const wchar_t* captions[] = {L"文件", L"收起"};
    long left = bar.left;
    long width = 0;
    for (int i = 0; i <= index && i < 2; ++i) {
        SIZE text{};
        ::GetTextExtentPoint32W(dc, captions[i], 2, &text);
        left += width;
        width = text.cx + padding;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    Print(std::to_wstring(left + width / 2) + L" " + std::to_wstring((bar.top + bar.bottom) / 2));
    return kOk;
}

int Wait(long minimum, DWORD timeoutMs, const std::vector<std::wstring>& texts) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        HWND main = MainWindow();
        HWND tree = main ? TreeOf(main) : nullptr;
        if (tree) {
            RemoteBuffer buffer(tree, sizeof(RemoteItem));
            if (HTREEITEM item = FindByTexts(tree, texts, buffer)) {
                const auto state = ::SendMessageW(tree, TVM_GETITEMSTATE,
                                                  reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
                long children = 0;
                for (HTREEITEM c = Next(tree, item, TVGN_CHILD); c && children < minimum;
                     c = Next(tree, c, TVGN_NEXT))
                    ++children;
                if ((state & TVIS_EXPANDED) && children >= minimum) {
                    Print(std::to_wstring(children));
                    return kOk;
                }
            }
        }
        if (::GetTickCount64() >= deadline) return kNotFound;
        ::Sleep(50);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.empty()) return kUsage;
    if (args[0] == L"stats") return Stats();
    if (args[0] == L"point" && args.size() >= 2)
        return Point(std::vector<std::wstring>(args.begin() + 1, args.end()));
    if (args[0] == L"baritem" && args.size() == 2)
        return BarItem(static_cast<int>(std::wcstol(args[1].c_str(), nullptr, 10)));
    if (args[0] == L"wait" && args.size() >= 4)
        return Wait(std::wcstol(args[1].c_str(), nullptr, 10),
                    static_cast<DWORD>(std::wcstoul(args[2].c_str(), nullptr, 10)),
                    std::vector<std::wstring>(args.begin() + 3, args.end()));
    return kUsage;
}
