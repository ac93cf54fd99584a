#include "bench/Report.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "bench/BenchCommon.h"

namespace volane::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr std::size_t kTargetEntries = 100000;
constexpr std::size_t kLinearBaseEntries = 10000;
constexpr double kTimeTarget = 1.15;
constexpr double kLinearTarget = 11.0;
constexpr double kMemoryTarget = 1.3;
constexpr double kStartupTarget = 1.2;

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string Ratio(double part, double whole) {
    return whole > 0 ? Fixed(part / whole, 2) + "x" : "-";
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

std::string Mb(double bytes) {
    return Fixed(bytes / kMiB, 1);
}

std::string Joined(const std::vector<double>& ms) {
    std::string text;
    for (double v : ms) text += (text.empty() ? "" : ", ") + Fixed(v, 1);
    return text.empty() ? "-" : text;
}

double Fastest(const std::vector<double>& ms) {
    return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end());
}

// The median of the ratios of runs that ran one right after the other: load from other
// processes that comes and goes touches both runs of a pair alike.
std::string PairedRatio(const std::vector<double>& volane, const std::vector<double>& floor) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < volane.size() && i < floor.size(); ++i)
        if (floor[i] > 0) ratios.push_back(volane[i] / floor[i]);
    return ratios.empty() ? "-" : Fixed(Median(ratios), 2) + "x";
}

// The robust estimates beside a median ratio: fastest runs, which other load disturbs least,
// and the paired ratio.
std::string FastestRatio(const std::vector<double>& volane, const std::vector<double>& floor) {
    return "; fastest runs " + Ratio(Fastest(volane), Fastest(floor)) + ", paired runs " +
           PairedRatio(volane, floor);
}

void StepRows(std::ostringstream& md, const char* side,
              const std::vector<std::pair<std::string, double>>& steps) {
    const double entry = steps.empty() ? 0 : steps.front().second;
    for (const auto& [step, ms] : steps)
        md << "| " << side << " | " << step << " | " << Fixed(ms, 1) << " | "
           << Fixed(ms - entry, 1) << " |\n";
}

std::string Optional(const std::optional<double>& ms) {
    return ms ? Fixed(*ms, 1) : "-";
}

std::string RegistryString(HKEY root, const wchar_t* subKey, const wchar_t* value) {
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueW(root, subKey, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    std::string s = Utf8(text);
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

std::string PlatformVersion() {
    using WineVersion = const char*(__cdecl*)();
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (const auto wine = reinterpret_cast<WineVersion>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "wine_get_version"))))
        return std::string("Wine ") + wine();
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (const auto get = reinterpret_cast<RtlGetVersionFn>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion"))))
        get(&info);
    return "Windows " + std::to_string(info.dwMajorVersion) + "." +
           std::to_string(info.dwMinorVersion) + "." + std::to_string(info.dwBuildNumber);
}

std::string CompilerVersion() {
#if defined(__clang__)
    std::string compiler = "clang " __clang_version__;
#elif defined(__GNUC__)
    std::string compiler = "GCC " __VERSION__;
#else
    std::string compiler = "unknown compiler";
#endif
#if defined(__MINGW64_VERSION_STR)
    compiler += ", MinGW-w64 " __MINGW64_VERSION_STR;
#endif
    return compiler;
}

std::string Today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

const ListingFigures* FindListing(const Results& results, std::size_t entries) {
    for (const ListingFigures& l : results.listings)
        if (l.entries == entries) return &l;
    return nullptr;
}

std::string Verdict(bool met) {
    return met ? "met" : "NOT met";
}

