// Text between UTF-16 and a narrow code page (the ANSI code page, or UTF-8 for the tools that
// print and read files): the one converter.
#pragma once

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace volane::win32 {

namespace detail {
// The conversion calls count in int; texts that long never reach them in practice.
inline int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw AppError(Failure::Overflow);
    return static_cast<int>(size);
}
}  // namespace detail

inline std::wstring Widen(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = detail::CheckedLength(text.size());
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), n);
    return wide;
}

inline std::string Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int length = detail::CheckedLength(text.size());
    const int n =
        ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

}  // namespace volane::win32
