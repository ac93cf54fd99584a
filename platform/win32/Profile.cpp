#include "platform/TextUtil.h"
#include "platform/win32/Services.h"

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

}  // namespace

std::wstring Profile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& file) {
    // The wide call finds the file whatever characters its folder's name holds; the narrow
    // one would lose those outside the ANSI code page.
    std::wstring value(kWideValueChars, L'\0');
    const DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", value.data(),
                                               kWideValueChars, file.c_str());
    value.resize(n);
    // The value as the narrow call would have left it: ANSI text, at most 255 bytes, never
    // half a double-byte character.
    const CodePage codePage;
    const std::string narrow = CutAnsi(codePage.ToAnsi(value), kNarrowValueBytes, &IsLeadByte);
    return codePage.ToWide(narrow);
}

}  // namespace volane::win32
