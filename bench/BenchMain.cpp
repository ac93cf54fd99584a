// volane_bench.exe: measures Volane's folder listing and start-up against what the platform
// needs for the same work, and writes the table to results.md.
//
//   volane_bench [--short] [--runs N] [--sizes 1000,10000,...] [--no-cap N] [--no-profile]
//                [--work FOLDER] [--prepared FOLDER] [--out FILE] [--volane EXE]
//                [--startup-runs N] [--poll-ms N] [--note TEXT]...
//
// --short: 1,000 and 10,000 entries, one run, no 200,000 check (what CI runs).
// --prepared: a folder that already holds entries-N folders (made by bench/host/mkfolders);
// each is checked against the plan and used instead of generating one.
//
// The exit code is 0 when every run listed exactly the expected nodes and every start-up
// showed its drive roots; the times never fail it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "bench/FloorWindow.h"
#include "bench/FolderPlan.h"
#include "bench/Generator.h"
#include "bench/Report.h"
#include "bench/Runner.h"
#include "modules/mdlApp.h"

namespace {

using namespace volane::bench;

struct Options {
    bool shortMode = false;
    int runs = 7;
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    std::size_t noCapEntries = 200000;
    bool profile = true;
    std::wstring work;      // the parent folder of the generated folders
    std::wstring prepared;  // folders made beforehand, owned by the caller
    std::wstring out;
    std::wstring volane;
    std::vector<std::string> notes;  // lines for the notes of results.md
    unsigned pollMs = 0;             // start-up: pause between two looks at the child's tree
    // Start-ups are short and vary more than listings, so they get more runs.
    int startupRuns = 21;
};

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::vector<std::size_t> ParseSizes(const std::wstring& text) {
    std::vector<std::size_t> sizes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(L',', start), text.size());
        const std::wstring piece = text.substr(start, comma - start);
        if (!piece.empty()) sizes.push_back(std::wcstoull(piece.c_str(), nullptr, 10));
        start = comma + 1;
    }
    return sizes;
}

std::optional<Options> ParseOptions(int argc, wchar_t** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--short") {
            o.shortMode = true;
            o.runs = 1;
            o.startupRuns = 1;
            o.sizes = {1000, 10000};
            o.noCapEntries = 0;
        } else if (arg == L"--no-profile") {
            o.profile = false;
        } else if (arg == L"--runs" && hasValue) {
            o.runs = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--sizes" && hasValue) {
            o.sizes = ParseSizes(argv[++i]);
        } else if (arg == L"--no-cap" && hasValue) {
            o.noCapEntries = std::wcstoull(argv[++i], nullptr, 10);
        } else if (arg == L"--work" && hasValue) {
            o.work = argv[++i];
        } else if (arg == L"--prepared" && hasValue) {
            o.prepared = argv[++i];
        } else if (arg == L"--out" && hasValue) {
            o.out = argv[++i];
        } else if (arg == L"--startup-runs" && hasValue) {
            o.startupRuns = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--poll-ms" && hasValue) {
            o.pollMs = static_cast<unsigned>(std::max(0, _wtoi(argv[++i])));
        } else if (arg == L"--note" && hasValue) {
            o.notes.push_back(Utf8(argv[++i]));
        } else if (arg == L"--volane" && hasValue) {
            o.volane = argv[++i];
        } else {
            Say("unknown or incomplete argument: " + Utf8(arg));
            return std::nullopt;
        }
    }
    const std::wstring here = ExeFolder();
    if (o.out.empty()) o.out = here + L"\\results.md";
    // The build puts Volane.exe in bin\ and the benchmark in bench\, side by side.
    if (o.volane.empty()) o.volane = here + L"\\..\\bin\\Volane.exe";
    if (o.work.empty()) {
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
        o.work = std::wstring(temp, n);
        if (!o.work.empty() && o.work.back() == L'\\') o.work.pop_back();
    }
    o.work += L"\\volane-bench-" + std::to_wstring(::GetCurrentProcessId());
    return o;
}

// The listing reads the type list from setup.ini beside the executable that runs it: the
// child, which lives beside this program.
bool WriteSetup(const std::wstring& folder) {
    std::ofstream file((folder + L"\\setup.ini").c_str(), std::ios::binary | std::ios::trunc);
    file << "[setup]\r\nfileTypes=" << kDefaultTypeList << "\r\n";
    return static_cast<bool>(file);
}

