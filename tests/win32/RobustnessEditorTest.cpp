// The editor command as the user may give it: missing programs, paths with blanks, command
// lines up to and beyond what the system takes, programs that end at once and things that are
// no program at all. A double-click on a file of the real tree starts it or silently does not;
// the tree stays as it was and nothing is shown.
#include "tests/win32/RobustnessFixtures.h"

namespace volane::test {
namespace {

// The longest command line CreateProcessW takes, without its terminating zero.
constexpr std::size_t kLongestCommandLine = 32766;

class RobustnessEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(exeFolder));
        ASSERT_TRUE(WriteBytes(exeFolder + L"\\setup.ini", "[setup]\r\nfileTypes=php;\r\n"));
        ASSERT_TRUE(MakeFolder(site));
        ASSERT_TRUE(WriteBytes(file, "<?php"));
        ASSERT_TRUE(MakeFolder(work / L"editor dir"));
        ASSERT_TRUE(::CopyFileW(RecorderPath().c_str(), spacedEditor.c_str(), FALSE))
            << "recorder.exe must be built into bin\\e2e";
        ASSERT_TRUE(WriteBytes(work / L"notes.txt", "not a program"));
        program.Start();
        program.AddRoot(site);
        ASSERT_TRUE(program.List(site));
        ASSERT_EQ(program.ChildTexts(site), std::vector<std::wstring>{L"a.php"});
    }

    // An editor command whose whole command line, with the file's path, has `length` characters.
    std::wstring CommandOfLength(std::size_t length) const {
        const std::wstring start = Quoted(RecorderPath()) + L" ";
        return start + std::wstring(length - start.size() - 1 - file.size(), L'x');
    }

    TempFolder work{L"rob-editor"};
    TempFolder records{L"rob-rec"};
    EditorRecord record{records};
    std::wstring exeFolder = work / L"program";
    std::wstring site = work / L"site";
    std::wstring file = site + L"\\a.php";
    std::wstring spacedEditor = work / L"editor dir\\rec order.exe";
    RealProgram program{exeFolder};
};

enum class Recorded {
    Nothing,  // the command is not started, or is no recorder
    Exactly,  // the recorder got the whole line unchanged
    Argument  // the recorder got the path as its argument (Wine quotes an unquoted program)
};

TEST_F(RobustnessEditorTest, EveryCommandStartsOrFailsSilently) {
    const struct {
        const char* what;
        std::wstring command;
        bool started;
        Recorded recorded;
    } cases[] = {
        {"missing program", L"C:\\missing\\editor.exe", false, Recorded::Nothing},
        {"missing program with blanks", L"\"C:\\no such\\editor.exe\" -n", false,
         Recorded::Nothing},
        {"program path with blanks, quoted", Quoted(spacedEditor), true, Recorded::Exactly},
        {"program path with blanks, unquoted", spacedEditor, true, Recorded::Argument},
        {"30,000-character command line", CommandOfLength(30000), true, Recorded::Exactly},
        {"longest command line", CommandOfLength(kLongestCommandLine), true, Recorded::Exactly},
        // One character more would be cut, and a cut path names another file.
        {"command line one too long", CommandOfLength(kLongestCommandLine + 1), false,
         Recorded::Nothing},
        {"40,000-character command line", CommandOfLength(40000), false, Recorded::Nothing},
        {"program that exits at once", L"C:\\windows\\system32\\cmd.exe /c exit 3", true,
         Recorded::Nothing},
        {"a document as program", work / L"notes.txt", false, Recorded::Nothing},
        {"a folder as program", Quoted(work.Path()), false, Recorded::Nothing},
    };
    const std::set<HWND> windows = OwnVisibleWindows();
    const std::vector<NodeFacts> tree = TreeFacts(program.TreeWindow());
    const std::vector<FileFacts> files = FileTree(work.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        program.process.editorCommand = c.command;
        const std::size_t lines = record.Lines().size();
        ASSERT_TRUE(program.Open(file));
        const StartRecord& start = program.process.starts.back();
        const std::wstring line = c.command + L" " + file;
        EXPECT_EQ(start.commandLine, line);
        EXPECT_EQ(start.started, c.started);
        if (c.recorded == Recorded::Nothing) {
            // Given time to show up, no recorder has written anything.
            PumpMessages(300);
            EXPECT_EQ(record.Lines().size(), lines);
        } else {
            ASSERT_TRUE(record.WaitForLines(lines + 1));
            const std::wstring got = record.Lines().back();
            if (c.recorded == Recorded::Exactly) {
                EXPECT_EQ(got, line);
            } else {
                EXPECT_TRUE(got.ends_with(L" " + file)) << Utf8(got);
            }
        }
        EXPECT_EQ(TreeFacts(program.TreeWindow()), tree);
        EXPECT_TRUE(program.ui.boxes.empty());
        EXPECT_EQ(OwnVisibleWindows(), windows);
    }
    EXPECT_EQ(FileTree(work.Path()), files);
}

}  // namespace
}  // namespace volane::test
