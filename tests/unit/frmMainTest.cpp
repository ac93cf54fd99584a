#include "forms/frmMain.h"

#include <gtest/gtest.h>

#include "Fakes.h"
#include "modules/mdlApp.h"
#include "modules/mdlMsg.h"

namespace volane {
namespace {

class FakeHost final : public IMainHost {
  public:
    void PopupMainMenu(double x, double y) override { popups.push_back({x, y}); }
    std::intptr_t HookWindow(std::intptr_t window) override {
        hooked = window;
        return previousProc;
    }
    void UnhookWindow(std::intptr_t window, std::intptr_t prev) override {
        unhooked = {window, prev};
    }
    void ShowAboutModal() override { ++abouts; }
    void UnloadMain() override { ++unloadMain; }
    void UnloadAllForms() override { ++unloadAll; }

    std::vector<std::pair<double, double>> popups;
    std::intptr_t previousProc = static_cast<std::intptr_t>(0x7FF6'1234'5678LL);
    std::intptr_t hooked = 0;
    std::pair<std::intptr_t, std::intptr_t> unhooked{0, 0};
    int abouts = 0, unloadMain = 0, unloadAll = 0;
};

class frmMainTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.onResize = [this] { form.Form_Resize(); };
        form.Form_Load();
        window.log.clear();
    }

    test::FakeWindow window;
    test::FakeTree tv1;
    test::FakeMenuItem m_top{L"置顶"};
    test::FakeMenuItem m_exp{L"收起"};
    test::FakeScreen screen;
    test::FakeFileSystem fs;
    test::FakeProcess process;
    test::FakeProfile profile;
    test::FakeUi ui;
    ListingServices listing{fs, process, profile, ui, tv1};
    FakeHost host;
    frmMain form{MainControls{window, tv1, m_top, m_exp}, host, screen, listing};
};

TEST_F(frmMainTest, LoadPinsAndPlacesAtTheRightEdge) {
    EXPECT_TRUE(window.topmost);
    EXPECT_TRUE(form.isWinTop);
    EXPECT_TRUE(m_top.checked);
    EXPECT_DOUBLE_EQ(window.Left(), 19200 - 3780 - 400);
    EXPECT_DOUBLE_EQ(window.Top(), 200);
    EXPECT_DOUBLE_EQ(window.Height(), 15360 - 800);
    EXPECT_DOUBLE_EQ(window.Width(), 3780);
    EXPECT_EQ(form.il_w, 3780);
    EXPECT_EQ(form.il_h, 14560);
    EXPECT_FALSE(form.NodeHit);
}

TEST_F(frmMainTest, LoadHooksAndKeepsThePreviousProcedureWhole) {
    EXPECT_EQ(host.hooked, window.handle);
    EXPECT_EQ(window.tag, L"140694844102264");
    form.Form_Unload();
    EXPECT_EQ(host.unhooked.first, window.handle);
    EXPECT_EQ(host.unhooked.second, host.previousProc);
    EXPECT_EQ(host.unloadAll, 1);
}

TEST(frmMainPlacementTest, NarrowScreenGivesANegativeLeftWithoutClamping) {
    test::FakeWindow window;
    test::FakeTree tv1;
    test::FakeMenuItem m_top, m_exp{L"收起"};
    test::FakeScreen screen;
    screen.width = 3000;
    screen.height = 600;
    test::FakeFileSystem fs;
    test::FakeProcess process;
    test::FakeProfile profile;
    test::FakeUi ui;
    ListingServices listing{fs, process, profile, ui, tv1};
    FakeHost host;
    frmMain form{MainControls{window, tv1, m_top, m_exp}, host, screen, listing};
    form.Form_Load();
    EXPECT_DOUBLE_EQ(window.Left(), 3000 - 3780 - 400);
    EXPECT_DOUBLE_EQ(window.Height(), -200);
    EXPECT_EQ(form.il_h, -200);
}

