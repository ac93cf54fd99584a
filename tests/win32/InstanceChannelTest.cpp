// The second start's channel to the first instance.
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

std::vector<DWORD> allowed;

TEST(InstanceChannelTest, LetsTheFirstInstanceComeToTheFront) {
    win32::InstanceChannel channel([](DWORD processId) -> BOOL {
        allowed.push_back(processId);
        return TRUE;
    });
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    // The process that owns the window may take the foreground; no window, no process.
    channel.AllowForeground(reinterpret_cast<std::intptr_t>(window));
    channel.AllowForeground(0);
    EXPECT_EQ(allowed, std::vector<DWORD>{::GetCurrentProcessId()});
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace volane::test
