// volane_bench.exe: measures Volane's folder listing and start-up against the floor of what the
// platform needs for the same work, and writes the table to results.md.
//
//   volane_bench --prepared FOLDER [--short] [--runs N] [--max-runs N] [--startup-runs N]
//                [--sizes N,N,...] [--no-cap N] [--out FILE] [--note TEXT]...
//
// FOLDER holds entries-N folders made by bench/host/mkfolders. Every run is a fresh process;
// floor and Volane take turns, so a drift of the machine touches both alike. --short lists
// 1,000 and 10,000 entries once and starts each program once. The exit code is 1 when a run
// failed or listed other than the planned number of nodes; times never fail it.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "bench/Common.h"
#include "bench/FolderPlan.h"
#include "modules/mdlApp.h"

namespace volane::bench {
namespace {

constexpr std::size_t kTargetEntries = 100000;
// Listings of up to this many entries run until their paired median is stable.
constexpr std::size_t kStableUpTo = 10000;
constexpr std::size_t kSettleRuns = 6;
constexpr double kSettled = 0.01;
constexpr std::size_t kLinearBase = 10000;
constexpr double kMemoryTarget = 0.85, kListingTarget = 1.00, kSmallListingTarget = 1.05,
                 kLinearTarget = 11.0, kStartupTarget = 1.10;
// The folders most users open, held to kSmallListingTarget.
constexpr std::size_t kSmallSizes[] = {100, 1000};
constexpr double kMiB = 1024.0 * 1024.0;

struct Options {
    bool shortMode = false;
    int runs = 9;          // at least, per listing size
    int maxRuns = 61;      // at most, for a folder small enough that runs are cheap
    int startupRuns = 41;  // start-ups are short and vary more than listings
    std::vector<std::size_t> sizes{100, 1000, 10000, 100000};
    std::size_t noCap = 200000;
    std::wstring prepared, out = ExeFolder() + L"\\results.md";
    std::vector<std::string> notes;
};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t mid = v.size() / 2;
    return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// The median of the ratios of runs that ran one right after the other: load that comes and
// goes touches both runs of a pair alike.
double PairedRatio(const std::vector<double>& volane, const std::vector<double>& floor) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < volane.size() && i < floor.size(); ++i)
        ratios.push_back(volane[i] / floor[i]);
    return Median(ratios);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string Ratio(double r) {
    return Fixed(r, 2) + "x";
}

std::string Thousands(std::size_t n) {
    const std::string digits = std::to_string(n);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string Joined(const std::vector<double>& values) {
    std::string text;
    for (double v : values) text += (text.empty() ? "" : ", ") + Fixed(v, 1);
    return text;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

struct Side {
    std::vector<double> ms, peak, growth;
};

struct Listing {
    std::size_t entries = 0, expected = 0;
    Side floor, volane;
};

struct Startup {
    std::vector<double> floor, volane;
    std::vector<Phase> floorSteps, volaneSteps;  // medians per step
};

class Bench {
  public:
    explicit Bench(const Options& o) : o_(o) {}

    bool Run() {
        // The listing reads its type list from setup.ini beside the child.
        std::ofstream((ExeFolder() + L"\\setup.ini").c_str(), std::ios::binary)
            << "[setup]\r\nfileTypes=" << kDefaultTypeList << "\r\n";
        for (std::size_t entries : o_.sizes) List(entries);
        if (o_.noCap) NoCap();
        StartUp();
        if (!o_.shortMode) Steps();
        return ok_;
    }

    std::string Markdown() const;

  private:
    void Fail(const std::string& why) {
        Say("  FAILED: " + why);
        notes_.push_back("FAILED: " + why);
        ok_ = false;
    }

    std::wstring Folder(std::size_t entries) const {
        return o_.prepared + L"\\entries-" + std::to_wstring(entries);
    }
    std::wstring ReportFile() const { return ExeFolder() + L"\\report.txt"; }

    struct Started {
        win32::unique_handle process, thread;
        DWORD id = 0;
    };
    static std::optional<Started> Start(std::wstring commandLine, const wchar_t* folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder, &startup, &info))
            return std::nullopt;
        return Started{win32::unique_handle(info.hProcess), win32::unique_handle(info.hThread),
                       info.dwProcessId};
    }

    // Runs a command line that leaves a report; the report, or one whose error says why not.
    static ChildReport RunForReport(const std::wstring& commandLine, const std::wstring& file) {
        ::DeleteFileW(file.c_str());
        ChildReport failed;
        const auto child = Start(commandLine, nullptr);
        if (!child) {
            failed.error = "cannot start " + Utf8(commandLine);
            return failed;
        }
        if (::WaitForSingleObject(child->process.get(), 30 * 60 * 1000) != WAIT_OBJECT_0) {
            ::TerminateProcess(child->process.get(), 1);
            failed.error = "timed out";
            return failed;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(child->process.get(), &code);
        std::optional<ChildReport> report = ReadReport(file);
        if (!report) report = failed;
        if (code != 0 && report->error.empty()) report->error = "exit code " + std::to_string(code);
        return *report;
    }

    // One listing in a child; counted only when it listed the planned nodes.
    bool Measure(const wchar_t* mode, std::size_t entries, Side* side) {
        const ChildReport r =
            RunForReport(L"\"" + ExeFolder() + L"\\volane_bench_child.exe\" " + mode + L" \"" +
                             ReportFile() + L"\" \"" + Folder(entries) + L"\"",
                         ReportFile());
        const std::size_t expected = PlannedChildren(entries);
        if (!r.error.empty() || r.count != expected) {
            Fail(Utf8(mode) + " on " + Thousands(entries) + " entries: " +
                 (r.error.empty() ? std::to_string(r.count) + " nodes, " +
                                        std::to_string(expected) + " expected"
                                  : r.error));
            return false;
        }
        if (side) {
            side->ms.push_back(r.totalMs);
            side->peak.push_back(static_cast<double>(r.peakBytes));
            side->growth.push_back(static_cast<double>(r.peakBytes - r.baseBytes));
        }
        return true;
    }

    void List(std::size_t entries) {
        // The first child of a session pays for what Wine sets up once: one unmeasured run each
        // (the short mode only checks the counts).
        if (listings_.empty() && !o_.shortMode &&
            !(Measure(L"floor-list", entries, nullptr) &&
              Measure(L"volane-list", entries, nullptr)))
            return;
        Listing l;
        l.entries = entries;
        l.expected = PlannedChildren(entries);
        // Small folders list in a few tens of milliseconds, where the machine's noise is as big
        // as the difference measured: they run until the last runs no longer move the median.
        const int most = entries <= kStableUpTo ? std::max(o_.runs, o_.maxRuns) : o_.runs;
        for (int run = 0; run < most; ++run) {
            if (!Measure(L"floor-list", entries, &l.floor) ||
                !Measure(L"volane-list", entries, &l.volane))
                return;
            if (run + 1 >= o_.runs && Stable(l)) break;
        }
        Say("  " + Thousands(entries) + " entries: floor " + Fixed(Median(l.floor.ms), 0) +
            " ms, Volane " + Fixed(Median(l.volane.ms), 0) + " ms");
        listings_.push_back(l);
    }

    // Whether the paired median has settled: the last kSettleRuns runs moved it by less than
    // kSettled.
    static bool Stable(const Listing& l) {
        const std::size_t n = l.volane.ms.size();
        if (n <= kSettleRuns) return false;
        const double now = PairedRatio(l.volane.ms, l.floor.ms);
        const std::vector<double> volane(l.volane.ms.begin(), l.volane.ms.end() - kSettleRuns),
            floor(l.floor.ms.begin(), l.floor.ms.end() - kSettleRuns);
        return std::abs(now - PairedRatio(volane, floor)) < kSettled * now;
    }

    void NoCap() {
        Side once;
        if (Measure(L"volane-list", o_.noCap, &once)) noCapMs_ = once.ms.front();
    }

    // Starts a program and measures how long until its window of that caption has a tree view
    // with an item, polling across processes; then closes the window. The count query is a sent
    // message, answered only once the child takes messages.
    std::optional<double> StartOnce(std::wstring commandLine, const wchar_t* caption) {
        const Stopwatch clock;
        const auto child = Start(commandLine, ExeFolder().c_str());
        if (!child) {
            Fail("cannot start " + Utf8(commandLine));
            return std::nullopt;
        }
        const HANDLE process = child->process.get();
        std::optional<double> ms;
        HWND frame = nullptr, tree = nullptr;
        while (!ms && clock.ElapsedMs() < 60000 &&
               ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            if (!tree) {
                frame = ::FindWindowW(nullptr, caption);
                DWORD owner = 0;
                if (frame) ::GetWindowThreadProcessId(frame, &owner);
                if (owner == child->id)
                    tree = ::FindWindowExW(frame, nullptr, WC_TREEVIEWW, nullptr);
                continue;
            }
            DWORD_PTR count = 0;
            if (::SendMessageTimeoutW(tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count) &&
                count > 0)
                ms = clock.ElapsedMs();
        }
        if (frame) ::PostMessageW(frame, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process, 15000) != WAIT_OBJECT_0) ::TerminateProcess(process, 1);
        if (!ms) Fail(Utf8(caption) + ": no drive roots shown");
        return ms;
    }

    void StartUp() {
        const std::wstring floor = L"\"" + ExeFolder() + L"\\volane_bench_startfloor.exe\"";
        // Any editor command will do: only its presence matters at start.
        const std::wstring volane = L"\"" + ExeFolder() + L"\\..\\bin\\Volane.exe\" notepad.exe";
        const std::wstring caption(WINDOW_TITLE);
        if (!o_.shortMode &&
            (!StartOnce(floor, kFloorStartCaption) || !StartOnce(volane, caption.c_str())))
            return;
        for (int run = 0; run < o_.startupRuns; ++run) {
            const auto f = StartOnce(floor, kFloorStartCaption);
            const auto v = f ? StartOnce(volane, caption.c_str()) : std::nullopt;
            if (!v) return;
            startup_.floor.push_back(*f);
            startup_.volane.push_back(*v);
        }
        Say("  start-up: floor " + Fixed(Median(startup_.floor), 0) + " ms, Volane " +
            Fixed(Median(startup_.volane), 0) + " ms");
    }

    // When each start-up step ends, read inside the processes: medians over the runs.
    void Steps() {
        const std::wstring floor = L"\"" + ExeFolder() +
                                   L"\\volane_bench_startfloor.exe\" --steps \"" + ReportFile() +
                                   L"\"";
        const std::wstring volane = L"\"" + ExeFolder() +
                                    L"\\volane_bench_child.exe\" volane-steps \"" + ReportFile() +
                                    L"\"";
        std::vector<std::vector<Phase>> floorRuns, volaneRuns;
        for (int run = 0; run < o_.runs; ++run) {
            for (auto [command, runs] : {std::pair{&floor, &floorRuns}, {&volane, &volaneRuns}}) {
                const ChildReport r = RunForReport(*command, ReportFile());
                if (!r.error.empty() || r.count == 0) return Fail("start-up steps: " + r.error);
                runs->push_back(r.phases);
            }
        }
        startup_.floorSteps = MedianPhases(floorRuns);
        startup_.volaneSteps = MedianPhases(volaneRuns);
    }

    static std::vector<Phase> MedianPhases(const std::vector<std::vector<Phase>>& runs) {
        std::vector<Phase> medians = runs.front();
        for (std::size_t i = 0; i < medians.size(); ++i) {
            std::vector<double> ms, bytes;
            for (const auto& run : runs) {
                ms.push_back(run[i].ms);
                bytes.push_back(static_cast<double>(run[i].bytes));
            }
            medians[i].ms = Median(ms);
            medians[i].bytes = static_cast<std::size_t>(Median(bytes));
        }
        return medians;
    }

    const Listing* Find(std::size_t entries) const {
        for (const Listing& l : listings_)
            if (l.entries == entries) return &l;
        return nullptr;
    }

    const Options& o_;
    bool ok_ = true;
    std::vector<Listing> listings_;
    std::optional<double> noCapMs_;
    Startup startup_;
    std::vector<std::string> notes_;
};

std::string Verdict(double value, double target) {
    return value <= target ? "met" : "**not met**";
}

std::string Bench::Markdown() const {
    std::ostringstream md;
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    using WineVersion = const char*(__cdecl*)();
    const auto wine = reinterpret_cast<WineVersion>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO system;
    ::GetNativeSystemInfo(&system);
    char date[16];
    std::snprintf(date, sizeof(date), "%04u-%02u-%02u", today.wYear, today.wMonth, today.wDay);
    md << "# Benchmark results\n\nWritten by volane_bench.exe (`scripts/bench`) on " << date << ", "
       << (o_.shortMode ? "short" : "full") << " mode: " << o_.runs
       << " runs or more per listing size (up to " << o_.maxRuns << " for "
       << Thousands(kStableUpTo) << " entries or fewer, until the last " << kSettleRuns
       << " runs move the paired median by less than " << Fixed(kSettled * 100, 0) << " %), "
       << o_.startupRuns
       << " start-ups per program. Every run is a fresh process, floor and Volane take turns; "
          "figures are medians. "
       << (wine ? std::string("Wine ") + wine() : std::string("Windows")) << ", "
       << system.dwNumberOfProcessors << " processors, GCC " << __VERSION__ << ".\n\n";

    md << "Listing floor: FindFirstFileExW (FindExInfoBasic, FIND_FIRST_EX_LARGE_FETCH), the "
          "sub-folders and passing files inserted with their pictures into a plain tree view "
          "with redraw off, expanded, painted; the tree view is as big as Volane's, in a window "
          "where Volane's opens and of its size, so that both need the same scroll bars. Volane: "
          "ExpandPath on the folder's node in "
          "frmMain's tv1, painted. Peak: the child's PeakWorkingSetSize. Bytes per node: the "
          "peak less the working set before the listing, over the nodes listed. Start-up: from "
          "CreateProcess to the first item in the program's tree view, polled from outside; the "
          "floor is a bare window whose tree view gets the drive roots.\n\n";

    md << "## Targets\n\n| | floor | Volane | ratio | target | |\n|---|---:|---:|---:|---:|---|\n";
    if (const Listing* big = Find(kTargetEntries)) {
        const double floorPeak = Median(big->floor.peak), volanePeak = Median(big->volane.peak);
        md << "| peak working set, 100,000 entries, MiB | " << Fixed(floorPeak / kMiB, 1) << " | "
           << Fixed(volanePeak / kMiB, 1) << " | " << Ratio(volanePeak / floorPeak) << " | "
           << Ratio(kMemoryTarget) << " | " << Verdict(volanePeak / floorPeak, kMemoryTarget)
           << " |\n";
        const double floorNode = Median(big->floor.growth) / static_cast<double>(big->expected);
        const double volaneNode = Median(big->volane.growth) / static_cast<double>(big->expected);
        md << "| bytes per node, 100,000 entries | " << Fixed(floorNode, 0) << " | "
           << Fixed(volaneNode, 0) << " | " << Ratio(volaneNode / floorNode) << " | | |\n";
        const double paired = PairedRatio(big->volane.ms, big->floor.ms);
        md << "| listing 100,000 entries, ms (paired ratio) | " << Fixed(Median(big->floor.ms), 0)
           << " | " << Fixed(Median(big->volane.ms), 0) << " | " << Ratio(paired) << " | "
           << Ratio(kListingTarget) << " | " << Verdict(paired, kListingTarget) << " |\n";
        if (const Listing* base = Find(kLinearBase)) {
            const double growth = Median(big->volane.ms) / Median(base->volane.ms);
            md << "| Volane's 100,000 entries against its 10,000 | | | " << Fixed(growth, 1)
               << "x | " << Fixed(kLinearTarget, 0) << "x | " << Verdict(growth, kLinearTarget)
               << " |\n";
        }
    }
    for (std::size_t entries : kSmallSizes) {
        const Listing* small = Find(entries);
        if (!small) continue;
        const double paired = PairedRatio(small->volane.ms, small->floor.ms);
        md << "| listing " << Thousands(entries) << " entries, ms (paired ratio) | "
           << Fixed(Median(small->floor.ms), 1) << " | " << Fixed(Median(small->volane.ms), 1)
           << " | " << Ratio(paired) << " | " << Ratio(kSmallListingTarget) << " | "
           << Verdict(paired, kSmallListingTarget) << " |\n";
    }
    if (!startup_.volane.empty()) {
        const double paired = PairedRatio(startup_.volane, startup_.floor);
        md << "| start-up to the drive roots, ms (paired ratio) | "
           << Fixed(Median(startup_.floor), 0) << " | " << Fixed(Median(startup_.volane), 0)
           << " | " << Ratio(paired) << " | " << Ratio(kStartupTarget) << " | "
           << Verdict(paired, kStartupTarget) << " |\n";
    }
    if (noCapMs_) {
        md << "| " << Thousands(o_.noCap) << " entries: all "
           << Thousands(PlannedChildren(o_.noCap)) << " nodes listed, ms | | "
           << Fixed(*noCapMs_, 0) << " | | | met |\n";
    }

    md << "\n## Listing\n\n| entries | nodes | runs | floor ms | Volane ms | paired ratio | "
          "floor peak MiB | Volane peak MiB | ratio | floor B/node | Volane B/node |\n"
       << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Listing& l : listings_) {
        const double nodes = static_cast<double>(l.expected);
        md << "| " << Thousands(l.entries) << " | " << Thousands(l.expected) << " | "
           << l.volane.ms.size() << " | " << Fixed(Median(l.floor.ms), 1) << " | "
           << Fixed(Median(l.volane.ms), 1) << " | " << Ratio(PairedRatio(l.volane.ms, l.floor.ms))
           << " | " << Fixed(Median(l.floor.peak) / kMiB, 1) << " | "
           << Fixed(Median(l.volane.peak) / kMiB, 1) << " | "
           << Ratio(Median(l.volane.peak) / Median(l.floor.peak)) << " | "
           << Fixed(Median(l.floor.growth) / nodes, 0) << " | "
           << Fixed(Median(l.volane.growth) / nodes, 0) << " |\n";
    }

