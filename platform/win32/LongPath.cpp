#include "platform/win32/LongPath.h"

#include <windows.h>

#include <string_view>

#include "platform/win32/ErrorText.h"

namespace volane::win32 {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveAbsolute(std::wstring_view path) {
    return path.size() >= 3 &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && IsSeparator(path[2]);
}

// \\server\share..., but not \\?\ or \\.\, which are already final.
bool IsUnc(std::wstring_view path) {
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           !IsSeparator(path[2]) && path[2] != L'?' && path[2] != L'.';
}

// Whether the part after the root needs no rewriting: no empty, "." or ".." component. A single
// trailing backslash is fine.
bool IsCanonical(std::wstring_view rest) {
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = rest.find(L'\\', start);
        if (end == std::wstring_view::npos) end = rest.size();
        const std::wstring_view component = rest.substr(start, end - start);
        if (component.empty() || component == L"." || component == L"..") return false;
        start = end + 1;
    }
    return true;
}

Result<std::wstring> FullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return SystemError(::GetLastError());
    std::wstring full(needed, L'\0');
    const DWORD n = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (n == 0) return SystemError(::GetLastError());
    // Longer than a moment ago: the current folder changed in between.
    if (n >= needed) return SystemError(ERROR_INSUFFICIENT_BUFFER);
    full.resize(n);
    return full;
}

}  // namespace

std::wstring ExtendedPath(const std::wstring& path) {
    const bool unc = IsUnc(path);
    if (!unc && !IsDriveAbsolute(path)) return path;
    std::wstring full = path;
    const std::wstring_view view(path);
    if (view.find(L'/') != std::wstring_view::npos || !IsCanonical(view.substr(unc ? 2 : 3))) {
        Result<std::wstring> resolved = FullPath(path);
        if (!resolved) return path;
        full = std::move(*resolved);
    }
    if (IsUnc(full)) return L"\\\\?\\UNC\\" + full.substr(2);
    if (IsDriveAbsolute(full)) return L"\\\\?\\" + full;
    return full;
}

}  // namespace volane::win32
