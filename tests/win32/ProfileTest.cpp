#include "tests/win32/Fakes.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

TEST(ProfileTest, ReadsEveryEncodingOfTheFileAlike) {
    // A non-ASCII extension in the ANSI code page, its bytes there and in UTF-8: Chinese, or
    // Latin in an English locale (a Windows runner's).
    const std::map<UINT, std::tuple<std::wstring, std::string, std::string>> extensions = {
        {936, {L"文本", "\xCE\xC4\xB1\xBE", "\xE6\x96\x87\xE6\x9C\xAC"}},
        {1252, {L"café", "caf\xE9", "caf\xC3\xA9"}}};
    ASSERT_EQ(extensions.count(::GetACP()), 1u) << ::GetACP();
    const auto& [extension, ansi, utf8] = extensions.at(::GetACP());
    const std::wstring types = L"txt;" + extension + L";", wide = L"[setup]\r\nfileTypes=" + types;
    const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    const std::wstring temp = NewFolder();
    // File, its bytes, whether the platform's reader reads it (else Volane reads it itself).
    const std::tuple<std::wstring, std::string, bool> files[] = {
        {L"ansi.ini", "[setup]\r\nfileTypes=txt;" + ansi + ";\r\n", true},
        {L"utf8-mark.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=txt;" + utf8 + ";\r\n", false},
        {L"utf8.ini", "[setup]\r\nfileTypes=txt;" + utf8 + ";\r\n", false},
        {L"utf16-mark.ini", "\xFF\xFE" + utf16, true}};
    for (const auto& [file, bytes, platform] : files) {
        ASSERT_TRUE(WriteBytes(temp + file, bytes));
        calls.clear();
        for (win32::Profile profile : {win32::Profile(), win32::Profile(&WindowsProfileRead)})
            EXPECT_EQ(profile.ReadString(L"setup", L"fileTypes", temp + file), types) << file;
        const std::vector<std::wstring> asked{L"setup|fileTypes||32768|" + temp + file};
        EXPECT_EQ(calls, platform ? asked : std::vector<std::wstring>{}) << file;
    }
}

TEST(ProfileTest, ReadsAsTheNarrowCallWould) {
    const std::wstring temp = NewFolder();
    // A folder whose name is outside the ANSI code page still has its file found.
    ASSERT_TRUE(MakeFolder(temp + L"配置 ☃ 😀"));
    const std::string x(300, 'x');
    const std::wstring x255(255, L'x');
    // File, its bytes (empty: none), key, what is read: at most 255 bytes, a 256-byte buffer's.
    const std::tuple<std::wstring, std::string, std::wstring, std::wstring> cases[] = {
        {L"c255.ini", "[setup]\r\nfileTypes=" + x.substr(45), L"fileTypes", x255},
        {L"c256.ini", "[setup]\r\nfileTypes=" + x.substr(44), L"fileTypes", x255},
        {L"c8.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=" + x, L"fileTypes", x255},
        {L"e.ini", "[setup]\r\nfileTypes=php;", L"other", L""},
        {L"e8.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=php;", L"other", L""},
        {L"missing.ini", "", L"fileTypes", L""},
        {L"配置 ☃ 😀\\setup.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=php;", L"fileTypes", L"php;"},
        {L"配置 ☃ 😀\\setup2.ini", "[setup]\r\nfileTypes=php;", L"fileTypes", L"php;"}};
    for (const auto& [file, bytes, key, expected] : cases) {
        ASSERT_TRUE(bytes.empty() || WriteBytes(temp + file, bytes)) << file;
        EXPECT_EQ(win32::Profile().ReadString(L"setup", key, temp + file), expected) << file;
    }
}

TEST(ProfileTest, CutsWholeDoubleByteCharactersInCodePage936) {
    ASSERT_EQ(::GetACP(), 936u) << "run in the Chinese locale (LC_ALL=zh_CN.UTF-8)";
    EXPECT_EQ(win32::CodePage().ToAnsi(L"提示：网"), "\xCC\xE1\xCA\xBE\xA3\xBA\xCD\xF8");
    EXPECT_EQ(win32::CodePage().ToWide("\xCC\xE1\xCA\xBE\xA3\xBA\xCD\xF8"), L"提示：网");
    const std::wstring temp = NewFolder();
    const std::string wang = "\xCD\xF8", wang8 = "\xE7\xBD\x91";  // 网 in GBK and in UTF-8
    std::string many, many8;
    for (int i = 0; i < 200; ++i) many += wang, many8 += wang8;
    // File, its bytes, what is read: the cut counts ANSI bytes, for a UTF-8 file too.
    const std::tuple<std::wstring, std::string, std::wstring> cases[] = {
        {L"b.ini", "[setup]\r\nfileTypes=ab" + many, L"ab" + std::wstring(126, L'网')},
        {L"b8.ini", "[setup]\r\nfileTypes=ab" + many8, L"ab" + std::wstring(126, L'网')},
        {L"d.ini", "[setup]\r\nfileTypes=" + wang + ";php;", L"网;php;"}};
    for (const auto& [file, bytes, expected] : cases) {
        ASSERT_TRUE(WriteBytes(temp + file, bytes));
        EXPECT_EQ(win32::Profile().ReadString(L"setup", L"fileTypes", temp + file), expected)
            << file;
    }
}

}  // namespace
}  // namespace volane::test
