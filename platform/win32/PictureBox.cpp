#include "platform/win32/PictureBox.h"

#include <algorithm>

#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Fatal.h"

namespace volane::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Volane.PictureBox";
constexpr int kBoxSlot = 0;  // the box object, in the class's extra bytes
constexpr long kErrCreateControl = 5;

void RegisterPictureClass(WNDPROC procedure) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
}

}  // namespace

unique_hbitmap LoadBitmapResource(HMODULE module, const wchar_t* name) {
    return unique_hbitmap(
        static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

PictureBox::PictureBox(HWND parent, const ControlDesign& design, UINT id) {
    RegisterPictureClass(&PictureBox::Procedure);
    const int dpi = static_cast<int>(DpiOf(parent));
    hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE,
                              TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi),
                              TwipsToPixels(design.width, dpi), TwipsToPixels(design.height, dpi),
                              parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                              ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw AppError(kErrCreateControl, L"无法创建图片框");
    ::SetWindowLongPtrW(hwnd_, kBoxSlot, reinterpret_cast<LONG_PTR>(this));
}

PictureBox::~PictureBox() {
    // The window outlives the box only when the box goes first: it then paints nothing.
    if (hwnd_) ::SetWindowLongPtrW(hwnd_, kBoxSlot, 0);
}

void PictureBox::SetPicture(unique_hbitmap picture) {
    picture_ = std::move(picture);
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void PictureBox::Render(HDC dc, SIZE size) const {
    const RECT all{0, 0, size.cx, size.cy};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!picture_) return;
    BITMAP info{};
    ::GetObjectW(picture_.get(), sizeof(info), &info);
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ previous = ::SelectObject(source, picture_.get());
    ::BitBlt(dc, 0, 0, std::min<int>(info.bmWidth, size.cx), std::min<int>(info.bmHeight, size.cy),
             source, 0, 0, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
}

LRESULT CALLBACK PictureBox::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        auto* box = reinterpret_cast<PictureBox*>(::GetWindowLongPtrW(window, kBoxSlot));
        if (!box) return ::DefWindowProcW(window, msg, wParam, lParam);
        switch (msg) {
            case WM_ERASEBKGND:
                return 1;  // Render paints every pixel
            case WM_PAINT: {
                PAINTSTRUCT paint{};
                HDC dc = ::BeginPaint(window, &paint);
                RECT client{};
                ::GetClientRect(window, &client);
                box->Render(dc, {client.right, client.bottom});
                ::EndPaint(window, &paint);
                return 0;
            }
            case WM_LBUTTONDOWN:
                box->pressed_ = true;
                return 0;
            case WM_LBUTTONUP:
                if (box->pressed_) {
                    box->pressed_ = false;
                    const auto id = static_cast<UINT>(::GetDlgCtrlID(window));
                    ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                                   reinterpret_cast<LPARAM>(window));
                }
                return 0;
            case WM_NCDESTROY:
                ::SetWindowLongPtrW(window, kBoxSlot, 0);
                box->hwnd_ = nullptr;
                break;
            default:
                break;
        }
        return ::DefWindowProcW(window, msg, wParam, lParam);
    });
}

}  // namespace volane::win32
