// Helpers shared by the fuzz targets: turning raw fuzzer bytes into the texts the code takes,
// and a check that stops the run with a readable reason when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

// Aborts so that libFuzzer keeps the input as a crash artifact.
#define FUZZ_CHECK(cond)                                                                 \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "fuzz invariant broken: %s (%s:%d)\n", #cond, __FILE__, \
                         __LINE__);                                                      \
            std::abort();                                                                \
        }                                                                                \
    } while (false)

namespace volane::fuzz {

inline std::string_view AsBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The text before the first line feed and the text after it (everything when there is none).
inline std::pair<std::string_view, std::string_view> SplitFirstLine(std::string_view bytes) {
    const auto feed = bytes.find('\n');
    if (feed == std::string_view::npos) return {bytes, {}};
    return {bytes.substr(0, feed), bytes.substr(feed + 1)};
}

// Decodes UTF-8 up to three bytes a character, so the checked-in seeds stay readable text;
// any byte that does not start a well-formed sequence stands for the code unit of the same
// value. Every UTF-16 code unit, lone surrogates included, can be reached, as on Windows.
inline std::wstring Widen(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    auto continuation = [&](std::size_t at) {
        return at < bytes.size() && (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80;
    };
    auto low6 = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]) & 0x3Fu; };
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned lead = static_cast<unsigned char>(bytes[i]);
        if ((lead & 0xE0) == 0xC0 && continuation(i + 1)) {
            text += static_cast<wchar_t>(((lead & 0x1Fu) << 6) | low6(i + 1));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0 && continuation(i + 1) && continuation(i + 2)) {
            text += static_cast<wchar_t>(((lead & 0x0Fu) << 12) | (low6(i + 1) << 6) | low6(i + 2));
            i += 3;
        } else {
            text += static_cast<wchar_t>(lead);
            i += 1;
        }
    }
    return text;
}

inline bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

inline wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c + (L'a' - L'A') : c;
}

inline wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? c - (L'a' - L'A') : c;
}

}  // namespace volane::fuzz
