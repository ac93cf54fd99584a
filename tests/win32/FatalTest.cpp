#include <new>
#include <stdexcept>
#include <thread>

#include "platform/win32/Fatal.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

// The classes asked for, printed before the box.
BOOL WINAPI PrintedInitControls(const INITCOMMONCONTROLSEX* controls) {
    std::fprintf(stderr, "controls %lu 0x%lX\n", controls->dwSize, controls->dwICC);
    return ::InitCommonControlsEx(controls);
}

// With the main window loaded, and shown or not.
void FailFatally(bool shown, void (*fail)()) {
    app::PrepareProcess(&PrintedInitControls);  // as Volane.exe starts, the box's title and all
    app::Application app;
    app.LoadMainForm();
    if (shown) app.ShowMainForm();
    std::thread([] { CloseNextBox(true); }).detach();
    win32::Guarded([&]() -> int {
        fail();
        return 0;
    });
}

// Each unhandled failure shows its number and text in a box titled with the program's title,
// owned by the shown window if any; then exit code 1.
TEST(FatalTestDeathTest, ShowsTheNumberAndTextOfEachKindOfFailureAndEndsWithExitCode1) {
    // What stderr shows of the box, in UTF-8 (the source's and the narrow literals' encoding).
    const std::tuple<void (*)(), bool, std::string> kinds[] = {
        {[] { throw AppError(326, L"找不到资源"); }, false, "326':\n\n找不到资源 \\| \n"},
        {[] { throw AppError(326, L"找不到资源"); }, true,
         "326':\n\n找不到资源 \\| owner Torlin \\[http://www.torlin.example\\]\n"},
        {[] { throw std::runtime_error("disk full"); }, false, "51':\n\ndisk full \\| \n"},
        {[] { throw std::bad_alloc(); }, false, "7':\n\n内存不足 \\| \n"},
        {[] { throw 42; }, false, "51':\n\n内部错误 \\| \n"}};
    for (const auto& [fail, shown, shows] : kinds) {
        EXPECT_EXIT(FailFatally(shown, fail), ::testing::ExitedWithCode(1),
                    "controls 8 0x4002\nbox: Volane-Torlin@www.torlin.example \\| 1 运.*'" + shows);
    }
}

}  // namespace
}  // namespace volane::test
