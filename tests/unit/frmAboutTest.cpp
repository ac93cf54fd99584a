// frmAbout through its handlers: registry values, System Information, load and the ways out.
#include "Fakes.h"
#include "forms/frmAbout.h"

namespace volane::test {
using namespace std::string_literals;

TEST(frmAbout, GetKeyValueConvertsByTypeAndClosesTheKeyOnEveryRoad) {
    const std::tuple<const char*, Value, bool, std::string> cases[] = {
        // key, the value V's type (1 REG_SZ, 4 REG_DWORD) and data: read, text (held "in" before)
        {"K", {1, "C:\\x.exe"}, true, "C:\\x.exe"},  // only a terminating NUL goes
        {"K", {1, "ab\0\0"s}, true, "ab\0"s},
        {"K", {1, std::string(1023, 'a') + '\0'}, true, std::string(1023, 'a')},
        {"K", {1, std::string(1024, 'b')}, true, std::string(1024, 'b')},
        {"K", {1, std::string(1025, 'x')}, false, ""},
        {"K", {4, "\x10\0\0\0"s}, true, "&hin0010"},  // hex from the last byte, unpadded
        {"K", {4, "\x01\x04\xAB\0"s}, true, "&hinAB41"},
        {"K", {3, "\x01\x02"}, true, "in"},  // other types leave the text as it was
        {"missing", {1, "x"}, false, ""},    // a key that does not open
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

TEST(frmAbout, SysInfoStartsTheFirstLocationAsReadOrTheSecondWithItsFile) {
    using Stored = std::optional<Value>;
    const std::string first = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\PATH",
                      second = "SOFTWARE\\Microsoft\\Shared Tools Location\\MSINFO";
    const std::wstring box = L"此时系统信息不可用 / Volane-Torlin@www.torlin.example; ";
    const std::tuple<Stored, Stored, bool, bool, std::wstring> cases[] = {
        // first location, second location, file there, start works: what the user gets
        {Value{1, "C:\\x.exe\0"s}, Value{1, "C:\\t"}, true, true, L"start C:\\x.exe 1; "},
        {Value{1, "C:\\x.exe"}, {}, true, false, L"start C:\\x.exe 1; " + box},
        {{}, Value{1, "C:\\t\0"s}, true, true, L"start C:\\t\\MSINFO32.EXE 1; "},
        {{}, Value{1, "C:\\t"}, false, true, box},
        {{}, {}, true, true, box},
        {Value{1, ""}, Value{1, "C:\\t"}, true, true, box},  // no data ends the look-up
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

TEST(frmAbout, LoadShowsTitleAndVersionAndEveryWayOutCloses) {
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

}  // namespace volane::test
