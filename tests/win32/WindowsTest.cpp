// Volane's windows and the form runtime on the real services, at 96 DPI (15 twips a pixel): main
// window, menus, tree, hook, icon table, About box, message loop, fatal end and message box.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <optional>
#include <ostream>
#include <thread>
#include <tuple>
#include <vector>

#include "app/AboutWindow.h"
#include "app/Application.h"
#include "forms/FormDesigns.h"
#include "modules/mdlApp.h"
#include "modules/mdlMsg.h"
#include "platform/Twips.h"
#include "platform/win32/Dwm.h"
#include "platform/win32/Fatal.h"
#include "platform/win32/Text.h"
#include "platform/win32/Topmost.h"
#include "resource.h"
#include "tests/win32/Support.h"

// Rectangles compare and print in the assertions.
bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const RECT& r, std::ostream* out) {
    *out << r.left << "," << r.top << " " << r.right << "," << r.bottom;
}

namespace volane::test {
namespace {

constexpr wchar_t kDescription[] =
    L"编写本工具，是为了弥补编辑器自带的文件夹树在选择要编辑的文件时的不足。作者一直没有改进它，"
    L"而编辑器又是我日常工作中用得最多的工具，于是写了这个小程序，免费送给编辑器的广大用户们，"
    L"希望方便大家日常使用。";

// A window's rectangle on the screen, or in its parent's client area.
RECT WindowRect(HWND window, bool inParent = false) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    if (inParent)
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ClientRect(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    return rect;
}

// The first row's height as the tree draws it.
int RowHeight(HWND tree) {
    RECT row{};
    TreeView_GetItemRect(tree, TreeView_GetRoot(tree), &row, FALSE);
    return row.bottom - row.top;
}

bool IsTopmost(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Runs work once after a delay, from whatever message loop runs then (a popup menu's, a modal
// form's); the timer id it returns can stop it. Thread timers carry no context: hence the table.
UINT_PTR After(UINT delay, std::function<void()> work) {
    static std::map<UINT_PTR, std::function<void()>> pending;
    const UINT_PTR id = ::SetTimer(nullptr, 0, delay, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        const std::function<void()> run = std::move(pending[id]);
        pending.erase(id);
        run();
    });
    pending[id] = std::move(work);
    return id;
}

// Each item's caption, with " [checked]" when it carries the check mark; "" for a separator.
std::vector<std::wstring> MenuLines(HMENU menu) {
    std::vector<std::wstring> lines;
    for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(menu)); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        const bool checked = ::GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED;
        lines.push_back(text + std::wstring(checked ? L" [checked]" : L""));
    }
    return lines;
}

// One image of the list as drawn over red, pixel by pixel, row by row.
std::vector<COLORREF> Drawn(HIMAGELIST images, int index) {
    int size = 0;
    ImageList_GetIconSize(images, &size, &size);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateBitmap(size, size, 1, 32, nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, size, size};
    ::SetDCBrushColor(dc, RGB(255, 0, 0));
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    ImageList_Draw(images, index, dc, 0, 0, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < size * size; ++i) pixels.push_back(::GetPixel(dc, i % size, i / size));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

// A system parameter changed for a while, as the user or the taskbar would change it; the value
// from before comes back when the object goes. Nothing is written to the user's profile and
// nothing is broadcast: the tests send the messages themselves. uiParam: as the actions want it.
template <class T>
class SystemParameter {
  public:
    SystemParameter(UINT get, UINT set, UINT uiParam) : set_(set), uiParam_(uiParam) {
        if constexpr (requires { saved_.cbSize; }) saved_.cbSize = sizeof(T);
        EXPECT_TRUE(::SystemParametersInfoW(get, uiParam, &saved_, 0));
    }
    ~SystemParameter() { Set(saved_); }
    SystemParameter(const SystemParameter&) = delete;
    SystemParameter& operator=(const SystemParameter&) = delete;
    const T& Saved() const { return saved_; }
    void Set(T value) { EXPECT_TRUE(::SystemParametersInfoW(set_, uiParam_, &value, 0)); }

  private:
    UINT set_;
    UINT uiParam_;
    T saved_{};
};

// The whole application on the real services; each test loads the forms it needs.
class Volane : public ::testing::Test {
  protected:
    void SetUp() override { app.LoadMainForm(); }
    HWND Main() const { return app.main.Window(); }
    HWND Tree() { return app.main.Tree().Window(); }
    void Command(int id) { ::SendMessageW(Main(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // The menu bar, or its 文件 menu.
    std::vector<std::wstring> Menu(bool file = false) const {
        return MenuLines(file ? ::GetSubMenu(::GetMenu(Main()), 0) : ::GetMenu(Main()));
    }
    // Where a main window opens and where the restore request puts it back, in pixels: 400
    // twips in from the work area's right edge, 200 below its top, 800 short of its height.
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
    // Twips at the window's DPI: the tests run at 96 DPI, and at 144 where VOLANE_TEST_DPI says.
    int Px(double twips) const { return TwipsToPixels(twips, static_cast<int>(app.main.Dpi())); }
    // The control's own view: "text:image", "+" when expanded, children in braces.
    static std::wstring Dump(HWND tree, HTREEITEM item = TVI_ROOT) {
        std::wstring out;
        if (item == TVI_ROOT) item = TreeView_GetRoot(tree);
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            wchar_t text[64] = {};
            TVITEMW data{
                TVIF_TEXT | TVIF_IMAGE | TVIF_STATE, item, 0, TVIS_EXPANDED, text, 64, 0, 0, 0, 0};
            TreeView_GetItem(tree, &data);
            out += std::wstring(text) + L":" + std::to_wstring(data.iImage) +
                   ((data.state & TVIS_EXPANDED) ? L"+" : L"");
            if (HTREEITEM child = TreeView_GetChild(tree, item))
                out += L"{" + Dump(tree, child) + L"}";
            out += L" ";
        }
        return out;
    }

    app::Application app;
};

TEST_F(Volane, MainWindowOpensPinnedAtTheRightEdgeAndCollapses) {
    if (const char* dpi = std::getenv("VOLANE_TEST_DPI")) {
        ASSERT_EQ(app.main.Dpi(), std::stoul(dpi));
    }
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
    // The margins lie inside the work area, at load and when a restore request brings the moved
    // window back: with Windows 11's taskbar (48 pixels at 100 %), and with one at the left and
    // tool bars docked at the top and the right.
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN),
              bar = ::MulDiv(48, static_cast<int>(app.main.Dpi()), 96);
    const RECT areas[] = {{0, 0, cx, cy - bar}, {bar, bar, cx - bar, cy}};
    SystemParameter<RECT> workArea(SPI_GETWORKAREA, SPI_SETWORKAREA, 0);
    for (const RECT& area : areas) {
        workArea.Set(area);
        app::MainWindow placed(app.forms, app.module, app.services, app.source);
        placed.Load();
        SCOPED_TRACE("work area " + ::testing::PrintToString(area));
        const RECT start = StartRect(placed.Window(), area);
        EXPECT_EQ(WindowRect(placed.Window()), start);
        placed.SetLeft(1500);
        placed.SetTop(3000);
        ::SendMessageW(placed.Window(), 1025, 4001, 0);
        EXPECT_EQ(WindowRect(placed.Window()), start);
    }
}

// DwmSetWindowAttribute as a BOOL attribute's setting calls it, written down.
std::vector<std::wstring> attributeCalls;
HRESULT WINAPI RecordedSetAttribute(HWND window, DWORD attribute, LPCVOID value, DWORD size) {
    attributeCalls.push_back(win32::TextOf(window) + L" " + std::to_wstring(attribute) + L" " +
                             std::to_wstring(*static_cast<const BOOL*>(value)) + L" " +
                             std::to_wstring(size));
    return S_OK;
}

TEST_F(Volane, RestoreRequestBringsTheWindowBack) {
    app.ShowMainForm();
    const RECT start = StartRect();
    for (DisplayState from : {DisplayState::Minimized, DisplayState::Maximized}) {
        Command(IDM_EXP);
        Command(IDM_TOP);
        app.main.SetLeft(1500);
        app.main.SetTop(3000);
        app.main.SetWindowState(from);
        for (WPARAM other : {0, 4000, 4002}) ::SendMessageW(Main(), 1025, other, 0);
        EXPECT_TRUE(from == DisplayState::Minimized ? ::IsIconic(Main()) : ::IsZoomed(Main()));
        EXPECT_EQ(Menu()[1], L"展开");
        EXPECT_FALSE(IsTopmost(Main()));
        EXPECT_EQ(Menu(true)[1], L"置顶");
        ::SendMessageW(Main(), 1025, 4001, 0);
        EXPECT_FALSE(::IsIconic(Main()) || ::IsZoomed(Main()));
        EXPECT_TRUE(::IsWindowVisible(Main()));
        EXPECT_EQ(Menu()[1], L"收起");
        EXPECT_EQ(WindowRect(Main()), start);
        EXPECT_TRUE(IsTopmost(Main()));
        EXPECT_EQ(Menu(true)[1], L"置顶 [checked]");
    }
    // Its two steps run with the window's transitions off, which DWM takes as a BOOL that
    // disables them (DWMWA_TRANSITIONS_FORCEDISABLED, 3). Wine's DWM animates nothing: the
    // calls are checked, and that the real one is made.
    attributeCalls.clear();
    for (bool on : {false, true}) {
        EXPECT_TRUE(win32::SetWindowTransitions(Main(), on, &RecordedSetAttribute));
        EXPECT_TRUE(win32::SetWindowTransitions(Main(), on));
    }
    const std::wstring main = win32::TextOf(Main());
    EXPECT_EQ(attributeCalls, (std::vector<std::wstring>{main + L" 3 1 4", main + L" 3 0 4"}));
}

// SetWindowPos as the pinning calls it, written down and then done.
std::vector<std::wstring> zOrderCalls;
BOOL WINAPI RecordedSetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy,
                                 UINT flags) {
    const auto name = [](HWND w) {
        if (w == HWND_TOPMOST) return std::wstring(L"TOPMOST");
        if (w == HWND_NOTOPMOST) return std::wstring(L"NOTOPMOST");
        wchar_t name[64] = {};
        if (!::GetWindowTextW(w, name, 64)) ::GetClassNameW(w, name, 64);
        return std::wstring(name);
    };
    zOrderCalls.push_back(name(window) + L" " + name(after) + L" " + std::to_wstring(x) + L"," +
                          std::to_wstring(y) + L"," + std::to_wstring(cx) + L"," +
                          std::to_wstring(cy) + L" " + std::to_wstring(flags));
    return ::SetWindowPos(window, after, x, y, cx, cy, flags);
}

// Pinned, a window is in the topmost band, above every window outside it, and what it owns stays
// above it; released, it leaves the band. The main window owns the tree's tooltip.
TEST_F(Volane, PinningPutsTheWindowIntoTheTopmostBandWithWhatItOwns) {
    app.ShowMainForm();
    HWND tip = TreeView_GetToolTips(Tree());
    ASSERT_NE(tip, nullptr);  // the tree shows the whole of labels it cannot show whole
    EXPECT_EQ(::GetWindow(tip, GW_OWNER), Main());
    HWND plain = ::CreateWindowExW(0, L"Static", L"plain", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                   nullptr, nullptr, nullptr, nullptr);
    HWND other = ::CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                   nullptr, nullptr, nullptr, nullptr);
    const std::wstring main = win32::TextOf(Main());
    // Window, pin or release, the calls made (Windows takes the first alone), in the band after.
    const std::tuple<HWND, bool, std::vector<std::wstring>, bool> cases[] = {
        {plain, true, {L"plain TOPMOST 0,0,0,0 3"}, true},
        {plain, false, {L"plain NOTOPMOST 0,0,0,0 3"}, false},
        {Main(), false, {main + L" NOTOPMOST 0,0,0,0 3"}, false},
        // Wine links an owner after the windows it owns, outside the band: once more without them.
        {Main(),
         true,
         {main + L" TOPMOST 0,0,0,0 3", main + L" TOPMOST 0,0,0,0 3",
          L"tooltips_class32 TOPMOST 0,0,0,0 19"},
         true},
        {Main(), true, {main + L" TOPMOST 0,0,0,0 3"}, true}};
    for (const auto& [window, pin, calls, inBand] : cases) {
        zOrderCalls.clear();
        win32::SetTopmostBand(window, pin, &RecordedSetWindowPos);
        EXPECT_EQ(zOrderCalls, calls) << win32::TextOf(window) << pin;
        EXPECT_EQ(IsTopmost(window), inBand) << win32::TextOf(window) << pin;
    }
    // In the band, above the window outside it; the tooltip still owned and above its owner.
    ::SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const auto above = [](HWND upper, HWND lower) {
        for (HWND w = ::GetWindow(upper, GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT))
            if (w == lower) return true;
        return false;
    };
    EXPECT_TRUE(above(Main(), other));
    EXPECT_EQ(::GetWindow(tip, GW_OWNER), Main());
    EXPECT_TRUE(above(tip, Main()));
    ::DestroyWindow(plain);
    ::DestroyWindow(other);
}

LRESULT CALLBACK NarrowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A static window behind a narrow procedure, hooked as the main window is; returns the
// procedure before.
std::intptr_t HookNarrowWindow(HWND* window) {
    *window = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                nullptr);
    ::SetWindowLongPtrA(*window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NarrowProc));
    return app::HookWindow(reinterpret_cast<std::intptr_t>(*window), nullptr);
}

