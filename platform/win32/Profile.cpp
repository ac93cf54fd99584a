#include "platform/ProfileText.h"
#include "platform/TextUtil.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/Services.h"
#include "platform/win32/Text.h"

namespace volane::win32 {
namespace {

// Room for any value the profile reader hands out; the cut to the narrow buffer's size
// happens afterwards, on the narrow text.
constexpr DWORD kWideValueChars = 32768;
// What a 256-byte buffer holds besides its terminating zero.
constexpr std::size_t kNarrowValueBytes = 255;

bool IsLeadByte(unsigned char byte) {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

// The file's bytes; a failure when it cannot be opened or read to its end. Others may go on
// writing and replacing it meanwhile, as an editor saving it does.
Result<std::string> ReadAll(const std::wstring& file) {
    const unique_handle handle(::CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) return SystemError(::GetLastError());
    std::string bytes;
    char chunk[4096];
    for (DWORD n = 0;; bytes.append(chunk, n)) {
        if (!::ReadFile(handle.get(), chunk, sizeof(chunk), &n, nullptr))
            return SystemError(::GetLastError());
        if (n == 0) return bytes;
    }
}

}  // namespace

std::wstring Profile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& file) {
    std::wstring value;
    // Windows' profile reader takes a UTF-8 mark for text in the ANSI code page, so the first
    // line does not start with "[" and a section there is not found; UTF-8 without a mark it
    // reads in the ANSI code page too. Volane reads those files itself. Wine's reader decodes
    // the mark, but not a file without one.
    const Result<std::string> bytes = ReadAll(file);
    if (const auto utf8 = bytes ? Utf8ProfileText(*bytes) : std::nullopt) {
        value = FindProfileValue(Widen(*utf8, CP_UTF8), section, key).value_or(L"");
    } else {
        // The wide call finds the file whatever characters its folder's name holds; the narrow
        // one would lose those outside the ANSI code page.
        value.assign(kWideValueChars, L'\0');
        const DWORD n =
            read_(section.c_str(), key.c_str(), L"", value.data(), kWideValueChars, file.c_str());
        value.resize(n);
    }
    // The value as the narrow call would have left it: ANSI text, at most 255 bytes, never
    // half a double-byte character.
    const CodePage codePage;
    const std::string narrow = CutAnsi(codePage.ToAnsi(value), kNarrowValueBytes, &IsLeadByte);
    return codePage.ToWide(narrow);
}

}  // namespace volane::win32
