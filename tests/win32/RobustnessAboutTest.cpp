// System Information from the real About box, opened by the main window's About command, with
// the two registry places holding values of every type and size: the program is started, or
// the one message is shown; nothing else happens and nothing crashes. The values are written
// to the real keys of the test's own prefix and put back as they were afterwards.
#include "forms/FormDesigns.h"
#include "forms/frmAbout.h"
#include "platform/win32/AboutWindow.h"
#include "tests/win32/RobustnessFixtures.h"

namespace volane::test {
namespace {

// A value under HKEY_LOCAL_MACHINE that the test sets. Whatever stood there before comes back at
// the end, and the keys the test had to create go again.
class RegistryValueGuard {
  public:
    RegistryValueGuard(std::string key, std::string value)
        : key_(std::move(key)), value_(std::move(value)) {
        for (std::size_t end = key_.find('\\');; end = key_.find('\\', end + 1)) {
            const std::string part = key_.substr(0, end);
            HKEY opened = nullptr;
            if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, part.c_str(), 0, KEY_READ, &opened) == 0) {
                ::RegCloseKey(opened);
            } else {
                created_.push_back(part);
            }
            if (end == std::string::npos) break;
        }
        Save();
    }
    ~RegistryValueGuard() {
        Remove();
        if (saved_) {
            win32::unique_hkey key(Create());
            ::RegSetValueExW(key.get(), Wide(value_).c_str(), 0, savedType_,
                             reinterpret_cast<const BYTE*>(savedData_.data()),
                             static_cast<DWORD>(savedData_.size()));
        }
        for (auto it = created_.rbegin(); it != created_.rend(); ++it)
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, it->c_str());
    }
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

    // Through the narrow call, so that the sizes are those the narrow query sees.
    bool Set(DWORD type, const std::string& data) {
        win32::unique_hkey key(Create());
        return key && ::RegSetValueExA(key.get(), value_.c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(data.data()),
                                       static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }
    void Remove() {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_SET_VALUE, &key) != 0) return;
        ::RegDeleteValueA(key, value_.c_str());
        ::RegCloseKey(key);
    }

  private:
    static std::wstring Wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }
    HKEY Create() const {
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr);
        return key;
    }
    void Save() {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ, &key) != 0) return;
        DWORD size = 0;
        if (::RegQueryValueExW(key, Wide(value_).c_str(), nullptr, &savedType_, nullptr, &size) ==
            ERROR_SUCCESS) {
            savedData_.resize(size);
            saved_ = ::RegQueryValueExW(key, Wide(value_).c_str(), nullptr, &savedType_,
                                        reinterpret_cast<BYTE*>(savedData_.data()),
                                        &size) == ERROR_SUCCESS;
            savedData_.resize(size);
        }
        ::RegCloseKey(key);
    }

    std::string key_;
    std::string value_;
    std::vector<std::string> created_;
    bool saved_ = false;
    DWORD savedType_ = REG_NONE;
    std::string savedData_;
};

std::string Ansi(const std::wstring& text) {
    return win32::CodePage().ToAnsi(text);
}

// The text padded with zero bytes to exactly `size` bytes (cut when shorter): a text value with
// room to spare. Whoever reads it as text sees the text, whatever the size.
std::string Padded(const std::string& text, std::size_t size) {
    std::string data = text.substr(0, size);
    data.resize(size, '\0');
    return data;
}

enum class Outcome { Started, Message };

class RobustnessAboutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(tools));
        ASSERT_TRUE(::CopyFileW(RecorderPath().c_str(), (tools + L"\\MSINFO32.EXE").c_str(), FALSE))
            << "recorder.exe must be built into bin\\e2e";
        first.Remove();
        second.Remove();
        program.Start();
    }

    // Clicks 系统信息 once and checks the outcome: the program at `path` was started, shown
    // normally, or the message was shown; never both, never anything else.
    void ExpectSysInfo(Outcome outcome, const std::wstring& path = {}) {
        const std::size_t boxes = program.ui.boxes.size();
        const std::size_t starts = program.process.starts.size();
        const std::size_t lines = record.Lines().size();
        ::SendMessageW(about->ControlWindow(L"cmdSysInfo"), BM_CLICK, 0, 0);
        if (outcome == Outcome::Message) {
            ASSERT_EQ(program.ui.boxes.size(), boxes + 1);
            EXPECT_EQ(program.ui.boxes.back().first, L"此时系统信息不可用");
            EXPECT_EQ(program.ui.boxes.back().second, std::wstring(APP_TITLE));
            for (std::size_t i = starts; i < program.process.starts.size(); ++i)
                EXPECT_FALSE(program.process.starts[i].started);
            EXPECT_EQ(record.Lines().size(), lines);
            return;
        }
        EXPECT_EQ(program.ui.boxes.size(), boxes);
        ASSERT_EQ(program.process.starts.size(), starts + 1);
        const StartRecord& start = program.process.starts.back();
        EXPECT_TRUE(start.started);
        EXPECT_EQ(start.show, kShowNormal);
        // The command line ends at its first zero, as the system reads it.
        EXPECT_EQ(std::wstring(start.commandLine.c_str()), path);
        ASSERT_TRUE(record.WaitForLines(lines + 1));
        const std::wstring got = record.Lines().back();
        EXPECT_TRUE(got == path || got == Quoted(path)) << Utf8(got);
    }

    // Runs the cases inside the modal loop of the About box that the About command opened.
    void WithAboutBox(const std::function<void()>& cases) {
        bool ran = false;
        Later inside([&] {
            about = program.main.OpenAbout();
            if (!about) return;
            cases();
            ran = true;
            ::PostMessageW(about->Window(), WM_CLOSE, 0, 0);
        });
        program.Command(kMenuAbout);
        about = nullptr;
        EXPECT_TRUE(ran) << "the About box did not open";
        EXPECT_EQ(program.forms.Size(), 2u);  // frmMain and frmSource
    }

    TempFolder work{L"rob-about"};
    TempFolder records{L"rob-rec"};
    EditorRecord record{records};
    std::wstring tools = work / L"tools";
    RegistryValueGuard first{kMsinfoKey, kMsinfoValue};
    RegistryValueGuard second{kToolsLocationKey, kToolsLocationValue};
    RealProgram program{work.Path()};
    win32::AboutWindow* about = nullptr;
};

