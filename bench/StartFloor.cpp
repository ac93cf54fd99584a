// volane_bench_startfloor.exe: the start-up floor. A bare window with a tree view that gets one
// item per shown drive, then the message loop until the window is closed; a GUI program with
// Volane's manifest and little else, so it starts the way a minimal Volane.exe would.
//
//   volane_bench_startfloor [--steps REPORT-FILE]
//
// With --steps it records when each step ended and ends instead of taking messages, to set
// beside Volane's own steps.
#include <windows.h>

#include <commctrl.h>

#include "bench/Common.h"

using namespace volane::bench;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ChildReport report;
    const std::vector<std::wstring> args = Arguments();
    const bool steps = args.size() >= 3 && args[1] == L"--steps";
    // Only when asked: reading the working set is a system call of its own.
    const auto step = [&](const char* name) {
        if (steps) report.phases.push_back(PhaseNow(name));
    };
    step("entry");
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    FloorWindow window = CreateFloorWindow(kFloorStartCaption);
    step("window and tree view created");
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        if (!(drives & (1u << (letter - L'A')))) continue;
        const UINT type = ::GetDriveTypeW(root);
        if (type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_CDROM)
            InsertItem(window.tree, TVI_ROOT, root, 0);
    }
    step("drive roots added");
    if (steps) {
        PumpPending();
        step("first messages handled");
        report.count = static_cast<std::size_t>(::SendMessageW(window.tree, TVM_GETCOUNT, 0, 0));
        return WriteReport(args[2], report) ? 0 : 3;
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    window.frame.release();  // already destroyed by the close that ended the loop
    return 0;
}
