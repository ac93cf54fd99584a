// The logic below the forms: text, twips, tree keys, the filter, icons, drives and Main's roads.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <tuple>

#include "Fakes.h"
#include "modules/mdlApp.h"
#include "modules/mdlMsg.h"
#include "modules/mdlTVDir.h"
#include "platform/ProfileText.h"
#include "platform/TextUtil.h"
#include "platform/TreeIndex.h"
#include "platform/Twips.h"

namespace volane {
namespace {

using namespace volane::test;

using WW = std::pair<std::wstring, std::wstring>;
constexpr auto kGbkLead = +[](unsigned char c) { return c >= 0x81 && c <= 0xFE; };

TEST(Text, LowerCaseTrimBlanksCommandLineTailAndCutAnsi) {
    const WW lower[] = {{L"AZ@[.HtmL", L"az@[.html"}, {L"ÀÞ×ŸĀŁΑЖЁＣ文", L"àþ×ÿāłαжёｃ文"}};
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
        {std::string(300, 'a'), std::string(255, 'a')},
        {a253 + "a" + zhong + "b", a253 + "a"},  // the straddling character goes whole
        {a253 + zhong + "b", a253 + zhong}};
    ExpectEach([](const std::string& in) { return CutAnsi(in, 255, kGbkLead); }, cuts);
    EXPECT_EQ(CutAnsi(a253 + "a" + zhong, 255, nullptr), a253 + "a\xD6");  // single-byte code page
}

TEST(Text, PointerSizedValuesRoundTripThroughText) {
    constexpr auto kMax = std::numeric_limits<std::intptr_t>::max();
    for (std::intptr_t v : {std::intptr_t{0}, std::intptr_t{-1}, std::intptr_t{0x7FF612345678},
                            std::intptr_t{-0x7FF612345678}, kMax, -kMax - 1}) {
        std::intptr_t back = 42;
        EXPECT_TRUE(ParseIntPtr(IntPtrToText(v), &back) && back == v) << v;
    }
    EXPECT_EQ(IntPtrToText(0x7FF612345678), L"140694844102264");
    std::intptr_t v = 7;
    for (const wchar_t* bad : {L"", L"-", L"12a", L" 12", L"--1", L"9223372036854775808"})
        EXPECT_TRUE(!ParseIntPtr(bad, &v) && v == 7) << bad;
}

TEST(Text, TwipsRoundToTheNearestPixelAndBackExactly) {
    const std::pair<double, int> at96[] = {{3540, 236}, {7, 0},      {7.5, 1},
                                           {-7.5, -1},  {-400, -27}, {14, 1}};
    ExpectEach([](double twips) { return TwipsToPixels(twips, 96); }, at96);
    // The node pictures' size at the display's scaling: 100, 125, 150 and 200 %.
    const std::pair<int, int> pictures[] = {{96, 18}, {120, 23}, {144, 27}, {192, 36}};
    ExpectEach([](int dpi) { return ScaledPixels(18, dpi); }, pictures);
    for (int dpi : {96, 110, 144, 192})
        for (int px = -500; px <= 500; ++px)
            ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px);
}

