// Profile on real setup.ini files: what the 256-byte narrow read gives, and that nothing is
// ever written.
#include <random>

#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

class ProfileTest : public ::testing::Test {
  protected:
    std::wstring Read(const std::wstring& file, const std::wstring& key = L"fileTypes") {
        return profile.ReadString(L"setup", key, file);
    }

    win32::Profile profile;
    TempFolder temp{L"ini"};
};

std::string Utf16Le(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string Ansi(std::wstring_view text) {
    return win32::CodePage().ToAnsi(text);
}

TEST_F(ProfileTest, FileContents) {
    const std::string v300(300, 'x');
    std::string big;
    while (big.size() < (1u << 20)) big += "; filler line of a large settings file\r\nk=v\r\n";
    big += "[setup]\r\nfileTypes=php;\r\n";

    const struct {
        const char* what;
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {"typical", "[setup]\r\nfileTypes=html;htm;css;js;php;txt;\r\n",
         L"html;htm;css;js;php;txt;"},
        {"LF only", "[setup]\nfileTypes=php;\n", L"php;"},
        {"no line end at all", "[setup]\r\nfileTypes=php;", L"php;"},
        {"other key only", "[setup]\r\nother=php;\r\n", L""},
        {"other section only", "[main]\r\nfileTypes=php;\r\n", L""},
        {"empty value", "[setup]\r\nfileTypes=\r\n", L""},
        {"empty file", "", L""},
        {"names in another case", "[SETUP]\r\nFILETYPES=php;\r\n", L"php;"},
        // The profile reader drops blanks around the value; quotes keep them for the caller.
        {"blanks around", "[setup]\r\nfileTypes =   html;php;   \r\n", L"html;php;"},
        {"quoted blanks", "[setup]\r\nfileTypes=\"  html;php;  \"\r\n", L"  html;php;  "},
        {"comment line", "[setup]\r\n;fileTypes=no;\r\nfileTypes=php;\r\n", L"php;"},
        {"300 characters", "[setup]\r\nfileTypes=" + v300 + "\r\n", std::wstring(255, L'x')},
        {"255 characters", "[setup]\r\nfileTypes=" + v300.substr(0, 255) + "\r\n",
         std::wstring(255, L'x')},
        {"256 characters", "[setup]\r\nfileTypes=" + v300.substr(0, 256) + "\r\n",
         std::wstring(255, L'x')},
        {"duplicate keys: the first wins", "[setup]\r\nfileTypes=first;\r\nfileTypes=second;\r\n",
         L"first;"},
        {"UTF-16 with BOM", Utf16Le(L"[setup]\r\nfileTypes=htm;php;\r\n"), L"htm;php;"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[setup]\r\nfileTypes=htm;\r\n", L"htm;"},
        {"1 MiB, key at the end", big, L"php;"},
    };
    for (const auto& c : cases) {
        // One file per case, so no case reads what an earlier one left.
        const std::wstring file = temp / (L"setup-" + std::to_wstring(&c - cases) + L".ini");
        ASSERT_TRUE(WriteBytes(file, c.bytes));
        EXPECT_EQ(Read(file), c.expected) << c.what;
    }
}

TEST_F(ProfileTest, RandomBinaryGivesNothing) {
    std::mt19937 random(20240601);
    std::string bytes(65536, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    const std::wstring file = temp / L"setup.ini";
    ASSERT_TRUE(WriteBytes(file, bytes));
    EXPECT_EQ(Read(file), L"");
    EXPECT_EQ(ReadBytes(file), bytes);
}

TEST_F(ProfileTest, MissingFileGivesNothingAndIsNotCreated) {
    const std::wstring file = temp / L"setup.ini";
    EXPECT_EQ(Read(file), L"");
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(Read(temp / L"missing\\setup.ini"), L"");
    EXPECT_FALSE(Exists(temp / L"missing"));
}

TEST_F(ProfileTest, DoubleByteTextIsCutWithoutSplittingACharacter) {
    if (::GetACP() != 936) GTEST_SKIP() << "needs the Chinese ANSI code page 936";
    const std::wstring chinese(200, L'网');  // 2 bytes each in GBK
    const struct {
        std::wstring value;
        std::wstring expected;
    } cases[] = {
        {chinese, std::wstring(127, L'网')},                  // 254 bytes
        {L"a" + chinese, L"a" + std::wstring(127, L'网')},    // 255 bytes
        {L"ab" + chinese, L"ab" + std::wstring(126, L'网')},  // 254: the 127th would split
        {L"网页;php;", L"网页;php;"},
        // Outside code page 936: what the narrow read gives, the default character.
        {L"☃;php;", L"?;php;"},
    };
    int serial = 0;
    for (const auto& c : cases) {
        const std::wstring file = temp / (L"cut-" + std::to_wstring(++serial) + L".ini");
        ASSERT_TRUE(WriteBytes(file, "[setup]\r\nfileTypes=" + Ansi(c.value) + "\r\n"));
        EXPECT_EQ(Read(file), c.expected) << serial;
    }
}

TEST_F(ProfileTest, FolderNameOutsideTheAnsiCodePage) {
    if (!NonAsciiNamesWork(temp.Path())) GTEST_SKIP() << kNoNonAsciiNames;
    const std::wstring folder = temp / L"配置 ☃ naïve";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(WriteBytes(folder + L"\\setup.ini", "[setup]\r\nfileTypes=php;\r\n"));
    EXPECT_EQ(Read(folder + L"\\setup.ini"), L"php;");
}

TEST_F(ProfileTest, ExecutableInADriveRootReadsTheRootFile) {
    // The folder "C:\" followed by "\setup.ini".
    const std::wstring rootFile = L"C:\\setup.ini";
    if (Exists(rootFile)) GTEST_SKIP() << "C:\\setup.ini belongs to someone else";
    if (!WriteBytes(rootFile, "[setup]\r\nfileTypes=root;\r\n"))
        GTEST_SKIP() << "the drive root is not writable here";
    const std::wstring value = Read(L"C:\\\\setup.ini");
    ::DeleteFileW(rootFile.c_str());
    EXPECT_EQ(value, L"root;");
}

TEST_F(ProfileTest, NeverWrites) {
    const std::wstring file = temp / L"setup.ini";
    const std::string bytes = "[setup]\r\nfileTypes=php;\r\n[other]\r\nx=1\r\n";
    ASSERT_TRUE(WriteBytes(file, bytes));
    // An old time stamp, so that any write would show.
    const HANDLE handle =
        ::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const FILETIME old{0x12345600, 0x01D00000};
    ASSERT_TRUE(::SetFileTime(handle, nullptr, nullptr, &old));
    ::CloseHandle(handle);

    EXPECT_EQ(Read(file), L"php;");
    EXPECT_EQ(Read(file, L"missing"), L"");
    EXPECT_EQ(profile.ReadString(L"missing", L"fileTypes", file), L"");
    EXPECT_EQ(profile.ReadString(L"other", L"x", file), L"1");

    EXPECT_EQ(ReadBytes(file), bytes);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, old.dwHighDateTime);
}

void SetWriteTime(const std::wstring& file, ULONGLONG ticks) {
    const HANDLE handle =
        ::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    EXPECT_TRUE(::SetFileTime(handle, nullptr, nullptr, &time));
    ::CloseHandle(handle);
}

TEST_F(ProfileTest, AnEditIsSeenAtTheNextRead) {
    const std::wstring file = temp / L"setup.ini";
    ASSERT_TRUE(WriteBytes(file, "[setup]\r\nfileTypes=php;\r\n"));
    SetWriteTime(file, 133000000000000000ull);
    EXPECT_EQ(Read(file), L"php;");
    // An editor's save, a second later.
    ASSERT_TRUE(WriteBytes(file, "[setup]\r\nfileTypes=html;\r\n"));
    SetWriteTime(file, 133000000010000000ull);
    EXPECT_EQ(Read(file), L"html;");
    ASSERT_TRUE(::DeleteFileW(file.c_str()));
    EXPECT_EQ(Read(file), L"");
}

}  // namespace
}  // namespace volane::test
