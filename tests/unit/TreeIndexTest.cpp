// The tree's key index: unique keys under known parents, found exactly.
#include "Fakes.h"
#include "platform/TreeIndex.h"

namespace volane::test {

TEST(TreeIndex, TreeKeysAreUniqueAndExactUnderKnownParents) {
    TreeIndex index;
    const std::wstring wide = L"C:\\work\\报告 été.txt", longKey(70000, L'n');
    const std::tuple<std::wstring, std::wstring, bool> inserts[] = {
        // parent, key, added
        {L"", L"C:\\", true},
        {L"", L"C:\\", false},       // a duplicate
        {L"X:\\", L"X:\\a", false},  // an unknown parent
        {L"C:\\", L"C:\\work2", true},
        {L"C:\\", L"C:\\work", true},  // a prefix of a key already there
        {L"C:\\", L"C:\\Work", true},  // case counts
        {L"", L"C:\\work", false},     // the same key under another parent
        {L"C:\\work", L"C:\\work\\a", true},
        {L"C:\\work", wide, true},
        {L"C:\\work", L"C:\\work\\\u0100", true},              // the lowest character kept wide
        {L"C:\\work", L"C:\\work\\\u0080\u00e9\u00ff", true},  // one byte a character
        {L"C:\\", L"D:\\x", true},  // a key that does not extend its parent's
        {L"C:\\", L"C:\\35905", true},
        {L"C:\\", L"C:\\45405", true},  // the same hash as the one before, in libstdc++
        {L"C:\\", L"C:\\102011", true},
        {L"C:\\102011", L"C:\\102011\\a", true},
        {L"C:\\", L"C:\\28062xa", true},  // so too: its "a" follows no backslash
        {L"C:\\work", L"C:\\work\\\u19bb", true},
        {L"C:\\work", L"C:\\work\\\U00036d07", true},  // so too, a character each (UTF-32)
        {L"C:\\", longKey, true}};
    for (const auto& [parent, key, added] : inserts)
        EXPECT_EQ(index.Insert(parent, key) != nullptr, added) << key.substr(0, 20);
    for (const auto& [parent, key, added] : inserts) {
        if (!added) continue;
        const TreeNode* node = index.Find(key);
        ASSERT_NE(node, nullptr) << key.substr(0, 20);
        EXPECT_EQ(index.Key(*node), key);
    }
    for (const std::wstring& key : {L"C:\\WORK", L"c:\\", L"C:\\wor", L"C:\\work\\", L"C:\\\\work",
                                    L"C:\\work\\报吿 été.txt", L"C:\\work\\报告 ete.txt", L""})
        EXPECT_EQ(index.Find(key), nullptr) << key;
    EXPECT_EQ(index.Find(longKey + L"n"), nullptr);
    EXPECT_EQ(index.Find(L"C:\\work\\\u0080\u00e9\u00fe"), nullptr);
    // A refused insert is forgotten, as the key found last: the key is free, the parent's count
    // back, its slot and room the next key's, which is whole.
    TreeNode* refused = index.Insert(L"C:\\", L"C:\\gone");
    ASSERT_EQ(index.Find(L"C:\\gone"), refused);
    index.Forget(refused);
    EXPECT_EQ(index.Find(L"C:\\gone"), nullptr);
    for (int i = 0; i < 2; ++i) {  // a root forgotten and offered again is found again
        TreeNode* root = index.Insert(L"", L"G:\\");
        ASSERT_TRUE(root && index.Find(L"G:\\") == root) << i;
        index.Forget(root);
    }
    ASSERT_EQ(index.Insert(L"C:\\work", L"C:\\work\\back"), refused);  // in the slot given back
    EXPECT_EQ(index.Key(*index.Find(L"C:\\work\\back")), L"C:\\work\\back");
    EXPECT_EQ(index.Size(), 18u);
    EXPECT_EQ(index.Find(L"C:\\")->children, 9u);
    EXPECT_EQ(index.Find(L"C:\\work")->children, 7u);
    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    // Nothing is found after a clear, the key found last included.
    for (const wchar_t* key : {L"C:\\work", L"C:\\"}) EXPECT_EQ(index.Find(key), nullptr) << key;
    // Listed again after a clear: the root counts its new child once.
    index.Insert(L"", L"C:\\");
    index.Insert(L"C:\\", L"C:\\a");
    EXPECT_EQ(index.Find(L"C:\\")->children, 1u);
    EXPECT_EQ(index.Key(*index.Find(L"C:\\a")), L"C:\\a");
    // Beyond the first chunks of the store, at their edges too, each node keeps its own key.
    for (int i = 0; i < 2100; ++i) index.Insert(L"C:\\", L"C:\\" + std::to_wstring(i));
    for (int i = 0; i < 2100; ++i) {
        const TreeNode* node = index.Find(L"C:\\" + std::to_wstring(i));
        ASSERT_TRUE(node && index.Key(*node) == L"C:\\" + std::to_wstring(i)) << i;
    }
    EXPECT_GE(index.BucketCount(), index.Size());
    // Short texts share the store's chunks; one of 0xFFFF characters or more is kept whole. The
    // text added last, taken back, leaves its room to the next.
    CompactText store;
    for (const auto& [length, whole] : {std::pair{1, false}, {0xFFFE, false}, {0xFFFF, true}}) {
        const CompactText::Ref ref = store.Add(std::wstring(length, L'a'));
        EXPECT_EQ(CompactText::IsLong(ref), whole) << length;
        store.Rewind(ref);
        EXPECT_EQ(store.Add(std::wstring(length, L'b')).offset, ref.offset) << length;
    }
}

}  // namespace volane::test