std::vector<std::string> TargetLines(const Results& results) {
    std::vector<std::string> lines;
    const ListingFigures* big = FindListing(results, kTargetEntries);
    const ListingFigures* base = FindListing(results, kLinearBaseEntries);
    if (big) {
        const double time = big->volaneMs / big->floorMs;
        lines.push_back("ExpandPath on 100,000 entries within " + Fixed(kTimeTarget, 2) +
                        "x of the floor: " + Fixed(time, 2) + "x (" + Fixed(big->volaneMs, 1) +
                        " ms against " + Fixed(big->floorMs, 1) + " ms" +
                        FastestRatio(big->volaneRuns, big->floorRuns) + ") - " +
                        Verdict(time <= kTimeTarget));
        if (base) {
            const double growth = big->volaneMs / base->volaneMs;
            lines.push_back("Linear: the 100,000 figure at most " + Fixed(kLinearTarget, 0) +
                            "x the 10,000 one: " + Fixed(growth, 2) + "x (fastest runs " +
                            Ratio(Fastest(big->volaneRuns), Fastest(base->volaneRuns)) + ") - " +
                            Verdict(growth <= kLinearTarget));
        }
        const double memory = big->volanePeakBytes / big->floorPeakBytes;
        lines.push_back("Peak working set listing 100,000 entries within " +
                        Fixed(kMemoryTarget, 2) + "x of the floor's: " + Fixed(memory, 2) + "x (" +
                        Mb(big->volanePeakBytes) + " MiB against " + Mb(big->floorPeakBytes) +
                        " MiB) - " + Verdict(memory <= kMemoryTarget));
    } else {
        lines.push_back("The 100,000-entry targets need the full mode.");
    }
    if (results.startup.measured && results.startup.ok) {
        const double start = results.startup.volaneMs / results.startup.floorMs;
        lines.push_back("Start-up to drive roots within " + Fixed(kStartupTarget, 2) +
                        "x of the floor: " + Fixed(start, 2) + "x (" +
                        Fixed(results.startup.volaneMs, 1) + " ms against " +
                        Fixed(results.startup.floorMs, 1) + " ms" +
                        FastestRatio(results.startup.volaneRuns, results.startup.floorRuns) +
                        ") - " + Verdict(start <= kStartupTarget));
    }
    if (results.noCap.measured) {
        lines.push_back("No cap: " + Thousands(results.noCap.entries) + " entries give " +
                        Thousands(results.noCap.listed) + " nodes, " +
                        Thousands(results.noCap.expected) + " expected, in " +
                        Fixed(results.noCap.volaneMs, 0) + " ms - " +
                        Verdict(results.noCap.listed == results.noCap.expected));
    }
    return lines;
}

}  // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

Machine DescribeMachine() {
    Machine m;
    SYSTEM_INFO info;
    ::GetNativeSystemInfo(&info);
    m.processors = info.dwNumberOfProcessors;
    m.cpu =
        RegistryString(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                       L"ProcessorNameString");
    if (m.cpu.empty()) m.cpu = "unknown";
    m.platform = PlatformVersion();
    m.compiler = CompilerVersion();
    return m;
}

std::string FormatConsole(const Results& results) {
    std::ostringstream out;
    char line[256];
    std::snprintf(line, sizeof(line), "%9s %9s %10s %10s %7s %10s %10s %7s  %s\n", "entries",
                  "listed", "floor ms", "Volane ms", "ratio", "floor MiB", "Volane MiB", "ratio",
                  "counts");
    out << line;
    for (const ListingFigures& l : results.listings) {
        std::snprintf(line, sizeof(line), "%9zu %9zu %10.1f %10.1f %7s %10.1f %10.1f %7s  %s\n",
                      l.entries, l.expected, l.floorMs, l.volaneMs,
                      Ratio(l.volaneMs, l.floorMs).c_str(), l.floorPeakBytes / kMiB,
                      l.volanePeakBytes / kMiB, Ratio(l.volanePeakBytes, l.floorPeakBytes).c_str(),
                      l.countsOk ? "ok" : "WRONG");
        out << line;
    }
    if (results.startup.measured) {
        std::snprintf(line, sizeof(line), "%19s %10.1f %10.1f %7s  %s\n", "start-up",
                      results.startup.floorMs, results.startup.volaneMs,
                      Ratio(results.startup.volaneMs, results.startup.floorMs).c_str(),
                      results.startup.ok ? "ok" : "FAILED");
        out << line;
    }
    for (const std::string& t : TargetLines(results)) out << "  " << t << "\n";
    for (const std::string& n : results.notes) out << "  note: " << n << "\n";
    return out.str();
}

