// Text packed one byte a character when every character is below U+0100, else as it is in
// memory: most file names are Latin, so most take half the room. The key index's store and a
// listing's waiting files both keep their names this way.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextUtil.h"

namespace volane {

namespace packed {

// The bytes length characters take.
constexpr std::size_t Bytes(std::size_t length, bool narrow) {
    return length * (narrow ? 1 : sizeof(wchar_t));
}

// Writes text at out, one byte a character when narrow; returns where it ends.
inline unsigned char* Write(std::wstring_view text, bool narrow, unsigned char* out) {
    if (narrow) {
        for (wchar_t c : text) *out++ = static_cast<unsigned char>(c);
        return out;
    }
    std::memcpy(out, text.data(), Bytes(text.size(), false));
    return out + Bytes(text.size(), false);
}

// Appends the length characters written at in to out; returns where they end.
inline const unsigned char* Read(const unsigned char* in, std::size_t length, bool narrow,
                                 std::wstring& out) {
    // Sized first: appending the bytes as a range would build a temporary string for each text.
    const std::size_t at = out.size();
    out.resize(at + length);
    if (narrow)
        std::copy(in, in + length, out.begin() + static_cast<std::ptrdiff_t>(at));
    else
        std::memcpy(out.data() + at, in, Bytes(length, false));
    return in + Bytes(length, narrow);
}

// Whether the text.size() characters written at in are text.
inline bool Equals(const unsigned char* in, bool narrow, std::wstring_view text) {
    if (!narrow) return std::memcmp(in, text.data(), Bytes(text.size(), false)) == 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (static_cast<wchar_t>(in[i]) != text[i]) return false;
    return true;
}

}  // namespace packed

// Texts with a tag below 0x80 each, kept packed in the order they come until they are drained,
// once: a byte for the tag and the packing, the length in as few bytes as it needs, then the
// characters, in chunks that never move. No text costs a heap block of its own, and each chunk
// is given back as soon as its texts are drained, so what the caller builds from them reuses it.
class TextQueue {
  public:
    void Add(std::wstring_view text, int tag) {
        const bool narrow = FitsOneByte(text);
        const std::size_t bytes = kMaxHeader + packed::Bytes(text.size(), narrow);
        if (chunks_.empty() || chunks_.back().used + bytes > chunks_.back().size) {
            const std::size_t size = std::max(kChunkBytes, bytes);
            chunks_.push_back({std::make_unique_for_overwrite<unsigned char[]>(size), size, 0});
        }
        Chunk& chunk = chunks_.back();
        unsigned char* out = chunk.bytes.get() + chunk.used;
        *out++ = static_cast<unsigned char>(tag | (narrow ? kNarrow : 0));
        for (std::size_t length = text.size();; length >>= 7) {
            *out++ = static_cast<unsigned char>((length & 0x7F) | (length > 0x7F ? 0x80 : 0));
            if (length <= 0x7F) break;
        }
        out = packed::Write(text, narrow, out);
        chunk.used = static_cast<std::size_t>(out - chunk.bytes.get());
    }

    // Calls f(text, tag) for every text in the order they were added, and empties the queue.
    template <typename F>
    void Drain(F f) {
        std::wstring text;
        for (Chunk& chunk : chunks_) {
            const unsigned char* at = chunk.bytes.get();
            const unsigned char* end = at + chunk.used;
            while (at < end) {
                const int tag = *at & ~kNarrow;
                const bool narrow = (*at++ & kNarrow) != 0;
                std::size_t length = 0;
                for (unsigned shift = 0;; shift += 7) {
                    length |= static_cast<std::size_t>(*at & 0x7F) << shift;
                    if (!(*at++ & 0x80)) break;
                }
                text.clear();
                at = packed::Read(at, length, narrow, text);
                f(std::wstring_view(text), tag);
            }
            chunk.bytes.reset();
        }
        chunks_.clear();
    }

  private:
    static constexpr unsigned char kNarrow = 0x80;
    static constexpr std::size_t kMaxHeader = 1 + (sizeof(std::size_t) * 8 + 6) / 7;
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
    struct Chunk {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    std::vector<Chunk> chunks_;
};

}  // namespace volane
