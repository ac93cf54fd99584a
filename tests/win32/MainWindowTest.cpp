#include <cstdlib>
#include <thread>

#include "tests/win32/Support.h"

namespace volane::test {
namespace {

// The main window, where it opens and where the restore request brings it back.
class MainWindowTest : public AppTest {
  protected:
    // The menu bar, or its 文件 menu: each caption, " [checked]" after one with the check mark.
    std::vector<std::wstring> Menu(bool file = false) const {
        const HMENU menu = file ? ::GetSubMenu(::GetMenu(Main()), 0) : ::GetMenu(Main());
        std::vector<std::wstring> lines;
        for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(menu)); ++i) {
            wchar_t text[64] = {};
            ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            const bool checked = ::GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED;
            lines.push_back(text + std::wstring(checked ? L" [checked]" : L""));
        }
        return lines;
    }
    // Where it opens and a restore puts it: 400 twips in from the work area's right, 200 down,
    // 800 short.
    RECT StartRect(HWND window, RECT area) const {
        const int width = WindowRect(window).right - WindowRect(window).left;
        const int left = area.right - width - Px(400);
        return {left, area.top + Px(200), left + width, area.bottom - Px(600)};
    }
    // Xvfb has no taskbar: there the work area is the whole screen.
    RECT StartRect() const {
        return StartRect(Main(),
                         {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    }
};

TEST_F(MainWindowTest, OpensPinnedAtTheRightEdgeAndCollapses) {
    const char* dpi = std::getenv("VOLANE_TEST_DPI");
    ASSERT_TRUE(!dpi || app.main.Dpi() == std::stoul(dpi)) << app.main.Dpi();
    EXPECT_EQ(ClientRect(Main()).right, Px(3540));
    EXPECT_EQ(WindowRect(Main()), StartRect());
    EXPECT_TRUE(IsTopmost(Main()));
    EXPECT_EQ(Menu(), (std::vector<std::wstring>{L"文件", L"收起"}));
    EXPECT_EQ(Menu(true),
              (std::vector<std::wstring>{L"刷新", L"置顶 [checked]", L"", L"退出", L"关于"}));
    // The strip, 3700 x 880 twips, where the window stood.
    const RECT expanded = WindowRect(Main()),
               strip{expanded.left, expanded.top, expanded.left + Px(3700), expanded.top + Px(880)};
    Command(IDM_EXP);
    EXPECT_EQ(Menu()[1], L"展开");
    EXPECT_EQ(WindowRect(Main()), strip);
    // The resize event fits the tree to the client area.
    EXPECT_EQ(WindowRect(Tree(), true), ClientRect(Main()));
    Command(IDM_EXP);
    EXPECT_EQ(Menu()[1], L"收起");
    EXPECT_EQ(WindowRect(Main()), expanded);
    // From maximized the strip stands where the normal window stood, which 展开 gives back.
    app.main.SetWindowState(DisplayState::Maximized);
    Command(IDM_EXP);
    EXPECT_FALSE(::IsZoomed(Main()));
    EXPECT_EQ(WindowRect(Main()), strip);
    Command(IDM_EXP);
    EXPECT_EQ(WindowRect(Main()), expanded);
    // Inside the work area: with Windows 11's 48-pixel taskbar, and with bars at the left, the top
    // and the right.
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN),
              bar = ::MulDiv(48, static_cast<int>(app.main.Dpi()), 96);
    const RECT areas[] = {{0, 0, cx, cy - bar}, {bar, bar, cx - bar, cy}};
    SystemParameter<RECT> workArea(SPI_GETWORKAREA, SPI_SETWORKAREA, 0);
    for (const RECT& area : areas) {
        workArea.Set(area);
        app::MainWindow placed(app.forms, app.module, app.services, app.source);
        placed.Load();
        SCOPED_TRACE("work area " + ::testing::PrintToString(area));
        EXPECT_EQ(WindowRect(placed.Window()), StartRect(placed.Window(), area));
    }
}

TEST_F(MainWindowTest, RestoreRequestBringsTheWindowBack) {
    app.ShowMainForm();
    const RECT start = StartRect();
    for (DisplayState from : {DisplayState::Minimized, DisplayState::Maximized}) {
        Command(IDM_EXP);
        Command(IDM_TOP);
        app.main.SetLeft(1500);
        app.main.SetTop(3000);
        app.main.SetWindowState(from);
        EXPECT_EQ(app.main.WindowState(), from);
        ::SendMessageW(Main(), 1025, 4001, 0);
        EXPECT_FALSE(::IsIconic(Main()) || ::IsZoomed(Main()));
        EXPECT_TRUE(::IsWindowVisible(Main()));
        EXPECT_EQ(WindowRect(Main()), start);
        EXPECT_TRUE(IsTopmost(Main()));
    }
    // Once the About box has closed, a restore has no box to bring forward.
    std::thread closer([] {
        HWND about = ShownWindow(nullptr, L"关于 Volane-Torlin@www.torlin.example");
        ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    });
    Command(IDM_ABOUT);
    closer.join();
    EXPECT_EQ(app.main.OpenAbout(), nullptr);
}

// At a new scaling: the window's icons, the node pictures and the rows at the new DPI's pixels.
TEST_F(MainWindowTest, FollowsADpiChange) {
    app.LoadSourceForm();
    app.InitImages();
    app.ShowMainForm();
    ASSERT_TRUE(app.main.Tree().Add({}, L"C:\\", L"本地磁盘(C)", 2));
    const auto iconWidth = [&](WPARAM which) {
        ICONINFO info{};
        ::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(Main(), WM_GETICON, which, 0)), &info);
        BITMAP mask{};
        ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
        ::DeleteObject(info.hbmMask);
        ::DeleteObject(info.hbmColor);
        return mask.bmWidth;
    };
    std::vector<COLORREF> at96;
    for (const auto& [dpi, size] : {std::pair{96, 18}, {192, 36}, {120, 23}, {144, 27}}) {
        ChangeDpi(Main(), dpi);
        // The window's icons: 32 and 16 pixels at 96 DPI.
        EXPECT_EQ(iconWidth(ICON_BIG) * 100 + iconWidth(ICON_SMALL), dpi / 3 * 100 + dpi / 6);
        HIMAGELIST images = TreeView_GetImageList(Tree(), TVSIL_NORMAL);
        int width = 0, height = 0;
        ImageList_GetIconSize(images, &width, &height);
        EXPECT_EQ(width * 1000 + height, size * 1001) << dpi;
        EXPECT_EQ(ImageList_GetImageCount(images), 9) << dpi;
        EXPECT_GE(RowHeight(Tree()), size) << dpi;  // rows at least as tall as the pictures
        // The drive picture: at 200 % each pixel of the 96-DPI one is a block of four.
        const std::vector<COLORREF> drawn = Drawn(images, 1);
        if (dpi == 96) at96 = drawn;
        for (int i = 0; dpi == 192 && i < 36 * 36; ++i)
            ASSERT_EQ(drawn[i], at96[(i / 36 / 2) * 18 + i % 36 / 2]) << i;
    }
}

}  // namespace
}  // namespace volane::test
