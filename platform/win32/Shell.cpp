#include "platform/win32/ErrorText.h"
#include "platform/win32/LateBound.h"
#include "platform/win32/Services.h"

#include <shellapi.h>

namespace volane::win32 {
namespace {

// ShellExecute's error values (32 and below) as the system's error numbers: 2, 3, 5, 8 and 11
// already are the same failures there.
DWORD ShellErrorCode(INT_PTR value) {
    switch (value) {
        case 0:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SE_ERR_SHARE:
            return ERROR_SHARING_VIOLATION;
        case SE_ERR_ASSOCINCOMPLETE:
        case SE_ERR_NOASSOC:
            return ERROR_NO_ASSOCIATION;
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY:
            return ERROR_DDE_FAIL;
        case SE_ERR_DLLNOTFOUND:
            return ERROR_DLL_NOT_FOUND;
        default:
            return static_cast<DWORD>(value);
    }
}

}  // namespace

Result<void> Shell::Open(const std::string& address) {
    // Only the About box opens an address: SHELL32 comes in on its first use.
    static const auto shellExecute =
        LateBound<decltype(&::ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    const ExecuteCall execute = execute_ ? execute_ : shellExecute;
    if (!execute) return SystemError(ERROR_PROC_NOT_FOUND);
    const auto opened =
        reinterpret_cast<INT_PTR>(execute(nullptr, "open", address.c_str(), "", "", SW_SHOWNORMAL));
    if (opened > 32) return {};
    return SystemError(ShellErrorCode(opened));
}

}  // namespace volane::win32
