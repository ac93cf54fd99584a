// recorder.exe, the stand-in editor: each start appends to the file VOLANE_RECORD names a UTF-8
// line, its show value (-1 without STARTF_USESHOWWINDOW), a tab and its command line.

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::string line =
        volane::win32::Narrow(std::to_wstring(show) + L"\t" + ::GetCommandLineW() + L"\n", CP_UTF8);
    wchar_t path[MAX_PATH * 4];
    if (!::GetEnvironmentVariableW(L"VOLANE_RECORD", path, MAX_PATH * 4)) return 1;
    // One write in append mode: editors started close together never mix their lines.
    const volane::win32::unique_handle file(
        ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool wrote =
        file.get() != INVALID_HANDLE_VALUE &&
        ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
        written == line.size();
    return wrote ? 0 : 1;
}
