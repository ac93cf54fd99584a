// FileSystem on real folders of the Wine prefix: drives, folder tests, one-pass listings.
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "platform/win32/ErrorText.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Services.h"
#include "tests/win32/ServiceFixtures.h"

namespace volane::test {
namespace {

using Entries = std::vector<std::pair<std::wstring, std::uint32_t>>;

class RecordingSink final : public IEntrySink {
  public:
    void OnEntry(std::wstring_view name, std::uint32_t attributes) override {
        entries.emplace_back(std::wstring(name), attributes);
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& [name, attributes] : entries) names.push_back(name);
        return names;
    }
    Entries entries;
};

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

class FileSystemTest : public ::testing::Test {
  protected:
    win32::FileSystem fs;
    TempFolder temp{L"fs"};
};

TEST(LongPathTest, ExtendedPathForms) {
    const struct {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\", L"\\\\?\\C:\\"},
        {L"C:\\work", L"\\\\?\\C:\\work"},
        {L"c:\\work\\", L"\\\\?\\c:\\work\\"},
        // An executable in a drive root gives "C:\" + "\setup.ini".
        {L"C:\\\\setup.ini", L"\\\\?\\C:\\setup.ini"},
        {L"C:/work/a", L"\\\\?\\C:\\work\\a"},
        {L"C:\\a\\.\\b\\..\\c", L"\\\\?\\C:\\a\\c"},
        // Canonical paths pass literally: a name that ends in a dot stays that name.
        {L"C:\\dir\\name.", L"\\\\?\\C:\\dir\\name."},
        {L"\\\\server\\share\\dir", L"\\\\?\\UNC\\server\\share\\dir"},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
        {L"\\\\.\\COM1", L"\\\\.\\COM1"},
        {L"relative\\x", L"relative\\x"},
        {L"C:", L"C:"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(win32::ExtendedPath(c.path), c.expected) << c.path;
}

TEST(ErrorTextTest, SystemWordingWithoutLineBreak) {
    const std::wstring text = win32::SystemErrorText(ERROR_PATH_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.rfind(L"错误 ", 0), 0u) << "no system text found";
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
    EXPECT_EQ(win32::SystemErrorText(0x2FFFFFFF), L"错误 805306367");
}

TEST_F(FileSystemTest, DrivesInLetterOrderWithServiceTypes) {
    // The drive types as the file-system service numbers them.
    const std::map<UINT, int> serviceType = {
        {DRIVE_UNKNOWN, 0}, {DRIVE_NO_ROOT_DIR, 0}, {DRIVE_REMOVABLE, 1}, {DRIVE_FIXED, 2},
        {DRIVE_REMOTE, 3},  {DRIVE_CDROM, 4},       {DRIVE_RAMDISK, 5}};
    const std::vector<Drive> drives = fs.Drives();
    const DWORD mask = ::GetLogicalDrives();
    std::vector<wchar_t> expectedLetters;
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i)) expectedLetters.push_back(static_cast<wchar_t>(L'A' + i));
    ASSERT_EQ(drives.size(), expectedLetters.size());
    for (std::size_t i = 0; i < drives.size(); ++i) {
        const Drive& drive = drives[i];
        EXPECT_EQ(drive.letter, expectedLetters[i]);
        const wchar_t root[] = {drive.letter, L':', L'\\', L'\0'};
        EXPECT_EQ(drive.type, serviceType.at(::GetDriveTypeW(root)))
            << static_cast<char>(drive.letter);
        RecordProperty(std::string("drive_") + static_cast<char>(drive.letter),
                       std::to_string(drive.type));
    }
    const auto c =
        std::find_if(drives.begin(), drives.end(), [](const Drive& d) { return d.letter == L'C'; });
    ASSERT_NE(c, drives.end());
    EXPECT_EQ(c->type, 2);
}

TEST_F(FileSystemTest, FolderExistsOnlyForFolders) {
    ASSERT_TRUE(WriteBytes(temp / L"a.php", "x"));
    const struct {
        std::wstring path;
        bool folder;
    } cases[] = {
        {temp.Path(), true},
        {temp.Path() + L"\\", true},
        {L"C:\\", true},
        {temp / L"a.php", false},
        {temp / L"missing", false},
        {temp / L"missing\\deeper", false},
        {L"", false},
        {temp / L"bad<name>", false},
    };
    for (const auto& c : cases) EXPECT_EQ(fs.FolderExists(c.path), c.folder) << Utf8(c.path);
}

TEST_F(FileSystemTest, IsPlainFileExcludesFoldersHiddenAndSystem) {
    const struct {
        const wchar_t* name;
        DWORD attributes;  // 0: a folder
        bool plain;
    } cases[] = {
        {L"plain.exe", FILE_ATTRIBUTE_NORMAL, true},
        {L"readonly.exe", FILE_ATTRIBUTE_READONLY, true},
        {L"archive.exe", FILE_ATTRIBUTE_ARCHIVE, true},
        {L"hidden.exe", FILE_ATTRIBUTE_HIDDEN, false},
        {L"system.exe", FILE_ATTRIBUTE_SYSTEM, false},
        {L"folder.exe", 0, false},
    };
    for (const auto& c : cases) {
        const std::wstring path = temp / c.name;
        if (c.attributes == 0) {
            ASSERT_TRUE(MakeFolder(path));
        } else {
            ASSERT_TRUE(WriteBytes(path, "MZ"));
            ASSERT_TRUE(::SetFileAttributesW(path.c_str(), c.attributes));
        }
        EXPECT_EQ(fs.IsPlainFile(path), c.plain) << Utf8(c.name);
    }
    EXPECT_FALSE(fs.IsPlainFile(temp / L"missing.exe"));
    EXPECT_FALSE(fs.IsPlainFile(L""));
}

TEST_F(FileSystemTest, EnumerateGivesEveryEntryWithItsAttributesInSystemOrder) {
    const struct {
        const wchar_t* name;
        DWORD set;
        DWORD expected;
    } folders[] = {
        {L"plain", 0, 16},
        {L"hidden", FILE_ATTRIBUTE_HIDDEN, 18},
        {L"system", FILE_ATTRIBUTE_SYSTEM, 20},
        {L"hidsys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 22},
    };
    for (const auto& f : folders) {
        ASSERT_TRUE(MakeFolder(temp / f.name));
        if (f.set) {
            ASSERT_TRUE(::SetFileAttributesW((temp / f.name).c_str(), f.set));
        }
    }
    ASSERT_TRUE(WriteBytes(temp / L"index.HTML", "<p>"));
    ASSERT_TRUE(WriteBytes(temp / L"secret.php", "<?php"));
    ASSERT_TRUE(::SetFileAttributesW((temp / L"secret.php").c_str(), FILE_ATTRIBUTE_HIDDEN));

    RecordingSink sink;
    ASSERT_EQ(fs.Enumerate(temp.Path(), sink), std::nullopt);

    // The order is the system's: the same as a plain FindFirstFileW walk.
    std::vector<std::wstring> systemOrder;
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW((temp.Path() + L"\\*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") systemOrder.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    EXPECT_EQ(sink.Names(), systemOrder);

    std::map<std::wstring, std::uint32_t> byName(sink.entries.begin(), sink.entries.end());
    ASSERT_EQ(byName.size(), 6u);
    for (const auto& f : folders) EXPECT_EQ(byName[f.name], f.expected) << Utf8(f.name);
    EXPECT_EQ(byName[L"index.HTML"] & (kAttrDirectory | kAttrHidden), 0u);
    EXPECT_EQ(byName[L"secret.php"] & (kAttrDirectory | kAttrHidden), kAttrHidden);
}

TEST_F(FileSystemTest, UnicodeNamesComeThroughIntact) {
    if (!NonAsciiNamesWork(temp.Path())) GTEST_SKIP() << kNoNonAsciiNames;
    const std::vector<std::wstring> names = {L"naïve ☃ 文件.php", L"目录 ☃", L"Ωmega.TXT"};
    ASSERT_TRUE(WriteBytes(temp / names[0], ""));
    ASSERT_TRUE(MakeFolder(temp / names[1]));
    ASSERT_TRUE(WriteBytes(temp / names[2], ""));
    RecordingSink sink;
    ASSERT_EQ(fs.Enumerate(temp.Path(), sink), std::nullopt);
    EXPECT_EQ(Sorted(sink.Names()), Sorted(names));
    EXPECT_TRUE(fs.FolderExists(temp / names[1]));
    EXPECT_TRUE(fs.IsPlainFile(temp / names[0]));
}

TEST_F(FileSystemTest, EmptyFolderGivesNoErrorAndNothing) {
    ASSERT_TRUE(MakeFolder(temp / L"empty"));
    RecordingSink sink;
    EXPECT_EQ(fs.Enumerate(temp / L"empty", sink), std::nullopt);
    EXPECT_TRUE(sink.entries.empty());
    // A key with the trailing backslash of a root lists the same folder.
    EXPECT_EQ(fs.Enumerate(temp / L"empty\\", sink), std::nullopt);
    EXPECT_TRUE(sink.entries.empty());
}

TEST_F(FileSystemTest, DriveRootListsWithoutDotEntries) {
    RecordingSink sink;
    ASSERT_EQ(fs.Enumerate(L"C:\\", sink), std::nullopt);
    const auto names = sink.Names();
    EXPECT_NE(std::find(names.begin(), names.end(), L"windows"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), L"."), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), L".."), names.end());
}

