// The settings value on its way in: CutAnsi to the narrow buffer, TrimBlanks of the result.
// Input: an optional byte limit on the first line (decimal; otherwise the real 255), the ANSI
// value after it. TrimBlanks gets the whole input as wide text as well.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "platform/TextUtil.h"

namespace {

constexpr std::size_t kProfileLimit = 255;

bool GbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

std::size_t ParseLimit(std::string_view line) {
    if (line.empty() || line.size() > 4) return kProfileLimit;
    std::size_t limit = 0;
    for (char c : line) {
        if (c < '0' || c > '9') return kProfileLimit;
        limit = limit * 10 + static_cast<std::size_t>(c - '0');
    }
    return limit;
}

// Whether walking the text character by character, a lead byte taking the byte after it,
// ends exactly at its end (and not inside a double-byte character).
bool EndsOnCharacter(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) at += GbkLead(static_cast<unsigned char>(text[at])) ? 2 : 1;
    return at == text.size();
}

void CheckCutGbk(std::string_view ansi, std::size_t limit) {
    const std::string cut = volane::CutAnsi(ansi, limit, GbkLead);
    FUZZ_CHECK(ansi.compare(0, cut.size(), cut) == 0);
    if (ansi.size() <= limit) {
        FUZZ_CHECK(cut.size() == ansi.size());
        return;
    }
    FUZZ_CHECK(cut.size() <= limit);
    FUZZ_CHECK(EndsOnCharacter(cut));
    // Nothing more is dropped than the one double-byte character that would cross the limit.
    if (cut.size() != limit) {
        FUZZ_CHECK(cut.size() + 1 == limit);
        FUZZ_CHECK(GbkLead(static_cast<unsigned char>(ansi[cut.size()])));
    }
}

void CheckCutSingleByte(std::string_view ansi, std::size_t limit) {
    const std::string cut = volane::CutAnsi(ansi, limit, nullptr);
    FUZZ_CHECK(cut == ansi.substr(0, limit));
}

void CheckTrim(std::wstring_view text) {
    const std::wstring trimmed = volane::TrimBlanks(text);
    FUZZ_CHECK(trimmed.empty() || (trimmed.front() != L' ' && trimmed.back() != L' '));
    // The text is blanks, the result, blanks: only U+0020 goes, and only at the ends.
    const std::size_t lead = text.find(trimmed);
    FUZZ_CHECK(lead != std::wstring_view::npos);
    FUZZ_CHECK(text.substr(0, lead).find_first_not_of(L' ') == std::wstring_view::npos);
    FUZZ_CHECK(text.substr(lead + trimmed.size()).find_first_not_of(L' ') ==
               std::wstring_view::npos);
    FUZZ_CHECK(volane::TrimBlanks(trimmed) == trimmed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = volane::fuzz::AsBytes(data, size);
    const auto [limitLine, ansi] = volane::fuzz::SplitFirstLine(bytes);
    const std::size_t limit = ParseLimit(limitLine);

    CheckCutGbk(ansi, limit);
    CheckCutSingleByte(ansi, limit);
    CheckTrim(volane::fuzz::Widen(bytes));
    // As a value read from setup.ini: cut to the buffer, then trimmed.
    const std::string cut = volane::CutAnsi(ansi, kProfileLimit, GbkLead);
    CheckTrim(volane::fuzz::Widen(cut));
    return 0;
}
