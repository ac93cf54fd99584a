#include "forms/frmAbout.h"

#include <gtest/gtest.h>

#include <map>

#include "Fakes.h"
#include "modules/mdlApp.h"

namespace volane {
namespace {

struct FakeValue {
    std::uint32_t type;
    std::string data;
};

// A registry of keys with values; every opened key must be closed.
class FakeRegistry final : public IRegistry {
  public:
    long Open(Key root, const std::string& subKey, Key* key) override {
        auto it = keys.find(subKey);
        if (root != kLocalMachine || it == keys.end()) return 2;  // ERROR_FILE_NOT_FOUND
        *key = nextHandle++;
        open.insert(*key);
        openedKeys[*key] = subKey;
        return 0;
    }
    long Query(Key key, const std::string& value, std::uint32_t* type, std::uint8_t* data,
               std::uint32_t* size) override {
        ++queries;
        EXPECT_EQ(*size, 1024u);
        for (std::uint32_t i = 0; i < *size; ++i) EXPECT_EQ(data[i], 0) << "buffer not zeroed";
        auto& values = keys[openedKeys[key]];
        auto it = values.find(value);
        if (it == values.end()) return 2;
        if (it->second.data.size() > *size) {
            *size = static_cast<std::uint32_t>(it->second.data.size());
            return 234;  // ERROR_MORE_DATA
        }
        std::copy(it->second.data.begin(), it->second.data.end(), data);
        *type = it->second.type;
        *size = static_cast<std::uint32_t>(it->second.data.size());
        return 0;
    }
    void Close(Key key) override {
        ++closes;
        open.erase(key);
    }

