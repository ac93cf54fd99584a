// The settings file as Volane reads it itself: the syntax, then which bytes are such a file.
#include "Fakes.h"
#include "platform/ProfileText.h"

namespace volane::test {

TEST(ProfileText, SettingsFileSyntaxAndWhichFilesAreReadAsUtf8) {
    using Value = std::optional<std::wstring>;
    const std::pair<std::wstring, Value> syntax[] = {
        {L"[setup]\r\nfileTypes=txt;", L"txt;"},
        {L"[SETUP]\nFILETYPES=txt;\nother=x", L"txt;"},  // names without regard to case
        {L"[setup]\rfileTypes=txt;\rother=x", L"txt;"},  // lines ending in CR alone
        {L" \t[setup] ; note\r\n\r\n \t fileTypes \t= \t txt; js; \t\r\n", L"txt; js;"},
        {L"[setup]\nfileTypes=\" txt; \"", L" txt; "},  // matching quotes go, not blanks
        {L"[setup]\nfileTypes='txt;'", L"txt;"},
        {L"[setup]\nfileTypes=\"txt;'", L"\"txt;'"},
        {L"[setup]\nfileTypes=\"", L"\""},
        {L"[setup]\nfileTypes=''", L""},
        {L"[setup]\nfileTypes=a=b;", L"a=b;"},
        {L"[setup]\nfileTypes=", L""},
        {L"[setup]\nfileTypes=txt;" + std::wstring(1, L'\0') + L"js;", L"txt;"},  // ends at a NUL
        {L"[setup]\nfileTypes=txt;\nfileTypes=js;", L"txt;"},                     // the first key
        {L"[setup]\nfileTypes\nfileTypes=js;", L""},  // a key without "="
        {L"[setup]\n;fileTypes=[txt];\nfileTypesX=txt;\nfile Types=txt;\nfileTypes=js;", L"js;"},
        {L"[other]\nfileTypes=txt;\n[setup]\nfileTypes=js;\n[x]\nfileTypes=css;", L"js;"},
        {L"[setup]\nother=x\n[setup]\nfileTypes=js;", {}},  // only the first section counts
        {L"fileTypes=txt;\n[setup]", {}},                   // a key before any section
        {L"[setup\nfileTypes=txt;", {}},                    // no section without its "]"
        {L"", {}}};
    ExpectEach(
        [](const std::wstring& text) { return FindProfileValue(text, L"setup", L"fileTypes"); },
        syntax);
    // Bytes, and the UTF-8 text Volane reads in them (nothing: the platform's reader reads them).
    using Text = std::optional<std::string_view>;
    const std::pair<std::string, Text> files[] = {
        {"\xEF\xBB\xBF[setup]\r\nfileTypes=txt;", "[setup]\r\nfileTypes=txt;"},
        {"\xEF\xBB\xBF", ""},  // the mark alone
        {"[setup]\r\nfileTypes=\xE6\x96\x87\xE6\x9C\xAC;",
         "[setup]\r\nfileTypes=\xE6\x96\x87\xE6\x9C\xAC;"},
        {"[setup]\r\nfileTypes=txt;", {}},               // ASCII alone
        {"[setup]\r\nfileTypes=\xCE\xC4\xB1\xBE;", {}},  // 文本 in code page 936
        {"\xC1\xAA\xCD\xA8", {}},                        // 联通 in code page 936
        {std::string("\xFF\xFE[\0s\0", 6), {}},          // UTF-16LE with its mark
        // U+FF34, a full-width T, among the edges
        {"\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xEF\xBC\xB4 "
         "\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF",
         "\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xEF\xBC\xB4 "
         "\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF"},
        {"\xC0\xAF", {}},          // overlong
        {"\xE0\x9F\xBF", {}},      // overlong
        {"\xF0\x8F\xBF\xBF", {}},  // overlong
        {"\xED\xA0\x80", {}},      // a surrogate
        {"\xF4\x90\x80\x80", {}},  // above U+10FFFF
        {"\xF5\x80\x80\x80", {}},
        {"a\x80", {}},     // a continuation without its lead
        {"\xC2\x7F", {}},  // a lead, then the bytes just outside the continuations
        {"\xC2\xC0", {}},
        {"\xE6\x96", {}},  // cut short at the end
        {"\xE6\x96!", {}}};
    ExpectEach(Utf8ProfileText, files);
}

}  // namespace volane::test
