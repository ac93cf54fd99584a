#include "platform/win32/Topmost.h"
#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using TopmostTest = AppTest;

// Pinned, a window and what it owns (here the tree's tooltip) are in the topmost band; released,
// it leaves it.
TEST_F(TopmostTest, PutsTheWindowIntoTheTopmostBandWithWhatItOwns) {
    app.ShowMainForm();
    HWND tip = TreeView_GetToolTips(Tree());
    ASSERT_NE(tip, nullptr);  // the tree shows the whole of labels it cannot show whole
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
    for (const auto& [window, pin, made, inBand] : cases) {
        calls.clear();
        win32::SetTopmostBand(window, pin, &RecordedSetWindowPos);
        EXPECT_EQ(calls, made) << win32::TextOf(window) << pin;
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

}  // namespace
}  // namespace volane::test
