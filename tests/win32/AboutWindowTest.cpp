#include <array>
#include <thread>

#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

using AboutWindowTest = AppTest;

constexpr wchar_t kDescription[] =
    L"编写本工具，是为了弥补编辑器自带的文件夹树在选择要编辑的文件时的不足。作者一直没有改进它，"
    L"而编辑器又是我日常工作中用得最多的工具，于是写了这个小程序，免费送给编辑器的广大用户们，"
    L"希望方便大家日常使用。";
TEST_F(AboutWindowTest, AsDesignedAndTheVersionRecord) {
    // Wine cannot turn high contrast on: the box is told so where the test needs it.
    std::optional<bool> contrast;
    app::AboutWindow about(app.forms, app.module, app.about,
                           [&] { return contrast ? *contrast : win32::HighContrastOn(); });
    about.Load();
    HWND box = about.Window();
    RECT client = ClientRect(box);
    ::MapWindowPoints(box, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client, (RECT{Px(2340), Px(1935), Px(2340) + Px(5730), Px(1935) + Px(3045)}));
    const std::tuple<int, std::array<double, 4>, std::wstring> controls[] = {
        {IDC_PICICON, {240, 240, 750, 1800}, L""},
        {IDOK, {4125, 2625, 1500, 345}, L"确定"},
        {IDC_SYSINFO, {4140, 3075, 1485, 345}, L"系统信息(&S)..."},
        {IDC_DESCRIPTION, {1050, 1125, 3885, 1170}, kDescription},
        {IDC_TITLE, {1050, 240, 3885, 480}, L"Volane-Torlin@www.torlin.example"},
        {IDC_VERSION, {1050, 780, 3885, 225}, L"版本 1.0.64"},
        {IDC_DISCLAIMER, {255, 2625, 3630, 825}, L"检查最新版本：http://www.torlin.example"},
    };
    // As loaded, then at 125 %, where a twip more or less can round to another pixel.
    const int loaded = static_cast<int>(app.main.Dpi());
    for (const int dpi : {loaded, 120}) {
        if (dpi != loaded) ChangeDpi(box, dpi);
        const auto px = [dpi](double t) { return TwipsToPixels(t, dpi); };
        for (const auto& [id, t, text] : controls) {
            const RECT rect{px(t[0]), px(t[1]), px(t[0]) + px(t[2]), px(t[1]) + px(t[3])};
            EXPECT_EQ(WindowRect(about.ControlWindow(id), true), rect) << id << " at " << dpi;
            EXPECT_EQ(win32::TextOf(about.ControlWindow(id)), text);
            // In the message font from the start (the picture has no text).
            EXPECT_EQ(::SendMessageW(about.ControlWindow(id), WM_GETFONT, 0, 0) != 0,
                      id != IDC_PICICON);
        }
    }
    ChangeDpi(box, loaded);
    // Tab and the access keys follow the z-order, which is the designed tab order.
    std::vector<int> stacked;
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        stacked.push_back(::GetDlgCtrlID(c));
    EXPECT_EQ(stacked, (std::vector<int>{IDOK, IDC_PICICON, IDC_SYSINFO, IDC_DESCRIPTION,
                                         IDC_DISCLAIMER, IDC_TITLE, IDC_VERSION}));
    // The labels black on the face whatever the theme; in high contrast, window text on window.
    const int elements[] = {COLOR_WINDOWTEXT, COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_WINDOW};
    COLORREF saved[4];
    for (int i = 0; i < 4; ++i) saved[i] = ::GetSysColor(elements[i]);
    const COLORREF theme[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 128), RGB(0, 0, 0)};
    ::SetSysColors(4, elements, theme);
    HDC label = ::CreateCompatibleDC(nullptr);
    // High contrast (none: the system's own setting, off under Wine), text, background.
    const std::tuple<std::optional<bool>, COLORREF, int> colours[] = {
        {{}, RGB(0, 0, 0), COLOR_BTNFACE}, {true, RGB(255, 255, 255), COLOR_WINDOW}};
    for (const auto& [on, text, background] : colours) {
        contrast = on;
        for (int id : {IDC_TITLE, IDC_DESCRIPTION, IDC_DISCLAIMER}) {
            ::SetTextColor(label, RGB(1, 2, 3));
            const LRESULT brush =
                ::SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(label),
                               reinterpret_cast<LPARAM>(about.ControlWindow(id)));
            EXPECT_EQ(::GetTextColor(label), text) << id;
            EXPECT_EQ(::GetBkColor(label),
                      background == COLOR_WINDOW ? RGB(0, 0, 0) : RGB(0, 0, 128));
            EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetSysColorBrush(background)));
        }
    }
    ::DeleteDC(label);
    // Turned on and off while the box shows, high contrast redraws the labels: their background.
    contrast.reset();
    about.SetTopmost(true);
    about.Show();
    HWND version = about.ControlWindow(IDC_VERSION);
    const auto background = [&] {
        ::RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = ::GetDC(version);
        const COLORREF pixel = ::GetPixel(dc, ClientRect(version).right - 2, 2);
        ::ReleaseDC(version, dc);
        return pixel;
    };
    for (const auto& [on, colour] :
         {std::pair{std::optional<bool>{true}, RGB(0, 0, 0)}, {std::nullopt, RGB(0, 0, 128)}}) {
        contrast = on;
        ::SendMessageW(box, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        EXPECT_EQ(background(), colour) << "high contrast " << on.has_value();
    }
    ::SetSysColors(4, elements, saved);
    // The etched rule: grey over white, 1 and 2 pixels at 96 DPI, 2 and 3 at 144, to 5654 twips.
    ::UpdateWindow(box);
    HDC dc = ::GetDC(box);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), grey = RGB(128, 128, 128),
                   white = RGB(255, 255, 255);
    const int grey1 = Px(2445), white1 = Px(2460), white2 = white1 + (Px(15) == 1 ? 1 : 2),
              right = Px(5654);
    const std::tuple<int, int, COLORREF> pixels[] = {
        {Px(90) - 1, grey1, face},   {Px(90), grey1, grey},      {right, grey1, grey},
        {right + 1, grey1, face},    {Px(105), white1, white},   {right, white2, white},
        {Px(105) - 1, white2, face}, {Px(180), grey1 - 1, face}, {Px(180), white2 + 1, face}};
    for (const auto& [x, y, color] : pixels)
        EXPECT_EQ(::GetPixel(dc, x, y), color) << x << "," << y;
    ::ReleaseDC(box, dc);
    // The picture as it is, 50 by 120 pixels at the top left of its box, the face beyond it.
    HWND picture = about.ControlWindow(IDC_PICICON);
    ::RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    dc = ::GetDC(picture);
    const COLORREF edge = RGB(150, 150, 150), beyond = Px(15) == 1 ? edge : face;
    const std::tuple<int, int, COLORREF> drawn[] = {
        {0, 0, edge},    {25, 68, RGB(28, 72, 168)}, {25, 69, RGB(255, 214, 0)},
        {49, 119, edge}, {0, Px(1800) - 1, beyond},  {Px(750) - 1, 0, beyond}};
    for (const auto& [x, y, color] : drawn)
        EXPECT_EQ(::GetPixel(dc, x, y), color) << "picture " << x << "," << y;
    ::ReleaseDC(picture, dc);
    // Painting keeps no GDI object: the most seen over twenty paints is not passed in forty more.
    const auto most = [&](int paints) {
        DWORD seen = 0;
        for (int i = 0; i < paints; ++i) {
            ::RedrawWindow(box, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            seen = std::max(seen, GdiObjects());
        }
        return seen;
    };
    const DWORD first = most(20);
    EXPECT_LE(most(40), first);
    // The version record of the executable, whose numbers are written zero-padded.
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION);
    const std::string record(
        static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
        ::SizeofResource(nullptr, found));
    for (const wchar_t* text : {L"FileVersion", L"1.00.0064", L"编辑器 Torlin", L"Volane.exe"}) {
        const std::string bytes(reinterpret_cast<const char*>(text), std::wcslen(text) * 2);
        EXPECT_NE(record.find(bytes + std::string(2, '\0')), std::string::npos) << text;
    }
}

