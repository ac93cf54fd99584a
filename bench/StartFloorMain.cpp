// volane_bench_startfloor.exe: the start-up floor. A bare window with a tree view that gets one
// item per shown drive, then the message loop until the window is closed. A GUI program with
// Volane's manifest and little else, so it starts the way a minimal Volane.exe would.
//
//   volane_bench_startfloor [--steps REPORT-FILE]
//
// With --steps it writes when each step ended (ms since process creation) and ends instead of
// taking messages, to set beside Volane's own start-up steps.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <string>

#include "bench/BenchCommon.h"
#include "bench/FloorWindow.h"

namespace {

using namespace volane::bench;

void AddDriveRoots(HWND tree) {
    const DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const std::array<wchar_t, 4> root = {static_cast<wchar_t>(L'A' + i), L':', L'\\', L'\0'};
        const UINT type = ::GetDriveTypeW(root.data());
        if (type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_CDROM)
            InsertItem(tree, TVI_ROOT, root.data(), 0);
    }
}

// The report file after --steps, or empty.
std::wstring StepsReport() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::wstring file;
    if (argc >= 3 && std::wstring(argv[1]) == L"--steps") file = argv[2];
    ::LocalFree(argv);
    return file;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ChildReport report;
    report.phases.emplace_back("entry", SinceProcessCreation());
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    FloorWindow window = CreateFloorWindow(kFloorStartCaption);
    report.phases.emplace_back("window and tree view created", SinceProcessCreation());
    AddDriveRoots(window.tree);
    report.phases.emplace_back("drive roots added", SinceProcessCreation());

    const std::wstring steps = StepsReport();
    if (!steps.empty()) {
        PumpPending();
        report.phases.emplace_back("first messages handled", SinceProcessCreation());
        report.count = static_cast<std::size_t>(::SendMessageW(window.tree, TVM_GETCOUNT, 0, 0));
        report.totalMs = report.phases.back().second;
        return WriteReport(steps, report) ? 0 : 3;
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    window.frame.release();  // already destroyed by the close that ended the loop
    return 0;
}
