#include "app/MainWindow.h"

#include "app/AboutWindow.h"
#include "forms/FormDesigns.h"
#include "resource.h"

namespace volane::app {

TwipsRect ScreenOf::WorkArea() const {
    // The primary screen's, the screen the window stands on: SPI_GETWORKAREA answers for that
    // monitor, in physical pixels whatever the caller's DPI awareness. (Under Wine, unlike
    // Windows, GetMonitorInfoW's rcWork does not follow a work area set with SPI_SETWORKAREA;
    // SPI_GETWORKAREA does, so the tests run this road.)
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return {form_.ToTwips(area.left), form_.ToTwips(area.top), form_.ToTwips(area.right),
            form_.ToTwips(area.bottom)};
}

MainWindow::MainWindow(win32::FormList& forms, HMODULE resources, MainServices& services,
                       SourceWindow& source, MessageFilterFn allowMessage, win32::AppendMode append)
    : Form(forms, MainDesign(), resources),
      forms_(forms),
      services_(services),
      source_(source),
      allowMessage_(allowMessage),
      append_(append) {}

MainWindow::~MainWindow() {
    DestroyWindowNow();
}

win32::unique_hmenu MainWindow::BuildMenu() {
    menu_.emplace(MainDesign().menus);
    return menu_->TakeBar();
}

MainWindow::Loaded::Loaded(MainWindow& window, win32::TreeInput input)
    : tv1(window.Window(), MainDesign().controls[0], std::move(input), window.append_),
      m_top(window.Window(), window.menu_->Bar(), IDM_TOP),
      m_exp(window.Window(), window.menu_->Bar(), IDM_EXP),
      listing{window.services_.fs,
              window.services_.process,
              window.services_.profile,
              window.services_.ui,
              tv1,
              window.services_.ImageNames},
      logic(MainControls{window, tv1, m_top, m_exp}, window, window.screen_, listing) {}

void MainWindow::CreateControls() {
    win32::TreeInput input{
        .down = [this](int button, int shift, double x,
                       double y) { loaded_->logic.tv1_MouseDown(button, shift, x, y); },
        .up =
            [this](int button, int shift, double x, double y) {
                pendingUps_.push_back({button, shift, x, y});
                ::PostMessageW(Window(), kTreeMouseUpMessage, 0, 0);
            },
        .keyDown = [this](int key, int shift) { return loaded_->logic.tv1_KeyDown(key, shift); },
    };
    loaded_ = std::make_unique<Loaded>(*this, std::move(input));
}

void MainWindow::OnLoad() {
    loaded_->logic.Form_Load();
}

void MainWindow::OnResize() {
    if (loaded_) loaded_->logic.Form_Resize();
}

void MainWindow::OnUnload() {
    loaded_->logic.Form_Unload();
}

std::intptr_t MainWindow::HookWindow(std::intptr_t window) {
    return app::HookWindow(window, &restore_, allowMessage_);
}

void MainWindow::UnhookWindow(std::intptr_t window, std::intptr_t previousProc) {
    app::UnhookWindow(window, previousProc);
}

void MainWindow::UnloadAllForms() {
    forms_.UnloadAll();
}

void MainWindow::PopupMainMenu(double x, double y) {
    POINT at{ToPixels(x), ToPixels(y)};
    ::ClientToScreen(Window(), &at);
    HWND window = Window();
    // Without the foreground the menu would not close on a click elsewhere.
    ::SetForegroundWindow(window);
    const auto command = static_cast<UINT>(::TrackPopupMenuEx(
        menu_->Submenu(IDM_MAIN), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD,
        at.x, at.y, window, nullptr));
    ::PostMessageW(window, WM_NULL, 0, 0);
    // The chosen command runs before the popup call returns, as from the menu bar.
    if (command != 0) RunCommand(command);
}

void MainWindow::ShowAboutModal() {
    AboutWindow about(forms_, Resources(), services_.about);
    about.Load();
    // A pinned main window would otherwise cover the box wherever the two overlap.
    if (loaded_->logic.isWinTop) about.SetTopmost(true);
    aboutBox_ = &about;
    about.ShowModal();
    aboutBox_ = nullptr;
}

void MainWindow::Restore() {
    loaded_->logic.RestoreWindow();
    // The restored main window is pinned on top; an open About box stays usable in front of it.
    if (aboutBox_ && aboutBox_->IsLoaded()) {
        aboutBox_->SetTopmost(true);
        ::SetForegroundWindow(aboutBox_->Window());
    }
}

void MainWindow::RunCommand(UINT id) {
    switch (id) {
        case IDM_REFRESH:
            loaded_->logic.m_refresh_Click();
            break;
        case IDM_TOP:
            loaded_->logic.m_top_Click();
            break;
        case IDM_EXIT:
            loaded_->logic.m_exit_Click();
            break;
        case IDM_ABOUT:
            loaded_->logic.m_about_Click();
            break;
        case IDM_EXP:
            loaded_->logic.m_exp_Click();
            break;
        default:
            break;
    }
}

void MainWindow::OnCommand(UINT id, UINT /*code*/, HWND control) {
    if (!control) RunCommand(id);
}

void MainWindow::OnDpiChanged(UINT dpi) {
    if (!loaded_ || !source_.ilFiles()) return;
    source_.SetImageDpi(dpi);
    // Also at the same DPI: a new message font changes the rows' height.
    win32::SetTreePictures(Tree().Window(), source_.ilFiles());
}

void MainWindow::OnSysColorChange() {
    // frmSource is hidden and hears nothing of the change itself.
    source_.UseWindowColour();
}

std::optional<LRESULT> MainWindow::OnNotify(const NMHDR& header) {
    // tv1 is the one control of the window, known by its designed id.
    if (!loaded_ || header.idFrom != IDC_TV1) return std::nullopt;
    switch (header.code) {
        case NM_RCLICK:
            Tree().OnRightClickNotify();
            return 1;  // handled: no WM_CONTEXTMENU
        case NM_DBLCLK:
            // A node with children keeps the control's own opening and closing (0). One just
            // listed is already expanded by the listing; the default toggle would close it again.
            return loaded_->logic.tv1_DblClick() == NodeAction::LeftToTree ? 0 : 1;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> MainWindow::OnMessage(UINT msg, WPARAM, LPARAM) {
    if (msg != kTreeMouseUpMessage) return std::nullopt;
    if (!pendingUps_.empty() && loaded_) {
        const MouseUp up = pendingUps_.front();
        pendingUps_.pop_front();
        loaded_->logic.tv1_MouseUp(up.button, up.shift, up.x, up.y);
    }
    return 0;
}

}  // namespace volane::app