TEST(Text, TreeKeysAreUniqueAndExactUnderKnownParents) {
    TreeIndex index;
    const std::wstring wide = L"C:\\work\\报告 été.txt", longKey(70000, L'n');
    const std::tuple<std::wstring, std::wstring, bool> inserts[] = {
        // parent, key, added
        {L"", L"C:\\", true},
        {L"", L"C:\\", false},       // a duplicate
        {L"X:\\", L"X:\\a", false},  // an unknown parent
        {L"C:\\", L"C:\\work2", true},
        {L"C:\\", L"C:\\work", true},  // a prefix of a key already there
        {L"C:\\", L"C:\\Work", true},  // case counts
        {L"", L"C:\\work", false},     // the same key under another parent
        {L"C:\\work", L"C:\\work\\a", true},
        {L"C:\\work", wide, true},
        {L"C:\\work", L"C:\\work\\\u0100", true},              // the lowest character kept wide
        {L"C:\\work", L"C:\\work\\\u0080\u00e9\u00ff", true},  // one byte a character
        {L"C:\\", L"D:\\x", true},  // a key that does not extend its parent's
        {L"C:\\", longKey, true}};
    for (const auto& [parent, key, added] : inserts)
        EXPECT_EQ(index.Insert(parent, key) != nullptr, added) << key.substr(0, 20);
    for (const std::wstring& key :
         {std::wstring(L"C:\\"), std::wstring(L"C:\\work"), std::wstring(L"C:\\Work"),
          std::wstring(L"C:\\work\\a"), wide, std::wstring(L"C:\\work\\\u0100"),
          std::wstring(L"C:\\work\\\u0080\u00e9\u00ff"), std::wstring(L"D:\\x"), longKey}) {
        const TreeNode* node = index.Find(key);
        ASSERT_NE(node, nullptr) << key.substr(0, 20);
        EXPECT_EQ(index.Key(*node), key);
    }
    for (const std::wstring& key : {L"C:\\WORK", L"c:\\", L"C:\\wor", L"C:\\work\\", L"C:\\\\work",
                                    L"C:\\work\\报吿 été.txt", L"C:\\work\\报告 ete.txt", L""})
        EXPECT_EQ(index.Find(key), nullptr) << key;
    EXPECT_EQ(index.Find(longKey + L"n"), nullptr);
    EXPECT_EQ(index.Find(L"C:\\work\\\u0080\u00e9\u00fe"), nullptr);
    // A refused insert is forgotten, as the key found last too: the key is free again, the
    // parent counts one child less, and the next key is kept whole.
    TreeNode* refused = index.Insert(L"C:\\work", L"C:\\work\\gone");
    ASSERT_EQ(index.Find(L"C:\\work\\gone"), refused);
    index.Forget(refused);
    EXPECT_EQ(index.Find(L"C:\\work\\gone"), nullptr);
    ASSERT_NE(index.Insert(L"C:\\work", L"C:\\work\\back"), nullptr);
    EXPECT_EQ(index.Key(*index.Find(L"C:\\work\\back")), L"C:\\work\\back");
    EXPECT_EQ(index.Size(), 11u);
    EXPECT_EQ(index.Find(L"C:\\")->children, 5u);
    EXPECT_EQ(index.Find(L"C:\\work")->children, 5u);
    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    // Nothing is found after a clear, the key found last included.
    for (const wchar_t* key : {L"C:\\work", L"C:\\"}) EXPECT_EQ(index.Find(key), nullptr) << key;
    // Listed again after a clear: the root counts its new child once.
    index.Insert(L"", L"C:\\");
    index.Insert(L"C:\\", L"C:\\a");
    EXPECT_EQ(index.Find(L"C:\\")->children, 1u);
    EXPECT_EQ(index.Key(*index.Find(L"C:\\a")), L"C:\\a");
}