TEST_F(RobustnessAboutTest, EveryTypeAndSizeInEitherPlace) {
    const DWORD types[] = {REG_SZ,       REG_EXPAND_SZ, REG_BINARY, REG_DWORD,
                           REG_MULTI_SZ, REG_QWORD,     REG_NONE};
    const std::size_t sizes[] = {0, 1, 1023, 1024, 1025, 1u << 20};
    // Each value holds a name that would start a program if read as text: the program at the
    // first place, the folder that holds MSINFO32.EXE at the second.
    const std::string program1 = Ansi(RecorderPath());
    const std::string folder2 = Ansi(tools);
    WithAboutBox([&] {
        for (const DWORD type : types) {
            for (const std::size_t size : sizes) {
                SCOPED_TRACE("type " + std::to_string(type) + ", " + std::to_string(size) +
                             " bytes");
                {
                    SCOPED_TRACE("first place");
                    ASSERT_TRUE(first.Set(type, Padded(program1, size)));
                    // Only text of at most 1024 bytes is a path, and the command line ends at the
                    // first zero byte: the program itself.
                    if (type == REG_SZ && (size == 1023 || size == 1024)) {
                        ExpectSysInfo(Outcome::Started, RecorderPath());
                    } else {
                        ExpectSysInfo(Outcome::Message);
                    }
                    first.Remove();
                }
                {
                    SCOPED_TRACE("second place");
                    ASSERT_TRUE(second.Set(type, Padded(folder2, size)));
                    // The file test reads the name up to its first zero byte too: the folder,
                    // which is no file.
                    ExpectSysInfo(Outcome::Message);
                    second.Remove();
                }
            }
        }
    });
}

TEST_F(RobustnessAboutTest, TheSecondPlaceCountsOnlyWhenTheFirstIsNotFound) {
    const std::wstring started = tools + L"\\MSINFO32.EXE";
    const std::string program1 = Ansi(RecorderPath());
    const struct {
        const char* what;
        DWORD firstType;  // REG_NONE with no data: the first place is left out
        std::string firstData;
        std::string secondData;
        Outcome outcome;
        std::wstring path;
    } cases[] = {
        {"first place absent", REG_NONE, "", Ansi(tools), Outcome::Started, started},
        {"first too large: not found", REG_SZ, Padded(program1, 1025), Ansi(tools),
         Outcome::Started, started},
        {"first of 1 MiB: not found", REG_BINARY, Padded(program1, 1u << 20), Ansi(tools),
         Outcome::Started, started},
        {"first is binary: read, no path",
         REG_BINARY,
         program1 + '\0',
         Ansi(tools),
         Outcome::Message,
         {}},
        {"first is a number: no path",
         REG_DWORD,
         "\x01\x02\x03\x04",
         Ansi(tools),
         Outcome::Message,
         {}},
        {"first names a missing program",
         REG_SZ,
         "C:\\missing\\msinfo32.exe",
         Ansi(tools),
         Outcome::Message,
         {}},
        {"first is an empty text", REG_SZ, std::string(1, '\0'), Ansi(tools), Outcome::Message, {}},
        {"second with a trailing backslash", REG_NONE, "", Ansi(tools) + "\\", Outcome::Started,
         tools + L"\\\\MSINFO32.EXE"},
        {"second names a missing folder",
         REG_NONE,
         "",
         Ansi(tools) + "\\missing",
         Outcome::Message,
         {}},
        {"second is empty", REG_NONE, "", std::string(1, '\0'), Outcome::Message, {}},
        {"neither place", REG_NONE, "", "", Outcome::Message, {}},
    };
    WithAboutBox([&] {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            if (!c.firstData.empty()) {
                ASSERT_TRUE(first.Set(c.firstType, c.firstData));
            }
            if (!c.secondData.empty()) {
                ASSERT_TRUE(second.Set(REG_SZ, c.secondData));
            }
            ExpectSysInfo(c.outcome, c.path);
            first.Remove();
            second.Remove();
        }
    });
}

TEST_F(RobustnessAboutTest, AHiddenOrFolderMsinfo32IsNoProgram) {
    ASSERT_TRUE(second.Set(REG_SZ, Ansi(tools)));
    const std::wstring exe = tools + L"\\MSINFO32.EXE";
    WithAboutBox([&] {
        ASSERT_TRUE(::SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_HIDDEN));
        ExpectSysInfo(Outcome::Message);
        ASSERT_TRUE(::SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_SYSTEM));
        ExpectSysInfo(Outcome::Message);
        ASSERT_TRUE(::SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(::DeleteFileW(exe.c_str()));
        ASSERT_TRUE(::CreateDirectoryW(exe.c_str(), nullptr));
        ExpectSysInfo(Outcome::Message);
    });
}

}  // namespace
}  // namespace volane::test
