#include "app/AboutWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/FormDesigns.h"
#include "platform/Twips.h"
#include "resource.h"

namespace volane::app {

namespace {

static_assert(IDC_OK == IDOK);

DWORD StyleOf(const ControlDesign& design) {
    switch (design.kind) {
        case ControlKind::Button:
            return WS_TABSTOP | (design.id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        case ControlKind::Label:
            // Labels take no focus; the web-address label reports clicks.
            return SS_LEFT | (design.id == IDC_DISCLAIMER ? SS_NOTIFY : 0);
        default:
            return 0;
    }
}

}  // namespace

AboutWindow::AboutWindow(win32::FormList& forms, HMODULE resources, AboutServices& services,
                         std::function<bool()> highContrast)
    : Form(forms, AboutDesign(), resources),
      services_(services),
      highContrast_(std::move(highContrast)) {}

AboutWindow::~AboutWindow() {
    DestroyWindowNow();
}

void AboutWindow::CreateControls() {
    controls_.clear();
    for (const ControlDesign& design : AboutDesign().controls) {
        if (design.kind == ControlKind::Line) continue;  // drawn by OnPaint
        HWND window = nullptr;
        if (design.kind == ControlKind::PictureBox) {
            picIcon_ = std::make_unique<win32::PictureBox>(Window(), design);
            picIcon_->SetPicture(
                win32::LoadBitmapResource(Resources(), MAKEINTRESOURCEW(IDB_ABOUT)));
            window = picIcon_->Window();
        } else {
            const wchar_t* windowClass =
                design.kind == ControlKind::Button ? WC_BUTTONW : WC_STATICW;
            window = win32::CreateDesignedChild(Window(), design, windowClass,
                                                std::wstring(design.text).c_str(), StyleOf(design));
        }
        controls_.push_back({&design, window});
    }
    lblTitle_.emplace(ControlWindow(IDC_TITLE));
    lblVersion_.emplace(ControlWindow(IDC_VERSION));
    logic_.emplace(AboutControls{*this, *lblTitle_, *lblVersion_}, services_);
    ApplyTabOrder();
}

void AboutWindow::ApplyTabOrder() {
    // Tab and the access keys follow the z-order: stack the controls by tab index, 0 on top.
    std::vector<Control> byTab = controls_;
    std::stable_sort(byTab.begin(), byTab.end(), [](const Control& a, const Control& b) {
        return a.design->tabIndex < b.design->tabIndex;
    });
    HWND above = HWND_TOP;
    for (const Control& control : byTab) {
        ::SetWindowPos(control.window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = control.window;
    }
}

void AboutWindow::LayoutControls(UINT dpi) {
    const int d = static_cast<int>(dpi);
    for (const Control& control : controls_) {
        const ControlDesign& design = *control.design;
        ::SetWindowPos(control.window, nullptr, TwipsToPixels(design.left, d),
                       TwipsToPixels(design.top, d), TwipsToPixels(design.width, d),
                       TwipsToPixels(design.height, d),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (Window()) ::InvalidateRect(Window(), nullptr, TRUE);
}

HWND AboutWindow::ControlWindow(int id) const {
    for (const Control& control : controls_) {
        if (control.design->id == id) return control.window;
    }
    return nullptr;
}

void AboutWindow::OnLoad() {
    logic_->Form_Load();
}

void AboutWindow::OnShowModal() {
    ::SetFocus(ControlWindow(IDOK));
}

void AboutWindow::OnCommand(UINT id, UINT code, HWND /*control*/) {
    // Escape comes as IDCANCEL; a click as BN_CLICKED, which STN_CLICKED equals.
    if (id != IDCANCEL && code != BN_CLICKED) return;
    switch (id) {
        case IDOK:
        case IDCANCEL:
            logic_->cmdOK_Click();
            break;
        case IDC_SYSINFO:
            logic_->cmdSysInfo_Click();
            break;
        case IDC_PICICON:
            logic_->picIcon_Click();
            break;
        case IDC_DISCLAIMER:
            logic_->lblDisclaimer_Click();
            break;
        default:
            break;
    }
}

void AboutWindow::OnPaint(HDC dc) {
    // Line1: a grey line and a white one below it, an etched rule above the buttons.
    const int dpi = static_cast<int>(Dpi());
    for (const ControlDesign& design : AboutDesign().controls) {
        if (design.kind != ControlKind::Line) continue;
        const int y = TwipsToPixels(design.top, dpi);
        const int thickness = std::max(1, ::MulDiv(design.lineWidthPixels, dpi, kDefaultDpi));
        // Both ends are drawn: the rule's last pixel is the one at x2.
        const RECT line{TwipsToPixels(design.left, dpi), y, TwipsToPixels(design.width, dpi) + 1,
                        y + thickness};
        const win32::unique_hbrush brush(
            ::CreateSolidBrush(RGB(design.color.r, design.color.g, design.color.b)));
        ::FillRect(dc, &line, brush.get());
    }
}

std::optional<LRESULT> AboutWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_CTLCOLORSTATIC: {
            // The labels are designed black on the form's face, whatever the theme's text
            // colour. A high-contrast theme, whose background may well be black, gets the
            // system's window text on the system's window background: a pair it keeps legible.
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool contrast = highContrast_();
            const int background = contrast ? COLOR_WINDOW : COLOR_BTNFACE;
            ::SetTextColor(dc, contrast ? ::GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0));
            ::SetBkColor(dc, ::GetSysColor(background));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(background));
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(Window(), focus)) lastFocus_ = focus;
                return std::nullopt;
            }
            // Give the focus back to the control that had it, as a dialog does.
            ::DefWindowProcW(Window(), msg, wParam, lParam);
            ::SetFocus(lastFocus_ && ::IsWindow(lastFocus_) ? lastFocus_ : ControlWindow(IDOK));
            return 0;
        default:
            return std::nullopt;
    }
}

}  // namespace volane::app
