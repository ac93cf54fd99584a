#include "platform/win32/FormList.h"

#include <algorithm>

#include "platform/win32/Form.h"

namespace volane::win32 {

void FormList::Add(Form& form) {
    if (!Contains(form)) forms_.push_back(&form);
}

void FormList::Remove(const Form& form) {
    std::erase(forms_, &form);
    // A form unloaded by a message sent from another thread or process (WM_CLOSE from a script,
    // say) is handled inside GetMessageW, which then goes on waiting: a message in the queue
    // wakes the loops so they see what changed.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool FormList::Contains(const Form& form) const {
    return std::find(forms_.begin(), forms_.end(), &form) != forms_.end();
}

HWND FormList::ActiveWindow() const {
    // Hidden forms own nothing: a box of a hidden owner could not be found on the desktop. A
    // window already destroyed does not show either.
    for (auto form = forms_.rbegin(); form != forms_.rend(); ++form) {
        HWND window = (*form)->Window();
        if (window && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

void FormList::UnloadAll() {
    // Unload handlers may unload other forms: walk a copy and skip those already gone.
    for (Form* form : Loaded()) {
        if (Contains(*form)) form->Unload();
    }
}

int FormList::RunMessageLoop() {
    MSG msg{};
    while (!Empty()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace volane::win32
