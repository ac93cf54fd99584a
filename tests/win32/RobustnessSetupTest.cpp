// setup.ini beside the executable, in every shape a user or a broken disk may leave it: the
// real program lists a folder after each, and the tree shows exactly the files the type list
// lets through. The file is only ever read: its bytes and its time stamp stay, and nothing
// else appears beside it.
#include <random>

#include "forms/FormDesigns.h"
#include "tests/win32/RobustnessFixtures.h"

namespace volane::test {
namespace {

// The folder every case lists: one sub-folder and one file of each kind.
const std::vector<std::wstring> kFiles = {L"a.php", L"b.html", L"c.txt", L"d.css",
                                          L"e.bmp", L"f.htm",  L"g.js"};

std::string Utf16WithBom(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string LargeFile() {
    std::string bytes;
    while (bytes.size() < (1u << 20))
        bytes += "; a comment line that fills the file\r\nkey=value\r\n";
    return bytes + "[setup]\r\nfileTypes=txt;\r\n";
}

std::string RandomBytes() {
    std::mt19937 random(4001);
    std::string bytes(65536, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    return bytes;
}

class RobustnessSetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(exeFolder));
        ASSERT_TRUE(MakeFolder(listed));
        ASSERT_TRUE(MakeFolder(listed + L"\\sub"));
        for (const std::wstring& name : kFiles) ASSERT_TRUE(WriteBytes(listed + L"\\" + name, "x"));
        program.Start();
    }