// ChangeWindowMessageFilterEx as the hook calls it, written down and then done.
std::vector<std::tuple<HWND, UINT, DWORD, PCHANGEFILTERSTRUCT>> filterCalls;
BOOL WINAPI RecordedFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT result) {
    filterCalls.emplace_back(window, message, action, result);
    return ::ChangeWindowMessageFilterEx(window, message, action, result);
}

TEST_F(Volane, HookLetsTheRequestInKeepsTheWholeProcedureAndPassesTextOn) {
    // The main window lets the restore request alone through the message filter of User
    // Interface Privilege Isolation, once, for a less privileged second start. Wine has no such
    // isolation: the call is checked, not its effect.
    {
        app::MainWindow main(app.forms, app.module, app.services, app.source, &RecordedFilter);
        filterCalls.clear();
        main.Load();
        ::SendMessageW(main.Window(), 1025, 4001, 0);
        using Call = std::tuple<HWND, UINT, DWORD, PCHANGEFILTERSTRUCT>;
        EXPECT_EQ(filterCalls, (std::vector<Call>{{main.Window(), 1025, 1, nullptr}}));
    }
    const LONG_PTR previous = ::GetWindowLongPtrW(Main(), GWLP_USERDATA);
    // A 64-bit image lies above 4 GiB: a procedure cut to 32 bits would not come back.
    EXPECT_GT(static_cast<std::uint64_t>(previous), 0xFFFFFFFFull);
    EXPECT_EQ(TagToProc(app.main.Tag()), previous);
    // Text reaches the previous procedure as it came: wide, or converted through the ANSI code
    // page when that procedure is a narrow one (Chinese text there in the test below).
    HWND other = nullptr;
    const std::intptr_t previousNarrow = HookNarrowWindow(&other);
    for (const auto& [window, text] :
         {std::pair{Main(), L"本地磁盘 ☃ 😀"}, std::pair{other, L"Volane 1.0"}}) {
        ::SetWindowTextW(window, text);
        EXPECT_EQ(win32::TextOf(window), text);
    }
    app::UnhookWindow(reinterpret_cast<std::intptr_t>(other), previousNarrow);
    EXPECT_EQ(::GetWindowLongPtrW(other, GWLP_WNDPROC), previousNarrow);
    ::DestroyWindow(other);
}

