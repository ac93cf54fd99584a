#include "forms/frmMain.h"

#include <cmath>

#include "modules/mdlApp.h"
#include "modules/mdlMsg.h"

namespace volane {

namespace {
// Twips as whole numbers, rounding halves to even as the window's measures are saved.
std::int32_t WholeTwips(double twips) {
    return static_cast<std::int32_t>(std::nearbyint(twips));
}
}  // namespace

// The margins are measured inside the work area: a taskbar at any edge keeps them clear of it.
void frmMain::PlaceAtRightEdge() {
    const TwipsRect area = screen_.WorkArea();
    c_.window.SetTop(area.top + kTopAtLoad);
    c_.window.SetLeft(area.right - c_.window.Width() - kRightGap);
}

void frmMain::Pin(bool pin) {
    c_.window.SetTopmost(pin);
    c_.m_top.SetChecked(pin);
    isWinTop = pin;
}

void frmMain::Form_Load() {
    Pin(true);
    const TwipsRect area = screen_.WorkArea();
    c_.window.SetLeft(area.right - c_.window.Width() - kRightGap);
    c_.window.SetTop(area.top + kTopAtLoad);
    c_.window.SetHeight(area.bottom - area.top - kBottomGap);
    il_w = WholeTwips(c_.window.Width());
    il_h = WholeTwips(c_.window.Height());
    c_.window.SetTag(ProcToTag(host_.HookWindow(c_.window.Handle())));
}

void frmMain::Form_Resize() {
    c_.tv1.SetWidth(c_.window.ClientWidth());
    c_.tv1.SetHeight(c_.window.ClientHeight());
}

void frmMain::Form_Unload() {
    host_.UnhookWindow(c_.window.Handle(), TagToProc(c_.window.Tag()));
    host_.UnloadAllForms();
}

void frmMain::m_top_Click() {
    Pin(!isWinTop);
}

void frmMain::m_exp_Click() {
    if (c_.m_exp.Caption() == kCaptionCollapse) {
        if (c_.window.WindowState() != DisplayState::Normal)
            c_.window.SetWindowState(DisplayState::Normal);
        il_w = WholeTwips(c_.window.Width());
        il_h = WholeTwips(c_.window.Height());
        c_.window.SetWidth(kCollapsedWidth);
        c_.window.SetHeight(kCollapsedHeight);
        c_.m_exp.SetCaption(std::wstring(kCaptionExpand));
    } else {
        c_.m_exp.SetCaption(std::wstring(kCaptionCollapse));
        c_.window.SetWidth(il_w);
        c_.window.SetHeight(il_h);
    }
}

void frmMain::RestoreWindow() {
    // Through maximized to normal, so a minimized or maximized window ends normal either way;
    // without the transitions, which would zoom the window to the whole screen and back.
    c_.window.SetTransitions(false);
    c_.window.SetWindowState(DisplayState::Maximized);
    c_.window.SetWindowState(DisplayState::Normal);
    c_.window.SetTransitions(true);
    c_.m_exp.SetCaption(std::wstring(kCaptionCollapse));
    c_.window.SetWidth(il_w);
    c_.window.SetHeight(il_h);
    PlaceAtRightEdge();
    c_.window.Show();
    Pin(true);
}

void frmMain::m_refresh_Click() {
    c_.tv1.Clear();
    LoadDrives(listing_.fs, c_.tv1, listing_.ImageNames);
}

void frmMain::m_exit_Click() {
    c_.window.Unload();
}

void frmMain::m_about_Click() {
    host_.ShowAboutModal();
}

void frmMain::tv1_MouseDown(int /*button*/, int /*shift*/, double x, double y) {
    NodeHit = c_.tv1.HitTest(x, y);
}

void frmMain::tv1_MouseUp(int button, int /*shift*/, double x, double y) {
    if (button == kButtonRight) host_.PopupMainMenu(c_.tv1.Left() + x, c_.tv1.Top() + y);
}

NodeAction frmMain::OpenSelectedNode(bool hit) {
    // A hit with nothing selected (the selection can lag the click) has nothing to open.
    const std::optional<TreeSelection> node = c_.tv1.Selected();
    if (!node) return NodeAction::Nothing;
    if (node->children >= 1) return NodeAction::LeftToTree;
    if (!hit) return NodeAction::Nothing;
    return ExpandPath(node->key, listing_);
}

void frmMain::PopupAtSelection() {
    const std::optional<TwipsRect> label = c_.tv1.SelectedLabel();
    const double x = label ? label->left : 0;
    const double y = label ? label->bottom : 0;
    host_.PopupMainMenu(c_.tv1.Left() + x, c_.tv1.Top() + y);
}

NodeAction frmMain::tv1_DblClick() {
    return OpenSelectedNode(NodeHit);
}

bool frmMain::tv1_KeyDown(int keyCode, int shift) {
    // Enter opens as a double-click on the node does; a node with children is left to the tree,
    // which has nothing of its own for Enter either.
    if (keyCode == kKeyReturn && shift == 0) {
        const NodeAction done = OpenSelectedNode(true);
        return done == NodeAction::Listed || done == NodeAction::Opened;
    }
    if (keyCode == kKeyF5 && shift == 0) {
        m_refresh_Click();
        return true;
    }
    if ((keyCode == kKeyApps && shift == 0) || (keyCode == kKeyF10 && shift == kShiftMask)) {
        PopupAtSelection();
        return true;
    }
    return false;
}

}  // namespace volane
