// The profile (INI) file syntax, for the files that the platform's profile reader misreads:
// which those are, and one key's value in their text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace volane {

// The UTF-8 text of a profile file whose bytes the platform's reader would take wrongly: the
// bytes after a UTF-8 mark, or the whole file when it has no mark, is valid UTF-8 and holds a
// byte above 0x7F. Nothing for the rest (the ANSI code page, UTF-16 with its mark, plain
// ASCII), which the platform reads right.
std::optional<std::string_view> Utf8ProfileText(std::string_view bytes);

// Whether bytes are well-formed UTF-8: no overlong form, no surrogate, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes);

// The value of key in section of a profile file's text, as the platform's reader finds it:
// lines end in CR LF, LF or CR; blanks around a line, a key and a value do not count; names
// match without regard to case; the first section of that name is the one searched, and in it
// the first line of that key; a line without "=" is a key without a value. The value ends at a
// NUL and loses a pair of matching quotes around it. Nothing when section or key is missing.
std::optional<std::wstring> FindProfileValue(std::wstring_view text, std::wstring_view section,
                                             std::wstring_view key);

}  // namespace volane