TEST_F(Volane, HookPassesChineseTextToANarrowProcedureInCodePage936) {
    HWND other = nullptr;
    const std::intptr_t previousNarrow = HookNarrowWindow(&other);
    ::SetWindowTextW(other, L"本地磁盘");
    EXPECT_EQ(win32::TextOf(other), L"本地磁盘");
    app::UnhookWindow(reinterpret_cast<std::intptr_t>(other), previousNarrow);
    ::DestroyWindow(other);
}

// Both ways of appending a child run the same rows: after the parent's last child, as Windows
// gets it, and with TVI_LAST, as Wine does.
TEST_F(Volane, TreeAdapterOnTheRealControlInBothAppendModes) {
    app.ShowMainForm();
    for (win32::AppendMode mode : {win32::AppendMode::AfterLastChild, win32::AppendMode::Last}) {
        win32::TreeView tv(Main(), MainDesign().controls[0], {}, mode);
        const HWND tree = tv.Window();
        const std::tuple<const wchar_t*, const wchar_t*, bool> adds[] = {
            {L"", L"C:\\", true},       {L"C:\\", L"C:\\w", true},  {L"", L"E:\\", true},
            {L"C:\\", L"C:\\w", false}, {L"D:\\", L"D:\\x", false}, {L"C:\\", L"C:\\x", true},
            {L"C:\\", L"C:\\y", true},  {L"", L"F:\\", true}};
        for (const auto& [parent, key, added] : adds)
            EXPECT_EQ(tv.Add(parent, key, key, 3), added) << key;
        // Marked expanded before it has children: they show as they come.
        EXPECT_TRUE(tv.Expand(L"E:\\"));
        EXPECT_TRUE(tv.Add(L"E:\\", L"E:\\a.txt", L"a.txt", 9));
        // Node pictures count from 1, the image list from 0.
        EXPECT_EQ(Dump(tree), L"C:\\:2{C:\\w:2 C:\\x:2 C:\\y:2 } E:\\:2+{a.txt:8 } F:\\:2 ");
        EXPECT_EQ(tv.Count(), 7u);
        EXPECT_EQ(tv.Children(L"C:\\"), 3u);
        EXPECT_EQ(tv.Children(L"C:\\w"), 0u);
        // A child the control refuses (its parent's item is gone) is not counted either.
        TreeView_DeleteItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
        EXPECT_FALSE(tv.Add(L"C:\\w", L"C:\\w\\z", L"z", 3));
        EXPECT_EQ(tv.Count(), 7u);
        EXPECT_EQ(tv.Children(L"C:\\w"), 0u);
        HTREEITEM file =
            TreeView_GetChild(tree, TreeView_GetNextSibling(tree, TreeView_GetRoot(tree)));
        // The selected node's key and its children, the file selected last.
        for (const auto& [item, selection] :
             {std::pair{TreeView_GetParent(tree, file), L"E:\\ 1"}, {file, L"E:\\a.txt 0"}}) {
            TreeView_SelectItem(tree, item);
            const std::optional<TreeSelection> selected = tv.Selected();
            ASSERT_TRUE(selected) << selection;
            EXPECT_EQ(selected->key + L" " + std::to_wstring(selected->children), selection);
        }
        // Hit tests in twips from the control's outer corner, its sunken edge included: on the
        // label, not beside or below it.
        RECT label{};
        TreeView_GetItemRect(tree, file, &label, TRUE);
        const int edge = ::GetSystemMetrics(SM_CXEDGE);
        const auto at = [&](int x, int y) {
            return tv.HitTest((x + edge) * 15.0, (y + edge) * 15.0);
        };
        EXPECT_TRUE(at(label.left + 2, label.top + 2));
        EXPECT_FALSE(at(label.right + 20, label.top + 2));
        EXPECT_FALSE(at(label.left + 2, label.bottom + 40));
        // A clear forgets the last parent and item: the next root is not put after a root gone.
        EXPECT_TRUE(tv.Add({}, L"G:\\", L"G:\\", 3));
        tv.Clear();
        for (const wchar_t* key : {L"C:\\", L"E:\\"}) EXPECT_TRUE(tv.Add({}, key, key, 3)) << key;
        EXPECT_TRUE(tv.Add(L"C:\\", L"C:\\w", L"w", 3));
        EXPECT_EQ(Dump(tree), L"C:\\:2{w:2 } E:\\:2 ");
        EXPECT_EQ(tv.Count(), 3u);
        ::DestroyWindow(tree);
    }
}

