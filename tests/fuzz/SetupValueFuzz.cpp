// The fileTypes value of setup.ini cut to 255 bytes as a listing takes it. Input: anything before
// a line feed, then the value. The whole input is also a settings file's bytes: whether Volane
// reads them as UTF-8 itself, and its reader on whatever text they hold.
#include "Fuzz.h"
#include "platform/ProfileText.h"
#include "platform/TextUtil.h"

using namespace volane;

constexpr auto kGbkLead = +[](unsigned char c) { return c >= 0x81 && c <= 0xFE; };

// A code point's bytes in UTF-8, in the shortest form or, with longer, one byte longer
// (overlong). Surrogates and code points above U+10FFFF are encoded all the same.
std::string Encode(std::uint32_t cp, bool longer) {
    const std::size_t length = (cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4) + longer;
    if (length == 1) return std::string(1, static_cast<char>(cp));
    std::string bytes(length, '\0');
    for (std::size_t i = length - 1; i > 0; --i, cp >>= 6)
        bytes[i] = static_cast<char>(0x80 | (cp & 0x3F));
    bytes[0] = static_cast<char>(((0xFF << (8 - length)) & 0xFF) | cp);
    return bytes;
}

void CheckProfileText(std::string_view bytes) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    // Three input bytes make a code point: valid UTF-8 in its shortest form only, and never a
    // surrogate or above U+10FFFF. Without a mark (U+FEFF alone is one), such a file is read as
    // UTF-8 when it holds a byte above 0x7F.
    for (std::size_t i = 0; i + 3 <= bytes.size(); i += 3) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
        const std::uint32_t cp = (byte(0) << 16 | byte(1) << 8 | byte(2)) % 0x120000;
        const bool scalar = cp < 0x110000 && (cp < 0xD800 || cp > 0xDFFF);
        const std::string shortest = Encode(cp, false), overlong = Encode(cp, true);
        FUZZ_CHECK(IsUtf8(shortest) == scalar && !IsUtf8(overlong));
        const auto read = Utf8ProfileText(shortest);
        if (cp != 0xFEFF) FUZZ_CHECK(scalar && cp >= 0x80 ? read == shortest : !read);
    }
    // A mark in front settles which reader reads, and so does a byte that starts nothing.
    const std::string marked = std::string(kMark) + std::string(bytes);
    FUZZ_CHECK(Utf8ProfileText(marked) == bytes);
    FUZZ_CHECK(bytes.starts_with(kMark) || !Utf8ProfileText(std::string(bytes) + "\xFF"));
    // The key found, whatever the text, is a value of one line.
    const std::optional<std::wstring> value =
        FindProfileValue(Widen(bytes), L"setup", L"fileTypes");
    FUZZ_CHECK(!value || value->find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos);
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view raw = Split(data, size).second;
    // A prefix of at most 255 bytes that ends between characters, and no whole character short.
    const std::string cut = CutAnsi(raw, 255, kGbkLead);
    std::size_t end = 0;
    while (end < cut.size()) end += kGbkLead(raw[end]) ? 2 : 1;
    FUZZ_CHECK(raw.starts_with(cut) && cut.size() <= 255 && (raw.size() > 255 || cut == raw));
    FUZZ_CHECK(cut == raw || (end == cut.size() && end + (kGbkLead(raw[end]) ? 2 : 1) > 255));
    CheckProfileText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
