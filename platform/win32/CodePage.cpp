#include "platform/win32/Services.h"
#include "platform/win32/Text.h"

namespace volane::win32 {

std::wstring CodePage::ToWide(std::string_view ansi) const {
    return Widen(ansi, CP_ACP);
}

std::string CodePage::ToAnsi(std::wstring_view wide) const {
    return Narrow(wide, CP_ACP);
}

}  // namespace volane::win32