// The key releases and colour changes that reach the control's own procedure, through the tree
// class's procedure.
using Reached = std::vector<std::pair<UINT, WPARAM>>;
Reached reached;
WNDPROC treeClassProc = nullptr;
LRESULT CALLBACK RecordingTreeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYUP || msg == WM_SYSKEYUP || msg == WM_SYSCOLORCHANGE)
        reached.push_back({msg, wParam});
    return ::CallWindowProcW(treeClassProc, window, msg, wParam, lParam);
}

TEST_F(Volane, TreeGetsNewColoursButNotTheReleaseOfAHandledKeyAfterThePopupCloses) {
    app.ShowMainForm();
    treeClassProc = reinterpret_cast<WNDPROC>(
        ::SetClassLongPtrW(Tree(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingTreeProc)));
    // The menu key opens the popup, as the main form's handler does; the popup closes itself.
    win32::TreeView tv(Main(), MainDesign().controls[0],
                       {.down = {},
                        .up = {},
                        .keyDown =
                            [&](int key, int) {
                                if (key != VK_APPS) return false;
                                After(100, [] { ::EndMenu(); });
                                const UINT_PTR rescue = After(5000, [] {
                                    std::fputs("the popup of the menu key did not close in 5 s\n",
                                               stderr);
                                    ::ExitProcess(2);
                                });
                                app.main.PopupMainMenu(0, 0);
                                ::KillTimer(nullptr, rescue);
                                return true;
                            }},
                       win32::AppendMode::Last);
    ::SetClassLongPtrW(Tree(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeClassProc));
    reached.clear();
    ::SendMessageW(tv.Window(), WM_KEYDOWN, VK_APPS, 0);
    // Another key's release passes; the handled key's first release does not, its next does.
    for (WPARAM key : {VK_DOWN, VK_APPS, VK_APPS}) ::SendMessageW(tv.Window(), WM_KEYUP, key, 0);
    EXPECT_EQ(reached, (Reached{{WM_KEYUP, VK_DOWN}, {WM_KEYUP, VK_APPS}}));
    // Only top-level windows hear of new system colours: the control hears of them from the
    // main window.
    reached.clear();
    ::SendMessageW(Main(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(reached, (Reached{{WM_SYSCOLORCHANGE, 0}}));
    ::DestroyWindow(tv.Window());
}

TEST_F(Volane, IconTableOnTheRealImageList) {
    app.LoadSourceForm();
    EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Volane.frmSource", nullptr),
              app.source.Window());
    app.InitImages();
    HIMAGELIST images = app.source.ilFiles();
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, app.main.Dpi() == 144 ? 27 : 18);  // at the DPI it starts at
    app::PictureStage stage(app.module, app.source, Tree());
    // The grey of a node picture is transparent: grey on the left, blue on the right.
    std::vector<DWORD> bits(18 * 18);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = i % 18 < 9 ? 0xC0C0C0 : 0x0000FF;
    app.source.Picture1().SetPicture(
        win32::unique_hbitmap(::CreateBitmap(18, 18, 1, 32, bits.data())));
    stage.AddDrawnImage(10);
    stage.AttachToTree();  // the drawn images go into the list together
    // Scaled, each pixel keeps its colour: nothing is blended at the border between the two.
    const std::vector<COLORREF> drawn = Drawn(images, 9);
    EXPECT_EQ(drawn.front(), RGB(255, 0, 0));
    EXPECT_EQ(drawn[width - 1], RGB(0, 0, 255));
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), RGB(255, 0, 0)) +
                  std::count(drawn.begin(), drawn.end(), RGB(0, 0, 255)),
              width * width);
    // The pictures' transparent parts take the window colour, also when it changes while Volane
    // runs: SetSysColors tells every top-level window, as a new theme does.
    const int window = COLOR_WINDOW;
    const COLORREF before = ::GetSysColor(COLOR_WINDOW), black = RGB(0, 0, 0);
    for (COLORREF colour : {black, before}) {
        ::SetSysColors(1, &window, &colour);
        EXPECT_EQ(ImageList_GetBkColor(images), colour);
    }
    // htm has no bitmap of its own and looks like html.
    EXPECT_EQ(Drawn(images, 5), Drawn(images, 4));
    EXPECT_NE(Drawn(images, 4), Drawn(images, 3));
    // Rows at least as tall as the pictures at the scaling Volane starts with.
    ASSERT_TRUE(app.main.Tree().Add({}, L"C:\\", L"本地磁盘(C)", 1));
    EXPECT_GE(RowHeight(Tree()), width);
}

