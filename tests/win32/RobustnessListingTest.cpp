// Folder listings and editor starts of the real program on awkward real folders: names with
// characters that command lines and code pages treat specially, paths around and far beyond
// MAX_PATH, a folder of 100,000 entries, links, folders that vanish or lock after they were
// listed, and drives without a medium. Double-clicks are real pointer input on the real tree;
// the editor is recorder.exe, so each case checks the command line the editor really got.
#include <cctype>
#include <cstdio>

#include "forms/FormDesigns.h"
#include "platform/win32/ErrorText.h"
#include "tests/win32/RobustnessFixtures.h"

namespace volane::test {
namespace {

struct NameCase {
    std::wstring name;
    bool folder;
    bool listed;
    bool quoted;  // in the editor's command line
};

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Sub-folders come first, then the files; within each group the file system's order.
void ExpectListing(RealProgram& program, const std::wstring& folder,
                   const std::vector<NameCase>& cases) {
    std::vector<std::wstring> folders, files;
    for (const NameCase& c : cases) {
        if (!c.listed) continue;
        (c.folder ? folders : files).push_back(c.name);
    }
    const std::vector<std::wstring> texts = program.ChildTexts(folder);
    ASSERT_EQ(texts.size(), folders.size() + files.size());
    const auto split = texts.begin() + static_cast<std::ptrdiff_t>(folders.size());
    EXPECT_EQ(Sorted(std::vector<std::wstring>(texts.begin(), split)), Sorted(folders));
    EXPECT_EQ(Sorted(std::vector<std::wstring>(split, texts.end())), Sorted(files));
}

void MakeEntries(const std::wstring& folder, const std::vector<NameCase>& cases) {
    for (const NameCase& c : cases) {
        const std::wstring path = folder + L"\\" + c.name;
        if (c.folder) {
            ASSERT_TRUE(MakeFolder(path)) << Utf8(c.name);
            ASSERT_TRUE(WriteBytes(path + L"\\in.php", "x")) << Utf8(c.name);
        } else {
            ASSERT_TRUE(WriteBytes(path, "x")) << Utf8(c.name);
        }
    }
}

class RobustnessListingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(exeFolder));
        ASSERT_TRUE(
            WriteBytes(exeFolder + L"\\setup.ini", "[setup]\r\nfileTypes=php;html;txt;\r\n"));
        ASSERT_TRUE(MakeFolder(site));
        program.Start();
    }

    // The command line the editor must get for a path: the editor command, a blank, the path,
    // in quotes when it holds a character that would split it.
    std::wstring EditorLine(const std::wstring& path, bool quoted) const {
        return program.process.editorCommand + L" " + (quoted ? Quoted(path) : path);
    }

    // Double-clicks a node that is no folder: the editor must be started minimized with the
    // path, and recorder.exe must have received exactly that command line. The item may be
    // given where looking it up by key would take long.
    void ExpectOpens(const std::wstring& key, bool quoted, HTREEITEM item = nullptr) {
        const std::size_t lines = record.Lines().size();
        ASSERT_TRUE(item ? program.Open(item) : program.Open(key)) << Utf8(key);
        const StartRecord& start = program.process.starts.back();
        EXPECT_EQ(start.commandLine, EditorLine(key, quoted));
        EXPECT_EQ(start.show, kShowMinimized);
        EXPECT_TRUE(start.started) << Utf8(key);
        ASSERT_TRUE(record.WaitForLines(lines + 1)) << Utf8(key);
        EXPECT_EQ(record.Lines().back(), EditorLine(key, quoted));
    }

    // Every child key is the parent's key, a backslash and the child's name: the plain form.
    void ExpectPlainKeys(const std::wstring& parent) {
        for (const NodeFacts& child : program.Children(parent))
            EXPECT_EQ(child.key, parent + L"\\" + child.text);
    }

    // Lists the folder, opens every listed file, lists every listed folder and opens the file
    // in it; the files stay as they were and opening changes nothing in the tree.
    void ListAndOpenAll(const std::wstring& folder, const std::vector<NameCase>& cases) {
        const std::vector<FileFacts> files = FileTree(folder);
        program.AddRoot(folder);
        ASSERT_TRUE(program.List(folder));
        ExpectListing(program, folder, cases);
        for (const NameCase& c : cases) {
            if (!c.listed) continue;
            const std::wstring key = folder + L"\\" + c.name;
            const std::wstring file = c.folder ? key + L"\\in.php" : key;
            if (c.folder) {
                ASSERT_TRUE(program.List(key)) << Utf8(c.name);
                EXPECT_EQ(program.ChildTexts(key), std::vector<std::wstring>{L"in.php"});
            }
            const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
            ExpectOpens(file, c.quoted);
            EXPECT_EQ(TreeFacts(program.TreeWindow()), tree) << Utf8(c.name);
        }
        ExpectPlainKeys(folder);
        EXPECT_EQ(FileTree(folder), files);
        EXPECT_TRUE(program.ui.boxes.empty());
    }

    TempFolder work{L"rob-list"};
    TempFolder records{L"rob-rec"};
    EditorRecord record{records};
    std::wstring exeFolder = work / L"program";
    std::wstring site = work / L"site";
    RealProgram program{exeFolder};
};

