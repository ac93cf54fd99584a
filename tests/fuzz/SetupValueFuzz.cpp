// The fileTypes value of setup.ini as a listing takes it: cut to 255 bytes, trimmed, lower-cased,
// then searched for a file's extension. Input: the file name, a line feed, the value. The whole
// input is also a settings file's bytes, for the reader Volane uses where the platform's would
// misread them: which files those are, and the key found in their text.
#include "Fuzz.h"
#include "modules/mdlTVDir.h"
#include "platform/ProfileText.h"
#include "platform/TextUtil.h"

using namespace volane;

constexpr auto kGbkLead = +[](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
constexpr auto kBlanks = [](std::wstring_view s) { return std::count(s.begin(), s.end(), L' '); };

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
    // The key found, whatever the text: a value of one line, the first section and key that
    // match, names without regard to case, nothing after the first match that counts.
    const std::wstring text = Widen(bytes);
    const std::optional<std::wstring> value = FindProfileValue(text, L"setup", L"fileTypes");
    FUZZ_CHECK(!value || value->find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos);
    FUZZ_CHECK(FindProfileValue(text, L"SETUP", L"FILETYPES") == value);
    FUZZ_CHECK(FindProfileValue(L"[Setup]\r\n FileTypes = \"first;\" \r\n" + text, L"setup",
                                L"fileTypes") == L"first;");
    FUZZ_CHECK(!value || FindProfileValue(text + L"\n[setup]\nfileTypes=later;", L"setup",
                                          L"fileTypes") == value);
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const auto [name, raw] = Split(data, size);
    // A prefix of at most 255 bytes that ends between characters, and no whole character short.
    const std::string cut = CutAnsi(raw, 255, kGbkLead);
    std::size_t end = 0;
    while (end < cut.size()) end += kGbkLead(raw[end]) ? 2 : 1;
    FUZZ_CHECK(raw.starts_with(cut) && cut.size() <= 255 && (raw.size() > 255 || cut == raw));
    FUZZ_CHECK(cut == raw || (end == cut.size() && end + (kGbkLead(raw[end]) ? 2 : 1) > 255));
    // Trimming keeps every non-blank and the blanks between them.
    const std::wstring wide = Widen(cut), value = TrimBlanks(wide), list = LowerCase(value);
    FUZZ_CHECK(wide.find(value) != wide.npos &&
               wide.size() - kBlanks(wide) == value.size() - kBlanks(value));
    FUZZ_CHECK(!value.starts_with(L' ') && !value.ends_with(L' '));
    // The extension follows the last dot; the filter ignores case and wants the semicolon.
    const std::wstring file = Widen(name);
    const std::wstring_view ext = GetFileExt(file);
    const auto dot = file.rfind(L'.');
    FUZZ_CHECK(dot == file.npos ? ext.empty() : ext == std::wstring_view(file).substr(dot + 1));
    FUZZ_CHECK(PassesFilter(LowerCase(ext), list) == PassesFilter(ext, list));
    FUZZ_CHECK(!PassesFilter(ext, LowerCase(ext)));
    FUZZ_CHECK(PassesFilter(ext, list + LowerCase(ext) + L";") == !ext.empty());
    CheckProfileText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
