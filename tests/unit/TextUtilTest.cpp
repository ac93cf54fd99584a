// The small text helpers: case, blanks, the command line's tail, the ANSI cut and pointer text.
#include "Fakes.h"
#include "platform/TextUtil.h"

namespace volane::test {

TEST(TextUtil, LowerCaseTrimBlanksCommandLineTailAndCutAnsi) {
    // Each range's first and last capital, and the characters just outside it.
    const WW lower[] = {
        {L"AZ@[.HtmL", L"az@[.html"},
        {L"\u00BF\u00C0\u00DE\u00D7\u00DF\u0100\u0136\u0137\u0130\u0138\u0139\u0147\u0148\u0149"
         L"\u014A\u0176\u0177\u0178\u0179\u017D\u017E\u0390\u0391\u03A2\u03AB\u03AC\u03FF"
         L"\u0400\u040F\u0410\u042F\u0430\uFF20\uFF21\uFF3A\uFF3B\u6587",
         L"\u00BF\u00E0\u00FE\u00D7\u00DF\u0101\u0137\u0137\u0130\u0138\u013A\u0148\u0148\u0149"
         L"\u014B\u0177\u0177\u00FF\u017A\u017E\u017E\u0390\u03B1\u03A2\u03CB\u03AC\u03FF"
         L"\u0450\u045F\u0430\u044F\u0430\uFF20\uFF41\uFF5A\uFF3B\u6587"}};
    ExpectEach(LowerCase, lower);
    const WW trimmed[] = {{L"  a; b  ", L"a; b"}, {L"\ta\t", L"\ta\t"}, {L"   ", L""}};
    ExpectEach(TrimBlanks, trimmed);
    const WW tails[] = {
        {L"\"C:\\a b\\V.exe\"  \"D:\\my ed\\ed.exe\" -n", L"\"D:\\my ed\\ed.exe\" -n"},
        {L"\"C:\\a\"x y", L"x y"},
        {L"C:\\V.exe\t notepad.exe  x", L"notepad.exe  x"},
        {L"\"unterminated", L""}};
    ExpectEach([](const std::wstring& line) { return std::wstring(CommandLineTail(line)); }, tails);
    // The setting is cut to 255 bytes without splitting a double-byte character.
    const std::string a253(253, 'a'), zhong = "\xD6\xD0";
    const std::pair<std::string, std::string> cuts[] = {
        {std::string(254, 'a'), std::string(254, 'a')},
        {std::string(255, 'a'), std::string(255, 'a')},
        {std::string(256, 'a'), std::string(255, 'a')},
        {a253 + "a" + zhong + "b", a253 + "a"},  // the straddling character goes whole
        {a253 + zhong + "b", a253 + zhong}};
    ExpectEach([](const std::string& in) { return CutAnsi(in, 255, kGbkLead); }, cuts);
    EXPECT_EQ(CutAnsi(a253 + "a" + zhong, 255, nullptr), a253 + "a\xD6");  // single-byte code page
}

TEST(TextUtil, PointerSizedValuesRoundTripThroughText) {
    constexpr auto kMax = std::numeric_limits<std::intptr_t>::max();
    for (std::intptr_t v : {std::intptr_t{0}, std::intptr_t{-1}, std::intptr_t{0x7FF612345678},
                            std::intptr_t{-0x7FF612345678}, kMax, -kMax - 1}) {
        std::intptr_t back = 42;
        EXPECT_TRUE(ParseIntPtr(IntPtrToText(v), &back) && back == v) << v;
    }
    EXPECT_EQ(IntPtrToText(0x7FF612345678), L"140694844102264");
    EXPECT_EQ(IntPtrToText(0), L"0");
    std::intptr_t v = 7;
    for (const wchar_t* bad :
         {L"", L"-", L"12a", L" 12", L"--1", L"9223372036854775808", L"-9223372036854775809"})
        EXPECT_TRUE(!ParseIntPtr(bad, &v) && v == 7) << bad;
}

}  // namespace volane::test
