#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

TEST(FileSystemTest, ListsAndTestsRealEntries) {
    const std::wstring temp = NewFolder();
    const std::wstring unicode = L"文件 ☃ 😀.php";  // outside code page 936 and the basic plane
    const std::wstring d150(150, L'd'), deep = d150 + L"\\" + std::wstring(150, L'e');
    // Made in order, "\\" at the end a folder: name, attributes set, listed with at the top (0:
    // not), folder, plain file. The plain path would drop trail.'s dot; deep is beyond MAX_PATH.
    const std::tuple<std::wstring, DWORD, DWORD, bool, bool> made[] = {
        {L"hs\\", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 22, true, false},
        {L"empty\\", 0, 16, true, false},
        {L"locked\\", 0, 16, true, false},
        {L"trail.\\", 0, 16, true, false},
        {L"trail.\\a.txt", 0, 0, false, true},
        {d150 + L"\\", 0, 16, true, false},
        {deep + L"\\", 0, 0, true, false},
        {deep + L"\\a.txt", 0, 0, false, true},
        {unicode, 0, 32, false, true},
        {L".a", 0, 32, false, true},  // dots that do not make "." or ".."
        {L"..b\\", 0, 16, true, false},
        {L"hidden.php", FILE_ATTRIBUTE_HIDDEN, 34, false, false},
        {L"system.php", FILE_ATTRIBUTE_SYSTEM, 36, false, false}};
    win32::FileSystem fs;
    std::map<std::wstring, DWORD> top;
    for (const auto& [name, attributes, listed, folder, plain] : made) {
        ASSERT_TRUE(name.back() == L'\\' ? MakeFolder(temp + name) : WriteBytes(temp + name, "x"));
        ASSERT_TRUE(!attributes ||
                    ::SetFileAttributesW((L"\\\\?\\" + temp + name).c_str(), attributes));
        if (listed) top[name.substr(0, name.find(L'\\'))] = listed;
        EXPECT_EQ(fs.FolderExists(temp + name), folder) << name.size();
        EXPECT_EQ(fs.IsPlainFile(temp + name), plain) << name.size();
    }
    EXPECT_FALSE(fs.FolderExists(temp + L"missing") || fs.IsPlainFile(temp + L"missing"));
    // Held open without sharing: it exists, but no one else may open it for listing.
    const HANDLE held = ::CreateFileW((temp + L"locked").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    // Folder, the failure, the entries with their attributes.
    const std::tuple<std::wstring, std::wstring, std::map<std::wstring, DWORD>> lists[] = {
        {temp, L"", top},
        {temp + L"empty", L"", {}},
        {temp + L"trail.", L"", {{L"a.txt", 32}}},
        {temp + deep, L"", {{L"a.txt", 32}}},
        {temp + L"locked", Failed(32), {}},   // ERROR_SHARING_VIOLATION
        {temp + L"missing", Failed(3), {}}};  // ERROR_PATH_NOT_FOUND
    for (const auto& [path, failure, entries] : lists) {
        Sink sink;
        EXPECT_EQ(Outcome(fs.Enumerate(path, sink)), failure) << path.size();
        EXPECT_EQ(sink.entries, entries) << path.size();
    }
    ::CloseHandle(held);
    // Listing, a drive without a medium fails quietly (SEM_FAILCRITICALERRORS |
    // SEM_NOOPENFILEERRORBOX); the thread's own mode is back after.
    ::SetThreadErrorMode(SEM_NOGPFAULTERRORBOX, nullptr);
    Sink quiet;
    EXPECT_TRUE(fs.Enumerate(temp, quiet));
    EXPECT_EQ(quiet.mode, 0x8001u);
    EXPECT_EQ(::GetThreadErrorMode(), 0x0002u);
    ::SetThreadErrorMode(0, nullptr);
    // A listing leaves no handle open: the count after the first stays after three more.
    Sink sink;
    EXPECT_TRUE(fs.Enumerate(temp, sink));
    const int handles = HandleCount();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(fs.Enumerate(temp, sink));
    EXPECT_EQ(HandleCount(), handles);
    // Failing part way, as when a share drops: the listing's handle (the table's free slot) is
    // closed at the first entry. What was read before stays.
    const std::wstring dropped = temp + L"dropped\\";
    ASSERT_TRUE(MakeFolder(dropped));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(WriteBytes(dropped + std::wstring(99, L'f') + std::to_wstring(i), ""));
    Sink partWay;
    partWay.drop = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ::CloseHandle(partWay.drop);
    EXPECT_EQ(Outcome(fs.Enumerate(dropped, partWay)), Failed(6));  // ERROR_INVALID_HANDLE
    EXPECT_TRUE(!partWay.entries.empty() && partWay.entries.size() < 300) << partWay.entries.size();
}

}  // namespace
}  // namespace volane::test
