#include <thread>

#include "tests/win32/Support.h"

namespace volane::test {
namespace {

TEST(UiTest, MessageBoxHasAnOkButtonOnlyAndNoIconAndBusyShowsTheWaitCursor) {
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

}  // namespace
}  // namespace volane::test
