// frmAbout's window: the fixed dialog at its designed place, each control's rectangle, texts and
// styles, the tab order, the keyboard, the etched rule and the clicks.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "forms/FormDesigns.h"
#include "modules/mdlApp.h"
#include "platform/win32/AboutWindow.h"
#include "tests/win32/FormFixtures.h"

namespace volane::test {
namespace {

using win32::AboutWindow;

class AboutWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        about.Load();
        window = about.Window();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (about.IsLoaded()) about.Unload();
    }
    HWND Control(std::wstring_view name) const { return about.ControlWindow(name); }
    std::wstring ClassOf(HWND control) const {
        wchar_t name[64] = {};
        ::GetClassNameW(control, name, 64);
        return name;
    }
    void ShowInFront() {
        about.SetTopmost(true);
        about.Show();
        ::SetForegroundWindow(window);
        ::UpdateWindow(window);
        PumpMessages(100);
    }

    FakeServices services;
    VolaneResources resources;
    win32::FormList forms;
    AboutWindow about{forms, resources.Module(), services.about};
    HWND window = nullptr;
};

TEST_F(AboutWindowTest, FixedDialogWithItsClientAreaAtTheDesignedPlace) {
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, 156);  // 2340 twips
    EXPECT_EQ(origin.y, 129);  // 1935 twips
    const RECT client = ClientRect(window);
    EXPECT_EQ(client.right, 382);   // 5730 twips
    EXPECT_EQ(client.bottom, 203);  // 3045 twips
    EXPECT_TRUE(HasStyle(window, WS_CAPTION | WS_SYSMENU));
    EXPECT_FALSE(HasStyle(window, WS_THICKFRAME));
    EXPECT_FALSE(HasStyle(window, WS_MINIMIZEBOX));
    EXPECT_FALSE(HasStyle(window, WS_MAXIMIZEBOX));
    EXPECT_TRUE(HasExStyle(window, WS_EX_DLGMODALFRAME));
    EXPECT_NE(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(AboutWindowTest, ControlsStandWhereDesigned) {
    struct Case {
        std::wstring_view name;
        RECT pixels;  // left, top, right, bottom at 96 DPI
        std::wstring className;
    };
    const Case cases[] = {
        {L"picIcon", {16, 16, 66, 136}, L"Volane.PictureBox"},
        {L"cmdOK", {275, 175, 375, 198}, L"Button"},
        {L"cmdSysInfo", {276, 205, 375, 228}, L"Button"},
        {L"lblDescription", {70, 75, 329, 153}, L"Static"},
        {L"lblTitle", {70, 16, 329, 48}, L"Static"},
        {L"lblVersion", {70, 52, 329, 67}, L"Static"},
        {L"lblDisclaimer", {17, 175, 259, 230}, L"Static"},
    };
    for (const Case& c : cases) {
        HWND control = Control(c.name);
        ASSERT_NE(control, nullptr) << std::wstring(c.name);
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, c.pixels.left) << std::wstring(c.name);
        EXPECT_EQ(rect.top, c.pixels.top) << std::wstring(c.name);
        EXPECT_EQ(rect.right, c.pixels.right) << std::wstring(c.name);
        EXPECT_EQ(rect.bottom, c.pixels.bottom) << std::wstring(c.name);
        EXPECT_EQ(::lstrcmpiW(ClassOf(control).c_str(), c.className.c_str()), 0)
            << std::wstring(c.name);
    }
    EXPECT_EQ(Control(L"Line1(0)"), nullptr);  // the lines are drawn, not windows
}

TEST_F(AboutWindowTest, DpiChangeTakesTheSuggestedRectangleAndPlacesTheControlsAnew) {
    RECT suggested{100, 90, 700, 480};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(rect.right, 700);
    EXPECT_EQ(rect.bottom, 480);
    // 10 twips per pixel at 144 DPI.
    const RECT ok = RectInParent(Control(L"cmdOK"));
    EXPECT_EQ(ok.left, 413);
    EXPECT_EQ(ok.top, 263);
    EXPECT_EQ(ok.right - ok.left, 150);
    EXPECT_EQ(ok.bottom - ok.top, 35);
}

TEST_F(AboutWindowTest, TextsAfterLoad) {
    EXPECT_EQ(about.Caption(), L"关于 " + std::wstring(APP_TITLE));
    EXPECT_EQ(win32::TextOf(Control(L"lblTitle")), std::wstring(APP_TITLE));
    EXPECT_EQ(win32::TextOf(Control(L"lblVersion")), L"版本 1.0.64");
    EXPECT_EQ(win32::TextOf(Control(L"cmdOK")), L"确定");
    EXPECT_EQ(win32::TextOf(Control(L"cmdSysInfo")), L"系统信息(&S)...");
    EXPECT_EQ(win32::TextOf(Control(L"lblDescription")), std::wstring(kAboutDescription));
    EXPECT_EQ(::WideCharToMultiByte(936, 0, kAboutDescription.data(),
                                    static_cast<int>(kAboutDescription.size()), nullptr, 0,
                                    nullptr, nullptr),
              200);
    EXPECT_EQ(win32::TextOf(Control(L"lblDisclaimer")), L"检查最新版本：http://www.torlin.example");
}

