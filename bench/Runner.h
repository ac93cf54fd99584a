// The parent's side of a measured run: start a child, wait for it, read what it reports.
#pragma once

#include <optional>
#include <string>

#include "bench/BenchCommon.h"

namespace volane::bench {

// Runs a command line that writes its report to reportFile; the report, or one whose error
// says why there is none.
ChildReport RunForReport(const std::wstring& commandLine, const std::wstring& reportFile);

// Runs volane_bench_child.exe in a mode on a folder.
ChildReport RunChild(const std::wstring& childExe, std::wstring_view mode,
                     const std::wstring& folder, const std::wstring& reportFile);

struct StartupResult {
    double ms = 0;       // from just before CreateProcess to the first tree item seen
    double treeMs = 0;   // to the first sight of the process's window with its tree view
    std::wstring error;  // empty when the run was good
};

// Starts a program and measures how long until its top-level window of that caption has a
// tree view with at least one item, polling the count across processes; then closes the
// window and waits for the process to end.
// pollMs: the pause between two looks; 0 polls in a tight loop, which on a machine with few
// cores takes time from the very start-up it measures (under Wine, every look also keeps the
// one wineserver busy).
StartupResult MeasureStartup(const std::wstring& commandLine, const std::wstring& workingFolder,
                             const std::wstring& caption, unsigned pollMs);

}  // namespace volane::bench
