// The key index of the tree: node key to node, in O(1), with each node's parent, last child and
// child count. Both the real tree view adapter and the test fake keep their nodes here, so the
// duplicate-key rule and the lookups are the same everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace volane {

struct TreeNode {
    const std::wstring* key = nullptr;  // points at the index's own copy of the key
    TreeNode* parent = nullptr;
    TreeNode* lastChild = nullptr;
    std::size_t children = 0;
    bool expanded = false;
    void* handle = nullptr;  // the platform's item handle
};

class TreeIndex {
  public:
    // Reserves room for about n nodes.
    void Reserve(std::size_t n) { nodes_.reserve(n); }
    // Creates a node under parentKey (empty: a root). Returns nullptr and creates nothing when the
    // key exists or the parent is unknown.
    TreeNode* Insert(std::wstring_view parentKey, std::wstring key);
    // Removes a node that was just inserted and has no children (when the platform refuses it).
    void Forget(TreeNode* node);
    TreeNode* Find(std::wstring_view key);
    const TreeNode* Find(std::wstring_view key) const;
    std::size_t Size() const { return nodes_.size(); }
    void Clear() { nodes_.clear(); }

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::wstring_view s) const noexcept {
            return std::hash<std::wstring_view>{}(s);
        }
    };
    std::unordered_map<std::wstring, TreeNode, Hash, std::equal_to<>> nodes_;
};

}  // namespace volane
