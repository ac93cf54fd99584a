#include "platform/win32/RestoreTarget.h"

#include "modules/mdlMsg.h"

namespace volane::win32 {

namespace {

constexpr wchar_t kRestoreProperty[] = L"Volane.RestoreTarget";

BOOL CALLBACK FindMarked(HWND window, LPARAM found) {
    auto* target = static_cast<IRestoreTarget*>(::GetPropW(window, kRestoreProperty));
    if (!target) return TRUE;
    *reinterpret_cast<IRestoreTarget**>(found) = target;
    return FALSE;
}

}  // namespace

void SetRestoreTarget(HWND window, IRestoreTarget* target) {
    if (target) {
        ::SetPropW(window, kRestoreProperty, target);
    } else {
        ::RemovePropW(window, kRestoreProperty);
    }
}

IRestoreTarget* FindRestoreTarget() {
    IRestoreTarget* found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindMarked, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace volane::win32

namespace volane {

void RestoreMainForm() {
    if (win32::IRestoreTarget* target = win32::FindRestoreTarget()) target->Restore();
}

}  // namespace volane
