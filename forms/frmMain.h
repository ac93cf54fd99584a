// The main window's logic: placement, pinning, collapse and expand, the restore sequence,
// the menu commands and the mouse handling on the tree.
#pragma once

#include <cstdint>
#include <string_view>

#include "modules/mdlTVDir.h"
#include "platform/Platform.h"

namespace volane {

inline constexpr std::wstring_view kCaptionCollapse = L"收起";
inline constexpr std::wstring_view kCaptionExpand = L"展开";

// Placement constants, twips, measured inside the screen's work area.
inline constexpr double kRightGap = 400;
inline constexpr double kTopAtLoad = 200;
inline constexpr double kBottomGap = 800;  // the work area's height less the window's
inline constexpr double kCollapsedWidth = 3700;
inline constexpr double kCollapsedHeight = 880;

// Key codes, as the keyboard events give them.
inline constexpr int kKeyReturn = 0x0D;
inline constexpr int kKeyApps = 0x5D;  // the menu key
inline constexpr int kKeyF5 = 0x74;
inline constexpr int kKeyF10 = 0x79;

// What frmMain asks of the window it runs in and of the program around it.
class IMainHost {
  public:
    virtual ~IMainHost() = default;
    // Pops up the m_main menu at a point of the form's client area (twips); returns when it
    // closes, after the chosen command has run.
    virtual void PopupMainMenu(double x, double y) = 0;
    // Loads frmAbout and shows it modal; returns when it is unloaded.
    virtual void ShowAboutModal() = 0;
    // Puts the single-instance hook on the window; returns the previous window procedure.
    virtual std::intptr_t HookWindow(std::intptr_t window) = 0;
    // Gives the window its previous procedure back.
    virtual void UnhookWindow(std::intptr_t window, std::intptr_t previousProc) = 0;
    virtual void UnloadAllForms() = 0;
};

struct MainControls {
    IWindow& window;
    ITree& tv1;
    IMenuItem& m_top;
    IMenuItem& m_exp;
};

class frmMain {
  public:
    frmMain(MainControls controls, IMainHost& host, IScreen& screen, ListingServices& listing)
        : c_(controls), host_(host), screen_(screen), listing_(listing) {}

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void m_top_Click();
    void m_exp_Click();
    void m_refresh_Click();
    void m_exit_Click();
    void m_about_Click();
    void tv1_MouseDown(int button, int shift, double x, double y);
    void tv1_MouseUp(int button, int shift, double x, double y);
    // What the double-click did; LeftToTree keeps the tree's own opening and closing.
    NodeAction tv1_DblClick();
    // True when the key was handled; the tree's own handling does the rest.
    bool tv1_KeyDown(int keyCode, int shift);
    // The restore sequence a second instance's message runs.
    void RestoreWindow();

    bool isWinTop = false;
    std::int32_t il_w = 0;
    std::int32_t il_h = 0;
    bool NodeHit = false;

  private:
    void PlaceAtRightEdge();
    // Pins the window on top or releases it, with 置顶's check mark.
    void Pin(bool pin);
    // The double-click's rule for the selected node: one without children is listed or opened,
    // unless the mouse-down was beside the nodes (hit false).
    NodeAction OpenSelectedNode(bool hit);
    // The 文件 popup at the selected node's label, or at the tree's top-left corner.
    void PopupAtSelection();

    MainControls c_;
    IMainHost& host_;
    IScreen& screen_;
    ListingServices& listing_;
};

}  // namespace volane
