#include "platform/win32/PictureBox.h"

#include <algorithm>

#include "platform/win32/Fatal.h"
#include "platform/win32/Form.h"

namespace volane::win32 {

namespace {

constexpr wchar_t kClassName[] = L"Volane.PictureBox";
constexpr int kBoxSlot = 0;  // the box object, in the class's extra bytes

}  // namespace

unique_hbitmap LoadBitmapResource(HMODULE module, const wchar_t* name) {
    return unique_hbitmap(
        static_cast<HBITMAP>(::LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

PictureBox::PictureBox(HWND parent, const ControlDesign& design) {
    // No background brush: Render paints every pixel.
    RegisterWindowClass(kClassName, &PictureBox::Procedure, nullptr);
    hwnd_ = CreateDesignedChild(parent, design, kClassName, L"", 0);
    ::SetWindowLongPtrW(hwnd_, kBoxSlot, reinterpret_cast<LONG_PTR>(this));
}

PictureBox::~PictureBox() {
    // The window outlives the box only when the box goes first: it then paints nothing.
    if (hwnd_) ::SetWindowLongPtrW(hwnd_, kBoxSlot, 0);
}

void PictureBox::SetPicture(unique_hbitmap picture) {
    picture_ = std::move(picture);
    // A hidden box is drawn whole when it is shown; invalidating it would be a round trip to the
    // window server for nothing (frmSource's Picture1 changes eight times at start-up).
    if (hwnd_ && ::IsWindowVisible(hwnd_)) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void PictureBox::Render(HDC dc, SIZE size) const {
    const RECT all{0, 0, size.cx, size.cy};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!picture_) return;
    BITMAP info{};
    ::GetObjectW(picture_.get(), sizeof(info), &info);
    const unique_hdc source(::CreateCompatibleDC(dc));
    const Selected picture(source.get(), picture_.get());
    ::BitBlt(dc, 0, 0, std::min<int>(info.bmWidth, size.cx), std::min<int>(info.bmHeight, size.cy),
             source.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK PictureBox::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        auto* box = reinterpret_cast<PictureBox*>(::GetWindowLongPtrW(window, kBoxSlot));
        if (!box) return ::DefWindowProcW(window, msg, wParam, lParam);
        switch (msg) {
            case WM_ERASEBKGND:
                return 1;  // Render paints every pixel
            case WM_PAINT: {
                const PaintDc paint(window);
                RECT client{};
                ::GetClientRect(window, &client);
                box->Render(paint.get(), {client.right, client.bottom});
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
