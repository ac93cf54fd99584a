// The tree adapter on a real tree view control: structure, keys, expansion, selection, hit test,
// size, and the mouse events from real pointer input.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/TreeView.h"
#include "tests/win32/FormFixtures.h"

namespace volane::test {
namespace {

using win32::AppendMode;
using win32::TreeView;

constexpr wchar_t kTreeProperty[] = L"VolaneTest.Tree";
constexpr wchar_t kRClicksProperty[] = L"VolaneTest.RClicks";

// The tree's parent: hands NM_RCLICK to the adapter, as the main window does, and counts it.
LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        auto* tree = static_cast<TreeView*>(::GetPropW(window, kTreeProperty));
        if (tree && header->code == NM_RCLICK) {
            auto* count = static_cast<int*>(::GetPropW(window, kRClicksProperty));
            if (count) ++*count;
            tree->OnRightClickNotify();
            return 1;
        }
    }
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

struct MouseEvent {
    int button, shift;
    double x, y;
};

class RecordingMouse final : public win32::ITreeMouse {
  public:
    void TreeMouseDown(int b, int s, double x, double y) override { downs.push_back({b, s, x, y}); }
    void TreeMouseUp(int b, int s, double x, double y) override { ups.push_back({b, s, x, y}); }
    std::vector<MouseEvent> downs, ups;
};

// 2400 x 3000 twips: 160 x 200 pixels at 96 DPI.
constexpr ControlDesign kTreeDesign{L"tv1", ControlKind::TreeView, 0, 0, 2400, 3000, 0, L""};

class TreeViewTest : public ::testing::TestWithParam<AppendMode> {
  protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &HostProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VolaneTest.TreeHost";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        ::RegisterClassW(&wc);
        host =
            ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"tree host", WS_POPUP | WS_VISIBLE,
                              100, 100, 300, 300, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        tree = std::make_unique<TreeView>(host, kTreeDesign, 7, mouse, GetParam());
        ::SetPropW(host, kTreeProperty, tree.get());
        ::SetPropW(host, kRClicksProperty, &rightClicks);
        ::SetForegroundWindow(host);
        PumpMessages(50);
    }
    void TearDown() override {
        ::RemovePropW(host, kTreeProperty);
        ::RemovePropW(host, kRClicksProperty);
        ::DestroyWindow(host);
        tree.reset();
    }

    HWND Tv() const { return tree->Window(); }
    // Event and hit-test coordinates count from the control's outer corner, border included.
    POINT Border() const {
        const POINT origin = ClientToScreenPoint(Tv(), {0, 0});
        const RECT rect = WindowRect(Tv());
        return {origin.x - rect.left, origin.y - rect.top};
    }
    double TwipsX(LONG clientX) const { return (clientX + Border().x) * 15.0; }
    double TwipsY(LONG clientY) const { return (clientY + Border().y) * 15.0; }

