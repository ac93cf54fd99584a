#include "platform/ProfileText.h"

#include <algorithm>

#include "platform/TextUtil.h"

namespace volane {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The blanks that the profile syntax ignores around lines, names and values.
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

// The section a line opens, or nothing when it opens none: the name runs from the "[" that
// starts the line to the last "]" on it.
std::optional<std::wstring_view> SectionName(std::wstring_view line) {
    if (line.empty() || line.front() != L'[') return {};
    const auto close = line.rfind(L']');
    if (close == 0 || close == std::wstring_view::npos) return {};
    return line.substr(1, close - 1);
}

// A value as the reader hands it out: up to a NUL, and without matching quotes around it.
std::wstring Unquoted(std::wstring_view value) {
    value = value.substr(0, value.find(L'\0'));
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::wstring(value);
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length a lead byte announces, and the range its first continuation must fall in:
        // narrower after E0, ED, F0 and F4, which would otherwise allow overlong forms,
        // surrogates or code points above U+10FFFF. C0, C1 and F5..FF lead nothing.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (bytes.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

std::optional<std::string_view> Utf8ProfileText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return bytes.substr(kUtf8Mark.size());
    // Without a mark the bytes alone tell. Text in code page 936 is valid UTF-8 only by chance,
    // as every byte above 0x7F would have to fall into a well-formed sequence: over the 6,763
    // characters of GB2312 one character alone does in about one case in seven, a two-character
    // extension in one in fifty, two of them in one in 2,500, and more Chinese text practically
    // never (the well-known 联通, C1 AA CD A8, fails at once: C1 starts nothing). A file that
    // Notepad saved in its default UTF-8 without a mark, read in the ANSI code page instead,
    // would lose every Chinese extension in it.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && IsUtf8(bytes)) return bytes;
    return {};
}

std::optional<std::wstring> FindProfileValue(std::wstring_view text, std::wstring_view section,
                                             std::wstring_view key) {
    bool inSection = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view line = Trimmed(text.substr(start, end - start));
        // CR LF ends one line, not two.
        start = end + (text.substr(end, 2) == L"\r\n" ? 2 : 1);
        if (line.empty()) continue;
        if (const auto name = SectionName(line)) {
            // Only the first section of that name is searched.
            if (inSection) return {};
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        const auto equals = line.find(L'=');
        if (!SameName(Trimmed(line.substr(0, equals)), key)) continue;
        if (equals == std::wstring_view::npos) return std::wstring();
        return Unquoted(Trimmed(line.substr(equals + 1)));
    }
    return {};
}

}  // namespace volane