TEST_F(frmMainTest, TreeFollowsTheClientAreaOnEveryResize) {
    window.SetWidth(5000);
    EXPECT_DOUBLE_EQ(tv1.width, 5000 - test::FakeWindow::kFrameWidth);
    window.SetWindowState(DisplayState::Minimized);
    EXPECT_DOUBLE_EQ(tv1.width, 0);
    EXPECT_DOUBLE_EQ(tv1.height, 0);
    window.SetWindowState(DisplayState::Maximized);
    EXPECT_DOUBLE_EQ(tv1.width, 19200 - test::FakeWindow::kFrameWidth);
    // Width first, then height.
    tv1.log.clear();
    form.Form_Resize();
    EXPECT_EQ(tv1.log, (std::vector<std::wstring>{L"width", L"height"}));
}

TEST_F(frmMainTest, PinToggleDecidesOnTheMemberNotTheCheckMark) {
    form.m_top_Click();
    EXPECT_FALSE(window.topmost);
    EXPECT_FALSE(m_top.checked);
    EXPECT_FALSE(form.isWinTop);
    m_top.checked = true;  // a check mark out of step does not decide
    form.m_top_Click();
    EXPECT_TRUE(window.topmost);
    EXPECT_TRUE(m_top.checked);
    EXPECT_TRUE(form.isWinTop);
}

TEST_F(frmMainTest, CollapseAndExpandRoundTripAfterAUserResize) {
    window.SetWidth(5000);
    window.SetHeight(9001);
    const double left = window.Left(), top = window.Top();
    form.m_exp_Click();
    EXPECT_EQ(m_exp.caption, L"展开");
    EXPECT_DOUBLE_EQ(window.Width(), 3700);
    EXPECT_DOUBLE_EQ(window.Height(), 880);
    EXPECT_EQ(form.il_w, 5000);
    EXPECT_EQ(form.il_h, 9001);
    form.m_exp_Click();
    EXPECT_EQ(m_exp.caption, L"收起");
    EXPECT_DOUBLE_EQ(window.Width(), 5000);
    EXPECT_DOUBLE_EQ(window.Height(), 9001);
    EXPECT_DOUBLE_EQ(window.Left(), left);
    EXPECT_DOUBLE_EQ(window.Top(), top);
    EXPECT_TRUE(window.topmost);
}

TEST_F(frmMainTest, CollapsingAMaximizedWindowSavesItsNormalSize) {
    window.SetWindowState(DisplayState::Maximized);
    form.m_exp_Click();
    EXPECT_EQ(window.state, DisplayState::Normal);
    EXPECT_EQ(form.il_w, 3780);
    EXPECT_EQ(form.il_h, 14560);
    EXPECT_DOUBLE_EQ(window.Width(), 3700);
}

TEST_F(frmMainTest, CollapseSavesWholeTwips) {
    window.SetWidth(4000.4);
    window.SetHeight(7000.6);
    form.m_exp_Click();
    EXPECT_EQ(form.il_w, 4000);
    EXPECT_EQ(form.il_h, 7001);
}

TEST_F(frmMainTest, RestoreBringsBackEveryStateInPlaceAndPinned) {
    struct Case {
        const char* name;
        std::function<void()> disturb;
    };
    const Case cases[] = {
        {"collapsed", [this] { form.m_exp_Click(); }},
        {"minimized", [this] { window.SetWindowState(DisplayState::Minimized); }},
        {"maximized", [this] { window.SetWindowState(DisplayState::Maximized); }},
        {"moved",
         [this] {
             window.SetLeft(10);
             window.SetTop(5000);
         }},
        {"unpinned", [this] { form.m_top_Click(); }},
        {"resized", [this] { window.SetWidth(9000); }},
    };
    for (const Case& c : cases) {
        c.disturb();
        form.RestoreWindow();
        EXPECT_EQ(window.state, DisplayState::Normal) << c.name;
        EXPECT_EQ(m_exp.caption, L"收起") << c.name;
        EXPECT_DOUBLE_EQ(window.Width(), form.il_w) << c.name;
        EXPECT_DOUBLE_EQ(window.Height(), form.il_h) << c.name;
        EXPECT_DOUBLE_EQ(window.Top(), 200) << c.name;
        EXPECT_DOUBLE_EQ(window.Left(), 19200 - form.il_w - 400) << c.name;
        EXPECT_TRUE(window.visible && window.topmost && m_top.checked && form.isWinTop) << c.name;
    }
}

