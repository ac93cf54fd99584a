#include "platform/TextUtil.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/Services.h"

namespace volane::win32 {
namespace {

// Longest path the system hands out, with room for the terminating zero.
constexpr DWORD kMaxModulePath = 32768;

// Longest command line CreateProcessW takes, without its terminating zero. Windows refuses a
// longer one; Wine starts it cut short, and a cut path would name another file.
constexpr std::size_t kMaxCommandLine = 32766;

}  // namespace

bool Process::AnotherInstanceRunning() {
    // The first call takes the name; later calls report what it found, since from then on
    // this process's own handle would make the name exist anyway.
    if (!instanceMutex_) {
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, instanceName_.c_str());
        const DWORD error = ::GetLastError();
        instanceMutex_.reset(mutex);
        anotherInstance_ = mutex != nullptr && error == ERROR_ALREADY_EXISTS;
    }
    return anotherInstance_;
}

std::wstring Process::CommandLineTail() {
    return std::wstring(volane::CommandLineTail(::GetCommandLineW()));
}

std::wstring Process::ExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = moduleName_(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            const DWORD error = ::GetLastError();
            throw AppError(static_cast<long>(error), SystemErrorText(error));
        }
        // A result that fills the buffer may have been cut.
        if (n < path.size() || path.size() >= kMaxModulePath) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    // A drive root keeps its backslash: "C:\", not "C:".
    const bool driveRoot = slash == 2 && path[1] == L':';
    path.resize(driveRoot ? slash + 1 : slash);
    return path;
}

Result<void> Process::Start(const std::wstring& commandLine, int show) {
    // What Windows answers for a longer one.
    if (commandLine.size() > kMaxCommandLine) return SystemError(ERROR_FILENAME_EXCED_RANGE);
    // CreateProcessW may write into the command line it is given.
    std::wstring writable = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started))
        return SystemError(::GetLastError());
    // Nothing waits for the started program.
    unique_handle process(started.hProcess);
    unique_handle thread(started.hThread);
    return {};
}

}  // namespace volane::win32
