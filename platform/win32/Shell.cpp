#include "platform/win32/Services.h"

#include <shellapi.h>

namespace volane::win32 {

void Shell::Open(const std::string& address) {
    // Nobody is told when the address cannot be opened.
    ::ShellExecuteA(nullptr, "open", address.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace volane::win32
