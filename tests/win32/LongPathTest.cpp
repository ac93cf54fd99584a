#include "platform/win32/LongPath.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

TEST(LongPathTest, ShareGetsTheUncFormAndDotsAndSlashesAreResolvedFirst) {
    const std::pair<std::wstring, std::wstring> extended[] = {
        {L"C:\\a\\b", L"\\\\?\\C:\\a\\b"},
        {L"c:/a/./b/../c", L"\\\\?\\c:\\a\\c"},
        {L"C:\\\\a", L"\\\\?\\C:\\a"},
        {L"\\\\server\\share\\d\\e.txt", L"\\\\?\\UNC\\server\\share\\d\\e.txt"},
        {L"//server/share/d/../e", L"\\\\?\\UNC\\server\\share\\e"},
        {L"\\\\server\\share\\d\\.\\e", L"\\\\?\\UNC\\server\\share\\d\\e"},
        {L"\\\\?\\C:\\x\\..", L"\\\\?\\C:\\x\\.."},
        {L"\\\\.\\pipe\\p", L"\\\\.\\pipe\\p"},
        {L"a\\b", L"a\\b"},
        // The letters at the ends of both ranges, and the characters just outside them.
        {L"A:\\", L"\\\\?\\A:\\"},
        {L"Z:\\", L"\\\\?\\Z:\\"},
        {L"a:\\", L"\\\\?\\a:\\"},
        {L"z:\\", L"\\\\?\\z:\\"},
        {L"@:\\", L"@:\\"},
        {L"[:\\", L"[:\\"},
        {L"`:\\", L"`:\\"},
        {L"{:\\", L"{:\\"}};
    for (const auto& [path, longForm] : extended) EXPECT_EQ(win32::ExtendedPath(path), longForm);
}

}  // namespace
}  // namespace volane::test
