// volane_bench_child.exe: one measured run in a fresh process, started by volane_bench.exe.
//
//   volane_bench_child floor-list|volane-list|volane-steps REPORT-FILE [FOLDER]
//
// A GUI program with Volane's resources and manifest, like Volane.exe, so the floor and Volane
// run in the same kind of process. floor-list: what the platform itself needs to list the
// folder into a tree view. volane-list: ExpandPath on the folder's node in the real frmMain's
// tv1. volane-steps: when each of Main's start-up steps ends.
#include <windows.h>

#include <commctrl.h>

#include <cwctype>
#include <exception>

#include "app/Application.h"
#include "bench/Common.h"
#include "modules/mdlApp.h"
#include "modules/mdlTVDir.h"

namespace volane::bench {
namespace {

// The last backslash-separated component of a path: the folder's own name.
std::wstring_view LastComponent(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

struct Entry {
    std::wstring name;
    int image;  // 0-based, as the tree view counts
};

// The default type list's test written plainly: the extension after the last dot, lower-cased,
// followed by ";" in the list; the picture is the extension's own or the first.
std::optional<int> FileImage(std::wstring_view name) {
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot + 1 == name.size()) return std::nullopt;
    std::wstring ext(name.substr(dot + 1));
    for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towlower(c));
    if (std::wstring_view(L"html;htm;css;js;php;txt;").find(ext + L';') == std::wstring::npos)
        return std::nullopt;
    for (std::size_t i = 0; i < kTypeNames.size(); ++i)
        if (kTypeNames[i] == ext) return static_cast<int>(i);
    return 0;
}

// The floor: FindFirstFileExW (basic information, large fetch), sub-folders in the order they
// come and then the passing files, inserted into a plain tree view with redraw off under the
// folder's collapsed item, which is expanded at the end. Nothing of Volane runs here.
int RunFloorList(const std::wstring& folder, ChildReport& report) {
    FloorWindow window = CreateFloorWindow(L"volane-bench floor list");
    // Blank pictures of the main tree's size and number, so items are laid out the same.
    constexpr int kSize = 18, kCount = static_cast<int>(kTypeNames.size());
    const win32::unique_himagelist images(
        ::ImageList_Create(kSize, kSize, ILC_COLOR24 | ILC_MASK, kCount, 0));
    const HDC screen = ::GetDC(nullptr);
    const win32::unique_hbitmap strip(::CreateCompatibleBitmap(screen, kSize * kCount, kSize));
    ::ReleaseDC(nullptr, screen);
    ::ImageList_Add(images.get(), strip.get(), nullptr);
    ::SendMessageW(window.tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(images.get()));
    const HTREEITEM root = InsertItem(window.tree, TVI_ROOT, folder.c_str(), 1);
    PumpPending();
    report.baseBytes = ProcessMemory().workingSet;

    const Stopwatch clock;
    std::vector<Entry> entries, files;
    WIN32_FIND_DATAW data;
    const HANDLE first =
        ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) return 1;
    const win32::unique_hfind find(first);
    constexpr DWORD kHiddenSystemFolder =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN;
    do {
        const std::wstring_view name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L".." && data.dwFileAttributes != kHiddenSystemFolder)
                entries.push_back({std::wstring(name), 2});  // "folder" is the third picture
        } else if (const auto image = FileImage(name)) {
            files.push_back({std::wstring(name), *image});
        }
    } while (::FindNextFileW(find.get(), &data));
    entries.reserve(entries.size() + files.size());
    for (Entry& e : files) entries.push_back(std::move(e));
    ::SendMessageW(window.tree, WM_SETREDRAW, FALSE, 0);
    for (const Entry& e : entries) InsertItem(window.tree, root, e.name.c_str(), e.image);
    ::SendMessageW(window.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    ::SendMessageW(window.tree, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(window.tree, nullptr, TRUE);
    ::UpdateWindow(window.tree);
    report.totalMs = clock.ElapsedMs();

    report.peakBytes = ProcessMemory().peakWorkingSet;
    report.count = static_cast<std::size_t>(::SendMessageW(window.tree, TVM_GETCOUNT, 0, 0)) - 1;
    return 0;
}

// Volane: the services and forms of Volane.exe, built by the steps its Main takes; then
// ExpandPath on the folder's node, as a double-click would find it.
int RunVolaneList(const std::wstring& folder, ChildReport& report) {
    app::Application app;
    app.LoadMainForm();
    app.LoadSourceForm();
    app.InitImages();
    app.ShowMainForm();
    app.LoadDrives();
    win32::TreeView& tv1 = app.main.Tree();
    if (!tv1.Add({}, folder, LastComponent(folder), GetImageIndex(app.ImageNames, L"folder")))
        return 1;
    PumpPending();
    report.baseBytes = ProcessMemory().workingSet;

    ListingServices listing{app.fs, app.process, app.profile, app.ui, tv1, app.ImageNames};
    const Stopwatch clock;
    ExpandPath(folder, listing);
    ::UpdateWindow(tv1.Window());
    report.totalMs = clock.ElapsedMs();

    report.peakBytes = ProcessMemory().peakWorkingSet;
    report.count = tv1.Children(folder);
    app.main.Unload();
    return 0;
}

// Main's steps with Volane's own classes, each step's end as a phase. The single-instance
// question is asked but not acted on: the benchmark runs one program at a time.
int RunVolaneSteps(ChildReport& report) {
    report.phases.push_back(PhaseNow("entry"));
    app::PrepareProcess();  // as Volane.exe starts
    app::Application app;
    app.process.AnotherInstanceRunning();
    report.phases.push_back(PhaseNow("services"));
    app.LoadMainForm();
    report.phases.push_back(PhaseNow("frmMain loaded"));
    app.LoadSourceForm();
    report.phases.push_back(PhaseNow("frmSource loaded"));
    app.InitImages();
    report.phases.push_back(PhaseNow("icon table filled"));
    app.ShowMainForm();
    report.phases.push_back(PhaseNow("frmMain shown"));
    app.LoadDrives();
    report.phases.push_back(PhaseNow("drive roots added"));
    PumpPending();
    report.phases.push_back(PhaseNow("first messages handled"));
    report.count = app.main.Tree().Count();
    app.main.Unload();
    return 0;
}

}  // namespace
}  // namespace volane::bench

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace volane::bench;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::vector<std::wstring> args = Arguments();
    if (args.size() < 3) return 2;
    const std::wstring& mode = args[1];
    const std::wstring folder = args.size() > 3 ? args[3] : std::wstring();
    ChildReport report;
    int code = 2;
    try {
        if (mode == L"floor-list") code = RunFloorList(folder, report);
        if (mode == L"volane-list") code = RunVolaneList(folder, report);
        if (mode == L"volane-steps") code = RunVolaneSteps(report);
    } catch (const volane::AppError& e) {
        report.error = "failure " + std::to_string(e.Number()) + ": " + Utf8(e.Description());
    } catch (const std::exception& e) {
        report.error = e.what();
    }
    if (!WriteReport(args[2], report)) return 3;
    return code;
}
