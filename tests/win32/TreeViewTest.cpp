#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using TreeViewTest = AppTest;

// The control's view: "text:image", "!" if selected it shows another, "+" expanded, {children}.
std::wstring Dump(HWND tree, HTREEITEM item = TVI_ROOT) {
    std::wstring out;
    if (item == TVI_ROOT) item = TreeView_GetRoot(tree);
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[300] = {};
        const UINT asked = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
        TVITEMW data{asked, item, 0, TVIS_EXPANDED, text, 300, 0, 0, 0, 0};
        TreeView_GetItem(tree, &data);
        out += std::wstring(text) + L":" + std::to_wstring(data.iImage) +
               (data.iSelectedImage != data.iImage ? L"!" : L"") +
               ((data.state & TVIS_EXPANDED) ? L"+" : L"");
        if (HTREEITEM child = TreeView_GetChild(tree, item)) out += L"{" + Dump(tree, child) + L"}";
        out += L" ";
    }
    return out;
}

// Every 100 ms from the popup's own loop: the first tick ends it; one 5 s on ends the run.
int ticks = 0;
void CALLBACK EndPopup(HWND, UINT, UINT_PTR, DWORD) {
    if (++ticks == 1) ::EndMenu();
    if (ticks < 50) return;
    std::fputs("the popup of the menu key did not close in 5 s\n", stderr);
    ::ExitProcess(2);
}

