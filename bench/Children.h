// The child processes' work. Each returns the process's exit code and fills the report the
// parent reads.
#pragma once

#include <cstddef>
#include <string>

#include "bench/BenchCommon.h"

namespace volane::bench {

// The floor and variants of it that change one thing each, to show what a way of using the
// tree view costs. Plain is the floor itself: every item appended (TVI_LAST) under the
// collapsed folder item, which is expanded at the end. ExpandFirst expands the folder item as
// soon as it has its first child; AfterPrevious names the previous item instead of TVI_LAST;
// Subclassed has a pass-through SetWindowSubclass procedure on the tree view.
enum class FloorVariant { Plain, ExpandFirst, AfterPrevious, Subclassed };

// The floor: FindFirstFileExW with FindExInfoBasic and FIND_FIRST_EX_LARGE_FETCH, then the
// same labels and picture indexes inserted into a plain tree view with redraw off.
int RunFloorList(const std::wstring& folder, ChildReport& report, FloorVariant variant);

// Volane: ExpandPath on a real tv1 in a real frmMain.
int RunVolaneList(const std::wstring& folder, ChildReport& report);

// Volane's start-up steps as Main takes them, each step's end in ms since process creation.
int RunVolaneStartSteps(ChildReport& report);

// Volane's file-system service enumerating the folder into a sink that only counts.
int RunVolaneEnum(const std::wstring& folder, ChildReport& report);

// ExpandPath on a tree that keeps its nodes in the key index but has no window: the listing
// logic and the index without the tree view.
int RunVolaneLogic(const std::wstring& folder, ChildReport& report);

}  // namespace volane::bench
