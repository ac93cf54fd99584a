// frmMain's window with its real controls and menus, driven by the fake services: the
// designed layout, the menus, the hook, the display commands, the restore request, the popup,
// the double-click and the shutdown.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "forms/FormDesigns.h"
#include "modules/mdlApp.h"
#include "modules/mdlMsg.h"
#include "platform/win32/MainWindow.h"
#include "tests/win32/FormFixtures.h"

namespace volane::test {
namespace {

using win32::MainWindow;

// A plain form that stands for frmSource in the list of loaded forms.
class OtherForm final : public win32::Form {
  public:
    explicit OtherForm(win32::FormList& forms) : Form(forms, SourceDesign(), nullptr) {}
    ~OtherForm() override { DestroyWindowNow(); }
    std::function<void()> onUnload;
    int unloads = 0;

  protected:
    void OnUnload() override {
        ++unloads;
        if (onUnload) onUnload();
    }
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        services.fs.drives = {{L'C', 2}, {L'E', 4}, {L'Z', 3}};
        main.Load();
        window = main.Window();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (main.IsLoaded()) main.Unload();
        PumpMessages(20);
    }

    UINT IdOf(std::wstring_view name) const { return main.Menus().IdOf(name); }
    void Command(std::wstring_view name) {
        ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IdOf(name), 0), 0);
    }
    HMENU FileMenu() const { return ::GetSubMenu(::GetMenu(window), 0); }
    std::wstring BarText(int position) const { return MenuLines(::GetMenu(window))[position]; }
    int ScreenWidth() const { return ::GetSystemMetrics(SM_CXSCREEN); }
    int ScreenHeight() const { return ::GetSystemMetrics(SM_CYSCREEN); }

    // The place Form_Load and the restore request give the expanded window, in pixels.
    RECT StartRect() const {
        const int width = OuterSize(window, 236, 0).cx;
        const int left = ScreenWidth() - width - 27;  // 400 twips = 26.7 pixels
        const int height = (ScreenHeight() * 15 - 800 + 7) / 15;
        return {left, 13, left + width, 13 + height};  // top: 200 twips
    }

    void ShowWithDrives() {
        main.Show();
        LoadDrives(services.fs, main.Tree());
        ::SetForegroundWindow(window);
        PumpMessages(100);
    }
    POINT NodeCenter(HTREEITEM item) {
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the RECT
        ::SendMessageW(main.Tree().Window(), TVM_GETITEMRECT, TRUE,
                       reinterpret_cast<LPARAM>(&rect));
        return ClientToScreenPoint(main.Tree().Window(),
                                   {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }
    HTREEITEM Root(int index) {
        HTREEITEM item = TreeView_GetRoot(main.Tree().Window());
        for (int i = 0; i < index; ++i) item = TreeView_GetNextSibling(main.Tree().Window(), item);
        return item;
    }

    FakeServices services;
    VolaneResources resources;
    win32::FormList forms;
    MainWindow main{forms, resources.Module(), services.main};
    HWND window = nullptr;
};

TEST_F(MainWindowTest, LoadPlacesTheDesignedWindowPinnedAtTheRightEdge) {
    EXPECT_FALSE(::IsWindowVisible(window));  // Main shows it after InitImages
    const RECT client = ClientRect(window);
    EXPECT_EQ(client.right, 236);
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, OuterSize(window, 236, client.bottom).cx);
    EXPECT_EQ(rect.bottom - rect.top, OuterSize(window, 236, client.bottom).cy);
    const RECT start = StartRect();
    EXPECT_EQ(rect.left, start.left);
    EXPECT_EQ(rect.top, start.top);
    EXPECT_EQ(rect.bottom - rect.top, start.bottom - start.top);
    // The tree covers the whole client area.
    const RECT tree = RectInParent(main.Tree().Window());
    EXPECT_EQ(tree.left, 0);
    EXPECT_EQ(tree.top, 0);
    EXPECT_EQ(tree.right, client.right);
    EXPECT_EQ(tree.bottom, client.bottom);

    EXPECT_EQ(main.Caption(), std::wstring(WINDOW_TITLE));
    EXPECT_TRUE(HasExStyle(window, WS_EX_TOPMOST));
    EXPECT_TRUE(HasExStyle(window, WS_EX_APPWINDOW));
    EXPECT_TRUE(HasStyle(window, WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_NE(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(::SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_TRUE(main.Logic().isWinTop);
    EXPECT_EQ(main.Logic().il_w, (rect.right - rect.left) * 15);
    EXPECT_EQ(main.Logic().il_h, (rect.bottom - rect.top) * 15);
}

TEST_F(MainWindowTest, MenusAsDesigned) {
    EXPECT_EQ(MenuLines(::GetMenu(window)), (std::vector<std::wstring>{L"文件 [popup]", L"收起"}));
    // The check mark on 置顶 comes from the load handler.
    EXPECT_EQ(MenuLines(FileMenu()),
              (std::vector<std::wstring>{L"刷新", L"置顶 [checked]", L"-", L"退出", L"关于"}));
    EXPECT_EQ(::GetSubMenu(::GetMenu(window), 1), nullptr);
}

TEST_F(MainWindowTest, LoadHooksTheWindowAndKeepsThePreviousProcedureInTheTag) {
    const LONG_PTR previous = ::GetWindowLongPtrW(window, GWLP_USERDATA);
    ASSERT_NE(previous, 0);
    EXPECT_EQ(TagToProc(main.Tag()), previous);
    EXPECT_NE(::GetWindowLongPtrW(window, GWLP_WNDPROC), previous);
}

TEST_F(MainWindowTest, CollapseExpandAndPinFromTheMenuBar) {
    const RECT expanded = WindowRect(window);
    Command(kMenuExp);
    EXPECT_EQ(BarText(1), L"展开");
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, 247);  // 3700 twips
    EXPECT_EQ(rect.bottom - rect.top, 59);   // 880 twips
    EXPECT_EQ(rect.left, expanded.left);
    EXPECT_EQ(rect.top, expanded.top);
    EXPECT_EQ(RectInParent(main.Tree().Window()).right, ClientRect(window).right);
    EXPECT_EQ(RectInParent(main.Tree().Window()).bottom, ClientRect(window).bottom);

    Command(kMenuExp);
    EXPECT_EQ(BarText(1), L"收起");
    rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, expanded.right - expanded.left);
    EXPECT_EQ(rect.bottom - rect.top, expanded.bottom - expanded.top);

    Command(kMenuTop);
    EXPECT_FALSE(HasExStyle(window, WS_EX_TOPMOST));
    EXPECT_EQ(MenuLines(FileMenu())[1], L"置顶");
    Command(kMenuTop);
    EXPECT_TRUE(HasExStyle(window, WS_EX_TOPMOST));
    EXPECT_EQ(MenuLines(FileMenu())[1], L"置顶 [checked]");
}

TEST_F(MainWindowTest, RestoreRequestBringsTheWindowBackExpandedPinnedAndInPlace) {
    main.Show();
    Command(kMenuExp);
    Command(kMenuTop);
    main.SetLeft(1500);
    main.SetTop(3000);
    main.SetWindowState(DisplayState::Minimized);

    // Any other wParam only passes through.
    ::SendMessageW(window, WM_SHOWEXT, 4000, 0);
    EXPECT_TRUE(::IsIconic(window));
    EXPECT_EQ(BarText(1), L"展开");

    ::SendMessageW(window, WM_SHOWEXT, SHOW_CODE, 0);
    EXPECT_EQ(main.WindowState(), DisplayState::Normal);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(BarText(1), L"收起");
    const RECT rect = WindowRect(window);
    const RECT start = StartRect();
    EXPECT_EQ(rect.left, start.left);
    EXPECT_EQ(rect.top, start.top);
    EXPECT_EQ(rect.right, start.right);
    EXPECT_EQ(rect.bottom, start.bottom);
    EXPECT_TRUE(HasExStyle(window, WS_EX_TOPMOST));
    EXPECT_EQ(MenuLines(FileMenu())[1], L"置顶 [checked]");
    EXPECT_TRUE(main.Logic().isWinTop);
}

TEST_F(MainWindowTest, PopupOpensAtThePointAndRunsTheChosenCommand) {
    ShowWithDrives();
    POINT popupAt{-1, -1};
    std::vector<std::wstring> lines;
    Later choose([&] {
        HWND popup = OpenPopupMenu();
        if (!popup) return;
        const RECT rect = WindowRect(popup);
        popupAt = {rect.left, rect.top};
        lines = MenuLines(reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0)));
        // Down twice and Enter: 置顶.
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) ::PostMessageW(popup, WM_KEYDOWN, key, 0);
    });
    main.PopupMainMenu(1500, 3000);  // 100, 200 pixels in the client area
    const POINT expected = ClientToScreenPoint(window, {100, 200});
    EXPECT_EQ(popupAt.x, expected.x);
    EXPECT_EQ(popupAt.y, expected.y);
    EXPECT_EQ(lines,
              (std::vector<std::wstring>{L"刷新", L"置顶 [checked]", L"-", L"退出", L"关于"}));
    // The command ran before the popup call returned.
    EXPECT_FALSE(main.Logic().isWinTop);
    EXPECT_FALSE(HasExStyle(window, WS_EX_TOPMOST));
}