    // The control's own view of the tree: "text:image/selectedImage" with children in braces.
    std::wstring Dump(HTREEITEM first) const {
        std::wstring out;
        for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(Tv(), item)) {
            wchar_t text[64] = {};
            TVITEMW data{};
            data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            TreeView_GetItem(Tv(), &data);
            if (!out.empty()) out += L" ";
            out += std::wstring(text) + L":" + std::to_wstring(data.iImage) + L"/" +
                   std::to_wstring(data.iSelectedImage);
            if (HTREEITEM child = TreeView_GetChild(Tv(), item)) out += L"{" + Dump(child) + L"}";
        }
        return out;
    }
    std::wstring Dump() const { return Dump(TreeView_GetRoot(Tv())); }

    HTREEITEM Find(const std::wstring& text, HTREEITEM first) const {
        for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(Tv(), item)) {
            wchar_t buffer[64] = {};
            TVITEMW data{};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = buffer;
            data.cchTextMax = 64;
            TreeView_GetItem(Tv(), &data);
            if (text == buffer) return item;
            if (HTREEITEM found = Find(text, TreeView_GetChild(Tv(), item))) return found;
        }
        return nullptr;
    }
    HTREEITEM Find(const std::wstring& text) const { return Find(text, TreeView_GetRoot(Tv())); }

    bool Shown(HTREEITEM item) const {
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the RECT
        return ::SendMessageW(Tv(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)) != 0;
    }

    RECT LabelRect(HTREEITEM item) const {
        RECT rect{};
        std::memcpy(&rect, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the RECT
        ::SendMessageW(Tv(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }

    void AddSample() {
        ASSERT_TRUE(tree->Add({}, L"C:\\", L"本地磁盘(C)", 2));
        ASSERT_TRUE(tree->Add(L"C:\\", L"C:\\Windows", L"Windows", 3));
        ASSERT_TRUE(tree->Add(L"C:\\", L"C:\\a.php", L"a.php", 8));
        ASSERT_TRUE(tree->Add({}, L"E:\\", L"光盘驱动(E)", 2));
        ASSERT_TRUE(tree->Add(L"C:\\Windows", L"C:\\Windows\\x.txt", L"x.txt", 9));
        ASSERT_TRUE(tree->Add(L"C:\\", L"C:\\b.css", L"b.css", 4));
    }

    HWND host = nullptr;
    RecordingMouse mouse;
    int rightClicks = 0;
    std::unique_ptr<TreeView> tree;
};

TEST_P(TreeViewTest, AddAppendsInOrderWithZeroBasedImages) {
    AddSample();
    EXPECT_EQ(Dump(),
              L"本地磁盘(C):1/1{Windows:2/2{x.txt:8/8} a.php:7/7 b.css:3/3} 光盘驱动(E):1/1");
    EXPECT_EQ(tree->Count(), 6u);
    EXPECT_EQ(TreeView_GetCount(Tv()), 6u);
}

TEST_P(TreeViewTest, DuplicateKeyOrUnknownParentAddsNothing) {
    AddSample();
    const std::wstring before = Dump();
    EXPECT_FALSE(tree->Add({}, L"C:\\", L"again", 2));
    EXPECT_FALSE(tree->Add(L"E:\\", L"C:\\Windows", L"moved", 3));
    EXPECT_FALSE(tree->Add(L"D:\\", L"D:\\x", L"orphan", 3));
    EXPECT_FALSE(tree->Add(L"c:\\", L"c:\\y", L"case differs", 3));
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(tree->Count(), 6u);
    EXPECT_EQ(TreeView_GetCount(Tv()), 6u);
    EXPECT_EQ(tree->Children(L"E:\\"), 0u);
    // The failed adds left the last child where it was: the next child still goes last.
    ASSERT_TRUE(tree->Add(L"C:\\", L"C:\\z.js", L"z.js", 7));
    EXPECT_EQ(Dump(TreeView_GetChild(Tv(), TreeView_GetRoot(Tv()))),
              L"Windows:2/2{x.txt:8/8} a.php:7/7 b.css:3/3 z.js:6/6");
}

TEST_P(TreeViewTest, ClearEmptiesControlAndKeys) {
    AddSample();
    tree->Clear();
    EXPECT_EQ(tree->Count(), 0u);
    EXPECT_EQ(TreeView_GetCount(Tv()), 0u);
    EXPECT_EQ(tree->Children(L"C:\\"), 0u);
    EXPECT_FALSE(tree->SelectedKey().has_value());
    EXPECT_TRUE(tree->Add({}, L"C:\\", L"本地磁盘(C)", 2));
    EXPECT_EQ(Dump(), L"本地磁盘(C):1/1");
}

TEST_P(TreeViewTest, ChildrenCountsDirectChildrenOnly) {
    AddSample();
    EXPECT_EQ(tree->Children(L"C:\\"), 3u);
    EXPECT_EQ(tree->Children(L"C:\\Windows"), 1u);
    EXPECT_EQ(tree->Children(L"C:\\a.php"), 0u);
    EXPECT_EQ(tree->Children(L"Q:\\unknown"), 0u);
}

TEST_P(TreeViewTest, NodeMarkedExpandedShowsChildrenAddedAfterwards) {
    ASSERT_TRUE(tree->Add({}, L"C:\\", L"C", 2));
    ASSERT_TRUE(tree->Add({}, L"E:\\", L"E", 2));
    EXPECT_FALSE(tree->Expand(L"Q:\\"));
    EXPECT_TRUE(tree->Expand(L"C:\\"));
    tree->Add(L"C:\\", L"C:\\one", L"one", 3);
    tree->Add(L"C:\\", L"C:\\two", L"two", 3);
    tree->Add(L"E:\\", L"E:\\hidden", L"hidden", 3);  // E was never marked expanded
    EXPECT_TRUE(TreeView_GetItemState(Tv(), Find(L"C"), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_TRUE(Shown(Find(L"one")));
    EXPECT_TRUE(Shown(Find(L"two")));
    EXPECT_FALSE(Shown(Find(L"hidden")));
}

TEST_P(TreeViewTest, SelectedKeyFollowsTheSelection) {
    AddSample();
    EXPECT_FALSE(tree->SelectedKey().has_value());
    tree->Expand(L"C:\\");
    TreeView_SelectItem(Tv(), Find(L"a.php"));
    EXPECT_EQ(tree->SelectedKey(), std::optional<std::wstring>(L"C:\\a.php"));
    TreeView_SelectItem(Tv(), Find(L"光盘驱动(E)"));
    EXPECT_EQ(tree->SelectedKey(), std::optional<std::wstring>(L"E:\\"));
}

TEST_P(TreeViewTest, HitTestFindsNodesByTwips) {
    AddSample();
    ASSERT_GT(Border().x, 0);  // the control has a border, so the two coordinate systems differ
    const RECT label = LabelRect(Find(L"光盘驱动(E)"));
    const double x = TwipsX((label.left + label.right) / 2);
    const double y = TwipsY((label.top + label.bottom) / 2);
    EXPECT_TRUE(tree->HitTest(x, y));
    EXPECT_FALSE(tree->HitTest(x, y + 20 * 15.0));             // empty space below the last node
    EXPECT_FALSE(tree->HitTest(TwipsX(label.right + 40), y));  // beside the label
    // Just inside the label's bottom edge, and just below it.
    EXPECT_TRUE(tree->HitTest(x, TwipsY(label.bottom - 1)));
    EXPECT_FALSE(tree->HitTest(x, TwipsY(label.bottom + 1) + 20 * 15.0));
}

TEST_P(TreeViewTest, SizeAndPlaceInTwips) {
    const RECT designed = RectInParent(Tv());
    EXPECT_EQ(designed.right - designed.left, 160);
    EXPECT_EQ(designed.bottom - designed.top, 200);
    tree->SetWidth(1500);
    tree->SetHeight(735);
    const RECT rect = RectInParent(Tv());
    EXPECT_EQ(rect.right - rect.left, 100);
    EXPECT_EQ(rect.bottom - rect.top, 49);
    EXPECT_DOUBLE_EQ(tree->Left(), 0.0);
    EXPECT_DOUBLE_EQ(tree->Top(), 0.0);
}

TEST_P(TreeViewTest, RightClickOnAndBesideANodeRaisesDownAndUpOnce) {
    AddSample();
    const RECT label = LabelRect(Find(L"光盘驱动(E)"));
    const POINT onNode{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    const POINT beside{onNode.x, label.bottom + 60};
    for (POINT at : {onNode, beside}) {
        mouse.downs.clear();
        mouse.ups.clear();
        ClickAt(ClientToScreenPoint(Tv(), at), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        ASSERT_TRUE(PumpUntil([&] { return !mouse.ups.empty(); }));
        PumpMessages(50);
        ASSERT_EQ(mouse.downs.size(), 1u);
        ASSERT_EQ(mouse.ups.size(), 1u);
        EXPECT_EQ(mouse.downs[0].button, 2);
        EXPECT_EQ(mouse.ups[0].button, 2);
        EXPECT_DOUBLE_EQ(mouse.downs[0].x, TwipsX(at.x));
        EXPECT_DOUBLE_EQ(mouse.downs[0].y, TwipsY(at.y));
        EXPECT_DOUBLE_EQ(mouse.ups[0].x, TwipsX(at.x));
        EXPECT_DOUBLE_EQ(mouse.ups[0].y, TwipsY(at.y));
    }
    // The control swallowed both releases and reported them as NM_RCLICK.
    EXPECT_EQ(rightClicks, 2);
}

TEST_P(TreeViewTest, LeftAndMiddleButtonsRaiseTheirEvents) {
    AddSample();
    const RECT label = LabelRect(Find(L"本地磁盘(C)"));
    const POINT at{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    ClickAt(ClientToScreenPoint(Tv(), at), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !mouse.ups.empty(); }));
    // The middle click with Ctrl held: shift state 2 on both events.
    INPUT ctrl{};
    ctrl.type = INPUT_KEYBOARD;
    ctrl.ki.wVk = VK_CONTROL;
    ::SendInput(1, &ctrl, sizeof(INPUT));
    ClickAt(ClientToScreenPoint(Tv(), at), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ctrl.ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &ctrl, sizeof(INPUT));
    ASSERT_TRUE(PumpUntil([&] { return mouse.ups.size() == 2; }));
    ASSERT_EQ(mouse.downs.size(), 2u);
    EXPECT_EQ(mouse.downs[0].button, 1);
    EXPECT_EQ(mouse.ups[0].button, 1);
    EXPECT_EQ(mouse.downs[0].shift, 0);
    EXPECT_EQ(mouse.downs[1].button, 4);
    EXPECT_EQ(mouse.ups[1].button, 4);
    EXPECT_EQ(mouse.downs[1].shift, 2);
    EXPECT_EQ(mouse.ups[1].shift, 2);
    EXPECT_DOUBLE_EQ(mouse.ups[1].x, TwipsX(at.x));
    EXPECT_DOUBLE_EQ(mouse.downs[1].y, TwipsY(at.y));
    // The left click selected the node under the pointer.
    EXPECT_EQ(tree->SelectedKey(), std::optional<std::wstring>(L"C:\\"));
}

INSTANTIATE_TEST_SUITE_P(BothAppendModes, TreeViewTest,
                         ::testing::Values(AppendMode::AfterLastChild, AppendMode::Last));

// Far beyond a 16-bit count, in the mode this system appends with.
TEST(TreeViewLargeTest, HundredThousandChildrenUnderOneNode) {
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    RecordingMouse mouse;
    auto tree = std::make_unique<TreeView>(host, kTreeDesign, 7, mouse);
    constexpr int kChildren = 100000;
    ASSERT_TRUE(tree->Add({}, L"C:\\", L"C", 2));
    tree->SetRedraw(false);
    for (int i = 0; i < kChildren; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i);
        ASSERT_TRUE(tree->Add(L"C:\\", L"C:\\" + name, name, 3)) << i;
    }
    tree->SetRedraw(true);
    EXPECT_EQ(tree->Count(), static_cast<std::size_t>(kChildren) + 1);
    EXPECT_EQ(TreeView_GetCount(tree->Window()), static_cast<UINT>(kChildren) + 1);
    EXPECT_EQ(tree->Children(L"C:\\"), static_cast<std::size_t>(kChildren));
    EXPECT_FALSE(tree->Add(L"C:\\", L"C:\\f99999", L"again", 3));

    // The last one added stands last (the last visible item once the root is open: a walk along
    // 100,000 siblings takes seconds under Wine, which checks each handle by a linear search),
    // and its key comes back when it is selected.
    HWND tv = tree->Window();
    ASSERT_TRUE(tree->Expand(L"C:\\"));
    HTREEITEM last = TreeView_GetNextItem(tv, nullptr, TVGN_LASTVISIBLE);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(TreeView_GetParent(tv, last), TreeView_GetRoot(tv));
    TreeView_SelectItem(tv, last);
    EXPECT_EQ(tree->SelectedKey(), std::optional<std::wstring>(L"C:\\f99999"));
    ::DestroyWindow(host);
}

}  // namespace
}  // namespace volane::test
