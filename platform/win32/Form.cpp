#include "platform/win32/Form.h"

#include <cstring>

#include "platform/Twips.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Fatal.h"

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
    HWND window =
        ::CreateWindowExW(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style,
                          TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi),
                          TwipsToPixels(design.width, dpi), TwipsToPixels(design.height, dpi),
                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!window) throw AppError(Failure::CreateControl, design.name);
    return window;
}

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
