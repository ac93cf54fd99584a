// Small pure text helpers shared by the modules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace volane {

// Lower-cases letters of the Latin, Greek and Cyrillic ranges; other characters stay.
wchar_t LowerChar(wchar_t c);
std::wstring LowerCase(std::wstring_view text);

// Whether every character is below U+0100, so that the text can be kept one byte a character.
bool FitsOneByte(std::wstring_view text);

// Removes blanks (U+0020 only) at both ends.
std::wstring TrimBlanks(std::wstring_view text);

// Cuts ANSI text to at most maxBytes bytes without splitting a double-byte character.
// isLeadByte tells which bytes start a double-byte character in the code page.
std::string CutAnsi(std::string_view ansi, std::size_t maxBytes, bool (*isLeadByte)(unsigned char));

// Decimal text of a pointer-sized value, and back. ParseIntPtr returns false on anything that is
// not an optional minus sign followed by digits that fit.
std::wstring IntPtrToText(std::intptr_t value);
bool ParseIntPtr(std::wstring_view text, std::intptr_t* value);

// The text that follows the program's own name on a command line (the name quoted or not),
// without the blanks that separate them; the rest is unchanged.
std::wstring_view CommandLineTail(std::wstring_view commandLine);

}  // namespace volane
