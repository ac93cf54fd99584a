// Shell::Open hands the address to the system's "open" verb.
#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

TEST(ShellTest, OpenRunsTheAddressesDefaultHandler) {
    // A command script's "open" runs it: it leaves a marker file behind.
    TempFolder temp{L"shell"};
    const std::wstring marker = temp / L"opened.txt";
    ASSERT_TRUE(WriteBytes(temp / L"open me.cmd",
                           "@echo opened> \"" + win32::CodePage().ToAnsi(marker) + "\"\r\n"));
    win32::Shell shell;
    shell.Open(win32::CodePage().ToAnsi(temp / L"open me.cmd"));
    EXPECT_TRUE(WaitUntil([&] { return Exists(marker); }));
    // The script's process works in that folder until it ends; only then can it go.
    RemoveTree(marker);
    RemoveTree(temp / L"open me.cmd");
    EXPECT_TRUE(WaitUntil([&] { return ::RemoveDirectoryW(temp.Path().c_str()) != FALSE; }));
}

}  // namespace
}  // namespace volane::test
