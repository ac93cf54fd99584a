#include "platform/win32/Services.h"

#include "platform/win32/FormList.h"

namespace volane::win32 {

void Ui::ShowMessage(const std::wstring& text, const std::wstring& title) {
    // Wide, so Chinese text shows whatever the ANSI code page; OK only, no icon, no sound. Owned
    // by the window active in the program and modal to it: the box stays in front of that
    // window, which takes no input until the box closes. Without an owner the box would disable
    // nothing, and the tree and the menus would go on taking clicks behind it.
    ::MessageBoxW(forms_.ActiveWindow(), text.c_str(), title.c_str(), MB_OK | MB_APPLMODAL);
}

void Ui::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    // No message is pumped until the work ends, so no WM_SETCURSOR puts the class cursor back
    // meanwhile; the next one after it does, over whatever window the pointer is then.
    if (busy) {
        before_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    } else {
        ::SetCursor(before_);
        before_ = nullptr;
    }
}

}  // namespace volane::win32
