#include "platform/win32/Form.h"

#include <imm.h>

#include <algorithm>
#include <cstring>

#include "platform/Twips.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Dwm.h"
#include "platform/win32/Fatal.h"
#include "platform/win32/Topmost.h"
#include "platform/win32/WindowText.h"

namespace volane::win32 {

namespace {

// The form object is kept in the window class's extra bytes: the user-data slot belongs to the
// single-instance hook of the main window, and a window property costs a server round trip
// per message under Wine.
constexpr int kFormSlot = 0;

struct Styles {
    DWORD style;
    DWORD exStyle;
    HWND parent = nullptr;
};

Styles StylesFor(FrameStyle frame) {
    switch (frame) {
        case FrameStyle::FixedDialog:
            return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                    WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE};
        case FrameStyle::Sizable:
            return {WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE};
        case FrameStyle::Hidden:
            break;
    }
    // Never shown, so no frame and no place on the desktop. A caption would only cost measuring
    // (under Wine about 2 ms to create such a window, against almost nothing for a plain
    // pop-up); a message-only window costs the window server nothing (under Wine a hidden
    // top-level window is still an X window), and nobody who lists the desktop's windows finds it.
    return {WS_POPUP, 0, HWND_MESSAGE};
}

[[nodiscard]] unique_hicon LoadWindowIcon(HMODULE module, int id, int metricX, int metricY,
                                         UINT dpi) {
    return unique_hicon(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                        MetricForDpi(metricX, dpi),
                                                        MetricForDpi(metricY, dpi), 0)));
}

// Only for windows of the form classes, whose procedure is Form::Procedure.
Form* FormOf(HWND window) {
    return reinterpret_cast<Form*>(::GetWindowLongPtrW(window, kFormSlot));
}

void CheckSize(double twips) {
    if (twips < 0) throw AppError(Failure::InvalidPropertyValue);
}

}  // namespace

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, name, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

HWND CreateDesignedChild(HWND parent, const ControlDesign& design, const wchar_t* windowClass,
                         const wchar_t* text, DWORD style, DWORD exStyle) {
    const int dpi = static_cast<int>(DpiOf(parent));
    HWND window = ::CreateWindowExW(
        exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, TwipsToPixels(design.left, dpi),
        TwipsToPixels(design.top, dpi), TwipsToPixels(design.width, dpi),
        TwipsToPixels(design.height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), ::GetModuleHandleW(nullptr),
        nullptr);
    if (!window) throw AppError(Failure::CreateControl, design.name);
    return window;
}

