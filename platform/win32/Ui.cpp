#include "platform/win32/Services.h"

namespace volane::win32 {

void Ui::ShowMessage(const std::wstring& text, const std::wstring& title) {
    // Wide, so Chinese text shows whatever the ANSI code page; OK only, no icon, no sound.
    ::MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK);
}

}  // namespace volane::win32
