// The form runtime on real windows: designed sizes, twips, the resize event, display states,
// the list of loaded forms, modal showing, the message loop and the fatal box.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <stdexcept>

#include "modules/mdlApp.h"
#include "platform/win32/Fatal.h"
#include "platform/win32/Form.h"
#include "platform/win32/Menus.h"
#include "platform/win32/WindowText.h"
#include "tests/win32/FormFixtures.h"

namespace volane::test {
namespace {

using win32::Form;
using win32::FormList;

constexpr std::array kMenus = {MenuDesign{L"m_file", 1, L"文件"},
                               MenuDesign{L"m_refresh", 2, L"刷新"}};
const FormDesign kSizable{L"frmTestSizable",
                          L"测试窗体",
                          FrameStyle::Sizable,
                          3540,
                          2400,
                          std::nullopt,
                          std::nullopt,
                          false,
                          {},
                          kMenus};
const FormDesign kPlaced{L"frmTestPlaced",
                         L"placed",
                         FrameStyle::FixedDialog,
                         3000,
                         1500,
                         2340.0,
                         1935.0,
                         false,
                         {},
                         {}};

// A form whose handlers count their calls and can run extra work.
class TestForm final : public Form {
  public:
    TestForm(FormList& forms, const FormDesign& design) : Form(forms, design, nullptr) {}
    ~TestForm() override { DestroyWindowNow(); }

    int loads = 0, resizes = 0, unloads = 0;
    double clientWidthAtLoad = -1;
    std::function<void()> onResize, onUnload;
    std::function<void(UINT)> onMessage;

  protected:
    win32::unique_hmenu BuildMenu() override {
        if (Design().menus.empty()) return {};
        menu_.emplace(Design().menus, 100);
        return menu_->TakeBar();
    }
    void OnLoad() override {
        ++loads;
        clientWidthAtLoad = ClientWidth();
    }
    void OnResize() override {
        ++resizes;
        if (onResize) onResize();
    }
    void OnUnload() override {
        ++unloads;
        if (onUnload) onUnload();
    }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg == WM_APP + 7) throw AppError(static_cast<long>(wParam), L"找不到资源");
        if (msg == WM_APP + 8) throw std::runtime_error("broken");
        if (onMessage) onMessage(msg);
        return std::nullopt;
    }

  private:
    std::optional<win32::MenuBar> menu_;
};

class FormTest : public ::testing::Test {
  protected:
    FormList forms;
};

TEST_F(FormTest, LoadBuildsTheDesignedClientAreaHidden) {
    TestForm form(forms, kSizable);
    form.Load();
    HWND window = form.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(forms.Contains(form));
    EXPECT_EQ(form.loads, 1);
    EXPECT_DOUBLE_EQ(form.clientWidthAtLoad, 3540.0);  // the load handler sees the design

    const RECT client = ClientRect(window);
    EXPECT_EQ(client.right, 236);
    EXPECT_EQ(client.bottom, 160);
    // Outer measures: the client area plus frame, caption and menu bar.
    const SIZE outer = OuterSize(window, 236, 160);
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, outer.cx);
    EXPECT_EQ(rect.bottom - rect.top, outer.cy);
    EXPECT_GT(outer.cy - 160, ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYMENU) - 2);
    EXPECT_DOUBLE_EQ(form.Width(), outer.cx * 15.0);
    EXPECT_DOUBLE_EQ(form.Height(), outer.cy * 15.0);
    EXPECT_DOUBLE_EQ(form.ClientWidth(), 3540.0);
    EXPECT_DOUBLE_EQ(form.ClientHeight(), 2400.0);
    EXPECT_EQ(form.Caption(), L"测试窗体");
    EXPECT_TRUE(HasStyle(window, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU));
    EXPECT_TRUE(HasExStyle(window, WS_EX_APPWINDOW));
}

TEST_F(FormTest, FixedDialogOpensWithItsClientAreaAtTheDesignedPoint) {
    TestForm form(forms, kPlaced);
    form.Load();
    POINT origin{0, 0};
    ::ClientToScreen(form.Window(), &origin);
    EXPECT_EQ(origin.x, 156);
    EXPECT_EQ(origin.y, 129);
    const RECT client = ClientRect(form.Window());
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_TRUE(HasStyle(form.Window(), WS_CAPTION | WS_SYSMENU));
    EXPECT_FALSE(HasStyle(form.Window(), WS_THICKFRAME));
    EXPECT_FALSE(HasStyle(form.Window(), WS_MINIMIZEBOX));
    EXPECT_FALSE(HasStyle(form.Window(), WS_MAXIMIZEBOX));
    EXPECT_TRUE(HasExStyle(form.Window(), WS_EX_DLGMODALFRAME));
}