class Bench {
  public:
    explicit Bench(const Options& options)
        : o_(options), child_(ExeFolder() + L"\\volane_bench_child.exe") {
        results_.shortMode = o_.shortMode;
        results_.runs = o_.runs;
        results_.startupRuns = o_.startupRuns;
        results_.machine = DescribeMachine();
        results_.notes = o_.notes;
    }

    bool Run() {
        if (!WriteSetup(ExeFolder())) return Fail("cannot write setup.ini beside the benchmark");
        if (!::CreateDirectoryW(o_.work.c_str(), nullptr))
            return Fail("cannot create " + Utf8(o_.work));
        for (std::size_t entries : o_.sizes) ListingSize(entries);
        if (o_.noCapEntries) NoCap(o_.noCapEntries);
        Startup();
        if (!RemoveTree(o_.work)) Note("could not remove all of " + Utf8(o_.work));
        return ok_;
    }

    const Results& Figures() const { return results_; }

  private:
    bool Fail(const std::string& why) {
        Note(why);
        ok_ = false;
        return false;
    }
    void Note(const std::string& line) {
        Say("  " + line);
        results_.notes.push_back(line);
    }

    std::wstring ReportFile() const { return o_.work + L"\\report.txt"; }

    struct TestFolder {
        std::wstring path;
        std::size_t entries = 0;
        std::size_t expected = 0;  // child nodes of a correct listing
        bool owned = false;        // made here, so removed here
    };

    // A folder of n entries, prepared or made afresh; nothing when neither worked.
    std::optional<TestFolder> MakeFolder(std::size_t entries) {
        TestFolder f{o_.work + L"\\entries-" + std::to_wstring(entries), entries,
                     PlannedChildren(entries), true};
        const Stopwatch clock;
        const std::wstring prepared = o_.prepared + L"\\entries-" + std::to_wstring(entries);
        if (!o_.prepared.empty() &&
            ::GetFileAttributesW(prepared.c_str()) != INVALID_FILE_ATTRIBUTES) {
            if (auto failure = VerifyFolder(prepared, entries)) {
                Fail("prepared folder: " + Utf8(*failure));
                return std::nullopt;
            }
            f.path = prepared;
            f.owned = false;
            Say("  checked the prepared " + std::to_string(entries) + " entries in " +
                std::to_string(static_cast<long>(clock.ElapsedMs())) + " ms");
            return f;
        }
        if (auto failure = GenerateFolder(f.path, entries)) {
            Fail("generating " + std::to_string(entries) + " entries: " + Utf8(*failure));
            RemoveTree(f.path);
            return std::nullopt;
        }
        Say("  generated " + std::to_string(entries) + " entries in " +
            std::to_string(static_cast<long>(clock.ElapsedMs())) + " ms");
        return f;
    }

    void Dispose(const TestFolder& f) {
        if (f.owned && !RemoveTree(f.path)) Note("could not remove all of " + Utf8(f.path));
    }

    // One child run; a failed run or a wrong count fails the benchmark.
    std::optional<ChildReport> Measure(std::wstring_view mode, const std::wstring& folder,
                                       std::size_t expected) {
        ChildReport r = RunChild(child_, mode, folder, ReportFile());
        if (!r.error.empty()) {
            Fail(Utf8(mode) + ": " + Utf8(r.error));
            return std::nullopt;
        }
        if (r.count != expected) {
            Fail(Utf8(mode) + " on " + Utf8(folder) + " gave " + std::to_string(r.count) +
                 " nodes, " + std::to_string(expected) + " expected");
            return std::nullopt;
        }
        return r;
    }

