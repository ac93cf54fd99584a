// recorder.exe: a stand-in editor for the end-to-end tests. It appends its whole command line,
// as UTF-8, as one line to the file that VOLANE_RECORD names (recorder.log beside the
// executable when the variable is unset) and ends with exit code 0. It shows no window.

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"

namespace {

std::wstring RecordPath() {
    wchar_t buf[MAX_PATH * 4];
    DWORD n = ::GetEnvironmentVariableW(L"VOLANE_RECORD", buf, static_cast<DWORD>(std::size(buf)));
    if (n > 0 && n < std::size(buf)) return std::wstring(buf, n);
    n = ::GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
    std::wstring path(buf, n);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"recorder.log";
}

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

// One write of the whole line in append mode, so that several editors started at once never
// interleave within a line.
bool AppendLine(const std::wstring& path, const std::string& line) {
    volane::win32::unique_handle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                       nullptr) &&
           written == line.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return AppendLine(RecordPath(), Utf8(::GetCommandLineW()) + "\n") ? 0 : 1;
}
