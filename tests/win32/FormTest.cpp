#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using FormTest = AppTest;

TEST_F(FormTest, NewMessageFontReachesTheTreeAndItsRows) {
    app.LoadSourceForm();
    app.InitImages();
    app.ShowMainForm();
    ASSERT_TRUE(app.main.Tree().Add({}, L"C:\\", L"本地磁盘(C)", 2));
    // A bigger message font while Volane runs, after each message Windows sends for it: the tree
    // takes it, its rows at least 3 pixels taller than the font.
    const LONG fontBefore = FontHeight(Tree());
    const int rowBefore = RowHeight(Tree());
    {
        SystemParameter<NONCLIENTMETRICSW> metrics(SPI_GETNONCLIENTMETRICS, SPI_SETNONCLIENTMETRICS,
                                                   sizeof(NONCLIENTMETRICSW));
        const std::tuple<UINT, WPARAM, LONG> changes[] = {
            {WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, -30},
            {WM_THEMECHANGED, 0, -40},
            {WM_SETTINGCHANGE, 0, -24}};  // a change a program broadcasts names no parameter
        for (const auto& [message, action, height] : changes) {
            NONCLIENTMETRICSW bigger = metrics.Saved();
            bigger.lfMessageFont.lfHeight = height;
            metrics.Set(bigger);
            ::SendMessageW(Main(), message, action, 0);
            EXPECT_EQ(FontHeight(Tree()), height) << message;
            EXPECT_GE(RowHeight(Tree()), 3 - height) << message;
        }
    }
    ::SendMessageW(Main(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(FontHeight(Tree()), fontBefore);
    EXPECT_EQ(RowHeight(Tree()), rowBefore);
    // A change that leaves the font (a new environment) keeps it: no node is measured again.
    const LRESULT kept = ::SendMessageW(Tree(), WM_GETFONT, 0, 0);
    ::SendMessageW(Main(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    EXPECT_EQ(::SendMessageW(Tree(), WM_GETFONT, 0, 0), kept);
}

// Moves and resizes the form's window gets while it loads (a call that changes nothing still
// costs a round trip to the window server).
int moves = 0;
LRESULT CALLBACK CountMoves(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == WM_WINDOWPOSCHANGING && !::GetParent(sent->hwnd) &&
        (~reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & (SWP_NOMOVE | SWP_NOSIZE)))
        ++moves;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The client area as designed: made at its size, moved to its place, and under a menu bar that
// wraps, where the estimate misses, corrected in size and place.
TEST_F(FormTest, ClientAreaAsDesignedInTheFewestMoves) {
    static constexpr MenuDesign menus[] = {{1, 1, L"文件"}, {2, 1, L"编辑"}, {9, 2, L"撤销"},
                                           {3, 1, L"查看"}, {4, 1, L"插入"}, {5, 1, L"格式"},
                                           {6, 1, L"工具"}, {7, 1, L"窗口"}, {8, 1, L"帮助"}};
    static const FormDesign narrow(L"frmNarrow", L"Volane.test.frmNarrow", L"窄",
                                   FrameStyle::Sizable, 2400, 1500, 900, 600, 0,
                                   std::span<const ControlDesign>(), menus);
    // Without a menu bar; plain at the system's place (CW_USEDEFAULT: Windows cascades it, Wine
    // puts it at 0, 0).
    FormDesign placed = narrow, plain = narrow;
    placed.menus = plain.menus = {}, plain.clientLeft = plain.clientTop = std::nullopt;
    struct Narrow : win32::Form {
        using Form::Form;
        win32::unique_hmenu BuildMenu() override {
            return withMenu ? bar.TakeBar() : win32::unique_hmenu{};
        }
        win32::MenuBar bar{menus};
        bool withMenu = true;
    };
    const HHOOK hook =
        ::SetWindowsHookExW(WH_CALLWNDPROC, &CountMoves, nullptr, ::GetCurrentThreadId());
    HMENU unused = nullptr;  // a bar no window took goes with its owner
    for (const auto& [design, count] : {std::pair{&narrow, 3}, {&placed, 1}, {&plain, 0}}) {
        Narrow form(app.forms, *design, app.module);
        form.withMenu = !design->menus.empty();
        moves = 0;
        form.Load();
        EXPECT_EQ(moves, count) << count;
        // A plain item, then one with its submenu.
        const HMENU bar = ::GetMenu(form.Window());
        EXPECT_TRUE(count != 3 || (!::GetSubMenu(bar, 0) && ::GetSubMenu(bar, 1)));
        if (!bar) unused = form.bar.Bar();
        RECT client = ClientRect(form.Window());
        if (count)
            ::MapWindowPoints(form.Window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_EQ(client, (count ? RECT{Px(900), Px(600), Px(3300), Px(2100)}
                                 : RECT{0, 0, Px(2400), Px(1500)}));
        form.Unload();
    }
    ::UnhookWindowsHookEx(hook);
    EXPECT_FALSE(::IsMenu(unused));
}

}  // namespace
}  // namespace volane::test