// Both ways of appending run the same rows: after the last child (Windows), TVI_LAST (Wine).
TEST_F(TreeViewTest, AddsSelectsAndHitTestsOnTheRealControlInBothAppendModes) {
    // Windows' road where ntdll names no Wine version (here kernel32 stands in), or is missing.
    for (HMODULE ntdll : {::GetModuleHandleW(L"kernel32.dll"), HMODULE{}})
        EXPECT_EQ(win32::FastestAppend(ntdll), win32::AppendMode::AfterLastChild);
    app.ShowMainForm();
    for (win32::AppendMode mode : {win32::AppendMode::AfterLastChild, win32::AppendMode::Last}) {
        treeClassProc = reinterpret_cast<WNDPROC>(::SetClassLongPtrW(
            Tree(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingTreeProc)));
        win32::TreeView tv(Main(), MainDesign().controls[0], {}, mode);
        ::SetClassLongPtrW(Tree(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeClassProc));
        const HWND tree = tv.Window();
        reached.clear();
        const std::tuple<const wchar_t*, const wchar_t*, bool> adds[] = {
            {L"", L"C:\\", true},       {L"C:\\", L"C:\\w", true},  {L"", L"E:\\", true},
            {L"C:\\", L"C:\\w", false}, {L"D:\\", L"D:\\x", false}, {L"C:\\", L"C:\\x", true},
            {L"C:\\", L"C:\\y", true},  {L"", L"F:\\", true}};
        for (const auto& [parent, key, added] : adds)
            EXPECT_EQ(tv.Add(parent, key, key, 3), added) << key;
        // On the Windows road C:\y goes after C:\x, once the insert before made the parent known.
        const auto last = reinterpret_cast<WPARAM>(TVI_LAST),
                   x = reinterpret_cast<WPARAM>(TreeView_GetNextSibling(
                       tree, TreeView_GetChild(tree, TreeView_GetRoot(tree))));
        Reached inserts(6, {TVM_INSERTITEMW, last});
        if (mode == win32::AppendMode::AfterLastChild) inserts[4].second = x;
        EXPECT_EQ(reached, inserts);
        // Marked expanded before it has children: they show as they come.
        EXPECT_TRUE(tv.Expand(L"E:\\"));
        EXPECT_TRUE(tv.Add(L"E:\\", L"E:\\a.txt", L"a.txt", 9));
        // Node pictures count from 1, the image list from 0.
        EXPECT_EQ(Dump(tree), L"C:\\:2{C:\\w:2 C:\\x:2 C:\\y:2 } E:\\:2+{a.txt:8 } F:\\:2 ");
        EXPECT_EQ(tv.Children(L"C:\\"), 3u);
        // A child the control refuses (its parent's item is gone) is not counted.
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
            reached.clear();
            const std::optional<TreeSelection> selected = tv.Selected();
            // Windows fills only what the mask asks for (Wine gives the item's value anyway).
            EXPECT_EQ(reached, (Reached{{TVM_GETITEMW, TVIF_PARAM}}));
            ASSERT_TRUE(selected) << selection;
            EXPECT_EQ(selected->key + L" " + std::to_wstring(selected->children), selection);
        }
        // Hit tests in twips from the outer corner, sunken edge included: on the label only.
        RECT label{};
        TreeView_GetItemRect(tree, file, &label, TRUE);
        const int edge = ::GetSystemMetrics(SM_CXEDGE);
        const auto at = [&](int x, int y) {
            return tv.HitTest((x + edge) * 15.0, (y + edge) * 15.0);
        };
        EXPECT_TRUE(at(label.left + 2, label.top + 2));
        EXPECT_FALSE(at(label.right + 20, label.top + 2));
        EXPECT_FALSE(at(label.left + 2, label.bottom + 40));
        // A clear forgets the last parent and item: the next root is not put after a root gone,
        // which Wine would take as TVI_LAST and Windows not.
        EXPECT_TRUE(tv.Add({}, L"G:\\", L"G:\\", 3));
        tv.Clear();
        reached.clear();
        for (const wchar_t* key : {L"C:\\", L"E:\\"}) EXPECT_TRUE(tv.Add({}, key, key, 3)) << key;
        EXPECT_TRUE(tv.Add(L"C:\\", L"C:\\w", L"w", 3));
        EXPECT_EQ(reached.front(), (std::pair<UINT, WPARAM>{TVM_INSERTITEMW, last}));
        EXPECT_EQ(Dump(tree), L"C:\\:2{w:2 } E:\\:2 ");
        EXPECT_EQ(tv.Count(), 3u);
        // A batch drawn once that needs both scroll bars: the tree shows again with the bars on
        // its style, holds the long name whole for its tooltip and each child after the one before.
        std::wstring listed = L"C:\\:2{w:2 } E:\\:2+{";
        EXPECT_TRUE(tv.Expand(L"E:\\"));
        tv.SetRedraw(false);
        for (int i = 0; i < 40; ++i) {
            const std::wstring key = L"E:\\" + std::to_wstring(i),
                               text = i ? key : std::wstring(255, L'n');
            EXPECT_TRUE(tv.Add(L"E:\\", key, text, 3)) << key;
            listed += text + L":2 ";
        }
        ::ValidateRect(tree, nullptr);
        tv.SetRedraw(true);
        EXPECT_TRUE(::IsWindowVisible(tree));
        EXPECT_TRUE(::GetUpdateRect(tree, nullptr, FALSE));  // to be drawn again
        const LONG_PTR style = ::GetWindowLongPtrW(tree, GWL_STYLE);
        EXPECT_EQ(style & (WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | TVS_NOTOOLTIPS),
                  WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
        EXPECT_NE(TreeView_GetToolTips(tree), nullptr);
        EXPECT_EQ(Dump(tree), listed + L"} ");
        // The same list again is taken off first: Windows measures its pictures only when set.
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
        reached.clear();
        for (int i = 0; i < 2; ++i) win32::SetTreePictures(tree, list);
        EXPECT_EQ(reached,
                  (Reached{{TVM_SETIMAGELIST, 1}, {TVM_SETIMAGELIST, 0}, {TVM_SETIMAGELIST, 1}}));
        ::DestroyWindow(tree);
        EXPECT_EQ(tv.Window(), nullptr);  // no handle kept of a window gone
        ImageList_Destroy(list);
    }
    // A window that outlives its adapter has the control's own procedure back, and no adapter.
    HWND outlived = win32::TreeView(Main(), MainDesign().controls[0], {}).Window();
    EXPECT_EQ(::GetWindowLongPtrW(outlived, GWLP_WNDPROC),
              ::GetClassLongPtrW(outlived, GCLP_WNDPROC));
    EXPECT_EQ(::GetWindowLongPtrW(outlived, GWLP_USERDATA), 0);
    ::DestroyWindow(outlived);
}

