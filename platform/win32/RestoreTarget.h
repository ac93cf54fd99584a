// Where the restore request of a second instance lands: the window hook calls RestoreMainForm,
// which finds the main form among the calling thread's windows by a window property.
#pragma once

#include <windows.h>

namespace volane::win32 {

class IRestoreTarget {
  public:
    virtual ~IRestoreTarget() = default;
    virtual void Restore() = 0;
};

// Marks window as the main form to restore; a null target clears the mark.
void SetRestoreTarget(HWND window, IRestoreTarget* target);
// The marked target among the top-level windows of the calling thread, or null.
IRestoreTarget* FindRestoreTarget();

}  // namespace volane::win32
