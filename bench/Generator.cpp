#include "bench/Generator.h"

#include <windows.h>

#include <string_view>
#include <unordered_map>
#include <vector>

#include "bench/FolderPlan.h"
#include "platform/win32/Handles.h"

namespace volane::bench {
namespace {

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return L"error " + std::to_wstring(error) + L" " + message;
}

std::optional<std::wstring> MakeFolder(const std::wstring& path, DWORD attributes) {
    if (!::CreateDirectoryW(path.c_str(), nullptr))
        return L"cannot create " + path + L": " + SystemMessage(::GetLastError());
    if (attributes == FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_DIRECTORY);
    const DWORD readBack = ::GetFileAttributesW(path.c_str());
    if (readBack != attributes)
        return L"the file system does not keep DOS attributes: " + path + L" reads " +
               std::to_wstring(readBack) + L", not " + std::to_wstring(attributes);
    return std::nullopt;
}

std::optional<std::wstring> MakeFile(const std::wstring& path) {
    const win32::unique_handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return L"cannot create " + path + L": " + SystemMessage(::GetLastError());
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> GenerateFolder(const std::wstring& path, std::size_t entries) {
    if (auto failure = MakeFolder(path, FILE_ATTRIBUTE_DIRECTORY)) return failure;
    for (std::size_t i = 0; i < entries; ++i) {
        const PlannedEntry e = PlanEntry(i);
        const std::wstring child = path + L'\\' + e.name;
        if (auto failure = e.folder ? MakeFolder(child, e.attributes) : MakeFile(child))
            return failure;
    }
    return std::nullopt;
}

std::optional<std::wstring> VerifyFolder(const std::wstring& path, std::size_t entries) {
    std::unordered_map<std::wstring, DWORD> found;
    WIN32_FIND_DATAW data;
    const HANDLE first =
        ::FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE)
        return L"cannot list " + path + L": " + SystemMessage(::GetLastError());
    const win32::unique_hfind find(first);
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") found.emplace(name, data.dwFileAttributes);
    } while (::FindNextFileW(find.get(), &data));
    if (found.size() != entries)
        return path + L" holds " + std::to_wstring(found.size()) + L" entries, not " +
               std::to_wstring(entries);
    constexpr DWORD kCompared =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (std::size_t i = 0; i < entries; ++i) {
        const PlannedEntry e = PlanEntry(i);
        const auto it = found.find(e.name);
        if (it == found.end()) return path + L" lacks " + e.name;
        if ((it->second & kCompared) != e.attributes)
            return e.name + L" has the attributes " + std::to_wstring(it->second) + L", not " +
                   std::to_wstring(e.attributes);
    }
    return std::nullopt;
}

bool RemoveTree(const std::wstring& path) {
    std::vector<std::wstring> subFolders;
    bool complete = true;
    WIN32_FIND_DATAW data;
    const HANDLE first =
        ::FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first != INVALID_HANDLE_VALUE) {
        const win32::unique_hfind find(first);
        do {
            const std::wstring_view name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L'\\' + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                subFolders.push_back(child);
            } else {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                    ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                complete = ::DeleteFileW(child.c_str()) && complete;
            }
        } while (::FindNextFileW(find.get(), &data));
    }
    for (const std::wstring& folder : subFolders) complete = RemoveTree(folder) && complete;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryW(path.c_str()) && complete;
}

}  // namespace volane::bench