TEST_F(TreeViewTest, GetsColoursButNotTheReleaseOfAHandledKeyAfterThePopupCloses) {
    app.ShowMainForm();
    int ups = 0;
    std::pair<double, double> pressed;
    bool releaseInPress = false;  // the release handled before the control returns from the press
    treeClassProc = reinterpret_cast<WNDPROC>(
        ::SetClassLongPtrW(Tree(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingTreeProc)));
    // The menu key opens the popup, as the main form's handler does; the popup closes itself.
    win32::TreeView tv(Main(), MainDesign().controls[0],
                       {.down =
                            [&](int, int, double x, double y) {
                                pressed = {x, y};
                                if (releaseInPress) ::SendMessageW(tv.Window(), WM_LBUTTONUP, 0, 0);
                            },
                        .up = [&](int, int, double, double) { ++ups; },
                        .keyDown =
                            [&](int key, int) {
                                if (key != VK_APPS) return false;
                                ticks = 0;
                                const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &EndPopup);
                                app.main.PopupMainMenu(0, 0);
                                ::KillTimer(nullptr, timer);
                                return true;
                            }},
                       win32::AppendMode::Last);
    ::SetClassLongPtrW(Tree(), GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeClassProc));
    reached.clear();
    ::SendMessageW(tv.Window(), WM_KEYDOWN, VK_APPS, 0);
    // After the popup, a message posted to its window, as TrackPopupMenu asks on Windows.
    bool posted = false;
    for (MSG m; ::PeekMessageW(&m, Main(), 0, 0, PM_REMOVE);) posted |= m.message == WM_NULL;
    EXPECT_TRUE(posted);
    // The handled key's press does not pass; another key's release does, the handled key's first
    // release does not, its next does.
    for (WPARAM key : {VK_DOWN, VK_APPS, VK_APPS}) ::SendMessageW(tv.Window(), WM_KEYUP, key, 0);
    EXPECT_EQ(reached, (Reached{{WM_KEYUP, VK_DOWN}, {WM_KEYUP, VK_APPS}}));
    // A release the control's tracking took is raised once; a release without a press, never.
    // The button is up but toggled, as every other press leaves it on Windows.
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_LBUTTON] = 0x01;
    ::SetKeyboardState(keys);
    for (UINT msg : {WM_RBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDOWN})
        ::SendMessageW(tv.Window(), msg, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(ups, 1);
    // The press where it was, in twips from the outer corner, sunken edge included.
    const double at = (2 + ::GetSystemMetrics(SM_CXEDGE)) * 15.0;
    EXPECT_EQ(pressed, (std::pair{at, at}));
    keys[VK_LBUTTON] = 0;
    ::SetKeyboardState(keys);
    for (int i = 0; i < 2; ++i) ::SendMessageW(tv.Window(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(ups, 1);
    // A release handled while the control still has the press (sent from another thread, say) is
    // raised once.
    releaseInPress = true;
    ::SendMessageW(tv.Window(), WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(ups, 2);
    // So for the right button: a click whose release the tracking took, then a stray release.
    ::PostMessageW(tv.Window(), WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
    for (UINT msg : {WM_RBUTTONDOWN, WM_RBUTTONUP}) ::SendMessageW(tv.Window(), msg, 0, 0);
    EXPECT_EQ(ups, 3);
    // Only top-level windows hear of new system colours: the tree hears of them from the main one.
    reached.clear();
    ::SendMessageW(Main(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(reached, (Reached{{WM_SYSCOLORCHANGE, 0}}));
    ::DestroyWindow(tv.Window());
}

}  // namespace
}  // namespace volane::test
