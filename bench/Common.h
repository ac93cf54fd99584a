// What the benchmark's parent and its child processes share: the report a child leaves behind,
// the clock, the memory counters and the floors' window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/Handles.h"

namespace volane::bench {

// The type list every listing runs with, the one Volane ships with.
inline constexpr std::string_view kDefaultTypeList = "html;htm;css;js;php;txt;";
// The start-up floor's caption, by which the parent finds its window.
inline constexpr wchar_t kFloorStartCaption[] = L"volane-bench floor";

// A moment of a start-up: ms since process creation and the working set then.
struct Phase {
    std::string name;
    double ms = 0;
    std::size_t bytes = 0;
};

// One child's measurement, written to a small text file of "name value" lines.
struct ChildReport {
    double totalMs = 0;         // the measured span
    std::size_t count = 0;      // nodes the run produced
    std::size_t baseBytes = 0;  // working set just before the span
    std::size_t peakBytes = 0;  // PeakWorkingSetSize at its end
    std::vector<Phase> phases;
    std::string error;  // UTF-8; empty when the run was good
};

bool WriteReport(const std::wstring& file, const ChildReport& report);
std::optional<ChildReport> ReadReport(const std::wstring& file);

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

// The moment now, as a phase of this process's start-up.
Phase PhaseNow(std::string name);

// Handles whatever is pending in this thread's queue, then returns.
void PumpPending();

// The folder of the running executable, without a trailing backslash.
std::wstring ExeFolder();
// The program's arguments, its own name first.
std::vector<std::wstring> Arguments();

std::string Utf8(std::wstring_view text);

// The floors' window: visible, where Volane's main window stands and as big, with a plain tree
// view filling it as Volane's tree fills its window; closing it ends the message loop.
struct FloorWindow {
    win32::unique_hwnd frame;
    HWND tree = nullptr;
};
FloorWindow CreateFloorWindow(const wchar_t* caption);

// Appends an item with a label and a 0-based picture.
HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const wchar_t* text, int image);

}  // namespace volane::bench
