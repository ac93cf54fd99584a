// The end of every failure that no handler recovers from: a modal box with the failure's number
// and description, titled with the program's title, then the process ends. Window procedures
// and the entry point run their work through Guarded so that no exception crosses them.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <utility>

#include "platform/Errors.h"

namespace volane::win32 {

class FormList;

inline constexpr UINT kFatalExitCode = 1;

// The fatal box's title; the program sets it once at start.
void SetFatalTitle(std::wstring title);
// The loaded forms, whose active window owns the fatal box; null (when they go) leaves the box
// without an owner.
void SetFatalOwners(const FormList* forms);

// Number and description of whatever was thrown (AppError, std::exception, anything else).
std::pair<long, std::wstring> DescribeFailure(std::exception_ptr failure);

[[noreturn]] void FatalExit(std::exception_ptr failure);

// Runs work; any exception ends the process through the fatal box.
template <typename Work>
auto Guarded(Work&& work) noexcept -> decltype(work()) {
    try {
        return work();
    } catch (...) {
        FatalExit(std::current_exception());
    }
}

}  // namespace volane::win32
