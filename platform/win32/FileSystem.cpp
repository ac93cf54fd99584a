#include <array>

#include "platform/win32/ErrorText.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Services.h"

namespace volane::win32 {
namespace {

// While alive, a drive without a medium fails quietly instead of asking the user to insert one.
class QuietErrorMode {
  public:
    QuietErrorMode() {
        ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_);
    }
    ~QuietErrorMode() { ::SetThreadErrorMode(old_, nullptr); }
    QuietErrorMode(const QuietErrorMode&) = delete;
    QuietErrorMode& operator=(const QuietErrorMode&) = delete;

  private:
    DWORD old_ = 0;
};

// GetDriveTypeW's values in the numbering the drive roots use.
int DriveTypeNumber(UINT systemType) {
    switch (systemType) {
        case DRIVE_REMOVABLE:
            return 1;
        case DRIVE_FIXED:
            return 2;
        case DRIVE_REMOTE:
            return 3;
        case DRIVE_CDROM:
            return 4;
        case DRIVE_RAMDISK:
            return 5;
        default:
            return 0;  // DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR
    }
}

DWORD Attributes(const std::wstring& path) {
    return ::GetFileAttributesW(ExtendedPath(path).c_str());
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

std::vector<Drive> FileSystem::Drives() {
    QuietErrorMode quiet;
    std::vector<Drive> drives;
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        // The type comes from the drive's configuration; nothing here reads the medium.
        const std::array<wchar_t, 4> root = {letter, L':', L'\\', L'\0'};
        drives.push_back({letter, DriveTypeNumber(::GetDriveTypeW(root.data()))});
    }
    return drives;
}

bool FileSystem::FolderExists(const std::wstring& path) {
    QuietErrorMode quiet;
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Result<void> FileSystem::Enumerate(const std::wstring& path, IEntrySink& sink) {
    if (path.empty()) return SystemError(ERROR_PATH_NOT_FOUND);
    QuietErrorMode quiet;
    std::wstring pattern = ExtendedPath(path);
    // A drive root's key already ends in its backslash.
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';

    WIN32_FIND_DATAW data;
    const HANDLE first =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A drive root has no "." entry, so an empty one yields nothing at all.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return {};
        return SystemError(error);
    }
    const unique_hfind find(first);
    do {
        if (!IsDotEntry(data.cFileName)) sink.OnEntry(data.cFileName, data.dwFileAttributes);
    } while (::FindNextFileW(find.get(), &data));
    // Anything but the end is a failure part way: a share that dropped, a device removed.
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) return SystemError(error);
    return {};
}

bool FileSystem::IsPlainFile(const std::wstring& path) {
    QuietErrorMode quiet;
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace volane::win32
