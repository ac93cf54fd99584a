// The private message 1025 as any program may send it to the real, hooked main window: only
// wParam 4001 restores; every other value passes through and changes nothing, and a long run
// of restore requests leaves the window restored without using up handles or GUI objects.
#include <random>

#include "forms/FormDesigns.h"
#include "modules/mdlMsg.h"
#include "tests/win32/ProcessCounts.h"
#include "tests/win32/RobustnessFixtures.h"

namespace volane::test {
namespace {

// What the restore sequence changes, and what a passed-on message must leave alone.
struct MainState {
    RECT rect;
    bool iconic, zoomed, visible, topmost;
    std::wstring caption;
    std::vector<std::wstring> bar, fileMenu;  // m_exp's caption, m_top's check mark
    bool isWinTop;
    std::int32_t il_w, il_h;
    bool operator==(const MainState& o) const {
        return std::memcmp(&rect, &o.rect, sizeof(rect)) == 0 && iconic == o.iconic &&
               zoomed == o.zoomed && visible == o.visible && topmost == o.topmost &&
               caption == o.caption && bar == o.bar && fileMenu == o.fileMenu &&
               isWinTop == o.isWinTop && il_w == o.il_w && il_h == o.il_h;
    }
};

void PrintTo(const MainState& s, std::ostream* out) {
    *out << "rect " << s.rect.left << "," << s.rect.top << "," << s.rect.right << ","
         << s.rect.bottom << " iconic " << s.iconic << " zoomed " << s.zoomed << " topmost "
         << s.topmost << " bar " << Utf8(s.bar.at(1)) << " top " << Utf8(s.fileMenu.at(1))
         << " isWinTop " << s.isWinTop;
}

MainState StateOf(win32::MainWindow& main) {
    HWND window = main.Window();
    return {WindowRect(window),
            ::IsIconic(window) != FALSE,
            ::IsZoomed(window) != FALSE,
            ::IsWindowVisible(window) != FALSE,
            HasExStyle(window, WS_EX_TOPMOST),
            main.Caption(),
            MenuLines(::GetMenu(window)),
            MenuLines(::GetSubMenu(::GetMenu(window), 0)),
            main.Logic().isWinTop,
            main.Logic().il_w,
            main.Logic().il_h};
}

// Handles, GDI objects and USER objects of this process. Wine answers GetGuiResources and
// GetProcessHandleCount with 0; there the handles come from the system's handle list, the GDI
// objects from the process's GDI handle table, and the windows stand for the USER objects.
struct ResourceCounts {
    long handles;
    long gdi;
    long user;
};

ResourceCounts CountResources() {
    HANDLE self = ::GetCurrentProcess();
    const DWORD pid = ::GetCurrentProcessId();
    return {counts::HandleCount(pid), counts::GdiCount(self), counts::UserCount(self, pid)};
}

class RobustnessMessagesTest : public ::testing::Test {
  protected:
    void SetUp() override { program.Start(); }

    LRESULT Send(WPARAM wParam, LPARAM lParam) {
        return ::SendMessageW(program.Window(), WM_SHOWEXT, wParam, lParam);
    }

    TempFolder work{L"rob-msg"};
    RealProgram program{work.Path()};
};

TEST_F(RobustnessMessagesTest, TenThousandOtherRequestsChangeNothing) {
    // Collapsed, unpinned and moved: everything a restore would undo.
    program.Command(kMenuExp);
    program.Command(kMenuTop);
    program.main.SetLeft(1500);
    program.main.SetTop(3000);
    PumpMessages(50);
    const MainState before = StateOf(program.main);
    ASSERT_EQ(before.bar.at(1), L"展开");
    ASSERT_FALSE(before.topmost);
    const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
    const std::set<HWND> windows = OwnVisibleWindows();

    // The values next to 4001 first, 4001 with high bits set among them, then random ones;
    // lParam is never looked at.
    std::vector<WPARAM> values = {0, 1, 123, 4000, 4002, 4001ull << 32, ~WPARAM{0}};
    for (const WPARAM high : {1ull << 32, 1ull << 63, 0xFFFFFFFF00000000ull})
        values.push_back(high | SHOW_CODE);
    std::mt19937_64 random(1025);
    while (values.size() < 10000) {
        const WPARAM value = (values.size() % 2) ? random() : random() % 8192;
        if (value != SHOW_CODE) values.push_back(value);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(Send(values[i], static_cast<LPARAM>(random())), 0) << values[i];
        if (i % 1000 == 999) {
            PumpMessages(10);
            ASSERT_EQ(StateOf(program.main), before) << "after " << i + 1 << " messages";
        }
    }
    PumpMessages(50);
    EXPECT_EQ(StateOf(program.main), before);
    EXPECT_EQ(TreeFacts(program.TreeWindow()), tree);
    EXPECT_EQ(OwnVisibleWindows(), windows);
    EXPECT_TRUE(program.ui.boxes.empty());

    // The hook is still in place: the real request restores.
    Send(SHOW_CODE, 0);
    const MainState after = StateOf(program.main);
    EXPECT_EQ(after.bar.at(1), L"收起");
    EXPECT_TRUE(after.topmost);
    EXPECT_TRUE(after.isWinTop);
}

TEST_F(RobustnessMessagesTest, ThousandRestoresInARowEndRestoredWithoutGrowth) {
    // The reference: the state one restore request gives.
    Send(SHOW_CODE, 0);
    PumpMessages(50);
    const MainState restored = StateOf(program.main);
    EXPECT_FALSE(restored.iconic);
    EXPECT_TRUE(restored.topmost);

    program.Command(kMenuExp);
    program.Command(kMenuTop);
    program.main.SetWindowState(DisplayState::Minimized);
    std::mt19937_64 random(4001);
    for (int i = 0; i < 10; ++i) Send(SHOW_CODE, static_cast<LPARAM>(random()));
    PumpMessages(50);
    const ResourceCounts start = CountResources();
    for (int i = 0; i < 990; ++i) {
        Send(SHOW_CODE, static_cast<LPARAM>(random()));
        if (i % 100 == 0) PumpMessages(1);
    }
    PumpMessages(100);
    const ResourceCounts end = CountResources();

    EXPECT_EQ(StateOf(program.main), restored);
    RecordProperty("handles", std::to_string(start.handles) + " -> " + std::to_string(end.handles));
    RecordProperty("gdi", std::to_string(start.gdi) + " -> " + std::to_string(end.gdi));
    RecordProperty("user", std::to_string(start.user) + " -> " + std::to_string(end.user));
    ASSERT_GT(start.handles, 0);
    ASSERT_GT(start.gdi, 0);
    ASSERT_GT(start.user, 0);
    // A few objects of the window system's own may come and go; a leak per request would be
    // hundreds.
    EXPECT_LE(end.handles, start.handles + 5);
    EXPECT_LE(end.gdi, start.gdi + 5);
    EXPECT_LE(end.user, start.user + 5);
    EXPECT_TRUE(program.ui.boxes.empty());
}

}  // namespace
}  // namespace volane::test
