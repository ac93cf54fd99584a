// Shared pieces of the form runtime tests: the rest of the fake services, Volane.exe's
// resources, real pointer input, and waits that let Wine's X events settle.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/frmAbout.h"
#include "platform/win32/MainWindow.h"
#include "tests/unit/Fakes.h"
#include "tests/win32/TestSupport.h"

namespace volane::test {

class FakeRegistry final : public IRegistry {
  public:
    long Open(Key, const std::string&, Key*) override { return 2; }  // no key exists
    long Query(Key, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
        return 2;
    }
    void Close(Key) override {}
};

class FakeShell final : public IShell {
  public:
    void Open(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
};

// Every service of the main window and its About box, as fakes.
struct FakeServices {
    FakeFileSystem fs;
    FakeProcess process;
    FakeProfile profile;
    FakeUi ui;
    FakeRegistry registry;
    FakeShell shell;
    FakeCodePage codePage;
    AboutServices about{registry, fs, process, ui, shell, codePage};
    win32::MainServices main{fs, process, profile, ui, about};
};

// Volane.exe loaded as a resource module: the bitmaps, the window icon and the About picture.
class VolaneResources {
  public:
    VolaneResources()
        : module_(::LoadLibraryExW(VolaneExePath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE)) {}
    ~VolaneResources() {
        if (module_) ::FreeLibrary(module_);
    }
    VolaneResources(const VolaneResources&) = delete;
    VolaneResources& operator=(const VolaneResources&) = delete;
    HMODULE Module() const { return module_; }

  private:
    HMODULE module_;
};

// Handles messages until done() holds or the time is up; true when done() held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    const DWORD end = ::GetTickCount() + milliseconds;
    while (!done()) {
        if (static_cast<LONG>(end - ::GetTickCount()) <= 0) return false;
        PumpMessages(10);
    }
    return true;
}

// Real pointer input: moves the pointer to a screen point and presses and releases a button
// (MOUSEEVENTF_RIGHTDOWN etc.), through the same path as the user's mouse.
inline void ClickAt(POINT screen, DWORD down, DWORD up, int times = 1) {
    ::SetCursorPos(screen.x, screen.y);
    PumpMessages(30);
    for (int i = 0; i < times; ++i) {
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = down;
        inputs[1].mi.dwFlags = up;
        ::SendInput(2, inputs, sizeof(INPUT));
        PumpMessages(30);
    }
}

inline POINT ClientToScreenPoint(HWND window, POINT client) {
    ::ClientToScreen(window, &client);
    return client;
}

// The outer rectangle of a window whose client area is width x height pixels.
inline SIZE OuterSize(HWND window, int width, int height) {
    RECT rect{0, 0, width, height};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)),
                         ::GetMenu(window) != nullptr,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

inline RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

inline RECT ClientRect(HWND window) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    return rect;
}

// The rectangle of a child in its parent's client coordinates.
inline RECT RectInParent(HWND child) {
    RECT rect = WindowRect(child);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline bool HasExStyle(HWND window, LONG_PTR bits) {
    return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & bits) == bits;
}

inline bool HasStyle(HWND window, LONG_PTR bits) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & bits) == bits;
}

// Text and state of the items of a menu, one line each: "text" or "-" for a separator, with
// " [popup]" and " [checked]" appended when they apply.
inline std::vector<std::wstring> MenuLines(HMENU menu) {
    std::vector<std::wstring> lines;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        std::wstring line = (info.fType & MFT_SEPARATOR) ? std::wstring(L"-") : std::wstring(text);
        if (info.hSubMenu) line += L" [popup]";
        if (info.fState & MFS_CHECKED) line += L" [checked]";
        lines.push_back(line);
    }
    return lines;
}

// Runs work once, after delay milliseconds, from inside whatever message loop runs then (a
// popup menu's, a modal form's). Thread timers carry no context, so the work waits in a table
// by timer id.
class Later {
  public:
    explicit Later(std::function<void()> work, UINT delay = 300)
        : timer_(::SetTimer(nullptr, 0, delay, &Later::Fire)) {
        Pending()[timer_] = std::move(work);
    }
    ~Later() {
        ::KillTimer(nullptr, timer_);
        Pending().erase(timer_);
    }
    Later(const Later&) = delete;
    Later& operator=(const Later&) = delete;

  private:
    static std::map<UINT_PTR, std::function<void()>>& Pending() {
        static std::map<UINT_PTR, std::function<void()>> pending;
        return pending;
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        auto it = Pending().find(id);
        if (it == Pending().end()) return;
        std::function<void()> work = std::move(it->second);
        Pending().erase(it);
        if (work) work();
    }
    UINT_PTR timer_;
};

// Real keyboard input: each key pressed in order, then released in reverse order.
inline void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The open popup menu window (class #32768) of this process, if any.
inline HWND OpenPopupMenu() {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    return popup && ::IsWindowVisible(popup) ? popup : nullptr;
}

}  // namespace volane::test
