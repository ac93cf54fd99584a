// Where a form's window stands and how large it is: its designed placement at load, and the
// measures, display states and pinning of IWindow.
#include "platform/win32/Dpi.h"
#include "platform/win32/Dwm.h"
#include "platform/win32/Form.h"
#include "platform/win32/Topmost.h"

namespace volane::win32 {

namespace {

void CheckSize(double twips) {
    if (twips < 0) throw AppError(Failure::InvalidPropertyValue);
}

}  // namespace

void Form::ApplyDesignedPlacement() {
    const int width = ToPixels(design_.clientWidth);
    const int height = ToPixels(design_.clientHeight);
    RECT client{0, 0, width, height};
    const bool placed = design_.clientLeft.has_value() && design_.clientTop.has_value();
    if (placed) {
        ::OffsetRect(&client, ToPixels(*design_.clientLeft), ToPixels(*design_.clientTop));
    }
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    const RECT outer =
        OuterRectForClient(client, style, exStyle, ::GetMenu(hwnd_) != nullptr, Dpi());
    // A window made at its designed size needs no move: a call that changes nothing still costs
    // a round trip to the window server (and sends neither WM_SIZE nor WM_MOVE).
    const RECT made = WindowRectPixels();
    if (made.right - made.left != outer.right - outer.left ||
        made.bottom - made.top != outer.bottom - outer.top ||
        (placed && (made.left != outer.left || made.top != outer.top))) {
        Reposition(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                   placed ? 0 : SWP_NOMOVE);
    }
    // The estimate misses a menu bar that wraps and whatever frame the theme adds: measure the
    // client area that came out and correct by the difference.
    RECT got{};
    ::GetClientRect(hwnd_, &got);
    const RECT now = WindowRectPixels();
    if (got.right != width || got.bottom != height) {
        Reposition(0, 0, now.right - now.left + width - got.right,
                   now.bottom - now.top + height - got.bottom, SWP_NOMOVE);
    }
    if (placed) {
        POINT origin{0, 0};
        ::ClientToScreen(hwnd_, &origin);
        if (origin.x != client.left || origin.y != client.top) {
            const RECT at = WindowRectPixels();
            Reposition(at.left + client.left - origin.x, at.top + client.top - origin.y, 0, 0,
                       SWP_NOSIZE);
        }
    }
}

RECT Form::WindowRectPixels() const {
    RECT rect{};
    ::GetWindowRect(hwnd_, &rect);
    return rect;
}

void Form::Reposition(int x, int y, int width, int height, UINT flags) {
    ::SetWindowPos(hwnd_, nullptr, x, y, width, height,
                   flags | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

double Form::Width() const {
    const RECT rect = WindowRectPixels();
    return ToTwips(rect.right - rect.left);
}

double Form::Height() const {
    const RECT rect = WindowRectPixels();
    return ToTwips(rect.bottom - rect.top);
}

void Form::SetLeft(double twips) {
    Reposition(ToPixels(twips), WindowRectPixels().top, 0, 0, SWP_NOSIZE);
}

void Form::SetTop(double twips) {
    Reposition(WindowRectPixels().left, ToPixels(twips), 0, 0, SWP_NOSIZE);
}

void Form::SetWidth(double twips) {
    CheckSize(twips);
    const RECT rect = WindowRectPixels();
    Reposition(0, 0, ToPixels(twips), rect.bottom - rect.top, SWP_NOMOVE);
}

void Form::SetHeight(double twips) {
    CheckSize(twips);
    const RECT rect = WindowRectPixels();
    Reposition(0, 0, rect.right - rect.left, ToPixels(twips), SWP_NOMOVE);
}

double Form::ClientWidth() const {
    RECT rect{};
    ::GetClientRect(hwnd_, &rect);
    return ToTwips(rect.right);
}

double Form::ClientHeight() const {
    RECT rect{};
    ::GetClientRect(hwnd_, &rect);
    return ToTwips(rect.bottom);
}

DisplayState Form::WindowState() const {
    if (::IsIconic(hwnd_)) return DisplayState::Minimized;
    if (::IsZoomed(hwnd_)) return DisplayState::Maximized;
    return DisplayState::Normal;
}

void Form::SetWindowState(DisplayState state) {
    switch (state) {
        case DisplayState::Minimized:
            ::ShowWindow(hwnd_, SW_MINIMIZE);
            break;
        case DisplayState::Maximized:
            ::ShowWindow(hwnd_, SW_MAXIMIZE);
            break;
        case DisplayState::Normal:
            // A window minimized from maximized restores to maximized first.
            if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
            if (::IsZoomed(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
            break;
    }
}

void Form::SetCaption(const std::wstring& caption) {
    ::SetWindowTextW(hwnd_, caption.c_str());
}

void Form::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
}

void Form::SetTopmost(bool topmost) {
    SetTopmostBand(hwnd_, topmost);
}

void Form::SetTransitions(bool on) {
    // A window whose transitions stay on still takes its new state, only with the zoom.
    static_cast<void>(SetWindowTransitions(hwnd_, on));
}

}  // namespace volane::win32
