// The listing: the extension filter, the editor's line, ExpandPath's roads and the settings read.
#include "Fakes.h"
#include "modules/mdlTVDir.h"

namespace volane::test {

TEST(mdlTVDir, ExtensionFilterAndEditorLine) {
    const WW extensions[] = {{L"a.tar.gz", L"gz"},
                             {L"INDEX.HTML", L"HTML"},
                             {L".htaccess", L"htaccess"},
                             {L"README", L""},
                             {L"name.", L""}};
    ExpectEach([](const std::wstring& name) { return std::wstring(GetFileExt(name)); }, extensions);
    // The lower-cased extension and a semicolon, anywhere in the list.
    const std::pair<std::wstring, bool> passes[] = {
        {L"html", true}, {L"HTML", true}, {L"Php", true}, {L"css", false}, {L"xml", false},
        {L"tm", true},   {L"s", true},    {L"", false},   {L"ph", false}};
    ExpectEach([](const std::wstring& ext) { return PassesFilter(ext, L"html;php;htm;js;xml"); },
               passes);
    // The path is one argument: quoted when it holds a blank, a tab or one of &()[]{}^=;!'+,~`.
    for (const wchar_t c : std::wstring_view(L" \t&()[]{}^=;!'+,~`-_@#$%.\\\u3000\u62a5")) {
        const std::wstring path = std::wstring(L"C:\\a") + c + L"b.php";
        const bool quote =
            std::wstring_view(L" \t&()[]{}^=;!'+,~`").find(c) != std::wstring_view::npos;
        EXPECT_EQ(BuildEditorCommandLine(L"ed", path),
                  quote ? L"ed \"" + path + L"\"" : L"ed " + path)
            << static_cast<int>(c);
    }
}

TEST(mdlTVDir, ExpandPathStartsTheEditorSaysWhyOrListsInFileSystemOrder) {
    Rig r;
    r.process.startSucceeds = false;  // a failed start is silent
    EXPECT_EQ(ExpandPath(L"C:\\w\\a.php", r.listing), NodeAction::Opened);
    r.fs.failing[L"C:\\w"] = {5, L"拒绝访问。"};
    EXPECT_EQ(ExpandPath(L"C:\\w", r.listing), NodeAction::Listed);
    EXPECT_EQ(r.process.started, (Started{{L"D:\\ed\\ed.exe C:\\w\\a.php", 2}}));
    EXPECT_EQ(r.ui.boxes, (Boxes{{L"拒绝访问。", L"提示："}}));
    EXPECT_TRUE(r.tv1.log.empty());  // nothing marked, added or redrawn

    r.fs.folders[L"C:\\"] = {{L"z.PHP", 0x20},    {L"Work", 0x10},     {L"index.html", 0x21},
                             {L"hs", 22},         {L"a.tar.gz", 0x20}, {L"Alpha", 0x10},
                             {L"x.tm", 0x26},     {L"notes.", 0x20},   {L"rhs", 23},
                             {L"hsa", 22 | 0x20}, {L"p.htm", 0x20},    {L"d.xml", 0x20},
                             {L"报告.txt", 0x20}, {L"été.css", 0x20}};
    ExpandPath(L"C:\\", r.listing);
    EXPECT_EQ(r.tv1.log,
              (Texts{L"expand C:\\", L"redraw off", L"add C:\\Work Work 3",
                     L"add C:\\Alpha Alpha 3", L"add C:\\rhs rhs 3", L"add C:\\hsa hsa 3",
                     L"add C:\\z.PHP z.PHP 8", L"add C:\\index.html index.html 5",
                     L"add C:\\x.tm x.tm 1", L"add C:\\p.htm p.htm 6", L"add C:\\d.xml d.xml 1",
                     L"add C:\\报告.txt 报告.txt 9", L"add C:\\été.css été.css 4", L"redraw on"}));
    EXPECT_EQ(r.profile.reads, 1);
    // Files enough to wait in several chunks, some with long names: all of them, in order.
    auto& many = r.fs.folders[L"C:\\Work"];
    for (int i = 0; i < 30000; ++i)
        many.push_back({std::wstring(i % 7 ? 3 : 300, L'f') + std::to_wstring(i) + L".js", 32});
    many.push_back({L"sub", 16});
    // Names whose length takes one byte, then two (127, 128), one byte a character above U+007F.
    const std::wstring e124(124, L'\u00e9'), e125(125, L'\u00e9');
    for (const std::wstring& name : {e124 + L".js", e125 + L".js"}) many.push_back({name, 32});
    r.tv1.log.clear();
    ExpandPath(L"C:\\Work", r.listing);
    ASSERT_EQ(r.tv1.log.size(), 30006u);
    EXPECT_EQ(r.tv1.log[30003], L"add C:\\Work\\" + e124 + L".js " + e124 + L".js 7");
    EXPECT_EQ(r.tv1.log[30004], L"add C:\\Work\\" + e125 + L".js " + e125 + L".js 7");
    EXPECT_EQ(r.tv1.log[30002], L"add C:\\Work\\fff29999.js fff29999.js 7");
    EXPECT_EQ(r.tv1.log[29998], L"add C:\\Work\\" + std::wstring(300, L'f') + L"29995.js " +
                                    std::wstring(300, L'f') + L"29995.js 7");

    // Failing after two entries: both stay, the wait cursor goes, then the box says why.
    r.ui.log = &r.tv1.log;
    r.fs.folders[L"C:\\Alpha"] = {{L"a.php", 0x20}, {L"sub", 0x10}};
    r.fs.failing[L"C:\\Alpha"] = {64, L"指定的网络名不再可用。"};
    r.tv1.log.clear();
    ExpandPath(L"C:\\Alpha", r.listing);
    EXPECT_EQ(r.tv1.log, (Texts{L"wait", L"expand C:\\Alpha", L"redraw off",
                                L"add C:\\Alpha\\sub sub 3", L"add C:\\Alpha\\a.php a.php 8",
                                L"redraw on", L"arrow", L"box 指定的网络名不再可用。"}));
}

TEST(mdlTVDir, SettingsAreReadTrimmedBesideTheExecutableAtEveryListing) {
    Rig r;
    EXPECT_EQ(ReadSetup(L"fileTypes", r.process, r.profile), L"HTML;htm;css;js;php;txt;xml;");
    r.fs.folders[L"C:\\w"] = {};
    ExpandPath(L"C:\\w", r.listing);
    EXPECT_EQ(r.tv1.log, (Texts{L"expand C:\\w", L"redraw off", L"redraw on"}));
    // Listed again, with the settings as they are now, in the drive root's setup.ini.
    r.process.exeFolder = L"D:\\";
    r.profile.values[L"D:\\\\setup.ini|fileTypes"] = L"INI;";
    r.fs.folders[L"C:\\w"] = {{L"c.ini", 32}, {L"sub", 16}, {L"a.txt", 32}, {L"b.ini", 32}};
    r.tv1.Add(L"C:\\w", L"C:\\w\\c.ini", L"c.ini", 1);  // a key already there is skipped
    r.tv1.log.clear();
    ExpandPath(L"C:\\w", r.listing);
    EXPECT_EQ(r.tv1.log, (Texts{L"expand C:\\w", L"redraw off", L"add C:\\w\\sub sub 3",
                                L"add C:\\w\\b.ini b.ini 1", L"redraw on"}));
    EXPECT_EQ(r.profile.reads, 3);
    // Without a type list files stay out and folders come in.
    r.profile.values[L"D:\\\\setup.ini|fileTypes"] = L"   ";
    r.fs.folders[L"C:\\w\\sub"] = {{L"c.ini", 32}, {L"s", 16}};
    r.tv1.log.clear();
    ExpandPath(L"C:\\w\\sub", r.listing);
    EXPECT_EQ(r.tv1.log,
              (Texts{L"expand C:\\w\\sub", L"redraw off", L"add C:\\w\\sub\\s s 3", L"redraw on"}));
}

}  // namespace volane::test
