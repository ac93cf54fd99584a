// The benchmark's figures and how they are printed: the console table and bench/results.md.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace volane::bench {

double Median(std::vector<double> values);

// Medians over the runs of one folder size.
struct ListingFigures {
    std::size_t entries = 0;
    std::size_t expected = 0;
    bool countsOk = true;  // every run of floor and Volane listed exactly `expected`
    double floorMs = 0;
    double volaneMs = 0;
    std::vector<double> floorRuns;  // every run's time, in order, to judge the spread
    std::vector<double> volaneRuns;
    double floorPeakBytes = 0;
    double volanePeakBytes = 0;
    double floorGrowthBytes = 0;  // peak minus the working set before the span
    double volaneGrowthBytes = 0;
    double floorEnumMs = 0;
    double floorInsertMs = 0;
    std::optional<double> serviceEnumMs;  // Volane's file-system service alone
    std::optional<double> logicMs;        // ExpandPath without the tree view
    std::optional<double> logicGrowthBytes;
    // Insert spans of the floor's variants (FloorVariant), to compare with floorInsertMs.
    std::optional<double> expandFirstInsertMs;
    std::optional<double> afterPreviousInsertMs;
    std::optional<double> subclassedInsertMs;
};

struct StartupFigures {
    bool measured = false;
    bool ok = true;
    double floorMs = 0;
    double volaneMs = 0;
    std::vector<double> floorRuns;
    std::vector<double> volaneRuns;
    // Medians of the time to the first sight of the window with its tree view, still empty.
    double floorTreeMs = 0;
    double volaneTreeMs = 0;
    // Medians of when each start-up step ended, ms since process creation.
    std::vector<std::pair<std::string, double>> floorSteps;
    std::vector<std::pair<std::string, double>> volaneSteps;
};

struct NoCapFigures {
    bool measured = false;
    std::size_t entries = 0;
    std::size_t expected = 0;
    std::size_t listed = 0;
    double volaneMs = 0;
};

struct Machine {
    unsigned processors = 0;
    std::string cpu;
    std::string platform;  // the Wine version, or the Windows version when native
    std::string compiler;
};

Machine DescribeMachine();

struct Results {
    bool shortMode = false;
    int runs = 0;
    int startupRuns = 0;
    Machine machine;
    std::vector<ListingFigures> listings;
    StartupFigures startup;
    NoCapFigures noCap;
    std::vector<std::string> notes;  // one line each: failures, generation times
};

// The table for the console.
std::string FormatConsole(const Results& results);
// The whole results.md.
std::string FormatMarkdown(const Results& results);

}  // namespace volane::bench
