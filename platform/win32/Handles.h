// Owners for Win32 handles: every handle opened is closed, and every object selected into a
// device context is selected out again, by its owner.
#pragma once

// <windows.h> must come first: the other Win32 headers build on it.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace volane::win32 {

template <typename H, auto Close>
struct HandleDeleter {
    using pointer = H;
    void operator()(H h) const noexcept {
        if (h) Close(h);
    }
};

template <typename H, auto Close>
using unique_any = std::unique_ptr<std::remove_pointer_t<H>, HandleDeleter<H, Close>>;

inline void CloseKernelHandle(HANDLE h) noexcept {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
}
inline void CloseFind(HANDLE h) noexcept {
    if (h != INVALID_HANDLE_VALUE) ::FindClose(h);
}
inline void DestroyWindowHandle(HWND h) noexcept {
    ::DestroyWindow(h);
}
inline void DestroyMenuHandle(HMENU h) noexcept {
    ::DestroyMenu(h);
}
inline void DestroyImageListHandle(HIMAGELIST h) noexcept {
    ::ImageList_Destroy(h);
}
inline void DeleteGdiObject(HGDIOBJ h) noexcept {
    ::DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) noexcept {
    ::DestroyIcon(h);
}
inline void DeleteDcHandle(HDC h) noexcept {
    ::DeleteDC(h);
}

using unique_handle = unique_any<HANDLE, CloseKernelHandle>;
using unique_hfind = unique_any<HANDLE, CloseFind>;
using unique_hwnd = unique_any<HWND, DestroyWindowHandle>;
using unique_hmenu = unique_any<HMENU, DestroyMenuHandle>;
using unique_himagelist = unique_any<HIMAGELIST, DestroyImageListHandle>;
using unique_hbitmap = unique_any<HBITMAP, DeleteGdiObject>;
using unique_hfont = unique_any<HFONT, DeleteGdiObject>;
using unique_hbrush = unique_any<HBRUSH, DeleteGdiObject>;
using unique_hicon = unique_any<HICON, DestroyIconHandle>;
// A memory device context (CreateCompatibleDC).
using unique_hdc = unique_any<HDC, DeleteDcHandle>;

// A window's device context, from GetDC to ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A window's painting, from BeginPaint to EndPaint.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a device context for the guard's life.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~Selected() { ::SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace volane::win32
