// volane_bench_child.exe: one measured run, started by volane_bench.exe.
//
//   volane_bench_child MODE REPORT-FILE [FOLDER]
//
// A GUI-subsystem program like Volane.exe, with Volane's resources and manifest, so the floors
// and Volane run in the same kind of process.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "bench/Children.h"
#include "platform/Platform.h"

namespace {

using namespace volane::bench;

std::vector<std::wstring> Arguments() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv, argv + argc);
    ::LocalFree(argv);
    return args;
}

int RunMode(const std::wstring& mode, const std::wstring& folder, ChildReport& report) {
    if (mode == mode::kFloorList) return RunFloorList(folder, report, FloorVariant::Plain);
    if (mode == mode::kFloorExpandFirst)
        return RunFloorList(folder, report, FloorVariant::ExpandFirst);
    if (mode == mode::kFloorAfterPrevious)
        return RunFloorList(folder, report, FloorVariant::AfterPrevious);
    if (mode == mode::kFloorSubclassed)
        return RunFloorList(folder, report, FloorVariant::Subclassed);
    if (mode == mode::kVolaneList) return RunVolaneList(folder, report);
    if (mode == mode::kVolaneStartSteps) return RunVolaneStartSteps(report);
    if (mode == mode::kVolaneEnum) return RunVolaneEnum(folder, report);
    if (mode == mode::kVolaneLogic) return RunVolaneLogic(folder, report);
    report.error = L"unknown mode " + mode;
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::vector<std::wstring> args = Arguments();
    if (args.size() < 3) return 2;

    ChildReport report;
    int code = 1;
    try {
        code = RunMode(args[1], args.size() > 3 ? args[3] : std::wstring(), report);
    } catch (const volane::AppError& e) {
        report.error = L"failure " + std::to_wstring(e.Number()) + L": " + e.Description();
    } catch (const std::exception& e) {
        report.error = FromUtf8(e.what());
    }
    if (!WriteReport(args[2], report)) return 3;
    return code;
}
