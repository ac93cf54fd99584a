// IntPtrToText and ParseIntPtr: any value survives the trip through text, and any text is either
// a well-formed number in range, read exactly, or refused without touching the result.
// Input: the whole input as text to parse; its first eight bytes also as a value to print.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "FuzzSupport.h"
#include "platform/TextUtil.h"

namespace {

static_assert(sizeof(std::intptr_t) == sizeof(long long));

// An optional minus sign and at least one ASCII digit, nothing else.
bool WellFormed(std::wstring_view text) {
    if (!text.empty() && text.front() == L'-') text.remove_prefix(1);
    if (text.empty()) return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

void CheckPrintAndParse(std::intptr_t value) {
    const std::wstring text = volane::IntPtrToText(value);
    // The C library's own decimal form: no plus sign, no leading zeros, "-" only below zero.
    FUZZ_CHECK(text == std::to_wstring(static_cast<long long>(value)));
    std::intptr_t back = ~value;
    FUZZ_CHECK(volane::ParseIntPtr(text, &back));
    FUZZ_CHECK(back == value);
}

void CheckParse(const std::wstring& text) {
    constexpr std::intptr_t kUntouched = 0x5A5A5A5A;
    std::intptr_t value = kUntouched;
    const bool parsed = volane::ParseIntPtr(text, &value);

    // The reference: wcstoll on text already known to be well formed, range checked by errno.
    bool expected = WellFormed(text);
    long long reference = 0;
    if (expected) {
        errno = 0;
        wchar_t* end = nullptr;
        reference = std::wcstoll(text.c_str(), &end, 10);
        expected = errno != ERANGE && end == text.c_str() + text.size();
    }
    FUZZ_CHECK(parsed == expected);
    if (!parsed) {
        FUZZ_CHECK(value == kUntouched);
        return;
    }
    FUZZ_CHECK(value == reference);
    CheckPrintAndParse(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckParse(volane::fuzz::Widen(volane::fuzz::AsBytes(data, size)));

    std::uint64_t raw = 0;
    if (size != 0) std::memcpy(&raw, data, size < sizeof raw ? size : sizeof raw);
    CheckPrintAndParse(static_cast<std::intptr_t>(raw));
    return 0;
}
