#include "bench/Common.h"

#include <psapi.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "forms/FormDesigns.h"
#include "forms/frmMain.h"
#include "platform/Twips.h"
#include "platform/win32/Text.h"

namespace volane::bench {

bool WriteReport(const std::wstring& file, const ChildReport& report) {
    std::ofstream out(file.c_str(), std::ios::binary | std::ios::trunc);
    out.precision(6);
    out << std::fixed << "total_ms " << report.totalMs << "\ncount " << report.count
        << "\nbase_bytes " << report.baseBytes << "\npeak_bytes " << report.peakBytes << "\n";
    for (const Phase& p : report.phases)
        out << "phase " << p.ms << " " << p.bytes << " " << p.name << "\n";
    if (!report.error.empty()) out << "error " << report.error << "\n";
    // The last line, so that a report cut short is never taken for a whole one.
    out << "end\n";
    out.flush();
    return static_cast<bool>(out);
}

std::optional<ChildReport> ReadReport(const std::wstring& file) {
    std::ifstream in(file.c_str(), std::ios::binary);
    ChildReport report;
    std::string line, name;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        fields >> name;
        if (name == "total_ms") fields >> report.totalMs;
        if (name == "count") fields >> report.count;
        if (name == "base_bytes") fields >> report.baseBytes;
        if (name == "peak_bytes") fields >> report.peakBytes;
        if (name == "phase") {
            Phase p;
            fields >> p.ms >> p.bytes;
            std::getline(fields >> std::ws, p.name);
            report.phases.push_back(p);
        }
        if (name == "error") std::getline(fields >> std::ws, report.error);
        if (name == "end") return report;
    }
    return std::nullopt;
}

Stopwatch::Stopwatch() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    ticksPerMs_ = static_cast<double>(frequency.QuadPart) / 1000.0;
    ::QueryPerformanceCounter(&start_);
}

double Stopwatch::ElapsedMs() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / ticksPerMs_;
}

MemoryCounters ProcessMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return {counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

Phase PhaseNow(std::string name) {
    FILETIME created, exited, kernel, user, now;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    // FILETIME counts 100 ns.
    return {std::move(name), static_cast<double>(ticks(now) - ticks(created)) / 10000.0,
            ProcessMemory().workingSet};
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring file(path, n);
    return file.substr(0, file.find_last_of(L'\\'));
}

std::vector<std::wstring> Arguments() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv, argv + argc);
    ::LocalFree(argv);
    return args;
}

std::string Utf8(std::wstring_view text) {
    return win32::Narrow(text, CP_UTF8);
}

namespace {

constexpr wchar_t kFloorClass[] = L"VolaneBenchFloor";

LRESULT CALLBACK FloorProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE) {
        if (HWND tree = ::FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr))
            ::MoveWindow(tree, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

FloorWindow CreateFloorWindow(const wchar_t* caption) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FloorProcedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFloorClass;
    ::RegisterClassExW(&wc);
    // Where Volane's main window opens and as big, with a menu bar of one line and the tree in a
    // sunken edge filling the rest: the tree is as wide and as tall as Volane's, so a listing
    // needs the same scroll bars. A wider tree would show the same names without the
    // horizontal one, which under Wine costs some 15 ms of every listing.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_STRING, 1, L"文件");
    ::AppendMenuW(bar, MF_STRING, 2, L"收起");
    RECT outer{0, 0, TwipsToPixels(MainDesign().clientWidth, dpi), 0};
    ::AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, TRUE, 0);
    const int width = outer.right - outer.left;
    const int top = work.top + TwipsToPixels(kTopAtLoad, dpi);
    const int height = work.bottom - work.top - TwipsToPixels(kBottomGap, dpi);
    FloorWindow w;
    w.frame.reset(::CreateWindowExW(0, kFloorClass, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    work.right - width - TwipsToPixels(kRightGap, dpi), top, width,
                                    height, nullptr, bar, wc.hInstance, nullptr));
    RECT client{};
    ::GetClientRect(w.frame.get(), &client);
    w.tree = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
        client.right, client.bottom, w.frame.get(), nullptr, wc.hInstance, nullptr);
    return w;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const wchar_t* text, int image) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.iImage = image;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace volane::bench
