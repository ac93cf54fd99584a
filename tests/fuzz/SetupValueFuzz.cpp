// The fileTypes value of setup.ini as a listing takes it: cut to 255 bytes, trimmed, lower-cased,
// then searched for a file's extension. Input: the file name, a line feed, the value.
#include "Fuzz.h"
#include "modules/mdlTVDir.h"
#include "platform/TextUtil.h"

using namespace volane;

constexpr auto kGbkLead = +[](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
constexpr auto kBlanks = [](std::wstring_view s) { return std::count(s.begin(), s.end(), L' '); };

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
    return 0;
}
