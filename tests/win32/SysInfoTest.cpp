// StartSysInfo with the real registry, file test and process start: Wine's own msinfo32.exe
// in C:\windows\system32 stands in for System Information.
#include <windows.h>

#include <tlhelp32.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "forms/frmAbout.h"
#include "modules/mdlApp.h"
#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

constexpr wchar_t kFirstKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kSecondKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";

// Puts one HKLM text value in place (or removes it) for the test's lifetime and gives back
// whatever was there before, so the prefix is left as it was found.
class ValueOverride {
  public:
    ValueOverride(const wchar_t* key, const wchar_t* name, std::optional<std::wstring> value)
        : key_(key), name_(name) {
        HKEY handle = nullptr;
        keyExisted_ =
            ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) == ERROR_SUCCESS;
        if (keyExisted_) {
            wchar_t data[1024] = {};
            DWORD size = sizeof(data) - sizeof(wchar_t);
            DWORD type = 0;
            if (::RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                   &size) == ERROR_SUCCESS &&
                type == REG_SZ)
                previous_ = std::wstring(data);
            ::RegCloseKey(handle);
        }
        Write(value);
    }
    ~ValueOverride() {
        Write(previous_);
        if (!keyExisted_) ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_);
    }
    ValueOverride(const ValueOverride&) = delete;
    ValueOverride& operator=(const ValueOverride&) = delete;

  private:
    void Write(const std::optional<std::wstring>& value) {
        HKEY handle = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &handle, nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot create HKLM\\" << ::testing::PrintToString(key_);
            return;
        }
        if (value) {
            EXPECT_EQ(::RegSetValueExW(handle, name_, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value->c_str()),
                                       static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))),
                      ERROR_SUCCESS);
        } else {
            ::RegDeleteValueW(handle, name_);
        }
        ::RegCloseKey(handle);
    }

    const wchar_t* key_;
    const wchar_t* name_;
    bool keyExisted_ = false;
    std::optional<std::wstring> previous_;
};

class RecordingUi final : public IUi {
  public:
    void MessageBox(const std::wstring& text, const std::wstring& title) override {
        boxes.emplace_back(text, title);
    }
    std::vector<std::pair<std::wstring, std::wstring>> boxes;
};

// Ids of the running processes whose executable has that name (any case).
std::set<DWORD> ProcessesNamed(const std::wstring& name) {
    std::set<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (::lstrcmpiW(entry.szExeFile, name.c_str()) == 0) ids.insert(entry.th32ProcessID);
    }
    ::CloseHandle(snapshot);
    return ids;
}

void EndProcess(DWORD id) {
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return;
    ::TerminateProcess(process, 0);
    ::WaitForSingleObject(process, 5000);
    ::CloseHandle(process);
}

class SysInfoTest : public ::testing::Test {
  protected:
    std::wstring SystemFolder() const {
        wchar_t folder[MAX_PATH] = {};
        const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
        return std::wstring(folder, n);
    }

    void SetUp() override {
        if (!Exists(SystemFolder() + L"\\msinfo32.exe"))
            GTEST_SKIP() << "no msinfo32.exe in " << ::testing::PrintToString(SystemFolder());
        before_ = ProcessesNamed(L"msinfo32.exe");
    }

    // System Information processes started since SetUp.
    std::set<DWORD> Started() const {
        std::set<DWORD> now = ProcessesNamed(L"msinfo32.exe");
        for (DWORD id : before_) now.erase(id);
        return now;
    }

    void TearDown() override {
        for (DWORD id : Started()) EndProcess(id);
    }

    win32::Registry registry;
    win32::FileSystem fs;
    win32::Process process;
    RecordingUi ui;
    win32::Shell shell;
    win32::CodePage codePage;
    AboutServices services{registry, fs, process, ui, shell, codePage};
    std::set<DWORD> before_;
};

TEST_F(SysInfoTest, SecondLocationsFolderStartsItsMsinfo32) {
    ValueOverride first(kFirstKey, L"PATH", std::nullopt);
    ValueOverride second(kSecondKey, L"MSINFO", SystemFolder());
    StartSysInfo(services);
    EXPECT_TRUE(ui.boxes.empty()) << ::testing::PrintToString(ui.boxes.front().first);
    std::set<DWORD> started;
    EXPECT_TRUE(WaitUntil([&] { return !(started = Started()).empty(); }, std::chrono::seconds(10)))
        << "msinfo32.exe was not started";
    EXPECT_EQ(started.size(), 1u);
}

TEST_F(SysInfoTest, FirstLocationIsStartedAsReadAndTheSecondIsNotConsulted) {
    // The second location would start the real program; the first one wins even though the
    // file it names does not exist, and its failed start ends in the message.
    ValueOverride first(kFirstKey, L"PATH", std::wstring(L"C:\\no such folder\\MSINFO32.EXE"));
    ValueOverride second(kSecondKey, L"MSINFO", SystemFolder());
    StartSysInfo(services);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].first, std::wstring(kSysInfoUnavailable));
    EXPECT_EQ(ui.boxes[0].second, std::wstring(APP_TITLE));
    ::Sleep(500);
    EXPECT_TRUE(Started().empty()) << "the second location was consulted";
}

TEST_F(SysInfoTest, NeitherLocationShowsTheMessage) {
    ValueOverride first(kFirstKey, L"PATH", std::nullopt);
    ValueOverride second(kSecondKey, L"MSINFO", std::nullopt);
    StartSysInfo(services);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].first, std::wstring(kSysInfoUnavailable));
    EXPECT_EQ(ui.boxes[0].second, std::wstring(APP_TITLE));
    EXPECT_TRUE(Started().empty());
}

}  // namespace
}  // namespace volane::test
