// Paths beyond MAX_PATH characters for the file calls.
#pragma once

#include <string>

namespace volane::win32 {

// The \\?\ form (\\?\UNC\ for a share) of an absolute drive or UNC path, which the file calls
// accept at any length. A path that holds "." or ".." components, empty components or forward
// slashes is made canonical first, since the \\?\ form takes every character literally; a
// canonical one is passed as it is, so names that end in a dot or a blank stay reachable.
// Relative paths, device paths and paths already in that form come back unchanged.
std::wstring ExtendedPath(const std::wstring& path);

}  // namespace volane::win32
