// Real files, folders, Unix-side steps and child processes for the service adapter tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace volane::test {

inline std::wstring Extended(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

// Deletes a tree through the \\?\ form, so paths beyond MAX_PATH and read-only, hidden or
// system entries go too.
inline void RemoveTree(const std::wstring& path) {
    const std::wstring extended = Extended(path);
    ::SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD attributes = ::GetFileAttributesW(extended.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(extended.c_str());
        return;
    }
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW((extended + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(extended.c_str());
}

// A fresh folder below the temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(std::wstring_view tag) {
        wchar_t base[MAX_PATH + 1];
        const DWORD n = ::GetTempPathW(static_cast<DWORD>(std::size(base)), base);
        static int serial = 0;
        path_ = std::wstring(base, n) + L"volane-" + std::wstring(tag) + L"-" +
                std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
        RemoveTree(path_);
        EXPECT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr)) << ::GetLastError();
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(std::wstring_view name) const {
        return path_ + L"\\" + std::wstring(name);
    }

  private:
    std::wstring path_;
};

inline bool MakeFolder(const std::wstring& path) {
    return ::CreateDirectoryW(Extended(path).c_str(), nullptr) != FALSE;
}

inline bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    const HANDLE file = ::CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

inline std::string ReadBytes(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

inline bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string Utf8(std::wstring_view text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

inline std::wstring FromUtf8(std::string_view text) {
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// Waits until the condition holds, for at most the timeout. For effects of processes that
// cannot be waited on (Unix programs under Wine, programs started without a handle).
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Wine's path of a Windows file on the Unix side, or "" when not running under Wine.
inline std::string UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(path.c_str());
    if (!unix) return {};
    std::string result = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

inline bool UnderWine() {
    return !UnixPath(L"C:\\").empty();
}

// Runs a shell command on the Unix side and waits for it. Wine starts Unix programs through
// CreateProcessW but gives no handle that can be waited on, so the command makes a marker
// folder when done. Returns false when the command failed or did not finish in time.
inline bool RunUnix(const std::string& command, const TempFolder& scratch) {
    static int serial = 0;
    const std::wstring marker = scratch / (L"unix-done-" + std::to_wstring(++serial));
    const std::string script = command + " && /bin/mkdir '" + UnixPath(scratch.Path()) +
                               "/unix-done-" + std::to_string(serial) + "'";
    std::wstring line = L"/bin/sh -c \"" + FromUtf8(script) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started))
        return false;
    if (started.hProcess) ::CloseHandle(started.hProcess);
    if (started.hThread) ::CloseHandle(started.hThread);
    return WaitUntil([&] { return Exists(marker); }, std::chrono::seconds(10));
}

// Whether files with names outside ASCII can be made. Under Wine that needs a Unix locale
// that is installed (or found through LOCPATH): with a missing one, Wine cannot put such
// names into Unix file names and every call fails with ERROR_FILE_NOT_FOUND.
inline bool NonAsciiNamesWork(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\probe-文件-☃";
    if (!::CreateDirectoryW(probe.c_str(), nullptr)) return false;
    ::RemoveDirectoryW(probe.c_str());
    return true;
}

inline constexpr const char* kNoNonAsciiNames =
    "non-ASCII file names fail here: Wine runs with a Unix locale that is not installed "
    "(generate it with localedef and point LOCPATH at it)";

// The running test executable's full path.
inline std::wstring TestExePath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

}  // namespace volane::test