    void ListingSize(std::size_t entries) {
        const auto made = MakeFolder(entries);
        if (!made) return;
        const std::wstring& folder = made->path;
        if (!warm_) {
            // The first child of a session pays for what Wine or the system sets up once
            // (font caches, the child's pages): one unmeasured run of each side.
            Measure(mode::kFloorList, folder, made->expected);
            Measure(mode::kVolaneList, folder, made->expected);
            warm_ = true;
        }
        ListingFigures f;
        f.entries = entries;
        f.expected = made->expected;
        std::vector<double> floorMs, volaneMs, floorPeak, volanePeak, floorGrowth, volaneGrowth,
            floorEnum, floorInsert;
        // Floor and Volane take turns, so a drift of the machine touches both alike.
        for (int run = 0; run < o_.runs; ++run) {
            if (auto r = Measure(mode::kFloorList, folder, f.expected)) {
                floorMs.push_back(r->totalMs);
                floorEnum.push_back(r->enumMs);
                floorInsert.push_back(r->insertMs);
                floorPeak.push_back(static_cast<double>(r->peakBytes));
                floorGrowth.push_back(static_cast<double>(r->peakBytes - r->baseBytes));
            } else {
                f.countsOk = false;
            }
            if (auto r = Measure(mode::kVolaneList, folder, f.expected)) {
                volaneMs.push_back(r->totalMs);
                volanePeak.push_back(static_cast<double>(r->peakBytes));
                volaneGrowth.push_back(static_cast<double>(r->peakBytes - r->baseBytes));
            } else {
                f.countsOk = false;
            }
        }
        f.floorMs = Median(floorMs);
        f.volaneMs = Median(volaneMs);
        f.floorRuns = floorMs;
        f.volaneRuns = volaneMs;
        f.floorPeakBytes = Median(floorPeak);
        f.volanePeakBytes = Median(volanePeak);
        f.floorGrowthBytes = Median(floorGrowth);
        f.volaneGrowthBytes = Median(volaneGrowth);
        f.floorEnumMs = Median(floorEnum);
        f.floorInsertMs = Median(floorInsert);
        if (o_.profile) Profile(*made, f);
        results_.listings.push_back(f);
        Say("  " + std::to_string(entries) + " entries: floor " +
            std::to_string(static_cast<long>(f.floorMs)) + " ms, Volane " +
            std::to_string(static_cast<long>(f.volaneMs)) + " ms");
        Dispose(*made);
    }

    // The median insert span of a floor variant over the runs; nothing when a run failed.
    std::optional<double> FloorVariantMs(std::wstring_view mode, const TestFolder& folder) {
        std::vector<double> inserts;
        for (int run = 0; run < o_.runs; ++run) {
            const auto r = Measure(mode, folder.path, folder.expected);
            if (!r) return std::nullopt;
            inserts.push_back(r->insertMs);
        }
        return Median(inserts);
    }

    void Profile(const TestFolder& folder, ListingFigures& f) {
        f.expandFirstInsertMs = FloorVariantMs(mode::kFloorExpandFirst, folder);
        f.afterPreviousInsertMs = FloorVariantMs(mode::kFloorAfterPrevious, folder);
        f.subclassedInsertMs = FloorVariantMs(mode::kFloorSubclassed, folder);
        std::vector<double> service, logic, logicGrowth;
        for (int run = 0; run < o_.runs; ++run) {
            if (auto r = Measure(mode::kVolaneEnum, folder.path, folder.entries))
                service.push_back(r->totalMs);
            if (auto r = Measure(mode::kVolaneLogic, folder.path, folder.expected)) {
                logic.push_back(r->totalMs);
                logicGrowth.push_back(static_cast<double>(r->peakBytes - r->baseBytes));
            }
        }
        if (!service.empty()) f.serviceEnumMs = Median(service);
        if (!logic.empty()) {
            f.logicMs = Median(logic);
            f.logicGrowthBytes = Median(logicGrowth);
        }
    }

    void NoCap(std::size_t entries) {
        const auto made = MakeFolder(entries);
        if (!made) return;
        NoCapFigures& n = results_.noCap;
        n.measured = true;
        n.entries = entries;
        n.expected = made->expected;
        const ChildReport r = RunChild(child_, mode::kVolaneList, made->path, ReportFile());
        n.listed = r.count;
        n.volaneMs = r.totalMs;
        if (!r.error.empty()) Fail("no-cap listing: " + Utf8(r.error));
        if (n.listed != n.expected)
            Fail("no-cap listing gave " + std::to_string(n.listed) + " nodes, " +
                 std::to_string(n.expected) + " expected");
        Dispose(*made);
    }

    // One start-up run, added to `times` and `treeTimes`; false when it failed.
    bool StartupRun(const std::wstring& commandLine, const std::wstring& caption,
                    const std::string& name, std::vector<double>* times,
                    std::vector<double>* treeTimes) {
        const StartupResult r = MeasureStartup(commandLine, ExeFolder(), caption, o_.pollMs);
        if (!r.error.empty()) return Fail(name + " start-up: " + Utf8(r.error));
        if (times) times->push_back(r.ms);
        if (treeTimes) treeTimes->push_back(r.treeMs);
        return true;
    }

