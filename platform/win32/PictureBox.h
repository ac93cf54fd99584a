// A picture box: a child window that shows a bitmap at its natural size from its top-left
// corner, over the button-face colour. Drawn with BitBlt, so the zero fourth byte of a 32-bit
// bitmap never reads as transparency. A click is reported to the parent as
// WM_COMMAND / STN_CLICKED, as a notifying static control does.
#pragma once

#include <windows.h>

#include "platform/FormDesign.h"
#include "platform/win32/Handles.h"

namespace volane::win32 {

class PictureBox {
  public:
    PictureBox(HWND parent, const ControlDesign& design);
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    HWND Window() const { return hwnd_; }
    // Replaces the picture (the box owns it) and redraws.
    void SetPicture(unique_hbitmap picture);
    // Draws what the box shows, size pixels from its top-left corner, into dc at 0,0.
    void Render(HDC dc, SIZE size) const;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    unique_hbitmap picture_;
    bool pressed_ = false;
};

// A bitmap resource of module by name (any case) or by number.
[[nodiscard]] unique_hbitmap LoadBitmapResource(HMODULE module, const wchar_t* name);

}  // namespace volane::win32
