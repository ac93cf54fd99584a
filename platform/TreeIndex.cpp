#include "platform/TreeIndex.h"

#include <functional>

#include "platform/PackedText.h"

namespace volane {

CompactText::Ref CompactText::Add(std::wstring_view text) {
    Ref ref;
    ref.length = static_cast<std::uint32_t>(text.size());
    ref.narrow = FitsOneByte(text);
    const std::size_t bytes = packed::Bytes(text.size(), ref.narrow);
    if (bytes == 0) return ref;
    // Offsets keep the chunk number in 15 bits; beyond 2 GiB of text, texts are kept whole.
    if (text.size() >= 0xFFFF || bytes > kChunkBytes || chunks_.size() >= (kLongText >> 16)) {
        ref.offset = kLongText | static_cast<std::uint32_t>(long_.size());
        ref.narrow = false;
        long_.emplace_back(text);
        return ref;
    }
    std::size_t at = used_;
    if (!ref.narrow) at = (at + alignof(wchar_t) - 1) & ~(alignof(wchar_t) - 1);
    if (at + bytes > kChunkBytes) {
        chunks_.push_back(std::make_unique_for_overwrite<unsigned char[]>(kChunkBytes));
        at = 0;
    }
    packed::Write(text, ref.narrow, chunks_.back().get() + at);
    ref.offset = static_cast<std::uint32_t>(((chunks_.size() - 1) << 16) | at);
    used_ = at + bytes;
    return ref;
}

std::uint32_t CompactText::LongLength(Ref ref) const {
    return static_cast<std::uint32_t>(long_[ref.offset & ~kLongText].size());
}

const unsigned char* CompactText::Bytes(Ref ref) const {
    return chunks_[ref.offset >> 16].get() + (ref.offset & (kChunkBytes - 1));
}

bool CompactText::Equals(Ref ref, std::wstring_view text) const {
    if (text.size() != ref.length) return false;
    if (ref.length == 0) return true;
    if (ref.offset & kLongText) return long_[ref.offset & ~kLongText] == text;
    return packed::Equals(Bytes(ref), ref.narrow, text);
}

void CompactText::AppendTo(Ref ref, std::wstring& out) const {
    if (ref.length == 0) return;
    if (ref.offset & kLongText) {
        out += long_[ref.offset & ~kLongText];
        return;
    }
    packed::Read(Bytes(ref), ref.length, ref.narrow, out);
}

void CompactText::Rewind(Ref ref) {
    if (ref.length == 0) return;
    if (ref.offset & kLongText) {
        if ((ref.offset & ~kLongText) + 1 == long_.size()) long_.pop_back();
        return;
    }
    const std::size_t at = ref.offset & (kChunkBytes - 1);
    const std::size_t bytes = packed::Bytes(ref.length, ref.narrow);
    if ((ref.offset >> 16) + 1 == chunks_.size() && at + bytes == used_) used_ = at;
}

void CompactText::Clear() {
    std::vector<std::unique_ptr<unsigned char[]>>().swap(chunks_);
    std::vector<std::wstring>().swap(long_);
    used_ = kChunkBytes;
}

static_assert(sizeof(void*) != 8 || sizeof(TreeNode) == 32, "a node grows every listing");

std::uint32_t TreeIndex::Hash(std::wstring_view key) {
    const std::size_t h = std::hash<std::wstring_view>{}(key);
    return static_cast<std::uint32_t>(h ^ (static_cast<std::uint64_t>(h) >> 32));
}

CompactText::Ref TreeIndex::TextRef(const TreeNode& node) const {
    CompactText::Ref ref{node.text_, node.length_, (node.flags_ & kNarrow) != 0};
    if (CompactText::IsLong(ref)) ref.length = text_.LongLength(ref);
    return ref;
}

bool TreeIndex::Matches(std::uint32_t n, std::wstring_view key) const {
    // From the node up to its root, each stored part must be the end of what is left of the key.
    for (;;) {
        const TreeNode& node = Node(n);
        const CompactText::Ref text = TextRef(node);
        if (key.size() < text.length || !text_.Equals(text, key.substr(key.size() - text.length)))
            return false;
        key.remove_suffix(text.length);
        if (node.flags_ & kSeparator) {
            if (key.empty() || key.back() != L'\\') return false;
            key.remove_suffix(1);
        }
        if (node.parent_ == 0 || (node.flags_ & kWhole)) return key.empty();
        n = node.parent_;
    }
}

std::uint32_t TreeIndex::FindNumber(std::wstring_view key) const {
    if (lastFound_ != 0 && key == lastKey_) return lastFound_;
    if (buckets_.empty()) return 0;
    const std::uint32_t hash = Hash(key);
    for (std::uint32_t n = buckets_[hash & (buckets_.size() - 1)]; n != 0; n = Node(n).next_) {
        if (Node(n).hash_ == hash && Matches(n, key)) {
            lastKey_.assign(key);
            lastFound_ = n;
            return n;
        }
    }
    return 0;
}

void TreeIndex::Grow() {
    std::vector<std::uint32_t> old;
    old.swap(buckets_);
    buckets_.assign(old.empty() ? 64 : old.size() * 2, 0);
    old = {};
    for (std::uint32_t n = 1; n <= count_; ++n)
        if (!(Node(n).flags_ & kForgotten)) Link(n);
}

void TreeIndex::Link(std::uint32_t n) {
    TreeNode& node = Node(n);
    std::uint32_t& bucket = buckets_[node.hash_ & (buckets_.size() - 1)];
    node.next_ = bucket;
    bucket = n;
}

TreeNode* TreeIndex::Insert(std::wstring_view parentKey, std::wstring_view key) {
    std::uint32_t parent = 0;
    if (!parentKey.empty()) {
        parent = FindNumber(parentKey);
        if (parent == 0) return nullptr;
    }
    const std::uint32_t hash = Hash(key);
    if (!buckets_.empty()) {
        for (std::uint32_t n = buckets_[hash & (buckets_.size() - 1)]; n != 0; n = Node(n).next_)
            if (Node(n).hash_ == hash && Matches(n, key)) return nullptr;
    }
    if (count_ == UINT32_MAX - 1) return nullptr;

    std::uint8_t flags = 0;
    std::wstring_view part = key;
    if (parent != 0) {
        if (key.size() > parentKey.size() && key.starts_with(parentKey))
            part.remove_prefix(parentKey.size());
        else
            flags |= kWhole;
    }
    if (!part.empty() && part.front() == L'\\') {
        flags |= kSeparator;
        part.remove_prefix(1);
    }
    const CompactText::Ref text = text_.Add(part);
    if (text.narrow) flags |= kNarrow;

    if ((count_ & (kChunkNodes - 1)) == 0 && (count_ >> kChunkShift) == chunks_.size())
        chunks_.push_back(std::make_unique<TreeNode[]>(kChunkNodes));
    const std::uint32_t n = ++count_;
    TreeNode& node = Node(n);
    node = TreeNode{};
    node.flags_ = flags;
    node.parent_ = parent;
    node.hash_ = hash;
    node.text_ = text.offset;
    if (!CompactText::IsLong(text)) node.length_ = static_cast<std::uint16_t>(text.length);
    ++live_;
    if (live_ > buckets_.size())
        Grow();
    else
        Link(n);
    if (parent != 0) ++Node(parent).children;
    return &node;
}

std::uint32_t TreeIndex::NumberOf(const TreeNode* node) const {
    if (!node || buckets_.empty()) return 0;
    for (std::uint32_t n = buckets_[node->hash_ & (buckets_.size() - 1)]; n != 0; n = Node(n).next_)
        if (&Node(n) == node) return n;
    return 0;
}

void TreeIndex::Forget(TreeNode* node) {
    const std::uint32_t n = NumberOf(node);
    if (n == 0 || node->children != 0) return;
    std::uint32_t* link = &buckets_[node->hash_ & (buckets_.size() - 1)];
    while (*link != n) link = &Node(*link).next_;
    *link = node->next_;
    if (node->parent_ != 0) --Node(node->parent_).children;
    if (lastFound_ == n) lastFound_ = 0;
    --live_;
    if (n == count_) {
        text_.Rewind(TextRef(*node));
        --count_;
    } else {
        node->flags_ |= kForgotten;
    }
}

TreeNode* TreeIndex::Find(std::wstring_view key) {
    const std::uint32_t n = FindNumber(key);
    return n ? &Node(n) : nullptr;
}

const TreeNode* TreeIndex::Find(std::wstring_view key) const {
    const std::uint32_t n = FindNumber(key);
    return n ? &Node(n) : nullptr;
}

std::wstring TreeIndex::Key(const TreeNode& node) const {
    std::vector<const TreeNode*> path{&node};
    while (path.back()->parent_ != 0 && !(path.back()->flags_ & kWhole))
        path.push_back(&Node(path.back()->parent_));
    std::wstring key;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        if ((*it)->flags_ & kSeparator) key += L'\\';
        text_.AppendTo(TextRef(**it), key);
    }
    return key;
}

void TreeIndex::Clear() {
    std::vector<std::unique_ptr<TreeNode[]>>().swap(chunks_);
    std::vector<std::uint32_t>().swap(buckets_);
    text_.Clear();
    count_ = 0;
    live_ = 0;
    lastFound_ = 0;
    lastKey_.clear();
}

}  // namespace volane
