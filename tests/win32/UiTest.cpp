// Ui::MessageBox as the user sees it: a modal box whose window a CBT hook inspects and closes.
#include <vector>

#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

struct BoxSeen {
    bool seen = false;
    std::wstring className, caption, texts;
    HWND owner = nullptr;
    std::vector<int> buttonIds;
    bool hasIcon = false;
};

// The hook procedure has no context argument; the test runs one box at a time.
BoxSeen* g_box = nullptr;

BOOL CALLBACK Inspect(HWND child, LPARAM) {
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    wchar_t text[512] = {};
    ::GetWindowTextW(child, text, 512);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    // Wine's box template always holds an icon control and hides it when there is no icon.
    // (The box itself is not visible yet when it is activated, so the style tells.)
    if (!(style & WS_VISIBLE)) return TRUE;
    if (::lstrcmpiW(name, L"Button") == 0) {
        g_box->buttonIds.push_back(::GetDlgCtrlID(child));
    } else if (::lstrcmpiW(name, L"Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            g_box->hasIcon = g_box->hasIcon || ::SendMessageW(child, STM_GETICON, 0, 0) != 0;
        } else {
            g_box->texts += text;
        }
    }
    return TRUE;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_box && !g_box->seen) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        g_box->seen = true;
        wchar_t name[64] = {};
        ::GetClassNameW(box, name, 64);
        g_box->className = name;
        wchar_t caption[256] = {};
        ::GetWindowTextW(box, caption, 256);
        g_box->caption = caption;
        g_box->owner = ::GetWindow(box, GW_OWNER);
        ::EnumChildWindows(box, &Inspect, 0);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(UiTest, MessageBoxHasOkOnlyNoIconAndWideTexts) {
    BoxSeen box;
    g_box = &box;
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    win32::Ui ui;
    // Characters outside code page 936 too: the box is drawn from UTF-16.
    ui.MessageBox(L"拒绝访问 ☃ naïve", L"提示：");
    ::UnhookWindowsHookEx(hook);
    g_box = nullptr;

    ASSERT_TRUE(box.seen) << "no box appeared: run under a display (Xvfb)";
    EXPECT_EQ(box.className, L"#32770");
    EXPECT_EQ(box.caption, L"提示：");
    EXPECT_EQ(box.texts, L"拒绝访问 ☃ naïve");
    EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.owner, nullptr);
}

}  // namespace
}  // namespace volane::test