    // Lists the folder afresh (refresh, then a double-click on its node) and gives the names
    // of the files among its children, sorted; the sub-folder must come first.
    std::vector<std::wstring> ListedFiles() {
        program.Command(kMenuRefresh);
        program.AddRoot(listed);
        EXPECT_TRUE(program.List(listed));
        std::vector<std::wstring> texts = program.ChildTexts(listed);
        if (texts.empty() || texts[0] != L"sub") {
            ADD_FAILURE() << "the sub-folder is not listed first";
            return texts;
        }
        texts.erase(texts.begin());
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    // Writes setup.ini with an old time stamp, lists, and checks that the file is as written.
    // Each write gets a time stamp of its own, as an editor's save does: Wine's profile reader
    // keeps the last files it read and reads one again only when its time stamp changed.
    std::vector<std::wstring> ListWith(const std::wstring& folder, const std::string& bytes) {
        const std::wstring file = folder + L"\\setup.ini";
        EXPECT_TRUE(WriteBytes(file, bytes));
        EXPECT_TRUE(SetWriteTime(file, kOldWriteTime + 10'000'000ull * ++writes));
        const std::vector<FileFacts> before = FileTree(folder);
        std::vector<std::wstring> files = ListedFiles();
        EXPECT_EQ(ReadBytes(file), bytes);
        EXPECT_EQ(FileTree(folder), before);  // the time stamp included
        return files;
    }

    int writes = 0;
    TempFolder work{L"rob-setup"};
    std::wstring exeFolder = work / L"program";
    std::wstring listed = work / L"site";
    RealProgram program{exeFolder};
};

using Files = std::vector<std::wstring>;

TEST_F(RobustnessSetupTest, EveryShapeOfTheFileGivesItsListing) {
    const std::string padding(292, 'x');
    const struct {
        const char* what;
        std::string bytes;
        Files listed;
    } cases[] = {
        {"typical, CRLF",
         "[setup]\r\nfileTypes=html;htm;css;js;php;txt;\r\n",
         {L"a.php", L"b.html", L"c.txt", L"d.css", L"f.htm", L"g.js"}},
        {"LF only", "[setup]\nfileTypes=php;txt;\n", {L"a.php", L"c.txt"}},
        {"empty file", "", {}},
        {"no [setup] section", "[main]\r\nfileTypes=php;\r\n", {}},
        {"key missing", "[setup]\r\nother=php;\r\n", {}},
        {"empty value", "[setup]\r\nfileTypes=\r\n", {}},
        {"duplicate keys: the first counts",
         "[setup]\r\nfileTypes=php;\r\nfileTypes=html;\r\n",
         {L"a.php"}},
        {"duplicate sections: the first counts",
         "[setup]\r\nfileTypes=css;\r\n[setup]\r\nfileTypes=html;\r\n",
         {L"d.css"}},
        // 300 characters: php; stands within the first 255, txt; beyond them.
        {"300-character value", "[setup]\r\nfileTypes=php;" + padding + ";txt;\r\n", {L"a.php"}},
        {"1 MiB file, key at its end", LargeFile(), {L"c.txt"}},
        {"random binary", RandomBytes(), {}},
        {"UTF-16 with BOM",
         Utf16WithBom(L"[setup]\r\nfileTypes=htm;php;\r\n"),
         {L"a.php", L"f.htm"}},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[setup]\r\nfileTypes=js;\r\n", {L"g.js"}},
        // Blanks and tabs around the key and the value go; a tab inside the value stays and
        // separates nothing, as any character between entries.
        {"blanks and tabs",
         "[setup]\r\n  fileTypes \t=  \t php;\thtml; \t \r\n",
         {L"a.php", L"b.html"}},
        {"only a semicolon", "[setup]\r\nfileTypes=;\r\n", {}},
        {"leading semicolon", "[setup]\r\nfileTypes=;css;\r\n", {L"d.css"}},
        {"upper case everywhere", "[SETUP]\r\nFILETYPES=PHP;JS;\r\n", {L"a.php", L"g.js"}},
        {"last entry without semicolon", "[setup]\r\nfileTypes=php;txt\r\n", {L"a.php"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListWith(exeFolder, c.bytes), c.listed) << c.what;
    }
    EXPECT_TRUE(program.ui.boxes.empty());
    EXPECT_TRUE(program.process.starts.empty());
}

TEST_F(RobustnessSetupTest, MissingFileListsFoldersOnlyAndIsNotCreated) {
    const std::vector<FileFacts> before = FileTree(work.Path());
    EXPECT_EQ(ListedFiles(), Files{});
    EXPECT_FALSE(Exists(exeFolder + L"\\setup.ini"));
    EXPECT_EQ(FileTree(work.Path()), before);
}

TEST_F(RobustnessSetupTest, AnEditAppliesFromTheNextListing) {
    EXPECT_EQ(ListWith(exeFolder, "[setup]\r\nfileTypes=php;\r\n"), Files{L"a.php"});
    EXPECT_EQ(ListWith(exeFolder, "[setup]\r\nfileTypes=html;\r\n"), Files{L"b.html"});
    ASSERT_TRUE(::DeleteFileW((exeFolder + L"\\setup.ini").c_str()));
    EXPECT_EQ(ListedFiles(), Files{});
}

TEST_F(RobustnessSetupTest, ExecutableFolderWithANameOutsideTheAnsiCodePage) {
    if (!NonAsciiNamesWork(work.Path())) GTEST_SKIP() << kNoNonAsciiNames;
    const std::wstring folder = work / L"程序 ☃ naïve";
    ASSERT_TRUE(MakeFolder(folder));
    program.process.exeFolder = folder;
    EXPECT_EQ(ListWith(folder, "[setup]\r\nfileTypes=js;css;\r\n"), (Files{L"d.css", L"g.js"}));
}

// setup.ini in the root of drive C:, removed again whatever happens.
class RootSetupFile {
  public:
    RootSetupFile() {
        if (Exists(kPath)) return;  // someone else's: left alone
        owned_ = WriteBytes(kPath, "") && ::DeleteFileW(kPath);
    }
    ~RootSetupFile() {
        if (owned_) ::DeleteFileW(kPath);
    }
    RootSetupFile(const RootSetupFile&) = delete;
    RootSetupFile& operator=(const RootSetupFile&) = delete;
    bool Owned() const { return owned_; }
    static constexpr const wchar_t* kPath = L"C:\\setup.ini";

  private:
    bool owned_ = false;
};

TEST_F(RobustnessSetupTest, ExecutableInADriveRootReadsTheRootsFile) {
    RootSetupFile root;
    if (!root.Owned()) GTEST_SKIP() << "C:\\setup.ini exists already or C:\\ is not writable";
    // The folder as the platform reports it for an executable in the root: "C:\".
    program.process.exeFolder = L"C:\\";
    const std::string bytes = "[setup]\r\nfileTypes=txt;htm;\r\n";
    ASSERT_TRUE(WriteBytes(RootSetupFile::kPath, bytes));
    ASSERT_TRUE(SetWriteTime(RootSetupFile::kPath, kOldWriteTime));
    EXPECT_EQ(ListedFiles(), (Files{L"c.txt", L"f.htm"}));
    EXPECT_EQ(ReadBytes(RootSetupFile::kPath), bytes);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(RootSetupFile::kPath, GetFileExInfoStandard, &data));
    EXPECT_EQ(
        (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime,
        kOldWriteTime);
}

}  // namespace
}  // namespace volane::test
