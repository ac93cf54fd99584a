// Registry value data turned into text. Input: the type in decimal, a line feed, the data.
#include "Fuzz.h"
#include "forms/frmAbout.h"

using namespace volane;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const auto [typeText, bytes] = Split(data, size);
    const std::uint32_t type = std::strtoul(std::string(typeText).c_str(), nullptr, 10);
    std::string text = "in";
    const bool read = static_cast<bool>(
        ConvertValueData(type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                         static_cast<std::uint32_t>(bytes.size()), text));
    FUZZ_CHECK(read == !bytes.empty());
    // One terminating NUL goes; text replaces, a DWORD appends 1-2 hex digits a byte, others keep.
    const std::string_view kept = bytes.substr(0, bytes.size() - bytes.ends_with('\0'));
    const auto twoDigits = std::count_if(
        kept.begin(), kept.end(), [](char c) { return static_cast<unsigned char>(c) >= 16; });
    if (!read || (type != kRegSz && type != kRegDword)) FUZZ_CHECK(text == "in");
    if (read && type == kRegSz) FUZZ_CHECK(text == kept);
    if (read && type == kRegDword)
        FUZZ_CHECK(text.starts_with("&hin") && text.size() == 4 + kept.size() + twoDigits &&
                   text.find_first_not_of("0123456789ABCDEF", 4) == text.npos);
    return 0;
}