TEST_F(MainWindowTest, RightClickOnTheTreeOpensThePopupAtThePointer) {
    ShowWithDrives();
    const POINT onNode = NodeCenter(Root(1));
    const POINT beside{onNode.x + 20, onNode.y + 150};
    for (POINT at : {onNode, beside}) {
        POINT popupAt{-1, -1};
        Later close([&] {
            if (HWND popup = OpenPopupMenu()) {
                const RECT rect = WindowRect(popup);
                popupAt = {rect.left, rect.top};
            }
            ::EndMenu();
        });
        ClickAt(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        ASSERT_TRUE(PumpUntil([&] { return popupAt.x != -1; }, 2000)) << at.x << "," << at.y;
        EXPECT_EQ(popupAt.x, at.x);
        EXPECT_EQ(popupAt.y, at.y);
        PumpMessages(50);
    }
    EXPECT_TRUE(main.IsLoaded());
}

TEST_F(MainWindowTest, DoubleClickListsAFolderAndOpensAFile) {
    services.fs.folders[L"E:\\"] = {{L"work", 16}, {L"a.txt", 32}, {L"b.bmp", 32}};
    services.profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L"txt;");
    ShowWithDrives();
    HWND tree = main.Tree().Window();

    ClickAt(NodeCenter(Root(1)), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    ASSERT_TRUE(PumpUntil([&] { return main.Tree().Children(L"E:\\") == 2; }));
    PumpMessages(100);
    // Listed and left open: the control's own double-click did not close it again.
    HTREEITEM folder = TreeView_GetChild(tree, Root(1));
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(TreeView_GetItemState(tree, Root(1), TVIS_EXPANDED) & TVIS_EXPANDED);
    HTREEITEM file = TreeView_GetNextSibling(tree, folder);
    ASSERT_NE(file, nullptr);

    ClickAt(NodeCenter(file), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    ASSERT_TRUE(PumpUntil([&] { return !services.process.started.empty(); }));
    EXPECT_NE(services.process.started[0].first.find(L"E:\\a.txt"), std::wstring::npos);
    EXPECT_EQ(services.process.started[0].second, kShowMinimized);
    EXPECT_EQ(main.Tree().Count(), 4u);
}

TEST_F(MainWindowTest, EveryWayOfClosingUnhooksThenUnloadsEveryForm) {
    enum class Way { CloseBox, SystemClose, ExitCommand };
    for (Way way : {Way::CloseBox, Way::SystemClose, Way::ExitCommand}) {
        if (!main.IsLoaded()) {
            main.Load();
            window = main.Window();
        }
        OtherForm other(forms);
        other.Load();
        const LONG_PTR previous = ::GetWindowLongPtrW(window, GWLP_USERDATA);
        LONG_PTR procedureWhenOthersUnload = 0;
        other.onUnload = [&] {
            procedureWhenOthersUnload = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
        };
        switch (way) {
            case Way::CloseBox:
                ::SendMessageW(window, WM_CLOSE, 0, 0);
                break;
            case Way::SystemClose:
                ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case Way::ExitCommand:
                Command(kMenuExit);
                break;
        }
        EXPECT_EQ(procedureWhenOthersUnload, previous) << static_cast<int>(way);
        EXPECT_EQ(other.unloads, 1);
        EXPECT_TRUE(forms.Empty());
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_FALSE(main.IsLoaded());
    }
}

TEST_F(MainWindowTest, AboutBoxIsModalAndStaysInFrontWhenTheWindowIsRestored) {
    ShowWithDrives();
    bool mainEnabled = true, aboutTopmost = false, aboutInFront = false, aboutLoaded = false;
    Later inside([&] {
        HWND about = ::FindWindowW(L"Volane.frmAbout", nullptr);
        if (!about) return;
        mainEnabled = ::IsWindowEnabled(window);
        ::SendMessageW(window, WM_SHOWEXT, SHOW_CODE, 0);
        aboutLoaded = ::IsWindow(about) && ::IsWindowVisible(about);
        aboutTopmost = HasExStyle(about, WS_EX_TOPMOST);
        aboutInFront = ::GetForegroundWindow() == about;
        ::PostMessageW(about, WM_CLOSE, 0, 0);
    });
    Command(kMenuAbout);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(aboutLoaded);
    EXPECT_TRUE(aboutTopmost);
    EXPECT_TRUE(aboutInFront);
    EXPECT_TRUE(::IsWindowEnabled(window));
    EXPECT_EQ(main.OpenAbout(), nullptr);
    EXPECT_EQ(forms.Size(), 1u);
}

}  // namespace
}  // namespace volane::test
