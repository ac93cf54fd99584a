// The system's own wording of a Win32 error code.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Result.h"

namespace volane::win32 {

// FormatMessageW's text for the code, without the line break it ends with. Falls back to
// US English when the user's language has no message table, and to the bare number when the
// system knows no text at all.
std::wstring SystemErrorText(DWORD code);

// The failure of a system call: the code and its text.
inline Error SystemError(DWORD code) {
    return {static_cast<long>(code), SystemErrorText(code)};
}

}  // namespace volane::win32