    if (!startup_.volaneSteps.empty()) {
        md << "\n## Start-up steps\n\nWhen each step ends, read inside the process: ms since "
              "the process was created, ms since entry, working set. Volane's are Main's steps "
              "taken by the benchmark's child with Volane's own classes.\n\n"
           << "| | step | ms | since entry | MiB |\n|---|---|---:|---:|---:|\n";
        for (auto [side, steps] :
             {std::pair{"floor", &startup_.floorSteps}, {"Volane", &startup_.volaneSteps}}) {
            for (const Phase& p : *steps)
                md << "| " << side << " | " << p.name << " | " << Fixed(p.ms, 1) << " | "
                   << Fixed(p.ms - steps->front().ms, 1) << " | "
                   << Fixed(static_cast<double>(p.bytes) / kMiB, 1) << " |\n";
        }
    }

    md << "\n## Every run\n\nIn ms, in the order they ran.\n\n";
    for (const Listing& l : listings_)
        md << "- " << Thousands(l.entries) << " entries: floor " << Joined(l.floor.ms)
           << "; Volane " << Joined(l.volane.ms) << "\n";
    if (!startup_.volane.empty())
        md << "- start-up: floor " << Joined(startup_.floor) << "; Volane "
           << Joined(startup_.volane) << "\n";
    std::vector<std::string> notes = o_.notes;
    notes.insert(notes.end(), notes_.begin(), notes_.end());
    if (!notes.empty()) md << "\n## Notes\n\n";
    for (const std::string& n : notes) md << "- " << n << "\n";
    return md.str();
}

