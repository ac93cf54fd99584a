// CodePage: the conversions at the narrow calls, in the ANSI code page of the run.
#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

TEST(CodePageTest, RoundTripsTextOfTheCodePage) {
    const win32::CodePage codePage;
    std::vector<std::wstring> texts = {L"", L"Torlin [http://www.torlin.example]",
                                       std::wstring(L"a\0b", 3)};
    if (::GetACP() == 936) texts.push_back(L"此时系统信息不可用");
    for (const auto& text : texts) EXPECT_EQ(codePage.ToWide(codePage.ToAnsi(text)), text);
}

TEST(CodePageTest, ChineseInCodePage936) {
    if (::GetACP() != 936) GTEST_SKIP() << "needs the Chinese ANSI code page 936";
    const win32::CodePage codePage;
    EXPECT_EQ(codePage.ToAnsi(L"提示：网"), "\xCC\xE1\xCA\xBE\xA3\xBA\xCD\xF8");
    EXPECT_EQ(codePage.ToWide("\xCC\xE1\xCA\xBE\xA3\xBA\xCD\xF8"), L"提示：网");
    // Outside the code page: the system's default character.
    EXPECT_EQ(codePage.ToAnsi(L"☃"), "?");
}

}  // namespace
}  // namespace volane::test
