#include "bench/FloorWindow.h"

namespace volane::bench {
namespace {

constexpr wchar_t kFloorWindowClass[] = L"VolaneBenchFloor";
constexpr int kWindowWidth = 300;
constexpr int kWindowHeight = 900;
constexpr DWORD kTreeStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT;

LRESULT CALLBACK FloorProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SIZE:
            if (HWND tree = ::FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr))
                ::MoveWindow(tree, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, msg, wParam, lParam);
    }
}

void RegisterFloorClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FloorProcedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFloorWindowClass;
    ::RegisterClassExW(&wc);
}

}  // namespace

FloorWindow CreateFloorWindow(const wchar_t* caption) {
    RegisterFloorClass();
    FloorWindow w;
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    w.frame.reset(::CreateWindowExW(0, kFloorWindowClass, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    screenWidth - kWindowWidth, 0, kWindowWidth, kWindowHeight,
                                    nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    RECT client{};
    ::GetClientRect(w.frame.get(), &client);
    w.tree = ::CreateWindowExW(0, WC_TREEVIEWW, L"", kTreeStyle, 0, 0, client.right, client.bottom,
                               w.frame.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return w;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const wchar_t* text, int image, HTREEITEM after) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.iImage = image;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace volane::bench
