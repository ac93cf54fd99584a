// The service adapters on the real file system, settings files, registry and processes: of a
// Wine prefix in the Chinese locale (ANSI code page 936), or of Windows in its own language;
// and the entry of the tests.
#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "forms/frmAbout.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Services.h"
#include "tests/win32/Support.h"

namespace volane::test {
namespace {

class Sink final : public IEntrySink {
  public:
    void OnEntry(std::wstring_view name, std::uint32_t attributes) override {
        entries[std::wstring(name)] = attributes;
        if (drop) ::CloseHandle(std::exchange(drop, nullptr));
    }
    std::map<std::wstring, DWORD> entries;
    HANDLE drop = nullptr;  // closed at the first entry
};

// The system's own text for an error number, in the running language, without its line break.
std::wstring SystemText(DWORD error) {
    wchar_t text[512] = {};
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               error, 0, text, 512, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n')) --n;
    EXPECT_GT(n, 0u) << "no text for error " << error;
    return std::wstring(text, n);
}

// A failure as its number and the system's text for it, "" for a success.
std::wstring Failed(DWORD error) {
    return std::to_wstring(error) + L" " + SystemText(error);
}
std::wstring Outcome(const Result<void>& result) {
    return result ? L"" : std::to_wstring(result.Error().number) + L" " + result.Error().text;
}

TEST(FileSystem, ListsAndTestsRealEntries) {
    const std::wstring temp = NewFolder();
    const std::wstring unicode = L"文件 ☃ 😀.php";  // outside code page 936 and the basic plane
    const std::wstring d150(150, L'd'), deep = d150 + L"\\" + std::wstring(150, L'e');
    // Made in this order, a name that ends in a backslash as a folder: name, attributes set, the
    // attributes it lists with at the top (0: not there), is a folder, is a plain file. The plain
    // path form would drop the dot of "trail.", and "deep" is beyond MAX_PATH.
    const std::tuple<std::wstring, DWORD, DWORD, bool, bool> made[] = {
        {L"hs\\", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 22, true, false},
        {L"empty\\", 0, 16, true, false},
        {L"locked\\", 0, 16, true, false},
        {L"trail.\\", 0, 16, true, false},
        {L"trail.\\a.txt", 0, 0, false, true},
        {d150 + L"\\", 0, 16, true, false},
        {deep + L"\\", 0, 0, true, false},
        {deep + L"\\a.txt", 0, 0, false, true},
        {unicode, 0, 32, false, true},
        {L"hidden.php", FILE_ATTRIBUTE_HIDDEN, 34, false, false},
        {L"system.php", FILE_ATTRIBUTE_SYSTEM, 36, false, false}};
    win32::FileSystem fs;
    std::map<std::wstring, DWORD> top;
    for (const auto& [name, attributes, listed, folder, plain] : made) {
        ASSERT_TRUE(name.back() == L'\\' ? MakeFolder(temp + name) : WriteBytes(temp + name, "x"));
        if (attributes) {
            ASSERT_TRUE(::SetFileAttributesW((L"\\\\?\\" + temp + name).c_str(), attributes));
        }
        if (listed) top[name.substr(0, name.find(L'\\'))] = listed;
        EXPECT_EQ(fs.FolderExists(temp + name), folder) << name.size();
        EXPECT_EQ(fs.IsPlainFile(temp + name), plain) << name.size();
    }
    EXPECT_FALSE(fs.FolderExists(temp + L"missing") || fs.IsPlainFile(temp + L"missing"));
    // Held open without sharing: it exists, but no one else may open it for listing.
    const HANDLE held = ::CreateFileW((temp + L"locked").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    // Folder, the failure, the entries with their attributes.
    const std::tuple<std::wstring, std::wstring, std::map<std::wstring, DWORD>> lists[] = {
        {temp, L"", top},
        {temp + L"empty", L"", {}},
        {temp + L"trail.", L"", {{L"a.txt", 32}}},
        {temp + deep, L"", {{L"a.txt", 32}}},
        {temp + L"locked", Failed(32), {}},   // ERROR_SHARING_VIOLATION
        {temp + L"missing", Failed(3), {}}};  // ERROR_PATH_NOT_FOUND
    for (const auto& [path, failure, entries] : lists) {
        Sink sink;
        EXPECT_EQ(Outcome(fs.Enumerate(path, sink)), failure) << path.size();
        EXPECT_EQ(sink.entries, entries) << path.size();
    }
    ::CloseHandle(held);
    // A listing leaves no handle open: the count after the first stays after three more.
    Sink sink;
    EXPECT_TRUE(fs.Enumerate(temp, sink));
    const int handles = HandleCount();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(fs.Enumerate(temp, sink));
    EXPECT_EQ(HandleCount(), handles);
    // The long form of a path: a share gets \\?\UNC\, and ".", ".." and "/" are resolved first.
    const std::pair<std::wstring, std::wstring> extended[] = {
        {L"C:\\a\\b", L"\\\\?\\C:\\a\\b"},
        {L"c:/a/./b/../c", L"\\\\?\\c:\\a\\c"},
        {L"\\\\server\\share\\d\\e.txt", L"\\\\?\\UNC\\server\\share\\d\\e.txt"},
        {L"//server/share/d/../e", L"\\\\?\\UNC\\server\\share\\e"},
        {L"\\\\server\\share\\d\\.\\e", L"\\\\?\\UNC\\server\\share\\d\\e"},
        {L"\\\\?\\C:\\x\\..", L"\\\\?\\C:\\x\\.."},
        {L"\\\\.\\pipe\\p", L"\\\\.\\pipe\\p"},
        {L"a\\b", L"a\\b"}};
    for (const auto& [path, longForm] : extended) EXPECT_EQ(win32::ExtendedPath(path), longForm);
    // Failing part way, as when a share drops: the listing's own folder handle, which takes the
    // handle table's free slot, is closed at the first entry. What was read before stays.
    const std::wstring dropped = temp + L"dropped\\";
    ASSERT_TRUE(MakeFolder(dropped));
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(WriteBytes(dropped + std::wstring(99, L'f') + std::to_wstring(i), ""));
    Sink partWay;
    partWay.drop = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ::CloseHandle(partWay.drop);
    EXPECT_EQ(Outcome(fs.Enumerate(dropped, partWay)), Failed(6));  // ERROR_INVALID_HANDLE
    EXPECT_TRUE(!partWay.entries.empty() && partWay.entries.size() < 300) << partWay.entries.size();
}

// The profile reader as Windows has it, standing in for Wine's: a file that starts with a
// UTF-8 mark has its first line read in the ANSI code page, so a section there is not found.
// Each call is recorded with its arguments.
std::vector<std::wstring> profileCalls;
DWORD WINAPI WindowsProfileRead(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer,
                                DWORD size, LPCWSTR file) {
    profileCalls.push_back(std::wstring(section) + L"|" + key + L"|" + fallback + L"|" +
                           std::to_wstring(size) + L"|" + file);
    char mark[3] = {};
    std::ifstream(std::filesystem::path(file), std::ios::binary).read(mark, 3);
    if (std::string_view(mark, 3) != "\xEF\xBB\xBF")
        return ::GetPrivateProfileStringW(section, key, fallback, buffer, size, file);
    ::lstrcpynW(buffer, fallback, static_cast<int>(size));
    return ::lstrlenW(buffer);
}

TEST(Profile, ReadsEveryEncodingOfTheFileAlike) {
    // An extension outside ASCII that the running ANSI code page holds, and its bytes there and
    // in UTF-8: Chinese in the Chinese locale, Latin in an English one (a Windows runner's).
    const std::map<UINT, std::tuple<std::wstring, std::string, std::string>> extensions = {
        {936, {L"文本", "\xCE\xC4\xB1\xBE", "\xE6\x96\x87\xE6\x9C\xAC"}},
        {1252, {L"café", "caf\xE9", "caf\xC3\xA9"}}};
    ASSERT_EQ(extensions.count(::GetACP()), 1u) << ::GetACP();
    const auto& [extension, ansi, utf8] = extensions.at(::GetACP());
    const std::wstring wide = L"[setup]\r\nfileTypes=txt;" + extension + L";\r\n";
    const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    const std::wstring temp = NewFolder();
    // File, its bytes, whether the platform's reader reads it (else Volane reads it itself).
    const std::tuple<std::wstring, std::string, bool> files[] = {
        {L"ansi.ini", "[setup]\r\nfileTypes=txt;" + ansi + ";\r\n", true},
        {L"utf8-mark.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=txt;" + utf8 + ";\r\n", false},
        {L"utf8.ini", "[setup]\r\nfileTypes=txt;" + utf8 + ";\r\n", false},
        {L"utf16-mark.ini", "\xFF\xFE" + utf16, true}};
    for (const auto& [file, bytes, platform] : files) {
        ASSERT_TRUE(WriteBytes(temp + file, bytes));
        EXPECT_EQ(win32::Profile().ReadString(L"setup", L"fileTypes", temp + file),
                  L"txt;" + extension + L";")
            << file;
        profileCalls.clear();
        EXPECT_EQ(
            win32::Profile(&WindowsProfileRead).ReadString(L"setup", L"fileTypes", temp + file),
            L"txt;" + extension + L";")
            << file;
        EXPECT_EQ(profileCalls,
                  platform ? std::vector<std::wstring>{L"setup|fileTypes||32768|" + temp + file}
                           : std::vector<std::wstring>{})
            << file;
    }
}

TEST(Profile, ReadsAsTheNarrowCallWould) {
    const std::wstring temp = NewFolder();
    // A folder whose name is outside the ANSI code page still has its file found.
    ASSERT_TRUE(MakeFolder(temp + L"配置 ☃ 😀"));
    const std::string x300(300, 'x');
    // File, its bytes (empty: no file), key, what is read.
    const std::tuple<std::wstring, std::string, std::wstring, std::wstring> cases[] = {
        {L"c.ini", "[setup]\r\nfileTypes=" + x300, L"fileTypes", std::wstring(255, L'x')},
        {L"c8.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=" + x300, L"fileTypes",
         std::wstring(255, L'x')},
        {L"e.ini", "[setup]\r\nfileTypes=php;", L"other", L""},
        {L"e8.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=php;", L"other", L""},
        {L"missing.ini", "", L"fileTypes", L""},
        {L"配置 ☃ 😀\\setup.ini", "\xEF\xBB\xBF[setup]\r\nfileTypes=php;", L"fileTypes", L"php;"},
        {L"配置 ☃ 😀\\setup2.ini", "[setup]\r\nfileTypes=php;", L"fileTypes", L"php;"}};
    for (const auto& [file, bytes, key, expected] : cases) {
        if (!bytes.empty()) {
            ASSERT_TRUE(WriteBytes(temp + file, bytes));
        }
        EXPECT_EQ(win32::Profile().ReadString(L"setup", key, temp + file), expected) << file;
    }
}

TEST(Profile, CutsWholeDoubleByteCharactersInCodePage936) {
    ASSERT_EQ(::GetACP(), 936u) << "run in the Chinese locale (LC_ALL=zh_CN.UTF-8)";
    EXPECT_EQ(win32::CodePage().ToAnsi(L"提示：网"), "\xCC\xE1\xCA\xBE\xA3\xBA\xCD\xF8");
    EXPECT_EQ(win32::CodePage().ToWide("\xCC\xE1\xCA\xBE\xA3\xBA\xCD\xF8"), L"提示：网");
    const std::wstring temp = NewFolder();
    const std::string wang = "\xCD\xF8", wang8 = "\xE7\xBD\x91";  // 网 in GBK and in UTF-8
    std::string many, many8;
    for (int i = 0; i < 200; ++i) many += wang, many8 += wang8;
    // File, its bytes, what is read: the cut counts the bytes of the ANSI text, also when the
    // file is UTF-8.
    const std::tuple<std::wstring, std::string, std::wstring> cases[] = {
        {L"a.ini", "[setup]\r\nfileTypes=" + many, std::wstring(127, L'网')},
        {L"b.ini", "[setup]\r\nfileTypes=ab" + many, L"ab" + std::wstring(126, L'网')},
        {L"b8.ini", "[setup]\r\nfileTypes=ab" + many8, L"ab" + std::wstring(126, L'网')},
        {L"d.ini", "[setup]\r\nfileTypes=" + wang + ";php;", L"网;php;"}};
    for (const auto& [file, bytes, expected] : cases) {
        ASSERT_TRUE(WriteBytes(temp + file, bytes));
        EXPECT_EQ(win32::Profile().ReadString(L"setup", L"fileTypes", temp + file), expected)
            << file;
    }
}

constexpr wchar_t kInstance[] = L"Local\\Volane.Test";

TEST(Registry, GetKeyValueOnTheRealRegistry) {
    const std::string path = "SOFTWARE\\VolaneTest" + std::to_string(::GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key), ERROR_SUCCESS);
    const std::string exe = "C:\\Program Files\\msinfo32.exe", x(1024, 'x');
    // Value, type (REG_NONE: not written), data, and what is read: the text, "-" when nothing is
    // read, "fails". The conversions are the unit tests'; these are the real reads.
    const std::tuple<const char*, DWORD, std::string, std::string> cases[] = {
        {"sz without NUL", REG_SZ, exe, exe},
        {"dword", REG_DWORD, "\x78\x56\x04\x00", "&h45678"},
        {"0 bytes", REG_BINARY, "", "fails"},
        {"1024 bytes", REG_SZ, x.substr(1) + '\0', x.substr(1)},
        {"1025 bytes", REG_SZ, x + '\0', "-"},
        {"missing", REG_NONE, "", "-"}};
    win32::Registry registry;
    for (const auto& [name, type, data, expected] : cases) {
        if (type != REG_NONE) {
            ASSERT_EQ(
                ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                ERROR_SUCCESS);
        }
        std::string value;
        const Result<bool> read =
            GetKeyValue(registry, RegistryRoot::LocalMachine, path, name, value);
        if (!read) {
            value = "fails";
        } else if (!*read) {
            value += "-";
        }
        EXPECT_EQ(value, expected) << name;
    }
    std::string value = "before";
    const Result<bool> missing =
        GetKeyValue(registry, RegistryRoot::LocalMachine, path + "\\missing", "sz", value);
    EXPECT_TRUE(missing && !*missing);
    EXPECT_EQ(value, "");
    // No key is left open.
    const int handles = HandleCount();
    for (int i = 0; i < 3; ++i)
        static_cast<void>(GetKeyValue(registry, RegistryRoot::LocalMachine, path, "sz", value));
    EXPECT_EQ(HandleCount(), handles);
    ::RegCloseKey(key);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

// The child of the process test, this executable started as "--report FILE ...": writes its
// show value, the tail of its command line and its folder into FILE.
int Report(const std::wstring& file) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    win32::Process process{kInstance};
    const std::wstring text =
        ((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_wstring(startup.wShowWindow)
                                                  : L"none") +
        L"\n" + process.CommandLineTail() + L"\n" + process.ExeFolder();
    return WriteBytes(file, {reinterpret_cast<const char*>(text.data()), text.size() * 2}) ? 0 : 2;
}

TEST(Process, StartsTheCommandLineUnchangedWithItsShowValue) {
    wchar_t self[MAX_PATH];
    const std::wstring exe(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    win32::Process process{kInstance};
    EXPECT_EQ(process.ExeFolder(), exe.substr(0, exe.rfind(L'\\')));
    // The child is a copy in a drive root, whose folder keeps its backslash.
    const std::wstring child = L"C:\\volane-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    const std::wstring report = NewFolder() + L"report ☃";
    ASSERT_TRUE(::CopyFileW(exe.c_str(), child.c_str(), FALSE));
    // The longest command line there is: 32766 characters.
    std::wstring tail = L"--report \"" + report + L"\"  C:\\my work\\a b.txt \"q\" ☃ ";
    tail.resize(32766 - child.size() - 3, L'x');
    ASSERT_TRUE(process.Start(L"\"" + child + L"\" " + tail, kShowMinimized)) << ::GetLastError();
    // Readable once the child has written it and let go.
    std::string got;
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::ifstream in(std::filesystem::path(report), std::ios::binary);
            got.assign(std::istreambuf_iterator<char>(in), {});
            return !got.empty();
        },
        20000));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(got.data()), got.size() / 2),
              L"2\n" + tail + L"\nC:\\");
    // One character more is refused as Windows refuses it.
    EXPECT_EQ(Outcome(process.Start(L"\"" + child + L"\" " + tail + L"x", kShowMinimized)),
              Failed(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(process.Start(L"C:\\missing\\nothing.exe C:\\a.txt", kShowNormal));
    // A start leaves no handle open: the count after the first stays after three more.
    const std::wstring quick = L"\"" + child + L"\" --report C:\\missing\\report";
    ASSERT_TRUE(process.Start(quick, kShowMinimized));
    const int handles = HandleCount();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(process.Start(quick, kShowMinimized));
    EXPECT_EQ(HandleCount(), handles);
    PumpUntil([&] { return ::DeleteFileW(child.c_str()) != FALSE; }, 10000);
    // The shell says why it cannot open an address: here a file that is not there. (No address
    // it can open: under Wine a program the shell starts gets a console host of its own, which
    // can outlive the run and hold its output open.)
    win32::Shell shell;
    EXPECT_EQ(Outcome(shell.Open("C:\\missing\\nothing.txt")), Failed(ERROR_FILE_NOT_FOUND));
}

TEST(Process, HoldsTheSingleInstanceName) {
    win32::Process first{kInstance}, second{kInstance};
    EXPECT_FALSE(first.AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
    EXPECT_FALSE(first.AnotherInstanceRunning());  // its own hold does not count
}

}  // namespace
}  // namespace volane::test

int wmain(int argc, wchar_t** argv) {
    if (argc > 2 && std::wstring_view(argv[1]) == L"--report") return volane::test::Report(argv[2]);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
