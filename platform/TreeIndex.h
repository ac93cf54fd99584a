// The key index of the tree: node key to node in O(1), with each node's parent and child count.
// The tree view adapter keeps its nodes here; the tests' fake tree keeps a plain map of its own.
//
// A listing puts tens of thousands of nodes under one parent, and each costs the tree view
// about 270 bytes already, so a node here is kept to 32 bytes plus its name: a key is kept as
// what it adds to its parent's key (for a listed entry, the name), in a shared store that takes
// one byte a character when the name allows. Nodes sit in fixed chunks that never move, so a
// node's address stays valid until Clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace volane {

// Texts kept packed (PackedText.h) in chunks that never move and are never copied on growth.
class CompactText {
  public:
    // Where a text starts in the store, and its length in characters with how it is kept.
    struct Ref {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        bool narrow = false;  // one byte a character: every character is below U+0100
    };

    Ref Add(std::wstring_view text);
    // Whether a text is kept whole on its own, and its length then; texts kept in chunks are
    // shorter than 0xFFFF characters.
    static bool IsLong(Ref ref) { return (ref.offset & kLongText) != 0; }
    std::uint32_t LongLength(Ref ref) const;
    bool Equals(Ref ref, std::wstring_view text) const;
    void AppendTo(Ref ref, std::wstring& out) const;
    // Takes back the text added last.
    void Rewind(Ref ref);
    void Clear();

  private:
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
    // Texts that would fill a chunk are kept whole on their own; their offset has this bit.
    static constexpr std::uint32_t kLongText = 0x80000000u;

    const unsigned char* Bytes(Ref ref) const;

    std::vector<std::unique_ptr<unsigned char[]>> chunks_;
    std::size_t used_ = kChunkBytes;  // in the last chunk
    std::vector<std::wstring> long_;
};

class TreeIndex;

struct TreeNode {
    void* handle = nullptr;  // the platform's item handle
    std::uint32_t children = 0;
    bool expanded = false;

  private:
    friend class TreeIndex;
    std::uint8_t flags_ = 0;
    // The part of the key after the parent's key (and after a backslash, when kSeparator): where
    // it is kept, and its length unless it is kept whole on its own.
    std::uint16_t length_ = 0;
    std::uint32_t text_ = 0;
    // Node numbers count from 1; 0 is none.
    std::uint32_t parent_ = 0;
    std::uint32_t next_ = 0;  // the next node in the same hash bucket
    std::uint32_t hash_ = 0;  // of the whole key
};

class TreeIndex {
  public:
    TreeIndex() = default;
    TreeIndex(const TreeIndex&) = delete;
    TreeIndex& operator=(const TreeIndex&) = delete;

    // Creates a node under parentKey (empty: a root). Returns nullptr and creates nothing when the
    // key exists or the parent is unknown. Keys compare exactly, case included.
    TreeNode* Insert(std::wstring_view parentKey, std::wstring_view key);
    // Removes a node without children (one the platform refused just after it was inserted).
    void Forget(TreeNode* node);
    TreeNode* Find(std::wstring_view key);
    const TreeNode* Find(std::wstring_view key) const;
    // The node's whole key, as it was inserted.
    std::wstring Key(const TreeNode& node) const;
    std::size_t Size() const { return live_; }
    // Never fewer than the nodes, so that a look-up stays one bucket's short chain.
    std::size_t BucketCount() const { return buckets_.size(); }
    // Forgets every node and gives their memory back.
    void Clear();

  private:
    static constexpr unsigned kChunkShift = 10;
    static constexpr std::uint32_t kChunkNodes = 1u << kChunkShift;
    // flags_
    static constexpr std::uint8_t kNarrow = 1;
    static constexpr std::uint8_t kSeparator = 2;  // a backslash comes before the stored part
    static constexpr std::uint8_t kWhole = 4;      // the stored part is the whole key
    static constexpr std::uint8_t kForgotten = 8;

    TreeNode& Node(std::uint32_t n) const {
        return chunks_[(n - 1) >> kChunkShift][(n - 1) & (kChunkNodes - 1)];
    }
    static std::uint32_t Hash(std::wstring_view key);
    std::uint32_t FindNumber(std::wstring_view key) const;
    std::uint32_t NumberOf(const TreeNode* node) const;
    bool Matches(std::uint32_t n, std::wstring_view key) const;
    CompactText::Ref TextRef(const TreeNode& node) const;
    void Link(std::uint32_t n);
    void Grow();

    std::vector<std::unique_ptr<TreeNode[]>> chunks_;
    std::uint32_t count_ = 0;  // node numbers handed out
    std::size_t live_ = 0;     // of which not forgotten
    std::vector<std::uint32_t> buckets_;
    CompactText text_;
    // The key found last: a listing asks for the same parent once per entry.
    mutable std::wstring lastKey_;
    mutable std::uint32_t lastFound_ = 0;
};

}  // namespace volane
