#include "platform/TreeIndex.h"

namespace volane {

TreeNode* TreeIndex::Insert(std::wstring_view parentKey, std::wstring key) {
    TreeNode* parent = nullptr;
    if (!parentKey.empty()) {
        parent = Find(parentKey);
        if (!parent) return nullptr;
    }
    auto [it, inserted] = nodes_.try_emplace(std::move(key));
    if (!inserted) return nullptr;
    TreeNode& node = it->second;
    node.key = &it->first;
    node.parent = parent;
    if (parent) {
        parent->lastChild = &node;
        ++parent->children;
    }
    return &node;
}

void TreeIndex::Forget(TreeNode* node) {
    if (!node || node->children != 0) return;
    if (TreeNode* parent = node->parent) {
        --parent->children;
        // A refused insert is always the latest child, so its predecessor is unknown here; the
        // platform tells the previous sibling afresh, and a null lastChild means "append".
        if (parent->lastChild == node) parent->lastChild = nullptr;
    }
    nodes_.erase(nodes_.find(*node->key));
}

TreeNode* TreeIndex::Find(std::wstring_view key) {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

const TreeNode* TreeIndex::Find(std::wstring_view key) const {
    auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

}  // namespace volane