void DisableInputMethod() {
    // An input method is loaded when a window is first activated: under Wine some 12 ms of
    // start-up, and a composition window over any letter typed.
    ::ImmDisableIME(static_cast<DWORD>(-1));
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// ---- FormList ----

void FormList::Add(Form& form) {
    if (!Contains(form)) forms_.push_back(&form);
}

void FormList::Remove(const Form& form) {
    std::erase(forms_, &form);
    // A form unloaded by a message sent from another thread or process (WM_CLOSE from a script,
    // say) is handled inside GetMessageW, which then goes on waiting: a message in the queue
    // wakes the loops so they see what changed.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool FormList::Contains(const Form& form) const {
    return std::find(forms_.begin(), forms_.end(), &form) != forms_.end();
}

HWND FormList::ActiveWindow() const {
    // Hidden forms own nothing: a box of a hidden owner could not be found on the desktop. A
    // window already destroyed does not show either.
    for (auto form = forms_.rbegin(); form != forms_.rend(); ++form) {
        HWND window = (*form)->Window();
        if (window && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

void FormList::UnloadAll() {
    // Unload handlers may unload other forms: walk a copy and skip those already gone.
    for (Form* form : Loaded()) {
        if (Contains(*form)) form->Unload();
    }
}

int FormList::RunMessageLoop() {
    MSG msg{};
    while (!Empty()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

// ---- Form ----

Form::Form(FormList& forms, const FormDesign& design, HMODULE resources)
    : forms_(forms), design_(design), resources_(resources) {}

Form::~Form() {
    DestroyWindowNow();
}

void Form::Load() {
    if (loaded_) return;
    const std::wstring className(design_.windowClass);
    RegisterWindowClass(className.c_str(), &Form::Procedure,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    unique_hmenu menu = BuildMenu();
    Styles styles = StylesFor(design_.frame);
    // Owned, a dialog stays in front of the window it belongs to, gets no taskbar button and no
    // Alt+Tab entry of its own, and a click on its disabled owner brings it forward.
    if (design_.frame == FrameStyle::FixedDialog) styles.parent = forms_.ActiveWindow();
    // A first guess at the system DPI; ApplyDesignedPlacement measures again with the window's.
    const UINT dpi = SystemDpi();
    const RECT client{0, 0, TwipsToPixels(design_.clientWidth, static_cast<int>(dpi)),
                      TwipsToPixels(design_.clientHeight, static_cast<int>(dpi))};
    const RECT outer =
        OuterRectForClient(client, styles.style, styles.exStyle, menu != nullptr, dpi);
    const std::wstring caption(design_.caption);
    HWND window = ::CreateWindowExW(styles.exStyle, className.c_str(), caption.c_str(),
                                    styles.style, CW_USEDEFAULT, CW_USEDEFAULT,
                                    outer.right - outer.left, outer.bottom - outer.top,
                                    styles.parent, menu.get(), ::GetModuleHandleW(nullptr), this);
    if (!window) {
        throw AppError(Failure::CreateWindow, design_.name, std::to_wstring(::GetLastError()));
    }
    menu.release();  // the window destroys its menu bar
    ApplyDpi(Dpi());
    ApplyDesignedPlacement();
    loaded_ = true;
    forms_.Add(*this);
    OnLoad();
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    OnUnload();
    // Give the input back before the window goes, so activation returns to the main window.
    EnableOthers();
    loaded_ = false;
    forms_.Remove(*this);
    if (hwnd_) ::DestroyWindow(hwnd_);
    unloading_ = false;
}

void Form::ShowModal() {
    if (!loaded_) Load();
    modal_ = true;
    for (Form* other : forms_.Loaded()) {
        HWND window = other->Window();
        if (other != this && window && ::IsWindowEnabled(window)) {
            ::EnableWindow(window, FALSE);
            disabledByModal_.push_back(window);
        }
    }
    Show();
    OnShowModal();
    MSG msg{};
    while (loaded_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the WM_QUIT for the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (hwnd_ && ::IsDialogMessageW(hwnd_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    EnableOthers();
}

void Form::EnableOthers() {
    for (HWND window : disabledByModal_) {
        if (::IsWindow(window)) ::EnableWindow(window, TRUE);
    }
    disabledByModal_.clear();
    modal_ = false;
}

void Form::DestroyWindowNow() {
    if (!hwnd_) return;
    HWND window = hwnd_;
    EnableOthers();
    Detach();
    ::DestroyWindow(window);
}

void Form::Attach(HWND window) {
    hwnd_ = window;
    ::SetWindowLongPtrW(window, kFormSlot, reinterpret_cast<LONG_PTR>(this));
}

void Form::Detach() {
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, kFormSlot, 0);
    hwnd_ = nullptr;
    controlsCreated_ = false;
    iconDpi_ = 0;  // a window made again needs its icons again
    if (loaded_) {
        // Destroyed from outside: the form is unloaded all the same.
        loaded_ = false;
        forms_.Remove(*this);
    }
    EnableOthers();
}

UINT Form::Dpi() const {
    return hwnd_ ? DpiOf(hwnd_) : SystemDpi();
}

int Form::ToPixels(double twips) const {
    return TwipsToPixels(twips, static_cast<int>(Dpi()));
}

double Form::ToTwips(int pixels) const {
    return PixelsToTwips(pixels, static_cast<int>(Dpi()));
}

void Form::ApplyDpi(UINT dpi) {
    font_ = MessageFontForDpi(dpi);
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    LayoutControls(dpi);
    SetIcons(dpi);
}

void Form::Rescale(UINT dpi) {
    ApplyDpi(dpi);
    OnDpiChanged(dpi);
}

void Form::SettingChanged(WPARAM action) {
    // Windows names the parameter that changed. The non-client metrics hold the message font,
    // which a new text size in the settings changes too; high contrast decides which colours the
    // forms take. A program that broadcasts a change names none (0): anything may have changed.
    if (action != SPI_SETNONCLIENTMETRICS && action != SPI_SETHIGHCONTRAST && action != 0) return;
    // Most such changes leave the font as it was (a new environment, a new high contrast), and a
    // new font makes the tree measure every node again.
    if (MessageFontChanged()) Rescale(Dpi());
    RedrawAll();
}

bool Form::MessageFontChanged() const {
    const unique_hfont now = MessageFontForDpi(Dpi());
    LOGFONTW was{}, is{};
    if (!font_ || !now || !::GetObjectW(font_.get(), sizeof(was), &was) ||
        !::GetObjectW(now.get(), sizeof(is), &is))
        return true;
    return std::memcmp(&was, &is, sizeof(was)) != 0;
}

void Form::ColoursChanged() {
    // Only top-level windows hear of new system colours; common controls learn of them from
    // their parent.
    for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    }
    OnSysColorChange();
    RedrawAll();
}

void Form::RedrawAll() {
    ::RedrawWindow(hwnd_, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Form::SetIcons(UINT dpi) {
    if (design_.iconId == 0 || !resources_ || dpi == iconDpi_) return;
    // Set the new icons before the old ones are destroyed.
    unique_hicon big = LoadWindowIcon(resources_, design_.iconId, SM_CXICON, SM_CYICON, dpi);
    unique_hicon small = LoadWindowIcon(resources_, design_.iconId, SM_CXSMICON, SM_CYSMICON, dpi);
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
    iconDpi_ = dpi;
}

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

double Form::Left() const {
    return ToTwips(WindowRectPixels().left);
}
double Form::Top() const {
    return ToTwips(WindowRectPixels().top);
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

std::wstring Form::Caption() const {
    return TextOf(hwnd_);
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
    SetWindowTransitions(hwnd_, on);
}

LRESULT CALLBACK Form::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        if (msg == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            Form* form = static_cast<Form*>(create->lpCreateParams);
            form->Attach(window);
            // Before the window reaches the window server, which then takes the icons with the
            // window; set later, each icon is sent again (under Wine some 5 ms of start-up).
            form->SetIcons(DpiOf(window));
        }
        Form* form = FormOf(window);
        if (!form) return ::DefWindowProcW(window, msg, wParam, lParam);
        return form->HandleMessage(msg, wParam, lParam);
    });
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (std::optional<LRESULT> handled = OnMessage(msg, wParam, lParam)) return *handled;
    switch (msg) {
        case WM_CREATE:
            CreateControls();
            controlsCreated_ = true;
            return 0;
        case WM_SIZE:
            if (controlsCreated_) OnResize();
            return 0;
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            if (std::optional<LRESULT> result = OnNotify(*reinterpret_cast<NMHDR*>(lParam)))
                return *result;
            break;
        case WM_PAINT: {
            const PaintDc paint(hwnd_);
            OnPaint(paint.get());
            return 0;
        }
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            Rescale(HIWORD(wParam));
            Reposition(suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, 0);
            return 0;
        }
        // These three go on to the default handling too, which keeps the frame's look.
        case WM_SETTINGCHANGE:
            if (controlsCreated_) SettingChanged(wParam);
            break;
        case WM_THEMECHANGED:
            if (controlsCreated_) {
                Rescale(Dpi());
                RedrawAll();
            }
            break;
        case WM_SYSCOLORCHANGE:
            if (controlsCreated_) ColoursChanged();
            break;
        case WM_NCDESTROY: {
            HWND window = hwnd_;
            Detach();
            return ::DefWindowProcW(window, msg, wParam, lParam);
        }
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace volane::win32
