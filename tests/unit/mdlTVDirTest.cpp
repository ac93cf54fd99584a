#include "modules/mdlTVDir.h"

#include <gtest/gtest.h>

#include "Fakes.h"
#include "modules/mdlApp.h"

namespace volane {
namespace {

using test::FakeEntry;

TEST(GetFileExtTest, PieceAfterTheLastDot) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"index.php", L"php"},
        {L"a.tar.gz", L"gz"},
        {L"INDEX.HTML", L"HTML"},
        {L".htaccess", L"htaccess"},
        {L"README", L""},
        {L"name.", L""},
        {L"", L""},
        {L"..", L""},
        {L"文件.Php", L"Php"},
    };
    for (const auto& [name, ext] : cases) EXPECT_EQ(GetFileExt(name), ext) << name;
}

TEST(FilterTest, ExtensionFollowedBySemicolonAnywhereInTheList) {
    struct Case {
        const wchar_t* ext;
        const wchar_t* list;
        bool passes;
    };
    const Case cases[] = {
        {L"html", L"html;php;", true}, {L"HTML", L"html;php;", true}, {L"css", L"html;php;", false},
        {L"php", L"html;php", false},  // the last entry lacks its semicolon
        {L"html", L"html;php", true},  {L"tm", L"htm;", true},       // substring of htm;
        {L"s", L"js;", true},          {L"", L"html;;php;", false},  // no extension never passes
        {L"xml", L"html;xml;", true},  {L"php", L";php;", true},      {L"php", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PassesFilter(c.ext, c.list), c.passes) << c.ext << L" in " << c.list;
}

TEST(EditorCommandLineTest, PathIsOneArgument) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\work\\a.php", L"D:\\ed\\ed.exe C:\\work\\a.php"},
        {L"C:\\my work\\a b.txt", L"D:\\ed\\ed.exe \"C:\\my work\\a b.txt\""},
        {L"C:\\a&b.txt", L"D:\\ed\\ed.exe \"C:\\a&b.txt\""},
        {L"C:\\tab\there.txt", L"D:\\ed\\ed.exe \"C:\\tab\there.txt\""},
        {L"C:\\x(1).txt", L"D:\\ed\\ed.exe \"C:\\x(1).txt\""},
        {L"C:\\it's.txt", L"D:\\ed\\ed.exe \"C:\\it's.txt\""},
        {L"C:\\a^b=c;d!e+f,g~h`i[j]{k}.txt", L"D:\\ed\\ed.exe \"C:\\a^b=c;d!e+f,g~h`i[j]{k}.txt\""},
        {L"C:\\100%.txt", L"D:\\ed\\ed.exe C:\\100%.txt"},
        {L"C:\\naïve☃文件.php", L"D:\\ed\\ed.exe C:\\naïve☃文件.php"},
    };
    for (const auto& [path, line] : cases)
        EXPECT_EQ(BuildEditorCommandLine(L"D:\\ed\\ed.exe", path), line) << path;
}

class ReadSetupTest : public ::testing::Test {
  protected:
    test::FakeProcess process;
    test::FakeProfile profile;
};

TEST_F(ReadSetupTest, ReadsTheSetupSectionBesideTheExecutable) {
    profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L"  html;php;  ");
    EXPECT_EQ(ReadSetup(L"fileTypes", process, profile), L"html;php;");
    EXPECT_EQ(profile.lastFile, L"C:\\Volane\\setup.ini");
    EXPECT_EQ(ReadSetup(L"other", process, profile), L"");
}

TEST_F(ReadSetupTest, DriveRootExecutableKeepsBothBackslashes) {
    process.exeFolder = L"D:\\";
    ReadSetup(L"fileTypes", process, profile);
    EXPECT_EQ(profile.lastFile, L"D:\\\\setup.ini");
}

class ExpandPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ImageNames = {};
        for (std::size_t i = 0; i < kTypeNames.size(); ++i)
            ImageNames[i + 1] = std::wstring(kTypeNames[i]);
        profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L"HTML;htm;css;js;php;txt;");
        tree.Add(L"", L"C:\\", L"本地磁盘(C)", 2);
        tree.log.clear();
    }
    void TearDown() override { ImageNames = {}; }
    void Expand(const std::wstring& path) { ExpandPath(path, services); }

    test::FakeFileSystem fs;
    test::FakeProcess process;
    test::FakeProfile profile;
    test::FakeUi ui;
    test::FakeTree tree;
    ListingServices services{fs, process, profile, ui, tree};
};

TEST_F(ExpandPathTest, NoFolderStartsTheEditorMinimizedAndLeavesTheTree) {
    Expand(L"C:\\work\\a.php");
    ASSERT_EQ(process.started.size(), 1u);
    EXPECT_EQ(process.started[0].first, L"D:\\ed\\ed.exe C:\\work\\a.php");
    EXPECT_EQ(process.started[0].second, 2);
    EXPECT_EQ(tree.nodes.size(), 1u);
    EXPECT_TRUE(tree.log.empty());
    EXPECT_EQ(fs.enumerations, 0);
}

TEST_F(ExpandPathTest, FailedEditorStartIsSilent) {
    process.startSucceeds = false;
    Expand(L"C:\\gone");
    EXPECT_EQ(process.started.size(), 1u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ExpandPathTest, FolderThatCannotBeOpenedShowsTheSystemsText) {
    fs.failing[L"C:\\locked"] = L"拒绝访问。";
    tree.Add(L"C:\\", L"C:\\locked", L"locked", 3);
    tree.log.clear();
    Expand(L"C:\\locked");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].first, L"拒绝访问。");
    EXPECT_EQ(ui.boxes[0].second, L"提示：");
    EXPECT_TRUE(tree.log.empty());
    EXPECT_FALSE(tree.IsExpanded(L"C:\\locked"));
    EXPECT_EQ(profile.reads, 0);
    EXPECT_TRUE(process.started.empty());
}

TEST_F(ExpandPathTest, SubFoldersFirstThenFilteredFilesInFileSystemOrder) {
    fs.folders[L"C:\\"] = {
        {L"z.php", 0x20},      {L"Work", 0x10},   {L"index.HTML", 0x20},
        {L"style.less", 0x20}, {L"README", 0x20}, {L"a.tar.gz", 0x20},
        {L"Alpha", 0x10},      {L"x.tm", 0x26},   {L"notes.", 0x20},
    };
    Expand(L"C:\\");
    EXPECT_EQ(tree.ChildTexts(L"C:\\"),
              (std::vector<std::wstring>{L"Work", L"Alpha", L"z.php", L"index.HTML", L"x.tm"}));
    EXPECT_EQ(tree.Node(L"C:\\Work")->image, 3);
    EXPECT_EQ(tree.Node(L"C:\\z.php")->image, 8);
    EXPECT_EQ(tree.Node(L"C:\\index.HTML")->image, 5);
    EXPECT_EQ(tree.Node(L"C:\\x.tm")->image, 1);
    EXPECT_EQ(tree.Node(L"C:\\x.tm")->parent, L"C:\\");
}

TEST_F(ExpandPathTest, OnlyTheExactHiddenSystemFolderValueIsSkipped) {
    fs.folders[L"C:\\"] = {{L"plain", 16}, {L"hidden", 18}, {L"system", 20},
                           {L"hs", 22},    {L"rhs", 23},    {L"hsa", 22 | 0x20}};
    Expand(L"C:\\");
    EXPECT_EQ(tree.ChildTexts(L"C:\\"),
              (std::vector<std::wstring>{L"plain", L"hidden", L"system", L"rhs", L"hsa"}));
}

