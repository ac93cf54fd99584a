// setup.ini's text from outside, under the sanitizers: the value cut to 255 bytes (input: anything,
// a line feed, the value), and the input as a file through Volane's own reader. Only rules that
// hold for every text; bytes widen to code units of the same value.
#include <cstdio>
#include <cstdlib>

#include "platform/ProfileText.h"
#include "platform/TextUtil.h"

using namespace volane;

// Aborts, so that libFuzzer keeps the input, naming what broke.
#define FUZZ_CHECK(cond) \
    ((cond) ? void() : (std::fprintf(stderr, "invariant broken: %s\n", #cond), std::abort()))

constexpr auto kGbkLead = +[](unsigned char c) { return c >= 0x81 && c <= 0xFE; };

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A prefix of at most 255 bytes, all of the value when it fits.
    const std::size_t feed = bytes.find('\n');
    const std::string_view raw = feed == bytes.npos ? "" : bytes.substr(feed + 1);
    const std::string cut = CutAnsi(raw, 255, kGbkLead);
    FUZZ_CHECK(raw.starts_with(cut) && cut.size() <= 255 && (raw.size() > 255 || cut == raw));
    // A mark in front settles which reader reads; the key found is a value of one line.
    FUZZ_CHECK(Utf8ProfileText("\xEF\xBB\xBF" + std::string(bytes)) == bytes);
    const std::optional<std::wstring> value =
        FindProfileValue(std::wstring(data, data + size), L"setup", L"fileTypes");
    FUZZ_CHECK(!value || value->find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos);
    return 0;
}
