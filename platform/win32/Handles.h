// Owners for Win32 handles: every handle Volane opens is closed by its owner.
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
inline void CloseKey(HKEY h) noexcept {
    ::RegCloseKey(h);
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

using unique_handle = unique_any<HANDLE, CloseKernelHandle>;
using unique_hfind = unique_any<HANDLE, CloseFind>;
using unique_hkey = unique_any<HKEY, CloseKey>;
using unique_hwnd = unique_any<HWND, DestroyWindowHandle>;
using unique_hmenu = unique_any<HMENU, DestroyMenuHandle>;
using unique_himagelist = unique_any<HIMAGELIST, DestroyImageListHandle>;
using unique_hbitmap = unique_any<HBITMAP, DeleteGdiObject>;
using unique_hfont = unique_any<HFONT, DeleteGdiObject>;
using unique_hicon = unique_any<HICON, DestroyIconHandle>;

}  // namespace volane::win32
