#include "platform/win32/Dwm.h"
#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using DwmTest = AppTest;

// The restore request's two steps run with the window's transitions off, which DWM takes as a
// BOOL that disables them (DWMWA_TRANSITIONS_FORCEDISABLED, 3); the real call is made too.
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