    std::map<std::string, std::map<std::string, FakeValue>> keys;
    std::map<Key, std::string> openedKeys;
    std::set<Key> open;
    Key nextHandle = 100;
    int queries = 0, closes = 0;
};

class FakeShell final : public IShell {
  public:
    void Open(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
};

class GetKeyValueTest : public ::testing::Test {
  protected:
    bool Read(const FakeValue& value, std::string& keyVal) {
        registry.keys["K"]["V"] = value;
        return GetKeyValue(registry, IRegistry::kLocalMachine, "K", "V", keyVal);
    }
    FakeRegistry registry;
};

TEST_F(GetKeyValueTest, TextDataLosesExactlyOneTerminatingNul) {
    struct Case {
        std::string data;
        std::string expected;
    };
    const Case cases[] = {
        {std::string("C:\\x.exe\0", 9), "C:\\x.exe"},
        {"C:\\x.exe", "C:\\x.exe"},
        {std::string("ab\0\0", 4), std::string("ab\0", 3)},
        {std::string(1023, 'a') + '\0', std::string(1023, 'a')},
        {std::string(1024, 'b'), std::string(1024, 'b')},
        {std::string(1, 'c'), "c"},
    };
    for (const Case& c : cases) {
        std::string keyVal = "old";
        EXPECT_TRUE(Read({kRegSz, c.data}, keyVal));
        EXPECT_EQ(keyVal, c.expected);
    }
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, OversizedOrMissingValuesAreNotFound) {
    std::string keyVal = "old";
    EXPECT_FALSE(Read({kRegSz, std::string(1025, 'x')}, keyVal));
    EXPECT_EQ(keyVal, "");
    keyVal = "old";
    EXPECT_FALSE(GetKeyValue(registry, IRegistry::kLocalMachine, "K", "missing", keyVal));
    EXPECT_EQ(keyVal, "");
    keyVal = "old";
    EXPECT_FALSE(GetKeyValue(registry, IRegistry::kLocalMachine, "nokey", "V", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_EQ(registry.closes, 3);
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, EmptyDataIsAFailureForTheCallerAndTheKeyIsClosed) {
    std::string keyVal = "old";
    EXPECT_THROW(Read({kRegSz, ""}, keyVal), AppError);
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, DwordBecomesHexTextAndOtherTypesLeaveKeyValAlone) {
    std::string keyVal;
    EXPECT_TRUE(Read({kRegDword, std::string("\x01\x04\xAB\x00", 4)}, keyVal));
    EXPECT_EQ(keyVal, "&hAB41");
    keyVal = "kept";
    EXPECT_TRUE(Read({3 /* REG_BINARY */, "\x01\x02"}, keyVal));
    EXPECT_EQ(keyVal, "kept");
    keyVal = "kept";
    EXPECT_TRUE(Read({7 /* REG_MULTI_SZ */, std::string("a\0b\0\0", 5)}, keyVal));
    EXPECT_EQ(keyVal, "kept");
}

class StartSysInfoTest : public ::testing::Test {
  protected:
    void Run() { StartSysInfo(services); }
    FakeRegistry registry;
    test::FakeFileSystem fs;
    test::FakeProcess process;
    test::FakeUi ui;
    FakeShell shell;
    test::FakeCodePage codePage;
    AboutServices services{registry, fs, process, ui, shell, codePage};
};

TEST_F(StartSysInfoTest, FirstLocationIsStartedAsReadWithoutLookingAtTheSecond) {
    registry.keys[kMsinfoKey]["PATH"] = {kRegSz, std::string("C:\\no\\such.exe\0", 15)};
    registry.keys[kToolsLocationKey]["MSINFO"] = {kRegSz, "C:\\tools"};
    fs.plainFiles.insert(L"C:\\tools\\MSINFO32.EXE");
    Run();
    ASSERT_EQ(process.started.size(), 1u);
    EXPECT_EQ(process.started[0], std::make_pair(std::wstring(L"C:\\no\\such.exe"), 1));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(registry.queries, 1);
}

TEST_F(StartSysInfoTest, FirstLocationThatCannotStartShowsTheMessage) {
    registry.keys[kMsinfoKey]["PATH"] = {kRegSz, "C:\\no\\such.exe"};
    process.startSucceeds = false;
    Run();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].first, L"此时系统信息不可用");
    EXPECT_EQ(ui.boxes[0].second, APP_TITLE);
}

TEST_F(StartSysInfoTest, SecondLocationNeedsAPlainFile) {
    registry.keys[kToolsLocationKey]["MSINFO"] = {kRegSz, std::string("C:\\tools\0", 9)};
    fs.plainFiles.insert(L"C:\\tools\\MSINFO32.EXE");
    Run();
    ASSERT_EQ(process.started.size(), 1u);
    EXPECT_EQ(process.started[0].first, L"C:\\tools\\MSINFO32.EXE");
    EXPECT_TRUE(ui.boxes.empty());

    fs.plainFiles.clear();  // missing, hidden, system or a folder
    Run();
    EXPECT_EQ(process.started.size(), 1u);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(StartSysInfoTest, NeitherLocationOrBrokenValuesShowTheMessage) {
    Run();
    EXPECT_EQ(ui.boxes.size(), 1u);
    // An empty first value fails at once; a binary first value leaves the path empty, whose start
    // fails.
    registry.keys[kMsinfoKey]["PATH"] = {kRegSz, ""};
    Run();
    registry.keys[kMsinfoKey]["PATH"] = {3, "\x01"};
    Run();
    EXPECT_EQ(ui.boxes.size(), 3u);
    EXPECT_TRUE(registry.open.empty());
    for (const auto& box : ui.boxes) EXPECT_EQ(box.first, L"此时系统信息不可用");
}

class FakeAboutHost final : public IAboutHost {
  public:
    void UnloadAbout() override { ++unloads; }
    int unloads = 0;
};

class frmAboutTest : public StartSysInfoTest {
  protected:
    test::FakeWindow window;
    test::FakeText lblTitle, lblVersion;
    FakeAboutHost host;
    frmAbout form{AboutControls{window, lblTitle, lblVersion}, host, services};
};

TEST_F(frmAboutTest, LoadShowsTitleAndUnpaddedVersion) {
    form.Form_Load();
    EXPECT_EQ(window.caption, L"关于 " + std::wstring(APP_TITLE));
    EXPECT_EQ(lblVersion.text, L"版本 1.0.64");
    EXPECT_EQ(lblTitle.text, APP_TITLE);
    EXPECT_EQ(APP_TITLE.find(L' '), std::wstring_view::npos);
    EXPECT_EQ(APP_TITLE.substr(0, 6), L"Volane");
}

TEST_F(frmAboutTest, WebSiteClicksOpenTheAddressAndClose) {
    form.picIcon_Click();
    form.lblDisclaimer_Click();
    EXPECT_EQ(shell.opened, (std::vector<std::string>{VOLANE_WEB_ADDRESS, VOLANE_WEB_ADDRESS}));
    EXPECT_EQ(host.unloads, 2);
}

TEST_F(frmAboutTest, SysInfoKeepsTheDialogOpenAndOkCloses) {
    form.cmdSysInfo_Click();
    EXPECT_EQ(host.unloads, 0);
    EXPECT_EQ(ui.boxes.size(), 1u);
    form.cmdOK_Click();
    EXPECT_EQ(host.unloads, 1);
}

}  // namespace
}  // namespace volane
