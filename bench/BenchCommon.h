// What the benchmark's parent and its child processes share: the child modes, the report a
// child leaves behind, the clock and the memory counters.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace volane::bench {

// The type list every listing in the benchmark runs with, the one Volane ships with.
inline constexpr std::string_view kDefaultTypeList = "html;htm;css;js;php;txt;";

// What a child process does. Each measured run is one child, so every peak working set is
// the peak of that run alone.
namespace mode {
// The floor: FindFirstFileExW and a bare tree view; its variants (see FloorVariant).
inline constexpr std::wstring_view kFloorList = L"floor-list";
inline constexpr std::wstring_view kFloorExpandFirst = L"floor-expand-first";
inline constexpr std::wstring_view kFloorAfterPrevious = L"floor-after-previous";
inline constexpr std::wstring_view kFloorSubclassed = L"floor-subclassed";
// ExpandPath on frmMain's tv1; the file-system service alone; ExpandPath on a tree without a
// window; when each start-up step ends.
inline constexpr std::wstring_view kVolaneList = L"volane-list";
inline constexpr std::wstring_view kVolaneEnum = L"volane-enum";
inline constexpr std::wstring_view kVolaneLogic = L"volane-logic";
inline constexpr std::wstring_view kVolaneStartSteps = L"volane-start-steps";
}  // namespace mode

// One child's measurement, written to a small text file of "name value" lines.
struct ChildReport {
    double totalMs = 0;         // the measured span
    double enumMs = 0;          // of which: enumeration (floor only)
    double insertMs = 0;        // of which: tree view inserts (floor only)
    std::size_t count = 0;      // nodes the listing produced
    std::size_t baseBytes = 0;  // working set just before the measured span
    std::size_t peakBytes = 0;  // PeakWorkingSetSize at its end
    std::wstring error;         // empty when the run was good
    // Named moments, ms since process creation (start-up steps only), in order.
    std::vector<std::pair<std::string, double>> phases;
};

bool WriteReport(const std::wstring& file, const ChildReport& report);
std::optional<ChildReport> ReadReport(const std::wstring& file);

// Milliseconds on the performance counter.
class Stopwatch {
  public:
    Stopwatch();
    double ElapsedMs() const;

  private:
    LARGE_INTEGER start_{};
    double ticksPerMs_ = 1;
};

struct MemoryCounters {
    std::size_t workingSet = 0;
    std::size_t peakWorkingSet = 0;
};
MemoryCounters ProcessMemory();

// Milliseconds since this process was created, as the system recorded its creation.
double SinceProcessCreation();

// Handles whatever is pending in this thread's queue, then returns.
void PumpPending();

// The folder of the running executable, without a trailing backslash.
std::wstring ExeFolder();

std::string Utf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace volane::bench
