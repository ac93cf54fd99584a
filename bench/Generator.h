// Makes and removes the benchmark's test folders on the running system (FolderPlan.h says what
// goes in them).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace volane::bench {

// Creates the folder (which must not exist) with the planned entries. Returns a description
// of what failed, or nothing. A file system that does not keep the hidden and system bits
// would make the expected count wrong, so they are read back and checked.
std::optional<std::wstring> GenerateFolder(const std::wstring& path, std::size_t entries);

// Checks that a folder made elsewhere (scripts/bench makes them on the Linux side under Wine,
// where creating files one by one through Wine slows down with the folder's size) holds
// exactly the planned entries with their attributes. Returns what differs, or nothing.
std::optional<std::wstring> VerifyFolder(const std::wstring& path, std::size_t entries);

// Deletes a folder and everything below it; false when something stayed behind.
bool RemoveTree(const std::wstring& path);

}  // namespace volane::bench
