#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/AboutWindow.h"
#include "app/Application.h"
#include "forms/FormDesigns.h"
#include "platform/Twips.h"
#include "platform/win32/Services.h"
#include "platform/win32/Text.h"
#include "resource.h"

// Rectangles compare and print in the assertions.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << r.left << "," << r.top << " " << r.right << "," << r.bottom;
}

namespace volane::test {

// Through the \\?\ form, so the helpers reach paths beyond MAX_PATH too.
inline bool MakeFolder(const std::wstring& path) {
    return ::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr) != FALSE;
}

// The file stays closed to other openers until it is complete.
inline bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    const HANDLE file = ::CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return written == bytes.size();
}

// A fresh temporary folder, ending in a backslash, left behind in the run's own Wine prefix.
inline std::wstring NewFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1];
    const std::wstring path = std::wstring(temp, ::GetTempPathW(MAX_PATH + 1, temp)) + L"volane-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial) + L"\\";
    EXPECT_TRUE(MakeFolder(path));
    return path;
}

// Handles held, counted slot by slot: Wine answers GetProcessHandleCount with 0.
inline int HandleCount() {
    int count = 0;
    DWORD flags = 0;
    for (std::uintptr_t slot = 4; slot < 16384; slot += 4)
        count += ::GetHandleInformation(reinterpret_cast<HANDLE>(slot), &flags) ? 1 : 0;
    return count;
}

// GDI objects held. Wine answers GetGuiResources with 0: there the next object's slot stands
// in, which moves on only when objects stay, as freed slots are taken again first.
inline DWORD GdiObjects() {
    if (DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return count;
    HBRUSH probe = ::CreateSolidBrush(0);
    const DWORD slot = LOWORD(reinterpret_cast<std::uintptr_t>(probe));
    ::DeleteObject(probe);
    return slot;
}

// Handles messages until done() holds or the time is up; true when done() held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    for (const DWORD start = ::GetTickCount(); !done();) {
        if (::GetTickCount() - start > milliseconds) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&msg);
    }
    return true;
}

// A failure as its number and the system's text without its line break; Outcome: "" for success.
inline std::wstring Failed(DWORD error) {
    wchar_t text[512] = {};
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               error, 0, text, 512, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n')) --n;
    EXPECT_GT(n, 0u) << "no text for error " << error;
    return std::to_wstring(error) + L" " + std::wstring(text, n);
}
inline std::wstring Outcome(const Result<void>& result) {
    return result ? L"" : std::to_wstring(result.Error().number) + L" " + result.Error().text;
}

// A window's rectangle on the screen, or in its parent's client area.
inline RECT WindowRect(HWND window, bool inParent = false) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    if (inParent)
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline RECT ClientRect(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    return rect;
}

// A font's character height, negative as LOGFONT has it; or that of the font a window draws with.
inline LONG FontHeight(HFONT font) {
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof(logFont), &logFont);
    return logFont.lfHeight;
}
inline LONG FontHeight(HWND window) {
    return FontHeight(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
}

// The first row's height as the tree draws it.
inline int RowHeight(HWND tree) {
    RECT row{};
    TreeView_GetItemRect(tree, TreeView_GetRoot(tree), &row, FALSE);
    return row.bottom - row.top;
}

inline bool IsTopmost(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// One image of the list as drawn over red, pixel by pixel, row by row.
inline std::vector<COLORREF> Drawn(HIMAGELIST images, int index) {
    int size = 0;
    ImageList_GetIconSize(images, &size, &size);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateBitmap(size, size, 1, 32, nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, size, size};
    ::SetDCBrushColor(dc, RGB(255, 0, 0));
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    ImageList_Draw(images, index, dc, 0, 0, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < size * size; ++i) pixels.push_back(::GetPixel(dc, i % size, i / size));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

// A DPI change to dpi: the window takes the place the system suggests, a little lower each time.
inline void ChangeDpi(HWND window, int dpi) {
    RECT suggested = WindowRect(window);
    ::OffsetRect(&suggested, 0, 10);
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(WindowRect(window), suggested);
}

// A system parameter changed until the object goes, neither written to the profile nor broadcast.
template <class T>
class SystemParameter {
  public:
    SystemParameter(UINT get, UINT set, UINT uiParam) : set_(set), uiParam_(uiParam) {
        if constexpr (requires { saved_.cbSize; }) saved_.cbSize = sizeof(T);
        EXPECT_TRUE(::SystemParametersInfoW(get, uiParam, &saved_, 0));
    }
    ~SystemParameter() { Set(saved_); }
    const T& Saved() const { return saved_; }
    void Set(T value) { EXPECT_TRUE(::SystemParametersInfoW(set_, uiParam_, &value, 0)); }

  private:
    UINT set_;
    UINT uiParam_;
    T saved_{};
};

// Waits 10 s for a visible window of the class or caption, else ends the process saying so: the
// thread showing it modally would wait for ever.
inline HWND ShownWindow(const wchar_t* className, const wchar_t* caption = nullptr) {
    for (int i = 0; i < 1000; ++i, ::Sleep(10))
        if (HWND w = ::FindWindowW(className, caption); w && ::IsWindowVisible(w)) return w;
    const std::string what = win32::Narrow(className ? className : caption, CP_UTF8);
    std::fprintf(stderr, "no window %s shown in 10 s\n", what.c_str());
    ::ExitProcess(2);
}

// Presses OK on the next message box; returns its title, texts, button ids, "icon" and owner.
inline std::wstring CloseNextBox(bool report = false) {
    HWND box = ShownWindow(L"#32770");
    std::wstring seen = win32::TextOf(box) + L" | ";
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (!::IsWindowVisible(child)) continue;
        if (::lstrcmpiW(name, L"Button") == 0)
            seen += std::to_wstring(::GetDlgCtrlID(child)) + L" ";
        else if (!win32::TextOf(child).empty())
            seen += win32::TextOf(child) + L" | ";
        if (::SendMessageW(child, STM_GETICON, 0, 0)) seen += L"icon ";
    }
    if (HWND owner = ::GetWindow(box, GW_OWNER)) seen += L"owner " + win32::TextOf(owner);
    if (report) std::fprintf(stderr, "box: %s\n", win32::Narrow(seen, CP_UTF8).c_str());
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return seen;
}

// The whole application on the real services, its main form loaded; a test loads the others.
class AppTest : public ::testing::Test {
  protected:
    void SetUp() override { app.LoadMainForm(); }
    HWND Main() const { return app.main.Window(); }
    HWND Tree() { return app.main.Tree().Window(); }
    void Command(int id) { ::SendMessageW(Main(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // Twips at the window's DPI: 96, or 144 where VOLANE_TEST_DPI says.
    int Px(double twips) const { return TwipsToPixels(twips, static_cast<int>(app.main.Dpi())); }

    app::Application app;
};

}  // namespace volane::test