TEST_F(RobustnessListingTest, NamesThatCommandLinesTreatSpecially) {
    const std::vector<NameCase> cases = {
        {L"a b.php", false, true, true},
        {L"a&b.php", false, true, true},
        {L"a^b.php", false, true, true},
        {L"100%.php", false, true, false},
        {L"%PATH%.php", false, true, false},  // never expanded
        {L"it's.php", false, true, true},
        {L".leading.php", false, true, false},
        {L"..two dots.html", false, true, true},
        {L"a,b;c=d.php", false, true, true},
        {L"(x)[y]{z}!+~`.txt", false, true, true},
        {L"UPPER.PHP", false, true, false},
        // As the file system reports them: a name that ends in a dot or a blank has no
        // extension that the list could hold, so such files are never listed.
        {L"dot.php.", false, false, false},
        {L"blank.php ", false, false, false},
        {L"trail.", true, true, false},
        {L"trail ", true, true, true},
        {L" lead", true, true, true},
        {L"dir & co", true, true, true},
        {L"...", true, true, false},
    };
    MakeEntries(site, cases);
    ListAndOpenAll(site, cases);
}

TEST_F(RobustnessListingTest, NamesOutsideTheAnsiCodePage) {
    if (!NonAsciiNamesWork(work.Path())) GTEST_SKIP() << kNoNonAsciiNames;
    const std::vector<NameCase> cases = {
        {L"naïve☃.php", false, true, false},      {L"文件 夹.php", false, true, true},
        {L"\U0001F600.html", false, true, false},  // outside the basic plane
        {L"Ωmega.PHP", false, true, false},       {L"目录☃", true, true, false},
        {L"папка ✓", true, true, true},
    };
    MakeEntries(site, cases);
    ListAndOpenAll(site, cases);
}

// The folders below base whose full paths grow by at most 200 characters a step until the last
// has exactly `length` characters. The last step is at least 6 characters long, so a file name
// of that length ("f.php" and longer) fits beside it.
std::vector<std::wstring> DeepChain(const std::wstring& base, std::size_t length) {
    std::vector<std::wstring> chain;
    std::wstring path = base;
    while (path.size() < length) {
        const std::size_t left = length - path.size() - 1;
        std::size_t part = std::min<std::size_t>(left, 200);
        if (left > 200 && left - part < 7) part -= 7;
        path += L"\\" + std::wstring(part, static_cast<wchar_t>(L'a' + chain.size()));
        if (!MakeFolder(path)) return {};
        chain.push_back(path);
    }
    return chain;
}

TEST_F(RobustnessListingTest, PathsAroundAndFarBeyondMaxPath) {
    for (const std::size_t length : {259u, 260u, 261u, 1000u}) {
        SCOPED_TRACE(length);
        TempFolder base{L"rob-deep"};
        const std::vector<std::wstring> chain = DeepChain(base.Path(), length);
        ASSERT_GE(chain.size(), 2u);
        const std::wstring& folder = chain.back();
        const std::wstring& parent = chain[chain.size() - 2];
        ASSERT_EQ(folder.size(), length);
        // A file whose own full path has the length, one beside the folder and one deeper.
        const std::wstring sameLength =
            parent + L"\\" + std::wstring(length - parent.size() - 5, L'f') + L".php";
        ASSERT_EQ(sameLength.size(), length);
        ASSERT_TRUE(WriteBytes(sameLength, "x"));
        ASSERT_TRUE(WriteBytes(folder + L"\\a.php", "x"));
        ASSERT_TRUE(MakeFolder(folder + L"\\sub"));
        ASSERT_TRUE(WriteBytes(folder + L"\\sub\\b.php", "x"));
        const std::vector<FileFacts> files = FileTree(base.Path());

        // Down the chain one double-click at a time, as the user goes.
        program.AddRoot(base.Path());
        ASSERT_TRUE(program.List(base.Path()));
        for (const std::wstring& step : chain) {
            ASSERT_TRUE(program.List(step)) << step.size();
            ExpectPlainKeys(step);
        }
        EXPECT_EQ(program.ChildTexts(folder), (std::vector<std::wstring>{L"sub", L"a.php"}));
        EXPECT_EQ(program.ChildTexts(parent).size(), 2u);
        ASSERT_TRUE(program.List(folder + L"\\sub"));
        EXPECT_EQ(program.ChildTexts(folder + L"\\sub"), std::vector<std::wstring>{L"b.php"});

        const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
        ExpectOpens(sameLength, false);
        ExpectOpens(folder + L"\\a.php", false);
        ExpectOpens(folder + L"\\sub\\b.php", false);
        EXPECT_EQ(TreeFacts(program.TreeWindow()), tree);
        EXPECT_EQ(FileTree(base.Path()), files);
        program.Command(kMenuRefresh);
    }
    EXPECT_TRUE(program.ui.boxes.empty());
}