// The box belongs to the main window, and a message box shown meanwhile to the box.
TEST_F(AboutWindowTest, OwnedByTheMainWindowAndOwnerOfAMessageBox) {
    app.ShowMainForm();
    app::AboutWindow about(app.forms, app.module, app.about);
    // A box belongs to the window active in Volane and keeps it from input while it shows.
    const auto box = [&](HWND owner) {
        std::wstring seen;
        BOOL enabled = TRUE;
        std::thread watcher([&] {
            ShownWindow(L"#32770");
            enabled = ::IsWindowEnabled(owner);
            seen = CloseNextBox();
        });
        app.ui.ShowMessage(L"x", L"提示：");
        watcher.join();
        EXPECT_FALSE(enabled) << win32::Narrow(seen, CP_UTF8);
        EXPECT_TRUE(::IsWindowEnabled(owner));
        return seen;
    };
    EXPECT_EQ(box(Main()), L"提示： | 1 x | owner Torlin [http://www.torlin.example]");
    // Shown modal, the box keeps the main window from input until it closes, and takes it itself.
    about.Load();
    BOOL mainEnabled = TRUE, boxEnabled = FALSE;
    std::thread closer([&] {
        HWND shown = ShownWindow(nullptr, L"关于 Volane-Torlin@www.torlin.example");
        mainEnabled = ::IsWindowEnabled(Main());
        boxEnabled = ::IsWindowEnabled(shown);
        ::PostMessageW(shown, WM_COMMAND, IDOK, 0);
    });
    about.ShowModal();
    closer.join();
    EXPECT_TRUE(!mainEnabled && boxEnabled);
    EXPECT_TRUE(::IsWindowEnabled(Main()));
    EXPECT_EQ(::GetActiveWindow(), Main());  // the input given back before the box went
    about.Load();
    about.Show();
    EXPECT_EQ(::GetWindow(about.Window(), GW_OWNER), Main());
    // Active again after the box, it gives the focus back to the control that had it.
    ::SetFocus(about.ControlWindow(IDC_SYSINFO));
    EXPECT_EQ(box(about.Window()), L"提示： | 1 x | owner 关于 Volane-Torlin@www.torlin.example");
    EXPECT_EQ(::GetFocus(), about.ControlWindow(IDC_SYSINFO));
}

