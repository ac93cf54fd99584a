#include "platform/TextUtil.h"

#include <algorithm>
#include <limits>

namespace volane {

wchar_t LowerChar(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
    if (c < 0xC0) return c;
    // Latin-1: À..Þ except ×.
    if (c <= 0xDE) return c == 0xD7 ? c : static_cast<wchar_t>(c + 32);
    // Latin Extended-A pairs upper/lower on even/odd code points (with the İ/ı and ĸ/Ŀ quirks).
    if (c >= 0x100 && c <= 0x137 && c != 0x130) return static_cast<wchar_t>(c | 1);
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? static_cast<wchar_t>(c + 1) : c;
    if (c >= 0x14A && c <= 0x177) return static_cast<wchar_t>(c | 1);
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? static_cast<wchar_t>(c + 1) : c;
    // Greek and Cyrillic capitals.
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<wchar_t>(c + 32);
    if (c >= 0x410 && c <= 0x42F) return static_cast<wchar_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 80);
    // Full-width Latin capitals.
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<wchar_t>(c + 32);
    return c;
}

bool FitsOneByte(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return static_cast<std::uint32_t>(c) < 0x100; });
}

std::wstring LowerCase(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) c = LowerChar(c);
    return result;
}

std::wstring TrimBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

std::string CutAnsi(std::string_view ansi, std::size_t maxBytes,
                    bool (*isLeadByte)(unsigned char)) {
    if (ansi.size() <= maxBytes) return std::string(ansi);
    // Walk whole characters so the cut never leaves half a double-byte character behind.
    std::size_t end = 0;
    while (end < maxBytes) {
        const std::size_t width =
            (isLeadByte && isLeadByte(static_cast<unsigned char>(ansi[end]))) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return std::string(ansi.substr(0, end));
}

std::wstring IntPtrToText(std::intptr_t value) {
    // Through the unsigned magnitude so the smallest value does not overflow on negation.
    const bool negative = value < 0;
    std::uintmax_t magnitude = negative ? std::uintmax_t{0} - static_cast<std::uintmax_t>(value)
                                        : static_cast<std::uintmax_t>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return negative ? L"-" + digits : digits;
}

bool ParseIntPtr(std::wstring_view text, std::intptr_t* value) {
    bool negative = false;
    if (!text.empty() && text.front() == L'-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    const std::uintmax_t limit = negative
                                     ? std::uintmax_t{std::numeric_limits<std::intptr_t>::max()} + 1
                                     : std::uintmax_t{std::numeric_limits<std::intptr_t>::max()};
    std::uintmax_t magnitude = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        const unsigned digit = static_cast<unsigned>(c - L'0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    *value = negative ? static_cast<std::intptr_t>(std::uintmax_t{0} - magnitude)
                      : static_cast<std::intptr_t>(magnitude);
    return true;
}

std::wstring_view CommandLineTail(std::wstring_view commandLine) {
    std::size_t i = 0;
    // The program's name: up to the closing quote when quoted, else up to the first blank or tab.
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const auto close = commandLine.find(L'"', 1);
        i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return commandLine.substr(i);
}

}  // namespace volane
