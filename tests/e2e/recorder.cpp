// recorder.exe: the stand-in editor of the end-to-end tests. Each start appends one UTF-8 line
// to the file VOLANE_RECORD names: the show value it was started with (wShowWindow when
// STARTF_USESHOWWINDOW is set, else -1), a tab, and its whole command line. It shows nothing.

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::wstring line = std::to_wstring(show) + L"\t" + ::GetCommandLineW() + L"\n";
    std::string bytes(line.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(
        CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(),
        static_cast<int>(bytes.size()), nullptr, nullptr)));
    wchar_t path[MAX_PATH * 4];
    if (!::GetEnvironmentVariableW(L"VOLANE_RECORD", path, MAX_PATH * 4)) return 1;
    // One write in append mode: editors started close together never mix their lines.
    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    return file != INVALID_HANDLE_VALUE &&
                   ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                               nullptr) && written == bytes.size() ? 0 : 1;
}
