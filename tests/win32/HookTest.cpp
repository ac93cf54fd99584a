// The single-instance hook on a real hidden window whose own procedure records every message.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "modules/mdlMsg.h"
#include "platform/win32/RestoreTarget.h"

namespace volane::test {
namespace {

struct Seen {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Seen&) const = default;
};

constexpr wchar_t kSeenProperty[] = L"VolaneTest.Seen";

// The hooked window's own procedure: records the messages of the test and answers each with
// a value of its own, which the hook has to hand back unchanged.
LRESULT CALLBACK RecordingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_USER) {
        if (auto* seen = static_cast<std::vector<Seen>*>(::GetPropW(window, kSeenProperty)))
            seen->push_back({msg, wParam, lParam});
        return static_cast<LRESULT>(msg + 2 * wParam);
    }
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

class CountingTarget final : public win32::IRestoreTarget {
  public:
    void Restore() override { ++restores; }
    int restores = 0;
};

class HookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &RecordingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VolaneTest.Hooked";
        ::RegisterClassW(&wc);
        window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        ::SetPropW(window, kSeenProperty, &seen);
        // The main form the restore request acts on is another window than the hooked one.
        marker = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        win32::SetRestoreTarget(marker, &target);
    }
    void TearDown() override {
        win32::SetRestoreTarget(marker, nullptr);
        ::RemovePropW(window, kSeenProperty);
        ::DestroyWindow(window);
        ::DestroyWindow(marker);
    }
    std::intptr_t Handle() const { return reinterpret_cast<std::intptr_t>(window); }
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam = 0) {
        return ::SendMessageW(window, msg, wParam, lParam);
    }

    HWND window = nullptr;
    HWND marker = nullptr;
    std::vector<Seen> seen;
    CountingTarget target;
};

TEST_F(HookTest, HookKeepsTheWholePreviousProcedure) {
    const auto own = reinterpret_cast<std::intptr_t>(&RecordingProc);
    // A 64-bit image lies above 4 GiB, so a procedure cut to 32 bits would not come back.
    ASSERT_GT(static_cast<std::uint64_t>(own), 0xFFFFFFFFull);

    const std::intptr_t previous = HookWindow(Handle());
    EXPECT_EQ(previous, own);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_USERDATA), own);
    EXPECT_NE(::GetWindowLongPtrW(window, GWLP_WNDPROC), own);
    // The tag text carries it as decimal and gives back every bit.
    EXPECT_EQ(ProcToTag(previous), std::to_wstring(own));
    EXPECT_EQ(TagToProc(ProcToTag(previous)), own);
    UnhookWindow(Handle(), previous);
}

TEST_F(HookTest, EveryMessageReachesThePreviousProcedureWithItsResult) {
    const std::intptr_t previous = HookWindow(Handle());
    const Seen messages[] = {
        {WM_USER + 5, 7, 9},          {WM_SHOWEXT, 123, 0}, {WM_SHOWEXT, SHOW_CODE, 0x1234},
        {WM_USER + 2, SHOW_CODE, -1}, {WM_APP, 0, 0},
    };
    for (const Seen& m : messages) {
        EXPECT_EQ(Send(m.msg, m.wParam, m.lParam), static_cast<LRESULT>(m.msg + 2 * m.wParam));
    }
    EXPECT_EQ(seen, std::vector<Seen>(std::begin(messages), std::end(messages)));

    // Text messages pass through the W procedures untouched by the ANSI code page.
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"本地磁盘 ✓"));
    wchar_t text[32] = {};
    ::GetWindowTextW(window, text, 32);
    EXPECT_STREQ(text, L"本地磁盘 ✓");
    UnhookWindow(Handle(), previous);
}

TEST_F(HookTest, OnlyMessage1025With4001Restores) {
    const std::intptr_t previous = HookWindow(Handle());
    struct Case {
        UINT msg;
        WPARAM wParam;
        int restores;
    };
    const Case cases[] = {
        {1025, 4001, 1}, {1025, 4000, 0}, {1025, 4002, 0}, {1025, 0, 0},
        {1024, 4001, 0}, {1026, 4001, 0}, {1025, 4001, 1},
    };
    int expected = 0;
    for (const Case& c : cases) {
        Send(c.msg, c.wParam, 77);
        expected += c.restores;
        EXPECT_EQ(target.restores, expected) << c.msg << " / " << c.wParam;
    }
    // The restore request is passed on as well.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), Seen{1025, 4001, 77}), 2);
    UnhookWindow(Handle(), previous);
}

TEST_F(HookTest, AfterUnhookMessagesGoStraightToThePreviousProcedure) {
    const std::intptr_t previous = HookWindow(Handle());
    UnhookWindow(Handle(), previous);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_WNDPROC), previous);
    EXPECT_EQ(::GetWindowLongPtrW(window, GWLP_USERDATA), previous);
    Send(WM_SHOWEXT, SHOW_CODE, 5);
    EXPECT_EQ(target.restores, 0);
    EXPECT_EQ(seen, (std::vector<Seen>{{WM_SHOWEXT, SHOW_CODE, 5}}));
}

TEST_F(HookTest, RestoreRequestWithoutMainFormOnlyForwards) {
    win32::SetRestoreTarget(marker, nullptr);
    const std::intptr_t previous = HookWindow(Handle());
    EXPECT_EQ(Send(WM_SHOWEXT, SHOW_CODE), static_cast<LRESULT>(1025 + 2 * 4001));
    EXPECT_EQ(target.restores, 0);
    UnhookWindow(Handle(), previous);
}

}  // namespace
}  // namespace volane::test
