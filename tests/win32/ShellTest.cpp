#include "tests/win32/Support.h"

namespace volane::test {
namespace {

// The shell says why it cannot open an address: here a file that is not there. (No address it
// can open: under Wine a program the shell starts gets a console host of its own, which can
// outlive the run and hold its output open.)
TEST(ShellTest, SaysWhyItCannotOpenAnAddress) {
    win32::Shell shell;
    EXPECT_EQ(Outcome(shell.Open("C:\\missing\\nothing.txt")), Failed(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace volane::test