TEST_F(Volane, AboutBoxAsDesignedAndTheVersionRecord) {
    // Wine cannot turn high contrast on: the box is told so where the test needs it.
    std::optional<bool> contrast;
    app::AboutWindow about(app.forms, app.module, app.about,
                           [&] { return contrast ? *contrast : win32::HighContrastOn(); });
    about.Load();
    HWND box = about.Window();
    RECT client = ClientRect(box);
    ::MapWindowPoints(box, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const auto twips = [&](double left, double top, double width, double height) {
        return RECT{Px(left), Px(top), Px(left) + Px(width), Px(top) + Px(height)};
    };
    EXPECT_EQ(client, twips(2340, 1935, 5730, 3045));  // 156, 129, 538, 332 at 96 DPI
    const std::tuple<int, RECT, std::wstring> controls[] = {
        {IDC_PICICON, twips(240, 240, 750, 1800), L""},
        {IDOK, twips(4125, 2625, 1500, 345), L"确定"},
        {IDC_SYSINFO, twips(4140, 3075, 1485, 345), L"系统信息(&S)..."},
        {IDC_DESCRIPTION, twips(1050, 1125, 3885, 1170), kDescription},
        {IDC_TITLE, twips(1050, 240, 3885, 480), L"Volane-Torlin@www.torlin.example"},
        {IDC_VERSION, twips(1050, 780, 3885, 225), L"版本 1.0.64"},
        {IDC_DISCLAIMER, twips(255, 2625, 3630, 825), L"检查最新版本：http://www.torlin.example"},
    };
    for (const auto& [id, rect, text] : controls) {
        EXPECT_EQ(WindowRect(about.ControlWindow(id), true), rect) << id;
        EXPECT_EQ(win32::TextOf(about.ControlWindow(id)), text);
        EXPECT_EQ(::GetDlgCtrlID(about.ControlWindow(id)), id);
    }
    // The labels are black on the form's face whatever the theme's text colour; with high
    // contrast on, the system's window text on its window background.
    const int elements[] = {COLOR_WINDOWTEXT, COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_WINDOW};
    COLORREF saved[4];
    for (int i = 0; i < 4; ++i) saved[i] = ::GetSysColor(elements[i]);
    const COLORREF theme[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 128), RGB(0, 0, 0)};
    ::SetSysColors(4, elements, theme);
    HDC label = ::CreateCompatibleDC(nullptr);
    // High contrast (none: the system's own setting, off under Wine), text, background.
    const std::tuple<std::optional<bool>, COLORREF, int> colours[] = {
        {{}, RGB(0, 0, 0), COLOR_BTNFACE}, {true, RGB(255, 255, 255), COLOR_WINDOW}};
    for (const auto& [on, text, background] : colours) {
        contrast = on;
        for (int id : {IDC_TITLE, IDC_DESCRIPTION, IDC_DISCLAIMER}) {
            ::SetTextColor(label, RGB(1, 2, 3));
            const LRESULT brush =
                ::SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(label),
                               reinterpret_cast<LPARAM>(about.ControlWindow(id)));
            EXPECT_EQ(::GetTextColor(label), text) << id;
            EXPECT_EQ(::GetBkColor(label),
                      background == COLOR_WINDOW ? RGB(0, 0, 0) : RGB(0, 0, 128));
            EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetSysColorBrush(background)));
        }
    }
    ::DeleteDC(label);
    // Turned on and off while the box shows, high contrast draws the labels again in its
    // colours: at the version label's right end, its background.
    contrast.reset();
    about.SetTopmost(true);
    about.Show();
    HWND version = about.ControlWindow(IDC_VERSION);
    const auto background = [&] {
        ::RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = ::GetDC(version);
        const COLORREF pixel = ::GetPixel(dc, ClientRect(version).right - 2, 2);
        ::ReleaseDC(version, dc);
        return pixel;
    };
    EXPECT_EQ(background(), RGB(0, 0, 128));
    for (const auto& [on, colour] :
         {std::pair{std::optional<bool>{true}, RGB(0, 0, 0)}, {std::nullopt, RGB(0, 0, 128)}}) {
        contrast = on;
        ::SendMessageW(box, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_EQ(background(), colour) << "high contrast " << on.has_value();
    }
    ::SetSysColors(4, elements, saved);
    // The etched rule: grey over white, 1 and 2 pixels at 96 DPI, 2 and 3 at 144 (the white
    // drawn last), both ends drawn, the last pixel at 5654 twips.
    about.SetTopmost(true);
    about.Show();
    ::UpdateWindow(box);
    HDC dc = ::GetDC(box);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), grey = RGB(128, 128, 128),
                   white = RGB(255, 255, 255);
    const int grey1 = Px(2445), white1 = Px(2460), white2 = white1 + (Px(15) == 1 ? 1 : 2),
              right = Px(5654);
    const std::tuple<int, int, COLORREF> pixels[] = {
        {Px(90) - 1, grey1, face},  {Px(90), grey1, grey},      {right, grey1, grey},
        {right + 1, grey1, face},   {Px(105), white1, white},   {right, white2, white},
        {Px(180), grey1 - 1, face}, {Px(180), white2 + 1, face}};
    for (const auto& [x, y, color] : pixels)
        EXPECT_EQ(::GetPixel(dc, x, y), color) << x << "," << y;
    ::ReleaseDC(box, dc);
    // The version record of the executable, whose numbers are written zero-padded.
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION);
    const std::string record(
        static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
        ::SizeofResource(nullptr, found));
    for (const wchar_t* text : {L"FileVersion", L"1.00.0064", L"编辑器 Torlin", L"Volane.exe"}) {
        const std::string bytes(reinterpret_cast<const char*>(text), std::wcslen(text) * 2);
        EXPECT_NE(record.find(bytes + std::string(2, '\0')), std::string::npos) << text;
    }
}

