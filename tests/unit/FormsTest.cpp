// frmMain and frmAbout through their handlers, with ExpandPath's roads and ReadSetup.
#include <gtest/gtest.h>

#include <sstream>

#include "Fakes.h"
#include "forms/frmAbout.h"
#include "forms/frmMain.h"
#include "modules/mdlApp.h"

namespace volane {

// Double-click answers by name in the assertions.
void PrintTo(NodeAction action, std::ostream* out) {
    constexpr const char* kNames[] = {"Nothing", "LeftToTree", "Listed", "Opened"};
    *out << kNames[static_cast<int>(action)];
}

namespace {

using namespace volane::test;
using namespace std::string_literals;

using Started = std::vector<std::pair<std::wstring, int>>;
using Boxes = std::vector<std::pair<std::wstring, std::wstring>>;
using Value = std::pair<std::uint32_t, std::string>;  // type, data

// Values by "key\name"; the key "missing" does not open. Every key opened must be closed.
class FakeRegistry final : public IRegistry {
  public:
    class Key final : public IRegistryKey {
      public:
        Key(FakeRegistry& registry, std::string path) : registry_(registry), path_(path) {
            ++registry_.open;
        }
        ~Key() override { --registry_.open; }
        Result<ValueRead> Query(const std::string& name, std::span<std::uint8_t> data) override {
            auto it = registry_.values.find(path_ + name);
            if (it == registry_.values.end() || data.size() != 1024)
                return Error{2, L"系统找不到指定的文件。"};
            const auto size = static_cast<std::uint32_t>(it->second.second.size());
            if (size > 1024) return Error{234, L"有更多数据可用。"};
            std::copy(it->second.second.begin(), it->second.second.end(), data.begin());
            return ValueRead{it->second.first, size};
        }

      private:
        FakeRegistry& registry_;
        std::string path_;
    };
    Result<std::unique_ptr<IRegistryKey>> Open(RegistryRoot root,
                                               const std::string& subKey) override {
        if (root != RegistryRoot::LocalMachine || subKey == "missing")
            return Error{2, L"系统找不到指定的文件。"};
        return std::unique_ptr<IRegistryKey>(std::make_unique<Key>(*this, subKey + "\\"));
    }
    std::map<std::string, Value> values;
    int open = 0;
};

// Both forms on fake services, frmMain loaded with the tree sized by every resize event and the
// icon table as InitImages leaves it. The rig is the screen, both hosts and a shell that opens
// no browser.
struct Rig : IScreen, IMainHost, IShell {
    Rig() {
        for (std::size_t i = 0; i < kTypeNames.size(); ++i) ImageNames[i + 1] = kTypeNames[i];
        window.onResize = [this] { form.Form_Resize(); };
        window.onUnload = [this] { log += "exit; "; };
        aboutWindow.onUnload = [this] { log += "unload; "; };
        form.Form_Load();
        profile.Set(L"C:\\Volane\\setup.ini", L"fileTypes", L" HTML;htm;css;js;php;txt;xml; ");
        tv1.Add(L"", L"C:\\", L"本地磁盘(C)", 2);
        tv1.Add(L"C:\\", L"C:\\w", L"w", 3);
        tv1.log.clear();
    }
    // Display state, place, size, tree size, m_exp's caption, and the three marks of pinning.
    std::wstring State() const {
        std::wostringstream s;
        s << static_cast<int>(window.state) << L' ' << (window.Maxed() ? 0 : window.left) << L','
          << (window.Maxed() ? 0 : window.top) << L' ' << window.Width() << L'x' << window.Height()
          << L" tree " << tv1.width << L'x' << tv1.height << L' ' << m_exp.text
          << (window.topmost ? L" top" : L"") << (form.isWinTop ? L" isWinTop" : L"")
          << (m_top.checked ? L" checked" : L"");
        return s.str();
    }
    TwipsRect WorkArea() const override { return workArea; }
    void PopupMainMenu(double x, double y) override {
        log += "popup " + std::to_string(int(x)) + " " + std::to_string(int(y)) + "; ";
    }
    void ShowAboutModal() override { log += "about; "; }
    std::intptr_t HookWindow(std::intptr_t) override { return 0; }
    void UnhookWindow(std::intptr_t, std::intptr_t) override {}
    void UnloadAllForms() override {}
    Result<void> Open(const std::string& address) override {
        log += "open " + address + "; ";
        return Error{2, L"系统找不到指定的文件。"};
    }

