// frmMain's window: the sizable main form with its menus and the tree tv1. It routes the
// window's events to the handlers of frmMain and serves frmMain as its IMainHost.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>

#include "forms/frmAbout.h"
#include "forms/frmMain.h"
#include "platform/win32/Form.h"
#include "platform/win32/Menus.h"
#include "platform/win32/RestoreTarget.h"
#include "platform/win32/TreeView.h"

namespace volane::win32 {

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
    explicit ScreenOf(const Form& form) : form_(form) {}
    double Width() const override;
    double Height() const override;

  private:
    const Form& form_;
};

class MainWindow final : public Form, public IMainHost, private ITreeMouse, private IRestoreTarget {
  public:
    // Posted to itself for a tree mouse-up, so that whatever the mouse-up starts (the popup
    // menu, the About box, Exit) runs after the tree has finished with the click.
    static constexpr UINT kTreeMouseUpMessage = WM_APP + 1;
    static constexpr UINT kTreeId = 100;
    static constexpr UINT kFirstCommandId = 1000;

    MainWindow(FormList& forms, HMODULE resources, MainServices& services);
    ~MainWindow() override;

    // Valid while the form is loaded.
    TreeView& Tree() { return *tv1_; }
    frmMain& Logic() { return *logic_; }
    const MenuBar& Menus() const { return *menu_; }
    // The About box while it is shown, else null.
    AboutWindow* OpenAbout() const { return aboutBox_; }

    // IMainHost
    void PopupMainMenu(double x, double y) override;
    std::intptr_t HookWindow(std::intptr_t window) override;
    void UnhookWindow(std::intptr_t window, std::intptr_t previousProc) override;
    void ShowAboutModal() override;
    void UnloadMain() override { Unload(); }
    void UnloadAllForms() override;

  protected:
    unique_hmenu BuildMenu() override;
    void CreateControls() override;
    void OnLoad() override;
    void OnResize() override;
    void OnUnload() override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    struct MouseUp {
        int button;
        int shift;
        double x;
        double y;
    };

    void TreeMouseDown(int button, int shift, double x, double y) override;
    void TreeMouseUp(int button, int shift, double x, double y) override;
    void Restore() override;
    void RunCommand(UINT id);
    LRESULT OnTreeDoubleClick();

    FormList& forms_;
    MainServices& services_;
    std::optional<ListingServices> listing_;
    ScreenOf screen_{*this};
    std::optional<MenuBar> menu_;
    std::unique_ptr<TreeView> tv1_;
    std::optional<MenuItem> m_top_;
    std::optional<MenuItem> m_exp_;
    std::optional<frmMain> logic_;
    std::deque<MouseUp> pendingUps_;
    AboutWindow* aboutBox_ = nullptr;
};

}  // namespace volane::win32
