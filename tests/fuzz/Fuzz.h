// Shared by the fuzz targets: the input split at its first line feed, Latin-1 standing in for
// the ANSI code page, and a check that aborts (so libFuzzer keeps the input) naming what broke.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#define FUZZ_CHECK(cond) \
    ((cond) ? void() : (std::fprintf(stderr, "invariant broken: %s\n", #cond), std::abort()))

inline std::pair<std::string_view, std::string_view> Split(const unsigned char* data,
                                                           std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const std::size_t feed = std::min(in.find('\n'), size);
    return {in.substr(0, feed), in.substr(std::min(feed + 1, size))};
}

inline std::wstring Widen(std::string_view bytes) {
    const auto* first = reinterpret_cast<const unsigned char*>(bytes.data());
    return std::wstring(first, first + bytes.size());
}
