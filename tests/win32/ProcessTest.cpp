#include <filesystem>
#include <fstream>

#include "tests/Watchdog.h"
#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

constexpr wchar_t kInstance[] = L"Local\\Volane.Test";

}  // namespace

// The process test's child, started as "--report FILE ...": writes its show value, the tail of
// its command line and its folder into FILE.
int Report(const std::wstring& file) {
    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    win32::Process process{kInstance};
    const std::wstring text =
        ((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_wstring(startup.wShowWindow)
                                                  : L"none") +
        L"\n" + process.CommandLineTail() + L"\n" + process.ExeFolder();
    return WriteBytes(file, {reinterpret_cast<const char*>(text.data()), text.size() * 2}) ? 0 : 2;
}

TEST(ProcessTest, StartsTheCommandLineUnchangedWithItsShowValue) {
    wchar_t self[MAX_PATH];
    const std::wstring exe(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    win32::Process process{kInstance};
    EXPECT_EQ(process.ExeFolder(), exe.substr(0, exe.rfind(L'\\')));
    // The child is a copy in a drive root, whose folder keeps its backslash.
    const std::wstring child = L"C:\\volane-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    const std::wstring report = NewFolder() + L"report ☃";
    ASSERT_TRUE(::CopyFileW(exe.c_str(), child.c_str(), FALSE));
    // The longest command line there is: 32766 characters.
    std::wstring tail = L"--report \"" + report + L"\"  C:\\my work\\a b.txt \"q\" ☃ ";
    tail.resize(32766 - child.size() - 3, L'x');
    ASSERT_TRUE(process.Start(L"\"" + child + L"\" " + tail, kShowMinimized)) << ::GetLastError();
    // Readable once the child has written it and let go.
    std::string got;
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::ifstream in(std::filesystem::path(report), std::ios::binary);
            got.assign(std::istreambuf_iterator<char>(in), {});
            return !got.empty();
        },
        20000));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(got.data()), got.size() / 2),
              L"2\n" + tail + L"\nC:\\");
    // One character more is refused as Windows refuses it.
    EXPECT_EQ(Outcome(process.Start(L"\"" + child + L"\" " + tail + L"x", kShowMinimized)),
              Failed(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(process.Start(L"C:\\missing\\nothing.exe C:\\a.txt", kShowNormal));
    // A start leaves no handle open: the count after the first stays after three more.
    const std::wstring quick = L"\"" + child + L"\" --report C:\\missing\\report";
    ASSERT_TRUE(process.Start(quick, kShowMinimized));
    const int handles = HandleCount();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(process.Start(quick, kShowMinimized));
    EXPECT_EQ(HandleCount(), handles);
    PumpUntil([&] { return ::DeleteFileW(child.c_str()) != FALSE; }, 10000);
}

// The folder from a module name at the first buffer's size (260), one either side of it, and one
// that grows the buffer twice.
TEST(ProcessTest, ExeFolderOfANameThatFillsTheBuffer) {
    win32::Process process{kInstance, &ModuleFileNameOf};
    // The folder's length, the sizes of the buffers asked with.
    const std::pair<std::size_t, std::vector<std::wstring>> cases[] = {
        {257, {L"260"}},
        {258, {L"260", L"520"}},
        {259, {L"260", L"520"}},
        {600, {L"260", L"520", L"1040"}}};
    for (const auto& [length, sizes] : cases) {
        const std::wstring folder = L"C:\\" + std::wstring(length - 3, L'f');
        modulePath = folder + L"\\v";
        calls.clear();
        EXPECT_EQ(process.ExeFolder(), folder) << length;
        EXPECT_EQ(calls, sizes) << length;
    }
}

TEST(ProcessTest, HoldsTheSingleInstanceName) {
    win32::Process first{kInstance}, second{kInstance};
    EXPECT_FALSE(first.AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
    EXPECT_FALSE(first.AnotherInstanceRunning());  // its own hold does not count
}

}  // namespace volane::test

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && std::wstring_view(argv[1]) == L"--report") return volane::test::Report(argv[2]);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    volane::test::WatchEachTest(30);
    // A crash fails the test it happened in and ends the run at once: left to the system, Wine's
    // debugger would hold the process until the whole run timed out.
    ::SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* e) -> LONG {
        std::fprintf(stderr, "FAIL: %s crashed with exception 0x%08lX\n", volane::test::watchedName,
                     e->ExceptionRecord->ExceptionCode);
        std::fflush(stderr);
        ::TerminateProcess(::GetCurrentProcess(), 3);
        return EXCEPTION_EXECUTE_HANDLER;
    });
    return RUN_ALL_TESTS();
}