std::string FormatMarkdown(const Results& results) {
    std::ostringstream md;
    const Machine& m = results.machine;
    md << "# Benchmark results\n\n"
       << "Written by volane_bench.exe (`scripts/bench`) on " << Today() << ", "
       << (results.shortMode ? "short mode" : "full mode") << ", median of " << results.runs
       << " run" << (results.runs == 1 ? "" : "s") << " per listing figure and of "
       << results.startupRuns << " per start-up figure, each run in a fresh child process.\n\n"
       << "- Machine: " << m.processors << " processors, " << m.cpu << "\n"
       << "- Platform: " << m.platform << "\n"
       << "- Compiler: " << m.compiler << "\n\n";

    md << "## Folder listing\n\n"
       << "Floor: FindFirstFileExW (FindExInfoBasic, FIND_FIRST_EX_LARGE_FETCH) and the same "
          "labels and pictures inserted into a plain tree view with redraw off. Volane: "
          "ExpandPath on frmMain's tv1. Both spans end after the tree has painted. Memory is "
          "the child process's PeakWorkingSetSize.\n\n"
       << "| entries | listed | floor ms | Volane ms | ratio | floor peak MiB | Volane peak MiB "
          "| ratio |\n"
       << "|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const ListingFigures& l : results.listings) {
        md << "| " << Thousands(l.entries) << " | " << Thousands(l.expected)
           << (l.countsOk ? "" : " (WRONG)") << " | " << Fixed(l.floorMs, 1) << " | "
           << Fixed(l.volaneMs, 1) << " | " << Ratio(l.volaneMs, l.floorMs) << " | "
           << Mb(l.floorPeakBytes) << " | " << Mb(l.volanePeakBytes) << " | "
           << Ratio(l.volanePeakBytes, l.floorPeakBytes) << " |\n";
    }

    md << "\nLess sensitive to other load on the machine: the fastest run of each, and the "
          "median of the ratios of runs that ran one right after the other (paired):\n\n"
       << "| entries | fastest floor ms | fastest Volane ms | ratio | paired ratio |\n"
       << "|---:|---:|---:|---:|---:|\n";
    for (const ListingFigures& l : results.listings) {
        md << "| " << Thousands(l.entries) << " | " << Fixed(Fastest(l.floorRuns), 1) << " | "
           << Fixed(Fastest(l.volaneRuns), 1) << " | "
           << Ratio(Fastest(l.volaneRuns), Fastest(l.floorRuns)) << " | "
           << PairedRatio(l.volaneRuns, l.floorRuns) << " |\n";
    }

    if (results.startup.measured) {
        md << "\n## Start-up\n\n"
           << "From just before CreateProcess to the first item in the process's tree view, "
              "polled across processes (TVM_GETCOUNT). Floor: a bare window with a tree view "
              "and the drive roots.\n\n"
           << "| | floor ms | Volane ms | ratio |\n|---|---:|---:|---:|\n"
           << "| start-up to drive roots" << (results.startup.ok ? "" : " (FAILED)") << " | "
           << Fixed(results.startup.floorMs, 1) << " | " << Fixed(results.startup.volaneMs, 1)
           << " | " << Ratio(results.startup.volaneMs, results.startup.floorMs) << " |\n"
           << "| of which: until the window with its tree view is seen | "
           << Fixed(results.startup.floorTreeMs, 1) << " | "
           << Fixed(results.startup.volaneTreeMs, 1) << " | "
           << Ratio(results.startup.volaneTreeMs, results.startup.floorTreeMs) << " |\n"
           << "| fastest run to drive roots | " << Fixed(Fastest(results.startup.floorRuns), 1)
           << " | " << Fixed(Fastest(results.startup.volaneRuns), 1) << " | "
           << Ratio(Fastest(results.startup.volaneRuns), Fastest(results.startup.floorRuns))
           << " |\n"
           << "| paired runs (median of the ratios) | | | "
           << PairedRatio(results.startup.volaneRuns, results.startup.floorRuns) << " |\n";
        if (!results.startup.volaneSteps.empty()) {
            md << "\nWhen each start-up step ends, read inside the process (medians; for "
                  "Volane the benchmark's child takes Main's steps with Volane's own classes; "
                  "the floor runs its own steps and ends):\n\n"
               << "| | step | ms since process creation | ms since entry |\n"
               << "|---|---|---:|---:|\n";
            StepRows(md, "floor", results.startup.floorSteps);
            StepRows(md, "Volane", results.startup.volaneSteps);
        }
    }

    md << "\n## Targets\n\n";
    for (const std::string& t : TargetLines(results)) md << "- " << t << "\n";

    md << "\n## Where the time goes\n\n"
       << "Medians in ms. Service: Volane's file-system service enumerating into a sink that "
          "only counts. No view: ExpandPath on a tree that keeps the key index but has no tree "
          "view. Tree view share: Volane minus no view. Growth: peak working set minus the "
          "working set before the span, MiB.\n\n"
       << "| entries | floor enum | floor insert | service enum | no view | Volane | tree view "
          "share | floor growth | no-view growth | Volane growth |\n"
       << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const ListingFigures& l : results.listings) {
        md << "| " << Thousands(l.entries) << " | " << Fixed(l.floorEnumMs, 1) << " | "
           << Fixed(l.floorInsertMs, 1) << " | " << Optional(l.serviceEnumMs) << " | "
           << Optional(l.logicMs) << " | " << Fixed(l.volaneMs, 1) << " | "
           << (l.logicMs ? Fixed(l.volaneMs - *l.logicMs, 1) : "-") << " | "
           << Mb(l.floorGrowthBytes) << " | "
           << (l.logicGrowthBytes ? Mb(*l.logicGrowthBytes) : "-") << " | "
           << Mb(l.volaneGrowthBytes) << " |\n";
    }
    md << "\nVariants of the floor, each changing one thing (insert span, ms): expand first: "
          "the folder item expanded as soon as it has its first child (then the other items go "
          "into an expanded item); after previous: each item inserted after the previous one's "
          "handle instead of TVI_LAST; subclassed: a pass-through procedure installed with "
          "comctl32's SetWindowSubclass on the tree view.\n\n"
       << "| entries | floor insert | expand first | after previous | subclassed |\n"
       << "|---:|---:|---:|---:|---:|\n";
    for (const ListingFigures& l : results.listings) {
        md << "| " << Thousands(l.entries) << " | " << Fixed(l.floorInsertMs, 1) << " | "
           << Optional(l.expandFirstInsertMs) << " | " << Optional(l.afterPreviousInsertMs) << " | "
           << Optional(l.subclassedInsertMs) << " |\n";
    }
    md << "\n## Every run\n\nTimes in ms, in the order they ran (floor and Volane took turns).\n\n";
    for (const ListingFigures& l : results.listings) {
        md << "- " << Thousands(l.entries) << " entries: floor " << Joined(l.floorRuns)
           << "; Volane " << Joined(l.volaneRuns) << "\n";
    }
    if (results.startup.measured) {
        md << "- start-up: floor " << Joined(results.startup.floorRuns) << "; Volane "
           << Joined(results.startup.volaneRuns) << "\n";
    }
    if (!results.notes.empty()) {
        md << "\n## Notes\n\n";
        for (const std::string& n : results.notes) md << "- " << n << "\n";
    }
    return md.str();
}

}  // namespace volane::bench
