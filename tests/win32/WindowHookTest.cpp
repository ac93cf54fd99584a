#include "modules/mdlMsg.h"
#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using WindowHookTest = AppTest;

LRESULT CALLBACK NarrowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(WindowHookTest, LetsTheRequestInKeepsTheWholeProcedureAndPassesTextOn) {
    // The restore request alone passes UIPI's message filter, once, for a less privileged second
    // start. Wine has no such isolation: the call is checked, not its effect.
    {
        app::MainWindow main(app.forms, app.module, app.services, app.source, &RecordedFilter);
        calls.clear();
        main.Load();
        ::SendMessageW(main.Window(), 1025, 4001, 0);
        EXPECT_EQ(calls, std::vector<std::wstring>{win32::TextOf(main.Window()) + L" 1025 1"});
    }
    const LONG_PTR previous = ::GetWindowLongPtrW(Main(), GWLP_USERDATA);
    // A 64-bit image lies above 4 GiB: a procedure cut to 32 bits would not come back.
    EXPECT_GT(static_cast<std::uint64_t>(previous), 0xFFFFFFFFull);
    EXPECT_EQ(TagToProc(app.main.Tag()), previous);
    // Text reaches the previous procedure as it came, or in the ANSI code page for a narrow one:
    // Chinese in code page 936, Latin in an English locale (a Windows runner's).
    HWND other = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SetWindowLongPtrA(other, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NarrowProc));
    const std::intptr_t previousNarrow =
        app::HookWindow(reinterpret_cast<std::intptr_t>(other), nullptr);
    for (const auto& [window, text] : {std::pair{Main(), L"本地磁盘 ☃ 😀"},
                                       {other, ::GetACP() == 936 ? L"本地磁盘" : L"Volane café"}}) {
        ::SetWindowTextW(window, text);
        EXPECT_EQ(win32::TextOf(window), text);
    }
    app::UnhookWindow(reinterpret_cast<std::intptr_t>(other), previousNarrow);
    EXPECT_EQ(::GetWindowLongPtrW(other, GWLP_WNDPROC), previousNarrow);
    ::DestroyWindow(other);
}

}  // namespace
}  // namespace volane::test