TEST_F(FileSystemTest, FailuresGiveTheSystemDescription) {
    ASSERT_TRUE(WriteBytes(temp / L"file.txt", "x"));
    const std::wstring paths[] = {temp / L"missing", temp / L"file.txt", L""};
    for (const auto& path : paths) {
        RecordingSink sink;
        const auto failure = fs.Enumerate(path, sink);
        ASSERT_TRUE(failure.has_value()) << Utf8(path);
        EXPECT_FALSE(failure->empty());
        EXPECT_EQ(failure->find_first_of(L"\r\n"), std::wstring::npos);
        EXPECT_TRUE(sink.entries.empty());
    }
    RecordingSink sink;
    EXPECT_EQ(fs.Enumerate(temp / L"missing", sink), win32::SystemErrorText(ERROR_PATH_NOT_FOUND));
}

TEST_F(FileSystemTest, FolderThatCannotBeOpenedGivesSharingViolationText) {
    // Held open without sharing: it exists, but no one else may open it for listing.
    ASSERT_TRUE(MakeFolder(temp / L"locked"));
    ASSERT_TRUE(WriteBytes(temp / L"locked\\a.php", "x"));
    const HANDLE held = ::CreateFileW((temp / L"locked").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RecordingSink sink;
    const auto failure = fs.Enumerate(temp / L"locked", sink);
    ::CloseHandle(held);
    EXPECT_TRUE(fs.FolderExists(temp / L"locked"));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, win32::SystemErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(sink.entries.empty());
}

TEST_F(FileSystemTest, UnixFolderWithoutPermissionsGivesAccessDeniedText) {
    if (!UnderWine()) GTEST_SKIP() << "Unix permissions exist only under Wine";
    ASSERT_TRUE(MakeFolder(temp / L"noaccess"));
    ASSERT_TRUE(WriteBytes(temp / L"noaccess\\a.php", "x"));
    const std::string unix = UnixPath(temp / L"noaccess");
    ASSERT_TRUE(RunUnix("/bin/chmod 000 '" + unix + "'", temp));
    RecordingSink sink;
    const auto failure = fs.Enumerate(temp / L"noaccess", sink);
    const bool exists = fs.FolderExists(temp / L"noaccess");
    ASSERT_TRUE(RunUnix("/bin/chmod 755 '" + unix + "'", temp));
    if (!failure.has_value())
        GTEST_SKIP() << "the Wine server may read any folder (root with CAP_DAC_OVERRIDE)";
    EXPECT_TRUE(exists);
    EXPECT_EQ(*failure, win32::SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(sink.entries.empty());
}

// A drive letter mapped onto a folder of the test, through Wine's dosdevices links. Such a
// drive is reachable at once, though GetLogicalDrives lists it only after a server restart.
class WineDrive {
  public:
    WineDrive(const TempFolder& scratch, const std::string& unixTarget) : scratch_(scratch) {
        const std::string cRoot = UnixPath(L"C:\\");  // .../dosdevices/c:/
        const std::string devices = cRoot.substr(0, cRoot.size() - 3);
        for (wchar_t letter = L'P'; letter <= L'Y'; ++letter) {
            const std::wstring root = {letter, L':', L'\\'};
            if (::GetLogicalDrives() & (1u << (letter - L'A'))) continue;
            if (::GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
            link_ = devices + static_cast<char>(letter - L'A' + 'a') + ":";
            if (!RunUnix("/bin/ln -s '" + unixTarget + "' '" + link_ + "'", scratch_)) break;
            root_ = root;
            return;
        }
    }
    ~WineDrive() {
        if (!link_.empty()) RunUnix("/bin/rm -f '" + link_ + "'", scratch_);
    }
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;
    const std::wstring& Root() const { return root_; }

  private:
    const TempFolder& scratch_;
    std::string link_;
    std::wstring root_;
};

TEST_F(FileSystemTest, EmptyDriveRootGivesNoError) {
    if (!UnderWine()) GTEST_SKIP() << "drives are mapped through Wine's dosdevices";
    ASSERT_TRUE(MakeFolder(temp / L"drive"));
    WineDrive drive(temp, UnixPath(temp / L"drive"));
    ASSERT_FALSE(drive.Root().empty());
    ASSERT_TRUE(WaitUntil([&] { return fs.FolderExists(drive.Root()); }));
    RecordingSink sink;
    EXPECT_EQ(fs.Enumerate(drive.Root(), sink), std::nullopt);
    EXPECT_TRUE(sink.entries.empty());
    ASSERT_TRUE(WriteBytes(temp / L"drive\\a.php", "x"));
    EXPECT_EQ(fs.Enumerate(drive.Root(), sink), std::nullopt);
    EXPECT_EQ(sink.Names(), std::vector<std::wstring>{L"a.php"});
}

TEST_F(FileSystemTest, DriveWithoutMediumIsNoFolder) {
    if (!UnderWine()) GTEST_SKIP() << "drives are mapped through Wine's dosdevices";
    // A drive whose target is missing stands for a card reader or CD drive with no medium.
    WineDrive drive(temp, UnixPath(temp.Path()) + "/no-medium");
    ASSERT_FALSE(drive.Root().empty());
    EXPECT_FALSE(fs.FolderExists(drive.Root()));
    RecordingSink sink;
    const auto failure = fs.Enumerate(drive.Root(), sink);
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->empty());
}

TEST_F(FileSystemTest, NameEndingInDotStaysReachable) {
    // Such names come from Unix or \\?\ callers; the plain form would drop the dot.
    ASSERT_TRUE(MakeFolder(temp / L"trail."));
    ASSERT_TRUE(WriteBytes(temp / L"trail.\\a.php", "x"));
    RecordingSink parent;
    ASSERT_EQ(fs.Enumerate(temp.Path(), parent), std::nullopt);
    EXPECT_EQ(parent.Names(), std::vector<std::wstring>{L"trail."});
    EXPECT_TRUE(fs.FolderExists(temp / L"trail."));
    RecordingSink child;
    EXPECT_EQ(fs.Enumerate(temp / L"trail.", child), std::nullopt);
    EXPECT_EQ(child.Names(), std::vector<std::wstring>{L"a.php"});
}

// Builds a folder whose full path has exactly the given length, out of components of at most
// 200 characters.
std::wstring DeepFolder(const std::wstring& base, std::size_t length) {
    std::wstring path = base;
    while (path.size() < length) {
        const std::size_t left = length - path.size() - 1;
        // Keep the last step at least 2 characters long.
        std::size_t part = std::min<std::size_t>(left, 200);
        if (left > 200 && left - part < 2) part -= 2;
        path += L"\\" + std::wstring(part, L'd');
        if (!MakeFolder(path)) return {};
    }
    return path;
}

TEST_F(FileSystemTest, PathsAroundAndBeyondMaxPath) {
    for (std::size_t length : {259u, 260u, 261u, 1000u}) {
        ASSERT_LT(temp.Path().size() + 3, length);
        TempFolder root{L"long"};
        const std::wstring folder = DeepFolder(root.Path(), length);
        ASSERT_EQ(folder.size(), length);
        ASSERT_TRUE(WriteBytes(folder + L"\\a.php", "x"));
        ASSERT_TRUE(MakeFolder(folder + L"\\sub"));

        EXPECT_TRUE(fs.FolderExists(folder)) << length;
        EXPECT_TRUE(fs.IsPlainFile(folder + L"\\a.php")) << length;
        EXPECT_FALSE(fs.FolderExists(folder + L"\\a.php")) << length;
        RecordingSink sink;
        EXPECT_EQ(fs.Enumerate(folder, sink), std::nullopt) << length;
        EXPECT_EQ(Sorted(sink.Names()), (std::vector<std::wstring>{L"a.php", L"sub"})) << length;
    }
}

}  // namespace
}  // namespace volane::test