TEST_F(ExpandPathTest, NodeIsMarkedExpandedBeforeAnyChildAndSettingsReadOnce) {
    fs.folders[L"C:\\w"] = {{L"sub", 16}, {L"a.js", 32}, {L"b.js", 32}};
    tree.Add(L"C:\\", L"C:\\w", L"w", 3);
    tree.log.clear();
    Expand(L"C:\\w");
    ASSERT_GE(tree.log.size(), 2u);
    EXPECT_EQ(tree.log[0], L"expand C:\\w");
    EXPECT_EQ(tree.log[1], L"redraw off");
    EXPECT_EQ(tree.log.back(), L"redraw on");
    EXPECT_TRUE(tree.IsExpanded(L"C:\\w"));
    EXPECT_EQ(profile.reads, 1);
    EXPECT_EQ(tree.Node(L"C:\\w\\sub")->parent, L"C:\\w");
}

TEST_F(ExpandPathTest, EmptyFolderIsMarkedAndListedAgainLater) {
    fs.folders[L"C:\\e"] = {};
    tree.Add(L"C:\\", L"C:\\e", L"e", 3);
    Expand(L"C:\\e");
    EXPECT_TRUE(tree.IsExpanded(L"C:\\e"));
    EXPECT_EQ(tree.Children(L"C:\\e"), 0u);
    fs.folders[L"C:\\e"] = {{L"new.txt", 32}};
    Expand(L"C:\\e");
    EXPECT_EQ(tree.ChildTexts(L"C:\\e"), std::vector<std::wstring>{L"new.txt"});
}

TEST_F(ExpandPathTest, ListingWithoutANodeStillAddsNothingAndGoesOn) {
    fs.folders[L"C:\\orphan"] = {{L"a.txt", 32}};
    Expand(L"C:\\orphan");
    EXPECT_EQ(tree.nodes.size(), 1u);  // the parent key names no node, so every add fails
}

TEST_F(ExpandPathTest, DuplicateKeysAreSkippedAndTheRestListed) {
    fs.folders[L"C:\\"] = {{L"a.txt", 32}, {L"b.txt", 32}};
    tree.Add(L"C:\\", L"C:\\a.txt", L"a.txt", 9);
    Expand(L"C:\\");
    EXPECT_EQ(tree.ChildTexts(L"C:\\"), (std::vector<std::wstring>{L"a.txt", L"b.txt"}));
}

TEST_F(ExpandPathTest, MissingSettingsListSubFoldersOnly) {
    profile.values.clear();
    fs.folders[L"C:\\"] = {{L"a.txt", 32}, {L"dir", 16}};
    Expand(L"C:\\");
    EXPECT_EQ(tree.ChildTexts(L"C:\\"), std::vector<std::wstring>{L"dir"});
}

TEST_F(ExpandPathTest, SettingsEditedBetweenListingsApplyToTheNext) {
    fs.folders[L"C:\\a"] = {{L"x.css", 32}};
    fs.folders[L"C:\\b"] = {{L"y.css", 32}};
    tree.Add(L"C:\\", L"C:\\a", L"a", 3);
    tree.Add(L"C:\\", L"C:\\b", L"b", 3);
    profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L"txt;");
    Expand(L"C:\\a");
    profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L"txt;CSS;");
    Expand(L"C:\\b");
    EXPECT_TRUE(tree.ChildTexts(L"C:\\a").empty());
    EXPECT_EQ(tree.ChildTexts(L"C:\\b"), std::vector<std::wstring>{L"y.css"});
}

TEST_F(ExpandPathTest, NamesOutsideTheAnsiCodePageKeepTheirText) {
    fs.folders[L"C:\\"] = {{L"naïve ☃ 文件.php", 32}, {L"Ünïcødé", 16}};
    Expand(L"C:\\");
    EXPECT_NE(tree.Node(L"C:\\naïve ☃ 文件.php"), nullptr);
    EXPECT_NE(tree.Node(L"C:\\Ünïcødé"), nullptr);
}

}  // namespace
}  // namespace volane