// The settings file as the platform's profile reader reads it, for the files Volane reads
// itself: the syntax rows, then which bytes are such a file.
TEST(Text, SettingsFileSyntaxAndWhichFilesAreReadAsUtf8) {
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
        {L"[setup]\nfileTypes=a=b;", L"a=b;"},
        {L"[setup]\nfileTypes=", L""},
        {L"[setup]\nfileTypes=txt;" + std::wstring(1, L'\0') + L"js;", L"txt;"},  // ends at a NUL
        {L"[setup]\nfileTypes=txt;\nfileTypes=js;", L"txt;"},                     // the first key
        {L"[setup]\nfileTypes\nfileTypes=js;", L""},  // a key without "="
        {L"[setup]\n;fileTypes=txt;\nfileTypesX=txt;\nfile Types=txt;\nfileTypes=js;", L"js;"},
        {L"[other]\nfileTypes=txt;\n[setup]\nfileTypes=js;\n[x]\nfileTypes=css;", L"js;"},
        {L"[setup]\nother=x\n[setup]\nfileTypes=js;", {}},  // only the first section counts
        {L"fileTypes=txt;\n[setup]", {}},                   // a key before any section
        {L"[setup\nfileTypes=txt;", {}},                    // no section without its "]"
        {L"", {}}};
    ExpectEach(
        [](const std::wstring& text) { return FindProfileValue(text, L"setup", L"fileTypes"); },
        syntax);
    // Bytes, and the UTF-8 text Volane reads in them (nothing: the platform's reader reads them).
    using Text = std::optional<std::string>;
    const std::pair<std::string, Text> files[] = {
        {"\xEF\xBB\xBF[setup]\r\nfileTypes=\xE6\x96\x87;", "[setup]\r\nfileTypes=\xE6\x96\x87;"},
        {"\xEF\xBB\xBF[setup]\r\nfileTypes=txt;", "[setup]\r\nfileTypes=txt;"},
        {"[setup]\r\nfileTypes=\xE6\x96\x87\xE6\x9C\xAC;",
         "[setup]\r\nfileTypes=\xE6\x96\x87\xE6\x9C\xAC;"},
        {"[setup]\r\nfileTypes=txt;", {}},               // ASCII alone
        {"[setup]\r\nfileTypes=\xCE\xC4\xB1\xBE;", {}},  // 文本 in code page 936
        {"\xC1\xAA\xCD\xA8", {}},                        // 联通 in code page 936
        {std::string("\xFF\xFE[\0s\0", 6), {}},          // UTF-16LE with its mark
        {"\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xF0\x90\x80\x80 "
         "\xF4\x8F\xBF\xBF",
         "\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xF0\x90\x80\x80 "
         "\xF4\x8F\xBF\xBF"},
        {"\xC0\xAF", {}},          // overlong
        {"\xE0\x9F\xBF", {}},      // overlong
        {"\xF0\x8F\xBF\xBF", {}},  // overlong
        {"\xED\xA0\x80", {}},      // a surrogate
        {"\xF4\x90\x80\x80", {}},  // above U+10FFFF
        {"\xF5\x80\x80\x80", {}},
        {"a\x80", {}},     // a continuation without its lead
        {"\xE6\x96", {}},  // cut short at the end
        {"\xE6\x96!", {}}};
    ExpectEach(
        [](const std::string& bytes) -> Text {
            const auto text = Utf8ProfileText(bytes);
            return text ? Text(*text) : Text();
        },
        files);
}

TEST(Listing, ExtensionFilterAndEditorLine) {
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
    // The path is one argument, quoted when it holds a character that would split it.
    const WW lines[] = {{L"C:\\w\\a.php", L"ed C:\\w\\a.php"},
                        {L"C:\\my w\\a b.txt", L"ed \"C:\\my w\\a b.txt\""},
                        {L"C:\\tab\tx", L"ed \"C:\\tab\tx\""},
                        {L"C:\\a&b(1)^=;!'+,~`[]{}", L"ed \"C:\\a&b(1)^=;!'+,~`[]{}\""}};
    ExpectEach([](const std::wstring& path) { return BuildEditorCommandLine(L"ed", path); }, lines);
}

// Picture1 and ilFiles (which bitmap each image is a copy of), the first instance's window and
// the building steps.
class FakeStart final : public IPictureStage, public IInstanceChannel, public IStartupSteps {
  public:
    void LoadPicture(const std::wstring& name) override {
        if (name == L"htm") throw AppError(Failure::ResourceNotFound, name);  // no such bitmap
        shown = name;
    }
    int ImageCount() const override { return static_cast<int>(images.size()); }
    void AddDrawnImage(int index) override {
        if (index == ImageCount() + 1) images.push_back(shown);
    }
    void AttachToTree() override { images.push_back(L"attached"); }
    std::intptr_t FindWindowByTitle(const std::string& title) override {
        log += "find " + title + "; ";
        return window;
    }
    void AllowForeground(std::intptr_t w) override { log += "allow " + std::to_string(w) + "; "; }
    void Send(std::intptr_t w, unsigned message, std::uintptr_t wParam) override {
        log += "send " + std::to_string(w) + " " + std::to_string(message) + " " +
               std::to_string(wParam) + "; ";
    }
    void LoadMainForm() override { log += "main "; }
    void LoadSourceForm() override { log += "source "; }
    void InitImages() override { log += "images "; }
    void ShowMainForm() override { log += "show "; }
    void LoadDrives() override { log += "drives"; }
    std::wstring shown;
    Texts images;
    std::intptr_t window = 0;
    std::string log;
};

