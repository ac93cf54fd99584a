#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

// Why the shell cannot open an address (none it can: under Wine what it starts outlives the run).
TEST(ShellTest, SaysWhyItCannotOpenAnAddress) {
    win32::Shell shell;
    EXPECT_EQ(Outcome(shell.Open("C:\\missing\\nothing.txt")), Failed(ERROR_FILE_NOT_FOUND));
    // 32 is the last failure (SE_ERR_DLLNOTFOUND), not a success.
    shellAnswer = 32;
    EXPECT_EQ(Outcome(win32::Shell(&RecordedShellExecute).Open("http://www.torlin.example")),
              Failed(ERROR_DLL_NOT_FOUND));
    shellAnswer = 42;
}

}  // namespace
}  // namespace volane::test
