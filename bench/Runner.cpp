#include "bench/Runner.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/Handles.h"

namespace volane::bench {
namespace {

// The biggest listing under Wine takes seconds, not minutes; anything beyond this is stuck.
constexpr DWORD kChildTimeoutMs = 30 * 60 * 1000;
constexpr DWORD kStartupTimeoutMs = 60 * 1000;
constexpr DWORD kCloseTimeoutMs = 15 * 1000;
constexpr UINT kCountTimeoutMs = 5000;

struct Started {
    win32::unique_handle process;
    win32::unique_handle thread;
    DWORD id = 0;
};

std::optional<Started> Start(std::wstring commandLine, const std::wstring& workingFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
        return std::nullopt;
    return Started{win32::unique_handle(info.hProcess), win32::unique_handle(info.hThread),
                   info.dwProcessId};
}

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

struct TreeSearch {
    HWND frame = nullptr;
    HWND tree = nullptr;
};

BOOL CALLBACK FindTreeChild(HWND window, LPARAM param) {
    wchar_t className[32];
    if (::GetClassNameW(window, className, static_cast<int>(std::size(className))) &&
        std::wstring_view(className) == WC_TREEVIEWW) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// The process's top-level window of that caption, and the tree view in it. One FindWindow per
// look keeps the polling light: every look is a round trip to the window system (under Wine,
// to the one wineserver the child needs too).
TreeSearch FindTree(const std::wstring& caption, DWORD processId) {
    TreeSearch search;
    const HWND frame = ::FindWindowW(nullptr, caption.c_str());
    DWORD owner = 0;
    if (!frame || (::GetWindowThreadProcessId(frame, &owner), owner != processId)) return search;
    HWND tree = ::FindWindowExW(frame, nullptr, WC_TREEVIEWW, nullptr);
    if (!tree) ::EnumChildWindows(frame, FindTreeChild, reinterpret_cast<LPARAM>(&tree));
    if (tree) search = {frame, tree};
    return search;
}

bool Exited(HANDLE process, DWORD waitMs) {
    return ::WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0;
}

}  // namespace

ChildReport RunChild(const std::wstring& childExe, std::wstring_view mode,
                     const std::wstring& folder, const std::wstring& reportFile) {
    return RunForReport(Quoted(childExe) + L" " + std::wstring(mode) + L" " + Quoted(reportFile) +
                            L" " + Quoted(folder),
                        reportFile);
}

ChildReport RunForReport(const std::wstring& commandLine, const std::wstring& reportFile) {
    ::DeleteFileW(reportFile.c_str());
    ChildReport failed;
    const auto child = Start(commandLine, {});
    if (!child) {
        failed.error = L"cannot start " + commandLine;
        return failed;
    }
    if (!Exited(child->process.get(), kChildTimeoutMs)) {
        ::TerminateProcess(child->process.get(), 1);
        failed.error = L"timed out";
        return failed;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child->process.get(), &code);
    auto report = ReadReport(reportFile);
    ::DeleteFileW(reportFile.c_str());
    if (!report) {
        failed.error = L"no report (exit code " + std::to_wstring(code) + L")";
        return failed;
    }
    if (code != 0 && report->error.empty()) report->error = L"exit code " + std::to_wstring(code);
    return *report;
}

StartupResult MeasureStartup(const std::wstring& commandLine, const std::wstring& workingFolder,
                             const std::wstring& caption, unsigned pollMs) {
    StartupResult result;
    const Stopwatch clock;
    const auto child = Start(commandLine, workingFolder);
    if (!child) {
        result.error = L"cannot start " + commandLine;
        return result;
    }
    // The count query is a sent message, so it is answered only once the child's thread takes
    // messages again.
    TreeSearch found;
    for (bool first = true;; first = false) {
        if (!first) ::Sleep(pollMs);
        if (clock.ElapsedMs() > kStartupTimeoutMs) {
            result.error = L"no tree item within the time limit";
            break;
        }
        if (Exited(child->process.get(), 0)) {
            result.error = L"ended before its tree had an item";
            break;
        }
        if (!found.tree) {
            found = FindTree(caption, child->id);
            if (!found.tree) continue;
            result.treeMs = clock.ElapsedMs();
        }
        DWORD_PTR count = 0;
        if (::SendMessageTimeoutW(found.tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, kCountTimeoutMs,
                                  &count) &&
            count > 0) {
            result.ms = clock.ElapsedMs();
            break;
        }
    }
    if (found.frame) ::PostMessageW(found.frame, WM_CLOSE, 0, 0);
    if (!Exited(child->process.get(), kCloseTimeoutMs)) {
        ::TerminateProcess(child->process.get(), 1);
        if (result.error.empty()) result.error = L"did not end when its window was closed";
    }
    return result;
}

}  // namespace volane::bench
