#include "platform/TextUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace volane {
namespace {

TEST(TextUtilTest, LowerCaseCoversTheScriptsFileNamesUse) {
    EXPECT_EQ(LowerCase(L"INDEX.HTML"), L"index.html");
    EXPECT_EQ(LowerCase(L"ÀÉÎÕÜ×Þ"), L"àéîõü×þ");
    EXPECT_EQ(LowerCase(L"ĀŁŽŸ"), L"āłžÿ");
    EXPECT_EQ(LowerCase(L"ΑΩЖЁ"), L"αωжё");
    EXPECT_EQ(LowerCase(L"ＣＳＳ文件1_~"), L"ｃｓｓ文件1_~");
}

TEST(TextUtilTest, TrimBlanksRemovesOnlyBlanksAtBothEnds) {
    EXPECT_EQ(TrimBlanks(L"  html;php;  "), L"html;php;");
    EXPECT_EQ(TrimBlanks(L"\thtml; php;\t"), L"\thtml; php;\t");
    EXPECT_EQ(TrimBlanks(L"    "), L"");
    EXPECT_EQ(TrimBlanks(L""), L"");
}

bool GbkLead(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

TEST(TextUtilTest, CutAnsiKeepsWholeCharacters) {
    EXPECT_EQ(CutAnsi(std::string(300, 'a'), 255, GbkLead), std::string(255, 'a'));
    EXPECT_EQ(CutAnsi("short", 255, GbkLead), "short");
    // A double-byte character that would straddle the limit is dropped whole.
    const std::string text = std::string(254, 'a') + "\xD6\xD0" + "b";
    EXPECT_EQ(CutAnsi(text, 255, GbkLead), std::string(254, 'a'));
    EXPECT_EQ(CutAnsi(std::string(253, 'a') + "\xD6\xD0", 255, GbkLead).size(), 255u);
    EXPECT_EQ(CutAnsi(text, 255, nullptr).size(), 255u);
}

TEST(TextUtilTest, PointerSizedValuesRoundTripThroughText) {
    const std::intptr_t values[] = {0,
                                    1,
                                    -1,
                                    0x7FFE12345678,
                                    -0x7FFE12345678,
                                    std::numeric_limits<std::intptr_t>::max(),
                                    std::numeric_limits<std::intptr_t>::min()};
    for (std::intptr_t v : values) {
        std::intptr_t back = 42;
        ASSERT_TRUE(ParseIntPtr(IntPtrToText(v), &back)) << v;
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(IntPtrToText(140737488355327), L"140737488355327");
}

TEST(TextUtilTest, ParseIntPtrRejectsWhatIsNoNumber) {
    for (const wchar_t* bad : {L"", L"-", L"12a", L" 12", L"1e3", L"99999999999999999999",
                               L"9223372036854775808", L"--1"}) {
        std::intptr_t v = 7;
        EXPECT_FALSE(ParseIntPtr(bad, &v)) << bad;
        EXPECT_EQ(v, 7);
    }
}

TEST(TextUtilTest, CommandLineTailIsTheTextAfterTheProgramName) {
    struct Case {
        const wchar_t* line;
        const wchar_t* tail;
    };
    const Case cases[] = {
        {L"Volane.exe", L""},
        {L"Volane.exe   ", L""},
        {L"Volane.exe D:\\ed\\ed.exe", L"D:\\ed\\ed.exe"},
        {L"\"C:\\Program Files\\Volane\\Volane.exe\" \"D:\\my ed\\ed.exe\" -n",
         L"\"D:\\my ed\\ed.exe\" -n"},
        {L"\"C:\\a b\\Volane.exe\"", L""},
        {L"C:\\V\\Volane.exe\tnotepad.exe  x", L"notepad.exe  x"},
        {L"\"unterminated quote", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandLineTail(c.line), c.tail) << c.line;
}

}  // namespace
}  // namespace volane