TEST_F(frmMainTest, RestoreRunsItsStepsInOrder) {
    form.RestoreWindow();
    EXPECT_EQ(window.log, (std::vector<std::wstring>{L"state 2", L"state 0", L"show", L"topmost"}));
}

TEST_F(frmMainTest, OnlyTheRestoreRequestIsRecognised) {
    EXPECT_TRUE(IsShowRequest(1025, 4001));
    EXPECT_FALSE(IsShowRequest(1025, 123));
    EXPECT_FALSE(IsShowRequest(1025, 0));
    EXPECT_FALSE(IsShowRequest(1024, 4001));
    EXPECT_FALSE(IsShowRequest(1026, 4001));
}

TEST_F(frmMainTest, RightButtonReleasePopsUpTheMenuAtThePointer) {
    tv1.left = 15;
    tv1.top = 30;
    form.tv1_MouseUp(kButtonRight, 0, 300, 450);
    form.tv1_MouseUp(kButtonRight, 7, 0, 0);
    form.tv1_MouseUp(kButtonLeft, 0, 300, 450);
    form.tv1_MouseUp(kButtonMiddle, 0, 300, 450);
    ASSERT_EQ(host.popups.size(), 2u);
    EXPECT_EQ(host.popups[0], std::make_pair(315.0, 480.0));
    EXPECT_EQ(host.popups[1], std::make_pair(15.0, 30.0));
}

class frmMainMouseTest : public frmMainTest {
  protected:
    void SetUp() override {
        frmMainTest::SetUp();
        ImageNames = {};
        tv1.Add(L"", L"C:\\", L"本地磁盘(C)", 2);
        fs.folders[L"C:\\"] = {{L"a.txt", 32}};
        profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L"txt;");
    }
    void DoubleClick(bool onNode) {
        tv1.hitResult = onNode;
        form.tv1_MouseDown(kButtonLeft, 0, 100, 200);
        form.tv1_DblClick();
    }
};

TEST_F(frmMainMouseTest, DoubleClickOnALeafListsOrOpensIt) {
    tv1.selected = L"C:\\";
    DoubleClick(true);
    EXPECT_EQ(tv1.lastHit, std::make_pair(100.0, 200.0));
    EXPECT_EQ(tv1.Children(L"C:\\"), 1u);
    tv1.selected = L"C:\\a.txt";
    DoubleClick(true);
    ASSERT_EQ(process.started.size(), 1u);
    EXPECT_EQ(process.started[0].first, L"D:\\ed\\ed.exe C:\\a.txt");
}

TEST_F(frmMainMouseTest, DoubleClickBesideANodeOrOnAListedFolderDoesNothing) {
    tv1.selected = L"C:\\";
    DoubleClick(false);
    EXPECT_EQ(fs.enumerations, 0);
    DoubleClick(true);
    DoubleClick(true);
    EXPECT_EQ(fs.enumerations, 1);
    tv1.selected.reset();
    DoubleClick(true);
    EXPECT_TRUE(process.started.empty());
}

TEST_F(frmMainMouseTest, RefreshLeavesOnlyTheDriveRoots) {
    fs.drives = {{L'C', 2}, {L'E', 4}};
    tv1.selected = L"C:\\";
    DoubleClick(true);
    form.m_refresh_Click();
    EXPECT_EQ(tv1.nodes.size(), 2u);
    EXPECT_EQ(tv1.Children(L"C:\\"), 0u);
    EXPECT_FALSE(tv1.IsExpanded(L"C:\\"));
    EXPECT_FALSE(tv1.selected.has_value());
}

TEST_F(frmMainTest, MenuCommandsReachTheirTargets) {
    form.m_about_Click();
    form.m_exit_Click();
    EXPECT_EQ(host.abouts, 1);
    EXPECT_EQ(host.unloadMain, 1);
}

}  // namespace
}  // namespace volane