// The controls and font at a new DPI's pixels; a box whose window is destroyed from outside.
TEST_F(AboutWindowTest, FollowsADpiChangeAndOutlivesItsWindow) {
    app::AboutWindow about(app.forms, app.module, app.about);
    about.Load();
    ChangeDpi(about.Window(), 96);
    const LONG height96 = FontHeight(about.ControlWindow(IDC_TITLE));
    about.Show();
    ::UpdateWindow(about.Window());
    ChangeDpi(about.Window(), 192);
    RECT dirty{};
    ::GetUpdateRect(about.Window(), &dirty, FALSE);
    EXPECT_EQ(dirty, ClientRect(about.Window()));  // all of it drawn again
    EXPECT_EQ(FontHeight(about.ControlWindow(IDC_TITLE)), 2 * height96);
    // Destroyed from outside (with its owner, say), the box is unloaded and loads again.
    ::DestroyWindow(about.Window());
    EXPECT_FALSE(about.IsLoaded());
    about.Load();
    EXPECT_TRUE(::IsWindow(about.Window()));
}

// A click on the address or the picture opens the site through the shell (SW_SHOWNORMAL, 1).
TEST_F(AboutWindowTest, ClickOnTheAddressOrPictureOpensTheSite) {
    win32::Shell shell(&RecordedShellExecute);
    AboutServices services{app.registry, app.fs, app.process, app.ui, shell, app.codePage};
    app::AboutWindow about(app.forms, app.module, services);
    // The box closes once the site opens: loaded again for each.
    for (int id : {IDC_DISCLAIMER, IDC_PICICON}) {
        about.Load();
        about.Show();
        calls.clear();
        const HWND control = about.ControlWindow(id);
        ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(calls, std::vector<std::wstring>{L"open http://www.torlin.example [] [] 1"})
            << id;
        EXPECT_FALSE(about.IsLoaded()) << id;
    }
}

}  // namespace
}  // namespace volane::test
