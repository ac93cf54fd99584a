// The floors' window: a visible top-level window whose client area a plain tree view fills.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/Handles.h"

namespace volane::bench {

// The start-up floor's caption, by which the benchmark finds its window.
inline constexpr wchar_t kFloorStartCaption[] = L"volane-bench floor";

struct FloorWindow {
    win32::unique_hwnd frame;
    HWND tree = nullptr;
};

// Stands where Volane's main window stands, about its size; closing it ends the message loop.
FloorWindow CreateFloorWindow(const wchar_t* caption);

// Appends an item (or inserts it after `after`) with a label and a 0-based picture.
HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const wchar_t* text, int image,
                     HTREEITEM after = TVI_LAST);

}  // namespace volane::bench
