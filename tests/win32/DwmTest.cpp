#include "platform/win32/Dwm.h"
#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using DwmTest = AppTest;

// Transitions off as DWM takes it, a BOOL (DWMWA_TRANSITIONS_FORCEDISABLED, 3); the real call too.
TEST_F(DwmTest, TransitionsGoOffAndOnAsABoolAttribute) {
    calls.clear();
    for (bool on : {false, true}) {
        EXPECT_TRUE(win32::SetWindowTransitions(Main(), on, &RecordedSetAttribute));
        EXPECT_TRUE(win32::SetWindowTransitions(Main(), on));
    }
    const std::wstring main = win32::TextOf(Main());
    EXPECT_EQ(calls, (std::vector<std::wstring>{main + L" 3 1 4", main + L" 3 0 4"}));
}

}  // namespace
}  // namespace volane::test
