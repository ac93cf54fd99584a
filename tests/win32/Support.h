// Helpers of the Win32 tests: scratch folders, files, and waits that keep messages flowing.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// A fresh folder in the temporary folder, ending in a backslash. It is left behind: every run
// has a Wine prefix of its own, removed afterwards.
inline std::wstring NewFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1];
    const std::wstring path = std::wstring(temp, ::GetTempPathW(MAX_PATH + 1, temp)) + L"volane-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial) + L"\\";
    EXPECT_TRUE(MakeFolder(path));
    return path;
}

// How many handles this process holds, counted slot by slot: Wine answers
// GetProcessHandleCount with 0.
inline int HandleCount() {
    int count = 0;
    DWORD flags = 0;
    for (std::uintptr_t slot = 4; slot < 16384; slot += 4)
        count += ::GetHandleInformation(reinterpret_cast<HANDLE>(slot), &flags) ? 1 : 0;
    return count;
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

}  // namespace volane::test
