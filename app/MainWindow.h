// frmMain's window: the sizable main form with its menus and the tree tv1. It routes the
// window's events to the handlers of frmMain and serves frmMain as its IMainHost.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>

#include "app/SourceWindow.h"
#include "app/WindowHook.h"
#include "forms/frmAbout.h"
#include "forms/frmMain.h"
#include "platform/win32/Form.h"
#include "platform/win32/Menus.h"
#include "platform/win32/TreeView.h"

namespace volane::app {

class AboutWindow;

// The services the main form's handlers and its About box use. The folder listing's set is
// completed with tv1 once the tree exists.
struct MainServices {
    IFileSystem& fs;
    IProcess& process;
    IProfile& profile;
    IUi& ui;
    AboutServices& about;
};

// The screen's size in twips, at the DPI of the window it serves.
class ScreenOf final : public IScreen {
  public:
    explicit ScreenOf(const win32::Form& form) : form_(form) {}
    double Width() const override;
    double Height() const override;

  private:
    const win32::Form& form_;
};

class MainWindow final : public win32::Form, public IMainHost {
  public:
    // Posted to itself for a tree mouse-up, so that whatever the mouse-up starts (the popup
    // menu, the About box, Exit) runs after the tree has finished with the click.
    static constexpr UINT kTreeMouseUpMessage = WM_APP + 1;

    // source: frmSource, whose image list the tree draws from.
    MainWindow(win32::FormList& forms, HMODULE resources, MainServices& services,
               SourceWindow& source);
    ~MainWindow() override;

    // Valid while the form is loaded.
    win32::TreeView& Tree() { return *tv1_; }
    frmMain& Logic() { return *logic_; }
    const win32::MenuBar& Menus() const { return *menu_; }
    // The About box while it is shown, else null.
    AboutWindow* OpenAbout() const { return aboutBox_; }

    // IMainHost
    void PopupMainMenu(double x, double y) override;
    void ShowAboutModal() override;

  protected:
    win32::unique_hmenu BuildMenu() override;
    void CreateControls() override;
    void OnLoad() override;
    void OnResize() override;
    void OnUnload() override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnDpiChanged(UINT dpi) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    struct MouseUp {
        int button;
        int shift;
        double x;
        double y;
    };

    void Restore();
    void RunCommand(UINT id);
    LRESULT OnTreeDoubleClick();

    win32::FormList& forms_;
    MainServices& services_;
    SourceWindow& source_;
    std::optional<ListingServices> listing_;
    ScreenOf screen_{*this};
    std::optional<win32::MenuBar> menu_;
    std::unique_ptr<win32::TreeView> tv1_;
    std::optional<win32::MenuItem> m_top_;
    std::optional<win32::MenuItem> m_exp_;
    std::optional<frmMain> logic_;
    std::deque<MouseUp> pendingUps_;
    AboutWindow* aboutBox_ = nullptr;
    // What the window hook runs on a second instance's request.
    const RestoreAction restore_ = [this] { Restore(); };
};

}  // namespace volane::app
