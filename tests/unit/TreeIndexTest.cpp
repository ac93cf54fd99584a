#include "platform/TreeIndex.h"

#include <gtest/gtest.h>

namespace volane {
namespace {

TEST(TreeIndexTest, KeysAreUniqueAndParentsMustExist) {
    TreeIndex index;
    ASSERT_NE(index.Insert(L"", L"C:\\"), nullptr);
    EXPECT_EQ(index.Insert(L"", L"C:\\"), nullptr);
    EXPECT_EQ(index.Insert(L"X:\\", L"X:\\a"), nullptr);
    EXPECT_EQ(index.Size(), 1u);
    // Keys compare exactly, case included.
    EXPECT_NE(index.Insert(L"C:\\", L"C:\\Work"), nullptr);
    EXPECT_NE(index.Insert(L"C:\\", L"C:\\work"), nullptr);
    EXPECT_EQ(index.Find(L"C:\\")->children, 2u);
}

TEST(TreeIndexTest, TracksLastChildAndForgetsRefusedInsert) {
    TreeIndex index;
    TreeNode* root = index.Insert(L"", L"C:\\");
    TreeNode* a = index.Insert(L"C:\\", L"C:\\a");
    EXPECT_EQ(root->lastChild, a);
    EXPECT_EQ(a->parent, root);
    TreeNode* b = index.Insert(L"C:\\", L"C:\\b");
    EXPECT_EQ(root->lastChild, b);
    index.Forget(b);
    EXPECT_EQ(index.Find(L"C:\\b"), nullptr);
    EXPECT_EQ(root->children, 1u);
    // A node with children is never forgotten.
    index.Forget(root);
    EXPECT_NE(index.Find(L"C:\\"), nullptr);
}

TEST(TreeIndexTest, HoldsFarMoreThanSixteenBitsOfNodes) {
    TreeIndex index;
    index.Reserve(100000);
    index.Insert(L"", L"C:\\");
    for (int i = 0; i < 100000; ++i)
        ASSERT_NE(index.Insert(L"C:\\", L"C:\\f" + std::to_wstring(i)), nullptr);
    EXPECT_EQ(index.Size(), 100001u);
    EXPECT_EQ(index.Find(L"C:\\")->children, 100000u);
    EXPECT_NE(index.Find(L"C:\\f99999"), nullptr);
    index.Clear();
    EXPECT_EQ(index.Find(L"C:\\"), nullptr);
}

}  // namespace
}  // namespace volane
