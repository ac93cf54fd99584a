// The listing floor: what the platform itself needs to enumerate a folder and show it in a
// tree view. Nothing of Volane runs here.
#include <windows.h>

#include <commctrl.h>

#include <cwctype>
#include <string_view>
#include <vector>

#include "bench/Children.h"
#include "bench/FloorWindow.h"
#include "modules/mdlApp.h"
#include "platform/win32/Handles.h"

namespace volane::bench {
namespace {

constexpr int kImageSize = 18;
constexpr int kImageCount = static_cast<int>(kTypeNames.size());

// Blank pictures of the main tree's size and number, so item layout is the same.
win32::unique_himagelist CreateImages() {
    win32::unique_himagelist images(
        ::ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, kImageCount, 0));
    const HDC screen = ::GetDC(nullptr);
    const win32::unique_hbitmap strip(
        ::CreateCompatibleBitmap(screen, kImageSize * kImageCount, kImageSize));
    ::ReleaseDC(nullptr, screen);
    ::ImageList_Add(images.get(), strip.get(), nullptr);
    return images;
}

constexpr UINT_PTR kSubclassId = 1;

LRESULT CALLBACK PassThrough(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    return ::DefSubclassProc(window, msg, wParam, lParam);
}

struct Entry {
    std::wstring name;
    int image;  // 0-based, as the tree view counts
};

// The default type list's test, written plainly: extension after the last dot, lower-cased,
// followed by ";" somewhere in the list; the picture is the extension's own or the first.
std::optional<int> FileImage(std::wstring_view name) {
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot + 1 == name.size()) return std::nullopt;
    std::wstring ext(name.substr(dot + 1));
    for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towlower(c));
    static constexpr std::wstring_view kList = L"html;htm;css;js;php;txt;";
    if (kList.find(ext + L';') == std::wstring_view::npos) return std::nullopt;
    for (std::size_t i = 0; i < kTypeNames.size(); ++i)
        if (kTypeNames[i] == ext) return static_cast<int>(i);
    return 0;
}

constexpr int kFolderImage = 2;  // "folder" is the third picture
constexpr DWORD kHiddenSystemFolder =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;

// Sub-folders in the order they come, then the passing files.
std::vector<Entry> EnumerateFloor(const std::wstring& folder) {
    std::vector<Entry> folders;
    std::vector<Entry> files;
    WIN32_FIND_DATAW data;
    const HANDLE first =
        ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) return {};
    const win32::unique_hfind find(first);
    do {
        const std::wstring_view name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name == L"." || name == L".." || data.dwFileAttributes == kHiddenSystemFolder)
                continue;
            folders.push_back({std::wstring(name), kFolderImage});
        } else if (const auto image = FileImage(name)) {
            files.push_back({std::wstring(name), *image});
        }
    } while (::FindNextFileW(find.get(), &data));
    folders.reserve(folders.size() + files.size());
    for (Entry& e : files) folders.push_back(std::move(e));
    return folders;
}

}  // namespace

int RunFloorList(const std::wstring& folder, ChildReport& report, FloorVariant variant) {
    FloorWindow window = CreateFloorWindow(L"volane-bench floor list");
    const win32::unique_himagelist images = CreateImages();
    ::SendMessageW(window.tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(images.get()));
    if (variant == FloorVariant::Subclassed)
        ::SetWindowSubclass(window.tree, PassThrough, kSubclassId, 0);
    const HTREEITEM root = InsertItem(window.tree, TVI_ROOT, folder.c_str(), 1);
    PumpPending();
    report.baseBytes = ProcessMemory().workingSet;

    const Stopwatch clock;
    const std::vector<Entry> entries = EnumerateFloor(folder);
    report.enumMs = clock.ElapsedMs();
    ::SendMessageW(window.tree, WM_SETREDRAW, FALSE, 0);
    HTREEITEM previous = TVI_LAST;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const HTREEITEM after = variant == FloorVariant::AfterPrevious ? previous : TVI_LAST;
        previous = InsertItem(window.tree, root, entries[i].name.c_str(), entries[i].image, after);
        if (i == 0 && variant == FloorVariant::ExpandFirst)
            ::SendMessageW(window.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    }
    ::SendMessageW(window.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    ::SendMessageW(window.tree, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(window.tree, nullptr, TRUE);
    ::UpdateWindow(window.tree);
    report.totalMs = clock.ElapsedMs();
    report.insertMs = report.totalMs - report.enumMs;

    report.peakBytes = ProcessMemory().peakWorkingSet;
    report.count = static_cast<std::size_t>(::SendMessageW(window.tree, TVM_GETCOUNT, 0, 0)) - 1;
    return 0;
}

}  // namespace volane::bench
