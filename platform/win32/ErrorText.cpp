#include "platform/win32/ErrorText.h"

#include "platform/Errors.h"

namespace volane::win32 {
namespace {

std::wstring FormatIn(DWORD code, DWORD language) {
    wchar_t buffer[1024];
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         language, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, n);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

}  // namespace

std::wstring SystemErrorText(DWORD code) {
    std::wstring text = FormatIn(code, 0);
    // Wine ships its system messages in English only and does not fall back to them for a
    // Chinese user language.
    if (text.empty()) text = FormatIn(code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (text.empty()) text = UndescribedErrorText(code);
    return text;
}

}  // namespace volane::win32
