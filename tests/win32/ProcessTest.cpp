// Process: the single-instance mutex, the command line, the executable's folder and starting
// programs. Several cases start this test executable again as a child that reports what it
// sees (the disabled test ProcessChild.DISABLED_Report).
#include <map>
#include <optional>

#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

constexpr wchar_t kReportVariable[] = L"VOLANE_SVC_REPORT";
constexpr wchar_t kChildArguments[] =
    L" --gtest_filter=ProcessChild.DISABLED_Report --gtest_also_run_disabled_tests"
    L" --gtest_brief=1";

// Run only as the child of the cases below: writes what the child process sees.
TEST(ProcessChild, DISABLED_Report) {
    std::wstring report(32768, L'\0');
    report.resize(::GetEnvironmentVariableW(kReportVariable, report.data(),
                                            static_cast<DWORD>(report.size())));
    ASSERT_FALSE(report.empty());
    bool another = false;
    {
        win32::Process first;
        another = first.AnotherInstanceRunning();
    }  // closes the name again before the parent goes on
    win32::Process process;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    const std::wstring text = L"another=" + std::to_wstring(another) + L"\nuseshow=" +
                              std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) != 0) +
                              L"\nshow=" + std::to_wstring(startup.wShowWindow) + L"\nfolder=" +
                              process.ExeFolder() + L"\ntail=" + process.CommandLineTail() + L"\n";
    // Written aside and renamed, so the parent never reads half a report.
    ASSERT_TRUE(WriteBytes(report + L".part", Utf8(text)));
    ASSERT_TRUE(::MoveFileExW(Extended(report + L".part").c_str(), Extended(report).c_str(),
                              MOVEFILE_REPLACE_EXISTING));
}

class ProcessTest : public ::testing::Test {
  protected:
    // Starts the executable as a child with the given extra arguments and returns its report.
    std::map<std::wstring, std::wstring> RunChild(const std::wstring& exe,
                                                  const std::wstring& extra = L"",
                                                  int show = kShowMinimized) {
        static int serial = 0;
        const std::wstring report = temp / (L"report-" + std::to_wstring(++serial) + L".txt");
        ::SetEnvironmentVariableW(kReportVariable, report.c_str());
        const bool started = process.Start(L"\"" + exe + L"\"" + kChildArguments + extra, show);
        ::SetEnvironmentVariableW(kReportVariable, nullptr);
        EXPECT_TRUE(started) << Utf8(exe);
        std::map<std::wstring, std::wstring> fields;
        if (!started) return fields;
        EXPECT_TRUE(WaitUntil([&] { return Exists(report); })) << "no report from the child";
        const std::wstring text = FromUtf8(ReadBytes(report));
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find(L'\n', start);
            const std::wstring line = text.substr(start, end - start);
            const std::size_t equals = line.find(L'=');
            fields[line.substr(0, equals)] = line.substr(equals + 1);
            start = end + 1;
        }
        return fields;
    }

    // A copy of this executable at the given path, removed when the child has let go of it.
    struct ExeCopy {
        explicit ExeCopy(std::wstring p) : path(std::move(p)) {
            ok = ::CopyFileW(Extended(TestExePath()).c_str(), Extended(path).c_str(), FALSE);
        }
        ~ExeCopy() {
            WaitUntil([&] { return ::DeleteFileW(Extended(path).c_str()) || !Exists(path); });
        }
        std::wstring path;
        bool ok = false;
    };

    win32::Process process;
    TempFolder temp{L"proc"};
};

TEST_F(ProcessTest, StartGivesFalseForWhatCannotBeStarted) {
    const struct {
        const wchar_t* commandLine;
        bool started;
    } cases[] = {
        {L"C:\\missing\\nothing.exe", false},
        {L"C:\\missing\\nothing.exe C:\\work\\a.php", false},
        {L"", false},
        {L"   ", false},
        {L"cmd /c exit 0", true},
        {L"\"C:\\windows\\system32\\cmd.exe\" /c exit 0", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(process.Start(c.commandLine, kShowMinimized), c.started) << Utf8(c.commandLine);
}

TEST_F(ProcessTest, StartPassesTheCommandLineAndTheShowValue) {
    const std::wstring extra = L"  C:\\my work\\a b.txt \"quoted part\"";
    for (int show : {kShowNormal, kShowMinimized}) {
        auto report = RunChild(TestExePath(), extra, show);
        EXPECT_EQ(report[L"useshow"], L"1");
        EXPECT_EQ(report[L"show"], std::to_wstring(show));
        // The child's own view of its command line: everything after its name, unchanged.
        EXPECT_EQ(report[L"tail"], std::wstring(kChildArguments + 1) + extra);
    }
}

TEST_F(ProcessTest, AnotherInstanceWithinOneProcess) {
    {
        win32::Process first;
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_FALSE(first.AnotherInstanceRunning());  // its own hold does not count
        win32::Process second;
        EXPECT_TRUE(second.AnotherInstanceRunning());
    }
    win32::Process afterwards;
    EXPECT_FALSE(afterwards.AnotherInstanceRunning());
}

TEST_F(ProcessTest, AnotherInstanceExactlyWhileOneRuns) {
    std::optional<win32::Process> running(std::in_place);
    ASSERT_FALSE(running->AnotherInstanceRunning());
    EXPECT_EQ(RunChild(TestExePath())[L"another"], L"1");
    running.reset();
    EXPECT_EQ(RunChild(TestExePath())[L"another"], L"0");
}

TEST_F(ProcessTest, ExeFolderOfThisExecutable) {
    const std::wstring exe = TestExePath();
    EXPECT_EQ(process.ExeFolder(), exe.substr(0, exe.find_last_of(L'\\')));
}

TEST_F(ProcessTest, ExeFolderInADriveRootKeepsItsBackslash) {
    ExeCopy copy(L"C:\\volane-svc-" + std::to_wstring(::GetCurrentProcessId()) + L".exe");
    if (!copy.ok) GTEST_SKIP() << "the drive root is not writable here";
    EXPECT_EQ(RunChild(copy.path)[L"folder"], L"C:\\");
}

}  // namespace
}  // namespace volane::test