    std::string log;
    TwipsRect workArea{0, 0, kScreenWidth, kScreenHeight};  // no taskbar, as under Xvfb
    FakeWindow window, aboutWindow;
    FakeTree tv1;
    FakeItem m_top{L"置顶"}, m_exp{L"收起"}, lblTitle, lblVersion;
    FakeFileSystem fs;
    FakeProcess process;
    FakeProfile profile;
    FakeUi ui;
    ImageNameTable ImageNames;
    ListingServices listing{fs, process, profile, ui, tv1, ImageNames};
    frmMain form{MainControls{window, tv1, m_top, m_exp}, *this, *this, listing};
    FakeRegistry registry;
    FakeCodePage codePage;
    AboutServices services{registry, fs, process, ui, *this, codePage};
    frmAbout about{AboutControls{aboutWindow, lblTitle, lblVersion}, services};
};

// The work area a taskbar or a docked tool bar leaves.
std::function<void(Rig&)> SetWorkArea(TwipsRect area) {
    return [area](Rig& r) { r.workArea = area; };
}

// What the user does to the main window, by name.
const std::map<std::string, std::function<void(Rig&)>> kActions = {
    {"exp", [](Rig& r) { r.form.m_exp_Click(); }},
    {"top", [](Rig& r) { r.form.m_top_Click(); }},
    {"check", [](Rig& r) { r.m_top.checked = true; }},  // a check mark out of step
    {"restore", [](Rig& r) { r.form.RestoreWindow(); }},
    {"max", [](Rig& r) { r.window.SetWindowState(DisplayState::Maximized); }},
    {"min", [](Rig& r) { r.window.SetWindowState(DisplayState::Minimized); }},
    {"move", [](Rig& r) { r.window.SetLeft(10), r.window.SetTop(9); }},
    {"size", [](Rig& r) { r.window.SetWidth(5000.4), r.window.SetHeight(9000.6); }},
    // Taskbars of 48 pixels (720 twips), one with a tool bar docked at the right; "load" places
    // the window anew.
    {"bar-bottom", SetWorkArea({0, 0, kScreenWidth, 14640})},
    {"bar-top", SetWorkArea({0, 720, kScreenWidth, kScreenHeight})},
    {"bar-left", SetWorkArea({720, 0, kScreenWidth, kScreenHeight})},
    {"bar-top-right", SetWorkArea({0, 720, 18000, kScreenHeight})},
    {"load", [](Rig& r) { r.form.Form_Load(); }}};

TEST(Main, LoadPinCollapseExpandAndRestoreFromEveryState) {
    const std::wstring loaded = L"0 15020,200 3780x14560 tree 3660x13780 收起",
                       collapsed = L"0 15020,200 3700x880 tree 3580x100 展开",
                       pinned = L" top isWinTop checked";
    const std::pair<std::string, std::wstring> cases[] = {
        {"", loaded + pinned},  // at the right edge, as high as the screen allows
        {"top", loaded},
        {"top check top", loaded + pinned},  // the member decides, not the check mark
        {"top top top", loaded},
        {"exp", collapsed + pinned},
        {"max exp", collapsed + pinned},
        {"max exp exp", loaded + pinned},  // 展开 gives back the size from before maximized
        {"exp exp", loaded + pinned},
        {"size exp exp", L"0 15020,200 5000x9001 tree 4880x8221 收起" + pinned},  // whole twips
        // The restore ends expanded, normal, in place and pinned, at the size saved last.
        {"restore", loaded + pinned},
        {"exp restore", loaded + pinned},
        {"min restore", loaded + pinned},
        {"max restore", loaded + pinned},
        {"move top restore", loaded + pinned},
        {"size restore", loaded + pinned},
        {"size exp restore", L"0 13800,200 5000x9001 tree 4880x8221 收起" + pinned},
        // Inside the work area: 200 below its top, 400 in from its right edge, 800 shorter.
        {"bar-bottom load", L"0 15020,200 3780x13840 tree 3660x13060 收起" + pinned},
        {"bar-left load", loaded + pinned},  // measured from the right edge: nothing moves
        {"bar-top-right load", L"0 13820,920 3780x13840 tree 3660x13060 收起" + pinned},
        // The restore measures the work area as it is now, at the size saved last.
        {"bar-top-right move restore", L"0 13820,920 3780x14560 tree 3660x13780 收起" + pinned},
        {"bar-top load bar-bottom exp exp restore",
         L"0 15020,200 3780x13840 tree 3660x13060 收起" + pinned}};
    // The restore's two steps run with the window's transitions off, and on again after them.
    const Texts restoreSteps{L"transitions off", L"state 2", L"state 0", L"transitions on"};
    for (const auto& [script, state] : cases) {
        Rig r;
        std::istringstream actions(script);
        for (std::string action; actions >> action;) kActions.at(action)(r);
        EXPECT_EQ(r.State(), state) << script;
        const bool restored = script.ends_with("restore");
        EXPECT_EQ(r.window.shown, restored);
        const Texts& log = r.window.log;
        const Texts last(log.size() < 4 ? log.begin() : log.end() - 4, log.end());
        if (restored) EXPECT_EQ(last, restoreSteps) << script;
    }
}

TEST(Main, MouseAndMenuCommands) {
    Rig r;
    for (int button : {kButtonRight, kButtonLeft, kButtonMiddle})
        r.form.tv1_MouseUp(button, 0, 300, 450);
    r.form.tv1_MouseUp(kButtonRight, 7, 0, 0);  // any shift state
    // The keyboard's menu opens below the selected label, or at the tree's corner without one.
    r.tv1.label = TwipsRect{100, 200, 400, 440};
    EXPECT_TRUE(r.form.tv1_KeyDown(kKeyApps, 0));
    r.tv1.label.reset();
    EXPECT_TRUE(r.form.tv1_KeyDown(kKeyF10, kShiftMask));
    EXPECT_FALSE(r.form.tv1_KeyDown(kKeyF10, 0));
    r.form.m_about_Click();
    r.form.m_exit_Click();
    EXPECT_EQ(r.log, "popup 315 480; popup 15 30; popup 115 470; popup 15 30; about; exit; ");

    r.fs.folders[L"C:\\w"] = {{L"a.js", 32}};
    // What each double-click did, as the window takes it: a node with children is the tree's.
    auto doubleClick = [&r](bool hit, std::optional<std::wstring> selected, NodeAction done) {
        r.tv1.hit = hit;
        r.tv1.selected = std::move(selected);
        r.form.tv1_MouseDown(kButtonLeft, 0, 100, 200);
        r.tv1.hit = !hit;  // the mouse-down decides, not a later hit test
        EXPECT_EQ(r.form.tv1_DblClick(), done) << hit << r.tv1.selected.value_or(L"none");
    };
    doubleClick(false, L"C:\\w", NodeAction::Nothing);
    doubleClick(false, L"C:\\", NodeAction::LeftToTree);  // beside the nodes
    doubleClick(true, std::nullopt, NodeAction::Nothing);
    doubleClick(true, L"C:\\", NodeAction::LeftToTree);  // has a child already
    EXPECT_TRUE(r.tv1.log.empty());
    doubleClick(true, L"C:\\w", NodeAction::Listed);
    doubleClick(true, L"C:\\w", NodeAction::LeftToTree);  // listed once only
    doubleClick(true, L"C:\\w\\a.js", NodeAction::Opened);
    EXPECT_EQ(r.tv1.log,
              (Texts{L"expand C:\\w", L"redraw off", L"add C:\\w\\a.js a.js 7", L"redraw on"}));
    // Enter opens the selected node by the double-click's rules, without a hit.
    for (const auto& [selected, handled] : {std::pair{std::optional<std::wstring>{}, false},
                                            {L"C:\\", false},
                                            {L"C:\\w\\a.js", true}}) {
        r.tv1.selected = selected;
        EXPECT_EQ(r.form.tv1_KeyDown(kKeyReturn, 0), handled);
    }
    EXPECT_EQ(r.process.started, (Started{{L"D:\\ed\\ed.exe C:\\w\\a.js", kShowMinimized},
                                          {L"D:\\ed\\ed.exe C:\\w\\a.js", kShowMinimized}}));

    r.fs.drives = {{L'C', 2}, {L'E', 4}};
    r.tv1.log.clear();
    EXPECT_TRUE(r.form.tv1_KeyDown(kKeyF5, 0));  // as 刷新 does
    EXPECT_EQ(r.tv1.log, (Texts{L"add C:\\ 本地磁盘(C) 2", L"add E:\\ 光盘驱动(E) 2"}));
    EXPECT_EQ(r.tv1.Count(), 2u);
}

TEST(Main, ExpandPathStartsTheEditorSaysWhyOrListsInFileSystemOrder) {
    Rig r;
    r.process.startSucceeds = false;  // a failed start is silent
    EXPECT_EQ(ExpandPath(L"C:\\w\\a b.php", r.listing), NodeAction::Opened);
    r.fs.failing[L"C:\\w"] = {5, L"拒绝访问。"};
    EXPECT_EQ(ExpandPath(L"C:\\w", r.listing), NodeAction::Listed);
    EXPECT_EQ(r.process.started, (Started{{L"D:\\ed\\ed.exe \"C:\\w\\a b.php\"", kShowMinimized}}));
    EXPECT_EQ(r.ui.boxes, (Boxes{{L"拒绝访问。", L"提示："}}));
    EXPECT_TRUE(r.tv1.log.empty());  // nothing marked, added or redrawn

    r.fs.folders[L"C:\\"] = {{L"z.PHP", 0x20},      {L"Work", 0x10},     {L"index.html", 0x21},
                             {L"style.less", 0x20}, {L"README", 0x20},   {L"hs", 22},
                             {L"a.tar.gz", 0x20},   {L"Alpha", 0x10},    {L"x.tm", 0x26},
                             {L"notes.", 0x20},     {L"hidden", 18},     {L"system", 20},
                             {L"rhs", 23},          {L"hsa", 22 | 0x20}, {L"p.htm", 0x20},
                             {L"d.xml", 0x20},      {L"报告.txt", 0x20}, {L"été.css", 0x20}};
    ExpandPath(L"C:\\", r.listing);
    EXPECT_EQ(
        r.tv1.log,
        (Texts{L"expand C:\\", L"redraw off", L"add C:\\Work Work 3", L"add C:\\Alpha Alpha 3",
               L"add C:\\hidden hidden 3", L"add C:\\system system 3", L"add C:\\rhs rhs 3",
               L"add C:\\hsa hsa 3", L"add C:\\z.PHP z.PHP 8", L"add C:\\index.html index.html 5",
               L"add C:\\x.tm x.tm 1", L"add C:\\p.htm p.htm 6", L"add C:\\d.xml d.xml 1",
               L"add C:\\报告.txt 报告.txt 9", L"add C:\\été.css été.css 4", L"redraw on"}));
    EXPECT_EQ(r.profile.reads, 1);
    // Files enough to wait in several chunks, some with long names: all of them, in order.
    std::vector<std::pair<std::wstring, std::uint32_t>>& many = r.fs.folders[L"C:\\Work"];
    for (int i = 0; i < 30000; ++i)
        many.push_back(
            {std::wstring(i % 7 == 0 ? 300 : 3, L'f') + std::to_wstring(i) + L".js", 32});
    many.push_back({L"sub", 16});
    // Names whose length takes one byte, then two (127, 128), one byte a character above U+007F.
    const std::wstring e124(124, L'\u00e9'), e125(125, L'\u00e9');
    for (const std::wstring& name : {e124 + L".js", e125 + L".js"}) many.push_back({name, 32});
    r.tv1.log.clear();
    ExpandPath(L"C:\\Work", r.listing);
    ASSERT_EQ(r.tv1.log.size(), 30006u);
    EXPECT_EQ(r.tv1.log[30003], L"add C:\\Work\\" + e124 + L".js " + e124 + L".js 7");
    EXPECT_EQ(r.tv1.log[30004], L"add C:\\Work\\" + e125 + L".js " + e125 + L".js 7");
    EXPECT_EQ(r.tv1.log[2], L"add C:\\Work\\sub sub 3");
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
    // 刷新 starts again from the drives: opened again, the folder lists in full.
    r.fs.failing.clear();
    r.fs.folders[L"C:\\Alpha"].push_back({L"b.php", 0x20});
    r.fs.drives = {{L'C', 2}};
    r.fs.folders[L"C:\\"] = {{L"Alpha", 0x10}};
    r.form.m_refresh_Click();
    for (const wchar_t* node : {L"C:\\", L"C:\\Alpha"})
        r.tv1.selected = node, r.form.tv1_KeyDown(kKeyReturn, 0);
    EXPECT_EQ(r.tv1.Children(L"C:\\Alpha"), 3u);
    EXPECT_EQ(r.ui.boxes.size(), 2u);
}

TEST(Main, SettingsAreReadTrimmedBesideTheExecutableAtEveryListing) {
    Rig r;
    EXPECT_EQ(ReadSetup(L"fileTypes", r.process, r.profile), L"HTML;htm;css;js;php;txt;xml;");
    r.fs.folders[L"C:\\w"] = {};
    ExpandPath(L"C:\\w", r.listing);
    EXPECT_EQ(r.tv1.log, (Texts{L"expand C:\\w", L"redraw off", L"redraw on"}));
    // Listed again, with the settings as they are now, in the drive root's setup.ini.
    r.process.exeFolder = L"D:\\";
    r.profile.Set(L"D:\\\\setup.ini", L"fileTypes", L"INI;");
    r.fs.folders[L"C:\\w"] = {{L"c.ini", 32}, {L"sub", 16}, {L"a.txt", 32}, {L"b.ini", 32}};
    r.tv1.Add(L"C:\\w", L"C:\\w\\c.ini", L"c.ini", 1);  // a key already there is skipped
    r.tv1.log.clear();
    ExpandPath(L"C:\\w", r.listing);
    EXPECT_EQ(r.tv1.log, (Texts{L"expand C:\\w", L"redraw off", L"add C:\\w\\sub sub 3",
                                L"add C:\\w\\b.ini b.ini 1", L"redraw on"}));
    EXPECT_EQ(r.profile.reads, 3);
    // Without a type list, or with an empty one, files stay out and folders come in.
    for (const wchar_t* key : {L"fileTypes", L"other"}) {
        r.profile.Set(L"D:\\\\setup.ini", L"fileTypes", L"");
        r.profile.Set(L"D:\\\\setup.ini", key, L"   ");
        r.tv1.Clear();
        r.tv1.Add(L"", L"C:\\w", L"w", 3);
        r.tv1.log.clear();
        ExpandPath(L"C:\\w", r.listing);
        EXPECT_EQ(r.tv1.log,
                  (Texts{L"expand C:\\w", L"redraw off", L"add C:\\w\\sub sub 3", L"redraw on"}))
            << key;
    }
}

TEST(About, GetKeyValueConvertsByTypeAndClosesTheKeyOnEveryRoad) {
    const std::tuple<const char*, Value, bool, std::string> cases[] = {
        // key, the value V's type and data: read, text (which held "in" before)
        {"K", {kRegSz, "C:\\x.exe"}, true, "C:\\x.exe"},  // only a terminating NUL goes
        {"K", {kRegSz, "ab\0\0"s}, true, "ab\0"s},
        {"K", {kRegSz, std::string(1023, 'a') + '\0'}, true, std::string(1023, 'a')},
        {"K", {kRegSz, std::string(1024, 'b')}, true, std::string(1024, 'b')},
        {"K", {kRegSz, std::string(1025, 'x')}, false, ""},
        {"K", {kRegDword, "\x10\0\0\0"s}, true, "&hin0010"},  // hex from the last byte, unpadded
        {"K", {kRegDword, "\x01\x04\xAB\0"s}, true, "&hinAB41"},
        {"K", {3, "\x01\x02"}, true, "in"},     // other types leave the text as it was
        {"missing", {kRegSz, "x"}, false, ""},  // a key that does not open
    };
    for (const auto& [key, value, read, text] : cases) {
        FakeRegistry registry;
        registry.values[key + "\\V"s] = value;
        std::string keyVal = "in";
        const Result<bool> got =
            GetKeyValue(registry, RegistryRoot::LocalMachine, key, "V", keyVal);
        ASSERT_TRUE(got) << text;
        EXPECT_EQ(*got, read) << text;
        EXPECT_EQ(keyVal, text);
        EXPECT_EQ(registry.open, 0);
    }
}

TEST(About, SysInfoStartsTheFirstLocationAsReadOrTheSecondWithItsFile) {
    using Stored = std::optional<Value>;
    const std::string first = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH",
                      second = "SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO";
    const std::wstring box = L"此时系统信息不可用 / Volane-Torlin@www.torlin.example; ";
    const std::tuple<Stored, Stored, bool, bool, std::wstring> cases[] = {
        // first location, second location, file there, start works: what the user gets
        {Value{kRegSz, "C:\\x.exe\0"s}, Value{kRegSz, "C:\\t"}, true, true, L"start C:\\x.exe 1; "},
        {Value{kRegSz, "C:\\x.exe"}, {}, true, false, L"start C:\\x.exe 1; " + box},
        {{}, Value{kRegSz, "C:\\t\0"s}, true, true, L"start C:\\t\\MSINFO32.EXE 1; "},
        {{}, Value{kRegSz, "C:\\t"}, false, true, box},
        {{}, {}, true, true, box},
        {Value{kRegSz, ""}, {}, true, true, box},  // no data at all fails the look-up
        {Value{kRegSz, ""}, Value{kRegSz, "C:\\t"}, true, true, box},  // and ends it there
        {Value{3, "\x01"}, {}, true, true, L"start  1; " + box},
    };
    for (const auto& [atFirst, atSecond, fileThere, startWorks, outcome] : cases) {
        Rig r;
        if (atFirst) r.registry.values[first] = *atFirst;
        if (atSecond) r.registry.values[second] = *atSecond;
        if (fileThere) r.fs.plainFiles.insert(L"C:\\t\\MSINFO32.EXE");
        r.process.startSucceeds = startWorks;
        r.about.cmdSysInfo_Click();
        std::wstring got;
        for (const auto& [line, show] : r.process.started)
            got += L"start " + line + L" " + std::to_wstring(show) + L"; ";
        for (const auto& [text, title] : r.ui.boxes) got += text + L" / " + title + L"; ";
        EXPECT_EQ(got, outcome);
        EXPECT_TRUE(r.registry.open == 0 && r.log.empty());  // keys closed, dialog open
    }
}

TEST(About, LoadShowsTitleAndVersionAndEveryWayOutCloses) {
    Rig r;
    r.about.Form_Load();
    EXPECT_EQ(r.aboutWindow.caption, L"关于 Volane-Torlin@www.torlin.example");
    EXPECT_EQ(r.lblTitle.text, L"Volane-Torlin@www.torlin.example");
    EXPECT_EQ(r.lblVersion.text, L"版本 1.0.64");
    r.about.picIcon_Click();
    r.about.lblDisclaimer_Click();
    r.about.cmdOK_Click();
    const std::string web = "open http://www.torlin.example; unload; ";
    EXPECT_EQ(r.log, web + web + "unload; ");
    EXPECT_TRUE(r.ui.boxes.empty());  // no box says that no browser opened
}

}  // namespace
}  // namespace volane