TEST(App, IconTableWithHtmlTwiceLookUpByLowerCaseAndDriveRoots) {
    FakeStart stage;
    ImageNameTable names;
    InitImages(stage, names);
    EXPECT_EQ(stage.images, (Texts{L"qe", L"root", L"folder", L"css", L"html", L"html", L"js",
                                   L"php", L"txt", L"attached"}));
    EXPECT_FALSE(names[10].has_value());
    const std::pair<const wchar_t*, int> cases[] = {
        {L"qe", 1},  {L"root", 2}, {L"folder", 3}, {L"css", 4}, {L"html", 5}, {L"htm", 6},
        {L"js", 7},  {L"php", 8},  {L"txt", 9},    {L"CSS", 4}, {L"Htm", 6},  {L"ROOT", 2},
        {L"xml", 1}, {L" css", 1}, {L".css", 1},   {L"", 1},    {L"html5", 1}};
    for (const auto& [name, index] : cases) EXPECT_EQ(GetImageIndex(names, name), index) << name;
    // One root per shown drive, in the file system's order, with the root picture.
    FakeFileSystem fs;
    fs.drives = {{L'A', 1}, {L'C', 2}, {L'E', 4}, {L'R', 5},
                 {L'U', 0}, {L'Z', 3}, {L'D', 2}, {L'X', 7}};
    FakeTree tree;
    LoadDrives(fs, tree, names);
    EXPECT_EQ(tree.log, (Texts{L"add A:\\ 可移动磁盘(A) 2", L"add C:\\ 本地磁盘(C) 2",
                               L"add E:\\ 光盘驱动(E) 2", L"add D:\\ 本地磁盘(D) 2"}));
    // A root the tree refuses is fatal.
    EXPECT_THROW(LoadDrives(fs, tree, names), AppError);
}

TEST(App, StartupHandsOverQuitsOrBuildsInOrder) {
    const std::string find = "find Torlin [http://www.torlin.example]; ";
    const std::tuple<bool, const wchar_t*, std::intptr_t, StartupRoad, std::string> cases[] = {
        // another instance, command line, its window: road, log
        {true, L"ed", 4242, StartupRoad::HandOver, find + "allow 4242; send 4242 1025 4001; "},
        {true, L"", 77, StartupRoad::HandOver, find + "allow 77; send 77 1025 4001; "},
        {true, L"x", 0, StartupRoad::HandOver, find},
        {false, L"", 0, StartupRoad::Quit, ""},
        {false, L"ed", 0, StartupRoad::Build, "main source images show drives"},
    };
    for (const auto& [another, commandLine, window, road, log] : cases) {
        FakeProcess process;
        process.anotherRunning = another;
        process.commandLine = commandLine;
        FakeStart startup;
        startup.window = window;
        EXPECT_EQ(Main(process, startup, FakeCodePage(), startup), road) << log;
        EXPECT_EQ(startup.log, log);
    }
    EXPECT_TRUE(IsShowRequest(1025, 4001));
    const std::pair<unsigned, unsigned> others[] = {{1025, 123}, {1025, 0}, {1024, 4001}};
    for (auto [message, wParam] : others) EXPECT_FALSE(IsShowRequest(message, wParam)) << wParam;
}

}  // namespace
}  // namespace volane