TEST_F(FormTest, PlaceAndSizeInTwips) {
    TestForm form(forms, kSizable);
    form.Load();
    form.SetLeft(1500);
    form.SetTop(-300);
    form.SetWidth(4500);
    form.SetHeight(3007);  // 200.47 pixels
    const RECT rect = WindowRect(form.Window());
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, -20);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);
    EXPECT_DOUBLE_EQ(form.Left(), 1500.0);
    EXPECT_DOUBLE_EQ(form.Top(), -300.0);
    EXPECT_DOUBLE_EQ(form.Width(), 4500.0);
    EXPECT_DOUBLE_EQ(form.Height(), 3000.0);
    try {
        form.SetWidth(-15);
        FAIL() << "a negative width was taken";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), 380);
    }
    EXPECT_EQ(WindowRect(form.Window()).right - WindowRect(form.Window()).left, 300);
}

TEST_F(FormTest, ResizeEventRunsBeforeTheChangingCallReturns) {
    TestForm form(forms, kSizable);
    form.Load();
    std::vector<double> seen;
    bool nested = false;
    form.onResize = [&] {
        seen.push_back(form.ClientWidth());
        // A handler that changes the size again gets its own event at once.
        if (!nested && form.ClientWidth() > 4000) {
            nested = true;
            form.SetWidth(form.Width() - 1500);
        }
    };
    const double frame = form.Width() - form.ClientWidth();
    const int before = form.resizes;
    form.SetWidth(3000 + frame);
    EXPECT_EQ(form.resizes, before + 1);
    EXPECT_EQ(seen, std::vector<double>{3000.0});
    form.SetWidth(4500 + frame);
    EXPECT_EQ(form.resizes, before + 3);
    EXPECT_EQ(seen, (std::vector<double>{3000.0, 4500.0, 3000.0}));
}

TEST_F(FormTest, DisplayStatesRoundTrip) {
    TestForm form(forms, kSizable);
    form.Load();
    form.Show();
    PumpMessages();
    EXPECT_EQ(form.WindowState(), DisplayState::Normal);
    const int before = form.resizes;
    form.SetWindowState(DisplayState::Maximized);
    EXPECT_TRUE(::IsZoomed(form.Window()));
    EXPECT_EQ(form.WindowState(), DisplayState::Maximized);
    EXPECT_GT(form.resizes, before);
    form.SetWindowState(DisplayState::Minimized);
    EXPECT_TRUE(::IsIconic(form.Window()));
    EXPECT_EQ(form.WindowState(), DisplayState::Minimized);
    // Minimized from maximized: normal still means normal, not maximized again.
    form.SetWindowState(DisplayState::Normal);
    EXPECT_EQ(form.WindowState(), DisplayState::Normal);
    EXPECT_FALSE(::IsZoomed(form.Window()));
    EXPECT_FALSE(::IsIconic(form.Window()));
}

TEST_F(FormTest, CaptionTagAndTopmost) {
    TestForm form(forms, kSizable);
    form.Load();
    form.SetCaption(L"关于 Volane-Torlin");
    wchar_t text[64] = {};
    ::GetWindowTextW(form.Window(), text, 64);
    EXPECT_STREQ(text, L"关于 Volane-Torlin");
    EXPECT_EQ(form.Caption(), L"关于 Volane-Torlin");
    form.SetTag(L"140737488355327");
    EXPECT_EQ(form.Tag(), L"140737488355327");

    form.SetTopmost(true);
    EXPECT_TRUE(HasExStyle(form.Window(), WS_EX_TOPMOST));
    form.SetTopmost(false);
    EXPECT_FALSE(HasExStyle(form.Window(), WS_EX_TOPMOST));
}

TEST_F(FormTest, UnloadRunsEachHandlerOnceAndEmptiesTheList) {
    TestForm first(forms, kSizable);
    TestForm second(forms, kPlaced);
    first.Load();
    second.Load();
    HWND firstWindow = first.Window();
    HWND secondWindow = second.Window();
    // The first form's unload handler unloads every form, itself included.
    first.onUnload = [&] { forms.UnloadAll(); };
    ::SendMessageW(firstWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.unloads, 1);
    EXPECT_EQ(second.unloads, 1);
    EXPECT_TRUE(forms.Empty());
    EXPECT_FALSE(::IsWindow(firstWindow));
    EXPECT_FALSE(::IsWindow(secondWindow));
    first.Unload();
    EXPECT_EQ(first.unloads, 1);
}