TEST_F(AboutWindowTest, TabOrderDefaultButtonAndFocusableControls) {
    HWND ok = Control(L"cmdOK");
    HWND sysInfo = Control(L"cmdSysInfo");
    // Tab index 0 stands first, and tab moves between the two buttons only.
    EXPECT_EQ(::GetWindow(window, GW_CHILD), ok);
    EXPECT_EQ(::GetNextDlgTabItem(window, ok, FALSE), sysInfo);
    EXPECT_EQ(::GetNextDlgTabItem(window, sysInfo, FALSE), ok);
    EXPECT_EQ(::GetNextDlgTabItem(window, ok, TRUE), sysInfo);
    EXPECT_EQ(::GetDlgCtrlID(ok), IDOK);
    EXPECT_EQ(::GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(::GetWindowLongPtrW(sysInfo, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(::SendMessageW(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    for (std::wstring_view label :
         {L"lblDescription", L"lblTitle", L"lblVersion", L"lblDisclaimer", L"picIcon"}) {
        EXPECT_FALSE(HasStyle(Control(label), WS_TABSTOP)) << std::wstring(label);
    }
    EXPECT_TRUE(HasStyle(Control(L"lblDisclaimer"), SS_NOTIFY));
}

TEST_F(AboutWindowTest, EtchedRuleAboveTheButtons) {
    ShowInFront();
    HDC dc = ::GetDC(window);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    struct Case {
        int x, y;
        COLORREF color;
    };
    const Case cases[] = {
        {10, 162, face},
        {10, 163, RGB(128, 128, 128)},
        {10, 164, RGB(255, 255, 255)},
        {10, 165, RGB(255, 255, 255)},
        {10, 166, face},
        {377, 163, RGB(128, 128, 128)},  // x2 = 5654 twips, inclusive
        {378, 163, face},
        {377, 164, RGB(255, 255, 255)},
        {378, 164, face},
        {6, 163, RGB(128, 128, 128)},
        {5, 163, face},
        {6, 164, face},
        {7, 164, RGB(255, 255, 255)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(::GetPixel(dc, c.x, c.y) & 0xFFFFFF, c.color) << c.x << "," << c.y;
    }
    ::ReleaseDC(window, dc);
}

TEST_F(AboutWindowTest, LabelsAreBlackWhateverTheThemesTextColour) {
    const int elements[] = {COLOR_WINDOWTEXT, COLOR_BTNTEXT};
    const COLORREF saved[] = {::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_BTNTEXT)};
    const COLORREF red[] = {RGB(255, 0, 0), RGB(255, 0, 0)};
    ::SetSysColors(2, elements, red);
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (std::wstring_view label : {L"lblTitle", L"lblVersion", L"lblDescription", L"lblDisclaimer"}) {
        ::SetTextColor(dc, RGB(1, 2, 3));
        const LRESULT brush = ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(Control(label)));
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 0)) << std::wstring(label);
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), ::GetSysColorBrush(COLOR_BTNFACE));
    }
    ::DeleteDC(dc);
    ::SetSysColors(2, elements, saved);
}

TEST_F(AboutWindowTest, KeyboardInTheModalLoop) {
    HWND focusAtStart = nullptr;
    std::size_t boxesAfterAltS = 0;
    bool openAfterAltS = false;
    // The keys go through the dialog's own loop, between the steps.
    Later altS(
        [&] {
            focusAtStart = ::GetFocus();
            PressKeys({VK_MENU, 'S'});  // Alt+S: 系统信息(&S)...
        },
        300);
    Later escape(
        [&] {
            boxesAfterAltS = services.ui.boxes.size();
            openAfterAltS = about.IsLoaded();
            PressKeys({VK_ESCAPE});
        },
        700);
    about.SetTopmost(true);
    about.ShowModal();
    EXPECT_EQ(focusAtStart, Control(L"cmdOK"));
    // No System Information program in the fake registry: the message, and the box stays open.
    ASSERT_EQ(boxesAfterAltS, 1u);
    EXPECT_EQ(services.ui.boxes[0].first, L"此时系统信息不可用");
    EXPECT_TRUE(openAfterAltS);
    // Escape pressed cmdOK, which unloaded the box.
    EXPECT_FALSE(about.IsLoaded());
    EXPECT_TRUE(forms.Empty());
}

TEST_F(AboutWindowTest, EnterPressesTheDefaultButton) {
    Later enter([&] { PressKeys({VK_RETURN}); });
    about.SetTopmost(true);
    about.ShowModal();
    EXPECT_FALSE(about.IsLoaded());
    EXPECT_TRUE(services.ui.boxes.empty());
}

TEST_F(AboutWindowTest, ClickOnThePictureOrTheAddressOpensTheSiteAndCloses) {
    for (std::wstring_view name : {L"picIcon", L"lblDisclaimer"}) {
        if (!about.IsLoaded()) {
            about.Load();
            window = about.Window();
        }
        ShowInFront();
        const RECT rect = WindowRect(Control(name));
        ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, MOUSEEVENTF_LEFTDOWN,
                MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(PumpUntil([&] { return !about.IsLoaded(); })) << std::wstring(name);
    }
    EXPECT_EQ(services.shell.opened,
              (std::vector<std::string>{std::string(WEB_ADDRESS), std::string(WEB_ADDRESS)}));
}

}  // namespace
}  // namespace volane::test
