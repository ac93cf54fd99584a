#include "tests/win32/Support.h"

namespace volane::test {
namespace {

// Why the shell cannot open an address (none it can: under Wine what it starts outlives the run).
TEST(ShellTest, SaysWhyItCannotOpenAnAddress) {
    win32::Shell shell;
    EXPECT_EQ(Outcome(shell.Open("C:\\missing\\nothing.txt")), Failed(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace volane::test