// Wine's name for a Unix path, or "" when not running under Wine.
std::wstring DosPath(const std::string& unix) {
    using Convert = WCHAR*(CDECL*)(LPCSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_dos_file_name")));
    if (!convert) return {};
    WCHAR* dos = convert(unix.c_str());
    if (!dos) return {};
    std::wstring result = dos;
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return result;
}

// A folder of many entries: sub-folders d00001..., files f000001.php... that pass the filter
// and g00001.bmp... that do not. Under Wine it is made on the Unix side, in memory when
// /dev/shm allows (a fifth of the time on disk), and removed there again.
class ManyEntries {
  public:
    ManyEntries(const TempFolder& scratch, int folders, int passing, int filtered)
        : scratch_(scratch) {
        if (!UnderWine()) {
            MakeHere(scratch / L"many", folders, passing, filtered);
            return;
        }
        const std::wstring note = scratch / L"many-folder.txt";
        char command[1024];
        std::snprintf(command, sizeof(command),
                      "d=$(/bin/mktemp -d /dev/shm/volane-many.XXXXXX 2>/dev/null || "
                      "/bin/mktemp -d '%s/many.XXXXXX') && cd $d && "
                      "/usr/bin/seq -f d%%05.0f 1 %d | /usr/bin/xargs /bin/mkdir && "
                      "/usr/bin/seq -f f%%06.0f.php 1 %d | /usr/bin/xargs /usr/bin/touch && "
                      "/usr/bin/seq -f g%%05.0f.bmp 1 %d | /usr/bin/xargs /usr/bin/touch && "
                      "echo $d > '%s'",
                      UnixPath(scratch.Path()).c_str(), folders, passing, filtered,
                      UnixPath(note).c_str());
        if (!RunUnix(command, scratch_)) return;
        std::string folder = ReadBytes(note);
        while (!folder.empty() && (folder.back() == '\n' || folder.back() == '\r'))
            folder.pop_back();
        unix_ = folder;
        path_ = DosPath(folder);
    }
    ~ManyEntries() {
        if (!unix_.empty()) RunUnix("/bin/rm -rf '" + unix_ + "'", scratch_);
    }
    ManyEntries(const ManyEntries&) = delete;
    ManyEntries& operator=(const ManyEntries&) = delete;
    // Empty when the folder could not be made.
    const std::wstring& Path() const { return path_; }

  private:
    void MakeHere(const std::wstring& folder, int folders, int passing, int filtered) {
        if (!MakeFolder(folder)) return;
        wchar_t name[32];
        for (int i = 1; i <= folders; ++i) {
            std::swprintf(name, std::size(name), L"\\d%05d", i);
            if (!MakeFolder(folder + name)) return;
        }
        for (int i = 1; i <= passing; ++i) {
            std::swprintf(name, std::size(name), L"\\f%06d.php", i);
            if (!WriteBytes(folder + name, "")) return;
        }
        for (int i = 1; i <= filtered; ++i) {
            std::swprintf(name, std::size(name), L"\\g%05d.bmp", i);
            if (!WriteBytes(folder + name, "")) return;
        }
        path_ = folder;
    }

    const TempFolder& scratch_;
    std::string unix_;
    std::wstring path_;
};

TEST_F(RobustnessListingTest, HundredThousandEntries) {
    constexpr int kFolders = 1000, kPassing = 98000, kFiltered = 1000;
    ManyEntries many(work, kFolders, kPassing, kFiltered);
    const std::wstring& big = many.Path();
    ASSERT_FALSE(big.empty());
    const std::size_t roots = program.main.Tree().Count();
    program.AddRoot(big);

    const DWORD started = ::GetTickCount();
    ASSERT_TRUE(program.List(big));
    RecordProperty("listing_ms", std::to_string(::GetTickCount() - started));

    HWND tree = program.TreeWindow();
    const std::size_t listed = kFolders + kPassing;
    EXPECT_EQ(program.main.Tree().Children(big), listed);
    EXPECT_EQ(program.main.Tree().Count(), roots + 1 + listed);
    EXPECT_EQ(static_cast<std::size_t>(TreeView_GetCount(tree)), roots + 1 + listed);
    // Every step through Wine's tree view looks its item up among all items, so only the start
    // of the children is walked: the sub-folders first, then the files.
    HTREEITEM child = TreeView_GetChild(tree, program.Item(big));
    for (int i = 0; i <= kFolders && child; ++i, child = TreeView_GetNextSibling(tree, child)) {
        const NodeFacts node = ReadNodeFacts(tree, child, 0);
        EXPECT_EQ(node.image == GetImageIndex(L"folder"), i < kFolders) << Utf8(node.text);
        EXPECT_EQ(node.text.ends_with(L".php"), i == kFolders) << Utf8(node.text);
        EXPECT_EQ(node.key, big + L"\\" + node.text);
    }
    // The big folder is the last root: its last child is the last item. It opens like any.
    HTREEITEM last = TreeView_GetLastVisible(tree);
    const NodeFacts lastNode = ReadNodeFacts(tree, last, 0);
    EXPECT_EQ(lastNode.text.size(), 11u);
    EXPECT_TRUE(lastNode.text.ends_with(L".php")) << Utf8(lastNode.text);
    ExpectOpens(lastNode.key, false, last);

    program.Command(kMenuRefresh);
    EXPECT_EQ(program.main.Tree().Count(), roots);
    EXPECT_EQ(static_cast<std::size_t>(TreeView_GetCount(tree)), roots);
}

TEST_F(RobustnessListingTest, LinkedFoldersListOneLevelAtATime) {
    if (!UnderWine()) GTEST_SKIP() << "the links are made on the Unix side of Wine";
    ASSERT_TRUE(MakeFolder(site + L"\\target"));
    ASSERT_TRUE(WriteBytes(site + L"\\target\\a.php", "x"));
    const std::string unixSite = UnixPath(site);
    ASSERT_TRUE(RunUnix("cd '" + unixSite +
                            "' && /bin/ln -s target link && /bin/ln -s . loop && "
                            "/bin/ln -s missing dangling && /bin/ln -s target/a.php flink.php",
                        work));
    // The Windows side cannot delete the links; the Unix side does, whatever happens.
    struct Unlink {
        const TempFolder& scratch;
        std::string folder;
        ~Unlink() {
            RunUnix("cd '" + folder + "' && /bin/rm -f link loop dangling flink.php", scratch);
        }
    } unlink{work, unixSite};
    program.AddRoot(site);
    ASSERT_TRUE(program.List(site));
    // The dangling link is no entry at all; the others are what they point at.
    const std::vector<NameCase> top = {{L"target", true, true, false},
                                       {L"link", true, true, false},
                                       {L"loop", true, true, false},
                                       {L"flink.php", false, true, false}};
    ExpectListing(program, site, top);

    ASSERT_TRUE(program.List(site + L"\\link"));
    EXPECT_EQ(program.ChildTexts(site + L"\\link"), std::vector<std::wstring>{L"a.php"});
    // A link to its own folder lists that folder again below itself, one level per
    // double-click, each with keys of its own.
    std::wstring loop = site + L"\\loop";
    for (int level = 0; level < 3; ++level) {
        ASSERT_TRUE(program.List(loop)) << level;
        ExpectListing(program, loop, top);
        ExpectPlainKeys(loop);
        loop += L"\\loop";
    }
    ExpectOpens(site + L"\\link\\a.php", false);
    ExpectOpens(site + L"\\loop\\loop\\flink.php", false);
    EXPECT_TRUE(program.ui.boxes.empty());
}

TEST_F(RobustnessListingTest, FolderDeletedAfterListingGoesToTheEditor) {
    ASSERT_TRUE(MakeFolder(site + L"\\gone"));
    ASSERT_TRUE(WriteBytes(site + L"\\gone\\x.php", "x"));
    ASSERT_TRUE(WriteBytes(site + L"\\gone.php", "x"));
    program.AddRoot(site);
    ASSERT_TRUE(program.List(site));
    ASSERT_EQ(program.ChildTexts(site), (std::vector<std::wstring>{L"gone", L"gone.php"}));
    RemoveTree(site + L"\\gone");
    RemoveTree(site + L"\\gone.php");

    const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
    ExpectOpens(site + L"\\gone", false);
    ExpectOpens(site + L"\\gone.php", false);
    EXPECT_EQ(TreeFacts(program.TreeWindow()), tree);
    EXPECT_TRUE(program.ui.boxes.empty());
}

TEST_F(RobustnessListingTest, FolderLockedAfterListingSaysWhyAndChangesNothing) {
    ASSERT_TRUE(MakeFolder(site + L"\\locked"));
    ASSERT_TRUE(WriteBytes(site + L"\\locked\\x.php", "x"));
    program.AddRoot(site);
    ASSERT_TRUE(program.List(site));
    const std::wstring locked = site + L"\\locked";
    {
        // Held open without sharing: it exists, but no one else may open it for listing.
        win32::unique_handle held(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                                nullptr));
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
        ASSERT_TRUE(program.DoubleClick(locked, [&] { return !program.ui.boxes.empty(); }));
        ASSERT_EQ(program.ui.boxes.size(), 1u);
        EXPECT_EQ(program.ui.boxes[0].first, win32::SystemErrorText(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(program.ui.boxes[0].second, L"提示：");
        EXPECT_EQ(TreeFacts(program.TreeWindow()), tree);
        EXPECT_TRUE(program.process.starts.empty());
    }
    // Once free again, the next double-click lists it.
    ASSERT_TRUE(program.List(locked));
    EXPECT_EQ(program.ChildTexts(locked), std::vector<std::wstring>{L"x.php"});
}

// A drive letter mapped onto a Unix folder through Wine's dosdevices links; reachable at once,
// though only a restarted server lists it among the logical drives. A missing target stands
// for a drive without a medium. The first letter from P on that is neither a drive nor a link
// (a link to a missing target is no drive) is taken.
class WineDriveLink {
  public:
    WineDriveLink(const TempFolder& scratch, const std::string& unixTarget) : scratch_(scratch) {
        const std::string cRoot = UnixPath(L"C:\\");  // .../dosdevices/c:/
        devices_ = cRoot.substr(0, cRoot.size() - 4);
        std::string letters;
        for (char letter = 'p'; letter <= 'y'; ++letter)
            if (!(::GetLogicalDrives() & (1u << (letter - 'a'))))
                letters += std::string(" ") + letter;
        static int serial = 0;
        const std::wstring chosen = scratch / (L"drive-" + std::to_wstring(++serial));
        if (!RunUnix("cd '" + devices_ + "' && for l in" + letters +
                         "; do if [ ! -e $l: ] && [ ! -L $l: ]; then /bin/ln -s '" + unixTarget +
                         "' $l: && echo $l > '" + UnixPath(chosen) + "'; break; fi; done",
                     scratch_))
            return;
        const std::string letter = ReadBytes(chosen).substr(0, 1);
        if (letter.empty()) return;
        link_ = letter + ":";
        root_ = {static_cast<wchar_t>(std::toupper(letter[0])), L':', L'\\'};
    }
    ~WineDriveLink() {
        if (!link_.empty()) RunUnix("/bin/rm -f '" + devices_ + "/" + link_ + "'", scratch_);
    }
    WineDriveLink(const WineDriveLink&) = delete;
    WineDriveLink& operator=(const WineDriveLink&) = delete;
    const std::wstring& Root() const { return root_; }

  private:
    const TempFolder& scratch_;
    std::string devices_;
    std::string link_;
    std::wstring root_;
};

TEST_F(RobustnessListingTest, DriveWithoutMediumGoesToTheEditorAndAnEmptyOneListsNothing) {
    if (!UnderWine()) GTEST_SKIP() << "drives are mapped through Wine's dosdevices";
    WineDriveLink noMedium(work, UnixPath(work.Path()) + "/no-medium");
    ASSERT_FALSE(noMedium.Root().empty());
    ASSERT_TRUE(MakeFolder(work / L"empty-medium"));
    WineDriveLink empty(work, UnixPath(work / L"empty-medium"));
    ASSERT_FALSE(empty.Root().empty());
    program.AddRoot(noMedium.Root());
    program.AddRoot(empty.Root());

    const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
    ExpectOpens(noMedium.Root(), false);
    EXPECT_EQ(TreeFacts(program.TreeWindow()), tree);

    ASSERT_TRUE(program.List(empty.Root()));
    EXPECT_TRUE(program.ChildTexts(empty.Root()).empty());
    EXPECT_EQ(program.process.starts.size(), 1u);
    EXPECT_TRUE(program.ui.boxes.empty());
}

}  // namespace
}  // namespace volane::test