    void Startup() {
        StartupFigures& s = results_.startup;
        s.measured = true;
        if (::GetFileAttributesW(o_.volane.c_str()) == INVALID_FILE_ATTRIBUTES) {
            s.ok = false;
            Fail("Volane.exe not found at " + Utf8(o_.volane));
            return;
        }
        const std::wstring floor = L"\"" + ExeFolder() + L"\\volane_bench_startfloor.exe\"";
        // Any editor command will do: only its presence matters at start.
        const std::wstring volaneCommand = L"\"" + o_.volane + L"\" notepad.exe";
        const std::wstring floorCaption(kFloorStartCaption);
        const std::wstring volaneCaption(volane::WINDOW_TITLE);
        // One unmeasured start of each first, so both run warm; then they take turns.
        s.ok = StartupRun(floor, floorCaption, "floor", nullptr, nullptr) &&
               StartupRun(volaneCommand, volaneCaption, "Volane", nullptr, nullptr);
        std::vector<double> floorTree, volaneTree;
        for (int run = 0; s.ok && run < o_.startupRuns; ++run) {
            s.ok = StartupRun(floor, floorCaption, "floor", &s.floorRuns, &floorTree) &&
                   StartupRun(volaneCommand, volaneCaption, "Volane", &s.volaneRuns, &volaneTree);
        }
        s.floorMs = Median(s.floorRuns);
        s.volaneMs = Median(s.volaneRuns);
        s.floorTreeMs = Median(floorTree);
        s.volaneTreeMs = Median(volaneTree);
        if (s.ok && o_.profile) StartSteps();
        Say("  start-up: floor " + std::to_string(static_cast<long>(s.floorMs)) + " ms, Volane " +
            std::to_string(static_cast<long>(s.volaneMs)) + " ms");
    }

    // Medians over runs of when each start-up step ends, floor and Volane taking turns.
    void StartSteps() {
        const std::wstring floor = L"\"" + ExeFolder() +
                                   L"\\volane_bench_startfloor.exe\" --steps \"" + ReportFile() +
                                   L"\"";
        StepSeries floorSteps, volaneSteps;
        for (int run = 0; run < o_.startupRuns; ++run) {
            if (!AddSteps(RunForReport(floor, ReportFile()), "floor", floorSteps) ||
                !AddSteps(RunChild(child_, mode::kVolaneStartSteps, {}, ReportFile()), "Volane",
                          volaneSteps))
                return;
        }
        results_.startup.floorSteps = floorSteps.Medians();
        results_.startup.volaneSteps = volaneSteps.Medians();
    }

    struct StepSeries {
        std::vector<std::string> names;
        std::vector<std::vector<double>> times;
        std::vector<std::pair<std::string, double>> Medians() const {
            std::vector<std::pair<std::string, double>> medians;
            for (std::size_t i = 0; i < names.size(); ++i)
                medians.emplace_back(names[i], Median(times[i]));
            return medians;
        }
    };

    bool AddSteps(const ChildReport& r, const std::string& side, StepSeries& series) {
        if (!r.error.empty() || r.count == 0)
            return Fail(side +
                        " start-up steps: " + (r.error.empty() ? "no drive roots" : Utf8(r.error)));
        for (std::size_t i = 0; i < r.phases.size(); ++i) {
            if (i == series.names.size()) {
                series.names.push_back(r.phases[i].first);
                series.times.emplace_back();
            }
            series.times[i].push_back(r.phases[i].second);
        }
        return true;
    }

    const Options& o_;
    const std::wstring child_;
    Results results_;
    bool ok_ = true;
    bool warm_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const auto options = ParseOptions(argc, argv);
    if (!options) return 2;
    Bench bench(*options);
    Say(std::string("volane_bench: ") + (options->shortMode ? "short" : "full") + " mode, " +
        std::to_string(options->runs) + " run(s) per figure");
    const bool ok = bench.Run();
    const std::string table = FormatConsole(bench.Figures());
    std::fputs(table.c_str(), stdout);
    std::ofstream md(options->out.c_str(), std::ios::binary | std::ios::trunc);
    md << FormatMarkdown(bench.Figures());
    if (!md) Say("cannot write " + Utf8(options->out));
    Say(ok ? "volane_bench: every count as expected" : "volane_bench: FAILED");
    return ok && md ? 0 : 1;
}
