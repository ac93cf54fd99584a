// Helpers shared by the Win32 tests.
#pragma once

#include <windows.h>

#include <string>

namespace volane::test {

// The folder of the running test executable; Volane.exe is built beside it.
inline std::wstring ExeFolder() {
    wchar_t path[MAX_PATH * 4];
    DWORD n = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

inline std::wstring VolaneExePath() {
    return ExeFolder() + L"\\Volane.exe";
}

// Handles pending messages for a while, so that X events settle before an assertion.
inline void PumpMessages(DWORD milliseconds = 50) {
    DWORD end = ::GetTickCount() + milliseconds;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        DWORD now = ::GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

}  // namespace volane::test