std::vector<std::size_t> Sizes(const std::wstring& text) {
    std::vector<std::size_t> sizes;
    std::wistringstream in(text);
    for (std::wstring piece; std::getline(in, piece, L',');) sizes.push_back(std::stoull(piece));
    return sizes;
}

}  // namespace
}  // namespace volane::bench

int wmain(int argc, wchar_t** argv) {
    using namespace volane::bench;
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const wchar_t* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == L"--short") {
            o.shortMode = true;
            o.runs = o.maxRuns = o.startupRuns = 1;
            o.sizes = {1000, 10000};
            o.noCap = 0;
            continue;
        }
        if (!value) {
            Say("unknown or incomplete argument: " + Utf8(arg));
            return 2;
        }
        ++i;
        if (arg == L"--runs") o.runs = std::max(1, _wtoi(value));
        if (arg == L"--max-runs") o.maxRuns = std::max(1, _wtoi(value));
        if (arg == L"--startup-runs") o.startupRuns = std::max(1, _wtoi(value));
        if (arg == L"--sizes") o.sizes = Sizes(value);
        if (arg == L"--no-cap") o.noCap = std::wcstoull(value, nullptr, 10);
        if (arg == L"--prepared") o.prepared = value;
        if (arg == L"--out") o.out = value;
        if (arg == L"--note") o.notes.push_back(Utf8(value));
    }
    if (o.prepared.empty()) {
        Say("volane_bench: --prepared FOLDER is required (scripts/bench makes the folders)");
        return 2;
    }
    Bench bench(o);
    Say(std::string("volane_bench: ") + (o.shortMode ? "short" : "full") + " mode");
    const bool ok = bench.Run();
    const std::string table = bench.Markdown();
    std::ofstream(o.out.c_str(), std::ios::binary) << table;
    Say(table);
    Say(ok ? "volane_bench: every count as expected" : "volane_bench: FAILED");
    return ok ? 0 : 1;
}