TEST_F(FormTest, MessageLoopRunsUntilNoFormIsLoaded) {
    TestForm first(forms, kSizable);
    TestForm hidden(forms, kPlaced);
    first.Load();
    hidden.Load();
    first.Show();
    ::PostMessageW(first.Window(), WM_CLOSE, 0, 0);
    // The hidden form alone keeps the loop going until it is unloaded too.
    first.onUnload = [&] { ::PostMessageW(hidden.Window(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(forms.RunMessageLoop(), 0);
    EXPECT_TRUE(forms.Empty());
    EXPECT_EQ(hidden.unloads, 1);
}

TEST_F(FormTest, ShowModalDisablesTheOtherFormsUntilUnloaded) {
    TestForm owner(forms, kSizable);
    TestForm dialog(forms, kPlaced);
    owner.Load();
    owner.Show();
    dialog.Load();
    bool ownerEnabledInside = true, dialogShownInside = false;
    Later during([&] {
        ownerEnabledInside = ::IsWindowEnabled(owner.Window());
        dialogShownInside = ::IsWindowVisible(dialog.Window()) && dialog.IsModal();
        ::PostMessageW(dialog.Window(), WM_CLOSE, 0, 0);
    });
    dialog.ShowModal();
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(dialogShownInside);
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_TRUE(::IsWindowEnabled(owner.Window()));
    EXPECT_EQ(forms.Loaded(), std::vector<Form*>{&owner});
}

TEST(FatalTest, DescribesEveryKindOfFailure) {
    struct Case {
        std::exception_ptr failure;
        long number;
        std::wstring description;
    };
    const Case cases[] = {
        {std::make_exception_ptr(AppError(326, L"找不到资源")), 326, L"找不到资源"},
        {std::make_exception_ptr(std::bad_alloc()), 7, L"内存不足"},
        {std::make_exception_ptr(std::runtime_error("broken")), 51, L"broken"},
        {std::make_exception_ptr(42), 51, L"内部错误"},
    };
    for (const Case& c : cases) {
        const auto [number, description] = win32::DescribeFailure(c.failure);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(description, c.description);
    }
    EXPECT_EQ(win32::FatalText(35602, L"键不唯一"), L"运行时错误 '35602':\n\n键不唯一");
}

#if GTEST_HAS_DEATH_TEST
// In the dying process: reports the fatal box on stderr and presses its OK button. The box's
// texts are filled in after it activates, so it is read a moment later, from its own loop.
HWND g_fatalBox = nullptr;

void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    std::wstring all = L"box[" + win32::TextOf(g_fatalBox) + L"][";
    ::EnumChildWindows(
        g_fatalBox,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(child, name, 16);
            if (::lstrcmpiW(name, L"Static") == 0)
                *reinterpret_cast<std::wstring*>(out) += win32::TextOf(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    all += L"]";
    std::replace(all.begin(), all.end(), L'\n', L' ');  // the expected pattern is one line
    char report[2048] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, all.c_str(), -1, report, sizeof(report), nullptr, nullptr);
    std::fputs(report, stderr);
    std::fflush(stderr);
    ::PostMessageW(g_fatalBox, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !g_fatalBox) {
        g_fatalBox = reinterpret_cast<HWND>(wParam);
        ::SetTimer(nullptr, 0, 100, &ReadAndCloseBox);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void ThrowInsideAWindowProcedure(UINT message, WPARAM wParam) {
    ::SetWindowsHookExW(WH_CBT, &WatchForBox, nullptr, ::GetCurrentThreadId());
    FormList forms;
    TestForm form(forms, kSizable);
    form.Load();
    ::SendMessageW(form.Window(), message, wParam, 0);
    std::fputs("still running", stderr);
    std::exit(0);
}

TEST(FatalDeathTest, FailureInAWindowProcedureShowsTheBoxAndEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ThrowInsideAWindowProcedure(WM_APP + 7, 326), ::testing::ExitedWithCode(1),
                "box\\[Volane-Torlin@www\\.torlin\\.example\\]\\[.*'326':  找不到资源\\]");
    EXPECT_EXIT(ThrowInsideAWindowProcedure(WM_APP + 8, 0), ::testing::ExitedWithCode(1),
                "box\\[Volane-Torlin@www\\.torlin\\.example\\]\\[.*'51'.*broken\\]");
}
#endif

}  // namespace
}  // namespace volane::test
