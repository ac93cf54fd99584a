#include <climits>

#include "platform/win32/Services.h"

namespace volane::win32 {
namespace {

// The conversion calls count in int; texts that long never reach them in practice.
int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw AppError(kErrOverflow, L"溢出");
    return static_cast<int>(size);
}

}  // namespace

std::wstring CodePage::ToWide(std::string_view ansi) const {
    if (ansi.empty()) return {};
    const int length = CheckedLength(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), n);
    return wide;
}

std::string CodePage::ToAnsi(std::wstring_view wide) const {
    if (wide.empty()) return {};
    const int length = CheckedLength(wide.size());
    const int n =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

}  // namespace volane::win32
