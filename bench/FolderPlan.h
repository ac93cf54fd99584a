// The contents of a benchmark test folder of n entries, as pure functions of n: a tenth of the
// entries are sub-folders (a quarter of those hidden+system, which the listing leaves out, and
// a quarter hidden only, which it lists), the rest files whose extensions are half in the
// default type list and half not. Portable C++, so the Win32 generator and the host-side one
// that scripts/bench uses under Wine make the very same folder.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace volane::bench {

inline constexpr std::uint32_t kAttrHidden = 0x2;
inline constexpr std::uint32_t kAttrSystem = 0x4;
inline constexpr std::uint32_t kAttrDirectory = 0x10;

struct PlannedEntry {
    std::wstring name;
    bool folder = false;
    std::uint32_t attributes = 0;  // hidden and system bits; a folder also has kAttrDirectory
};

namespace plan_detail {

inline constexpr std::size_t kFolderEvery = 10;
inline constexpr std::size_t kFolderSlot = 3;
inline constexpr std::size_t kFolderKinds = 4;
inline constexpr std::size_t kHiddenSystemKind = 1;
inline constexpr std::size_t kHiddenOnlyKind = 2;

// A fixed cycle: the first six pass html;htm;css;js;php;txt; (case does not matter to it), the
// last six do not ("json" checks that "js;" is not found inside "json;"; the empty one makes a
// name without any dot).
inline constexpr std::array<std::wstring_view, 12> kExtensions = {
    L"html", L"HTM", L"css", L"js", L"PHP", L"txt", L"png", L"jpg", L"md", L"xml", L"json", L""};
inline constexpr std::size_t kPassingExtensions = 6;

// Stems of a realistic spread of lengths and scripts; none holds a dot, so the extension is
// always what the cycle says.
inline constexpr std::array<std::wstring_view, 8> kStems = {
    L"index",  L"report_final_version", L"style",       L"报告", L"app-main-module",
    L"README", L"2024-06-data_export",  L"设置说明文档"};

inline bool IsFolder(std::size_t i) {
    return i % kFolderEvery == kFolderSlot;
}
// How many folders come before entry i.
inline std::size_t FoldersBefore(std::size_t i) {
    return (i + kFolderEvery - kFolderSlot - 1) / kFolderEvery;
}

}  // namespace plan_detail

// Entry i (0-based) of any folder of more than i entries.
inline PlannedEntry PlanEntry(std::size_t i) {
    using namespace plan_detail;
    std::wstring number = std::to_wstring(i);
    number.insert(0, number.size() < 6 ? 6 - number.size() : 0, L'0');
    PlannedEntry e;
    e.folder = IsFolder(i);
    e.name = e.folder ? L"dir_" : L"";
    e.name += kStems[i % kStems.size()];
    e.name += L'_';
    e.name += number;
    if (e.folder) {
        e.attributes = kAttrDirectory;
        const std::size_t kind = FoldersBefore(i) % kFolderKinds;
        if (kind == kHiddenSystemKind) e.attributes |= kAttrHidden | kAttrSystem;
        if (kind == kHiddenOnlyKind) e.attributes |= kAttrHidden;
    } else {
        const std::wstring_view ext = kExtensions[(i - FoldersBefore(i)) % kExtensions.size()];
        if (!ext.empty()) {
            e.name += L'.';
            e.name += ext;
        }
    }
    return e;
}

// Whether entry i becomes a child node when its folder is listed with the default type list.
inline bool PlannedListed(std::size_t i) {
    using namespace plan_detail;
    if (IsFolder(i)) return FoldersBefore(i) % kFolderKinds != kHiddenSystemKind;
    return (i - FoldersBefore(i)) % kExtensions.size() < kPassingExtensions;
}

// The number of child nodes a correct listing of a folder of n entries gives.
inline std::size_t PlannedChildren(std::size_t entries) {
    std::size_t listed = 0;
    for (std::size_t i = 0; i < entries; ++i) listed += PlannedListed(i) ? 1 : 0;
    return listed;
}

}  // namespace volane::bench
