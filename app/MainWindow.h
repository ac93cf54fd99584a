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

// The services the main form's handlers and its About box use, and the icon table. The folder
// listing's set is completed with the tree once it exists.
struct MainServices {
    IFileSystem& fs;
    IProcess& process;
    IProfile& profile;
    IUi& ui;
    AboutServices& about;
    const ImageNameTable& ImageNames;
};

// The screen's work area in twips, at the DPI of the window it serves.
class ScreenOf final : public IScreen {
  public:
    explicit ScreenOf(const win32::Form& form) : form_(form) {}
    TwipsRect WorkArea() const override;

  private:
    const win32::Form& form_;
};

class MainWindow final : public win32::Form, public IMainHost {
  public:
    // Posted to itself for a tree mouse-up, so that whatever the mouse-up starts (the popup
    // menu, the About box, Exit) runs after the tree has finished with the click.
    static constexpr UINT kTreeMouseUpMessage = WM_APP + 1;

    // source: frmSource, whose image list the tree draws from. allowMessage: what the hook lets
    // the restore request through the message filter with (ChangeWindowMessageFilterEx).
    // append: how the tree appends, the fastest way for the running system unless a test runs
    // the other system's road.
    MainWindow(win32::FormList& forms, HMODULE resources, MainServices& services,
               SourceWindow& source, MessageFilterFn allowMessage = &::ChangeWindowMessageFilterEx,
               win32::AppendMode append = win32::FastestAppend());
    ~MainWindow() override;

    // Valid once the form is loaded.
    win32::TreeView& Tree() { return loaded_->tv1; }
    // The About box while it is shown, else null.
    AboutWindow* OpenAbout() const { return aboutBox_; }

    // IMainHost
    void PopupMainMenu(double x, double y) override;
    void ShowAboutModal() override;
    std::intptr_t HookWindow(std::intptr_t window) override;
    void UnhookWindow(std::intptr_t window, std::intptr_t previousProc) override;
    void UnloadAllForms() override;

  protected:
    win32::unique_hmenu BuildMenu() override;
    void CreateControls() override;
    void OnLoad() override;
    void OnResize() override;
    void OnUnload() override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnDpiChanged(UINT dpi) override;
    void OnSysColorChange() override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    struct MouseUp {
        int button;
        int shift;
        double x;
        double y;
    };

    // What the window creates with its controls: the tree, the menu items, the listing's
    // services and frmMain over them.
    struct Loaded {
        Loaded(MainWindow& window, win32::TreeInput input);

        win32::TreeView tv1;
        win32::MenuItem m_top;
        win32::MenuItem m_exp;
        ListingServices listing;
        frmMain logic;
    };

    void Restore();
    void RunCommand(UINT id);

    win32::FormList& forms_;
    MainServices& services_;
    SourceWindow& source_;
    MessageFilterFn allowMessage_;
    win32::AppendMode append_;
    ScreenOf screen_{*this};
    // Built before the window, which takes the bar.
    std::optional<win32::MenuBar> menu_;
    std::unique_ptr<Loaded> loaded_;
    std::deque<MouseUp> pendingUps_;
    AboutWindow* aboutBox_ = nullptr;
    // What the window hook runs on a second instance's request.
    const RestoreAction restore_ = [this] { Restore(); };
};

}  // namespace volane::app
