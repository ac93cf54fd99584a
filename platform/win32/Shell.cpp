#include "platform/win32/LateBound.h"
#include "platform/win32/Services.h"

#include <shellapi.h>

namespace volane::win32 {

void Shell::Open(const std::string& address) {
    // Only the About box opens an address: SHELL32 comes in on its first use.
    static const auto execute =
        LateBound<decltype(&::ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    // Nobody is told when the address cannot be opened.
    if (execute) execute(nullptr, "open", address.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace volane::win32