// The About box at a new scaling: its controls at the new DPI's pixels, its font scaled with
// them.
TEST_F(Volane, DpiChangeRescalesPicturesRowsAndTheAboutBox) {
    app.LoadSourceForm();
    app.InitImages();
    app.ShowMainForm();
    ASSERT_TRUE(app.main.Tree().Add({}, L"C:\\", L"本地磁盘(C)", 2));
    // A bigger message font while Volane runs (a new text size in the settings, or a theme's):
    // the tree takes it and its rows grow with it, at least 3 pixels taller than the font's
    // height, after each of the messages Windows sends.
    const auto treeFont = [&] {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Tree(), WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        return font.lfHeight;
    };
    const LONG fontBefore = treeFont();
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
            EXPECT_EQ(treeFont(), height) << message;
            EXPECT_GE(RowHeight(Tree()), 3 - height) << message;
        }
    }
    ::SendMessageW(Main(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_EQ(treeFont(), fontBefore);
    EXPECT_EQ(RowHeight(Tree()), rowBefore);
    // A change that leaves the font as it was (here a new environment) keeps the tree's font, so
    // the tree measures none of its nodes again.
    const LRESULT kept = ::SendMessageW(Tree(), WM_GETFONT, 0, 0);
    ::SendMessageW(Main(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    EXPECT_EQ(::SendMessageW(Tree(), WM_GETFONT, 0, 0), kept);
    // The window takes the place the system suggests, a little lower each time.
    const auto changeTo = [](HWND window, int dpi) {
        RECT suggested = WindowRect(window);
        ::OffsetRect(&suggested, 0, 10);
        ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(WindowRect(window), suggested);
    };
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
        changeTo(Main(), dpi);
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
    app::AboutWindow about(app.forms, app.module, app.about);
    about.Load();
    const auto fontHeight = [&] {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(
                         ::SendMessageW(about.ControlWindow(IDC_TITLE), WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        return std::abs(font.lfHeight);
    };
    changeTo(about.Window(), 96);
    const int height96 = fontHeight();
    changeTo(about.Window(), 192);
    EXPECT_EQ(WindowRect(about.ControlWindow(IDOK), true), (RECT{550, 350, 750, 396}));
    EXPECT_EQ(WindowRect(about.ControlWindow(IDC_TITLE), true), (RECT{140, 32, 658, 96}));
    EXPECT_EQ(fontHeight(), 2 * height96);
}

// Waits up to 10 s for the next message box of this process and presses OK. Returns what it
// showed: its title, its texts, the ids of its buttons, "icon" if it shows one and its owner's
// caption if it has one; with report, writes that to the error output first. Without a box the
// process ends with exit code 2, as the thread showing the box would wait for ever.
std::wstring CloseNextBox(bool report = false) {
    HWND box = nullptr;
    for (int i = 0; !(box = ::FindWindowW(L"#32770", nullptr)) || !::IsWindowVisible(box); ++i) {
        if (i == 1000) std::fputs("no message box within 10 s\n", stderr), ::ExitProcess(2);
        ::Sleep(10);
    }
    std::wstring seen = win32::TextOf(box) + L" | ";
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (!::IsWindowVisible(child)) continue;
        if (::lstrcmpiW(name, L"Button") == 0)
            seen += std::to_wstring(::GetDlgCtrlID(child)) + L" ";
        else if (!win32::TextOf(child).empty())
            seen += win32::TextOf(child) + L" | ";
        if (::SendMessageW(child, STM_GETICON, 0, 0)) seen += L"icon ";
    }
    if (HWND owner = ::GetWindow(box, GW_OWNER)) seen += L"owner " + win32::TextOf(owner);
    if (report) std::fprintf(stderr, "box: %s\n", win32::Narrow(seen, CP_UTF8).c_str());
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return seen;
}

TEST(FormRuntime, MessageBoxHasAnOkButtonOnlyAndNoIconAndBusyShowsTheWaitCursor) {
    // Busy, the wait cursor; then the one from before, not the class's arrow.
    const HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
    ::SetCursor(cross);
    const win32::FormList none;
    win32::Ui ui{none};
    for (bool busy : {true, false}) {
        ui.SetBusy(busy);
        EXPECT_EQ(::GetCursor(), busy ? ::LoadCursorW(nullptr, IDC_WAIT) : cross);
    }
    std::wstring seen;
    std::thread watcher([&] { seen = CloseNextBox(); });
    ui.ShowMessage(L"拒绝访问 ☃", L"提示：");
    watcher.join();
    EXPECT_EQ(seen, L"提示： | 1 拒绝访问 ☃ | ");
}

// With the main window loaded, and shown or not.
void FailFatally(bool shown) {
    app::Application app;
    app.LoadMainForm();
    if (shown) app.ShowMainForm();
    win32::SetFatalTitle(L"Volane-Torlin@www.torlin.example");
    std::thread([] { CloseNextBox(true); }).detach();
    win32::Guarded([]() -> int { throw AppError(326, L"找不到资源"); });
}

// The box belongs to the window that shows; with none, to nothing.
TEST(FormRuntimeDeathTest, FatalFailureShowsItsNumberAndDescriptionAndEndsWithExitCode1) {
    for (const auto& [shown, owner] :
         {std::pair{false, ""}, {true, "owner Torlin \\[http://www.torlin.example\\]"}}) {
        EXPECT_EXIT(FailFatally(shown), ::testing::ExitedWithCode(1),
                    "box: Volane-Torlin@www.torlin.example \\| 1 \xe8\xbf\x90.*'326':\n\n"
                    "\xe6\x89\xbe\xe4\xb8\x8d\xe5\x88\xb0\xe8\xb5\x84\xe6\xba\x90 \\| " +
                        std::string(owner) + "\n");
    }
}

}  // namespace
}  // namespace volane::test
