// frmMain through its handlers: load, pinning, collapse, the restore, mouse and menu.
#include "Fakes.h"
#include "forms/frmMain.h"

namespace volane::test {

// What the user does to the main window, by name.
const std::map<std::string, std::function<void(Rig&)>> kActions = {
    {"exp", [](Rig& r) { r.form.m_exp_Click(); }},
    {"top", [](Rig& r) { r.form.m_top_Click(); }},
    {"check", [](Rig& r) { r.m_top.checked = true; }},  // a check mark out of step
    {"restore", [](Rig& r) { r.form.RestoreWindow(); }},
    {"max", [](Rig& r) { r.window.SetWindowState(DisplayState::Maximized); }},
    {"min", [](Rig& r) { r.window.SetWindowState(DisplayState::Minimized); }},
    {"move", [](Rig& r) { r.window.SetLeft(10), r.window.SetTop(9); }},
    {"size", [](Rig& r) { r.window.SetWidth(5000.4), r.window.SetHeight(9000.6); }},
    // Taskbars of 720 twips, one with a tool bar at the right; "load" places the window anew.
    {"bar-bottom", [](Rig& r) { r.workArea.bottom = 14640; }},
    {"bar-left", [](Rig& r) { r.workArea.left = 720; }},
    {"bar-top-right", [](Rig& r) { r.workArea.top = 720, r.workArea.right = 18000; }},
    {"load", [](Rig& r) { r.form.Form_Load(); }}};

TEST(frmMain, LoadPinCollapseExpandAndRestoreFromEveryState) {
    const std::wstring loaded = L"0 15020,200 3780x14560 tree 3660x13780 收起",
                       collapsed = L"0 15020,200 3700x880 tree 3580x100 展开",
                       pinned = L" top isWinTop checked";
    const std::pair<std::string, std::wstring> cases[] = {
        {"", loaded + pinned},  // at the right edge, as high as the screen allows
        {"top", loaded},
        {"top check top", loaded + pinned},  // the member decides, not the check mark
        {"exp", collapsed + pinned},
        {"max exp exp", loaded + pinned},  // 展开 gives back the size from before maximized
        {"size exp exp", L"0 15020,200 5000x9001 tree 4880x8221 收起" + pinned},  // whole twips
        // The restore ends expanded, normal, in place and pinned, at the size saved last.
        {"exp restore", loaded + pinned},
        {"min restore", loaded + pinned},
        {"max restore", loaded + pinned},
        {"move top restore", loaded + pinned},
        {"size restore", loaded + pinned},
        {"size exp restore", L"0 13800,200 5000x9001 tree 4880x8221 收起" + pinned},
        // Inside the work area: 200 below its top, 400 in from its right edge, 800 shorter.
        {"bar-bottom load", L"0 15020,200 3780x13840 tree 3660x13060 收起" + pinned},
        {"bar-left load", loaded + pinned},  // measured from the right edge: nothing moves
        {"bar-top-right load", L"0 13820,920 3780x13840 tree 3660x13060 收起" + pinned},
        // The restore measures the work area as it is now, at the size saved last.
        {"bar-top-right move restore", L"0 13820,920 3780x14560 tree 3660x13780 收起" + pinned}};
    // The restore's two steps run with the window's transitions off, and on again after them.
    const Texts restoreSteps{L"transitions off", L"state 2", L"state 0", L"transitions on"};
    for (const auto& [script, state] : cases) {
        Rig r;
        std::istringstream actions(script);
        for (std::string action; actions >> action;) kActions.at(action)(r);
        EXPECT_EQ(r.State(), state) << script;
        EXPECT_EQ(r.window.shown, script.ends_with("restore")) << script;
        const Texts& log = r.window.log;
        if (r.window.shown)
            EXPECT_EQ(Texts(log.end() - std::min<int>(4, log.size()), log.end()), restoreSteps)
                << script;
    }
}

TEST(frmMain, MouseAndMenuCommands) {
    Rig r;
    for (int button : {kButtonRight, kButtonLeft, kButtonMiddle})
        r.form.tv1_MouseUp(button, 0, 300, 450);
    r.form.tv1_MouseUp(kButtonRight, 7, 0, 0);  // any shift state
    // The menu key and Shift+F10 open the menu below the selected label, or at the tree's corner.
    r.tv1.label = TwipsRect{100, 200, 400, 440};
    EXPECT_TRUE(r.form.tv1_KeyDown(0x5D, 0));
    r.tv1.label.reset();
    EXPECT_TRUE(r.form.tv1_KeyDown(0x79, kShiftMask));
    EXPECT_FALSE(r.form.tv1_KeyDown(0x79, 0));
    r.form.m_about_Click();
    r.form.m_exit_Click();
    EXPECT_EQ(r.log, "popup 315 480; popup 15 30; popup 115 470; popup 15 30; about; exit; ");

    r.fs.folders[L"C:\\w"] = {{L"a.js", 32}};
    // What each double-click did, as the window takes it: a node with children is the tree's.
    auto doubleClick = [&r](bool hit, std::optional<std::wstring> selected, NodeAction done) {
        r.tv1.hit = hit;
        r.tv1.selected = std::move(selected);
        r.form.tv1_MouseDown(kButtonLeft, 0, 100, 200);
        r.tv1.hit = !hit;  // the mouse-down decides, not a later hit test
        EXPECT_EQ(r.form.tv1_DblClick(), done) << hit << r.tv1.selected.value_or(L"none");
    };
    doubleClick(false, L"C:\\w", NodeAction::Nothing);
    doubleClick(false, L"C:\\", NodeAction::LeftToTree);  // beside the nodes
    doubleClick(true, std::nullopt, NodeAction::Nothing);
    doubleClick(true, L"C:\\", NodeAction::LeftToTree);  // has a child already
    EXPECT_TRUE(r.tv1.log.empty());
    doubleClick(true, L"C:\\w", NodeAction::Listed);
    doubleClick(true, L"C:\\w", NodeAction::LeftToTree);  // listed once only
    doubleClick(true, L"C:\\w\\a.js", NodeAction::Opened);
    EXPECT_EQ(r.tv1.log,
              (Texts{L"expand C:\\w", L"redraw off", L"add C:\\w\\a.js a.js 7", L"redraw on"}));
    // Enter opens the selected node by the double-click's rules, after a mouse-down beside it too.
    r.form.tv1_MouseDown(kButtonLeft, 0, 0, 0);
    for (const auto& [selected, handled] : {std::pair{std::optional<std::wstring>{}, false},
                                            {L"C:\\", false},
                                            {L"C:\\w\\a.js", true}}) {
        r.tv1.selected = selected;
        EXPECT_EQ(r.form.tv1_KeyDown(0x0D, 0), handled);
    }
    EXPECT_EQ(r.process.started,
              (Started{{L"D:\\ed\\ed.exe C:\\w\\a.js", 2}, {L"D:\\ed\\ed.exe C:\\w\\a.js", 2}}));

    r.fs.drives = {{L'C', 2}, {L'E', 4}};
    r.tv1.log.clear();
    EXPECT_TRUE(r.form.tv1_KeyDown(0x74, 0));  // F5, as 刷新 does
    EXPECT_EQ(r.tv1.log, (Texts{L"add C:\\ 本地磁盘(C) 2", L"add E:\\ 光盘驱动(E) 2"}));
}

}  // namespace volane::test
