#include "platform/win32/Topmost.h"

#include <vector>

namespace volane::win32 {

namespace {

constexpr UINT kNoMoveNoSize = SWP_NOMOVE | SWP_NOSIZE;

bool InTopmostBand(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// The top-level windows of the window's thread that it owns (its tooltips, its dialogs).
std::vector<HWND> OwnedWindows(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> owned;
    } search{owner, {}};
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(owner, nullptr),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (::GetWindow(window, GW_OWNER) == s->owner) s->owned.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.owned;
}

}  // namespace

void SetTopmostBand(HWND window, bool topmost, SetWindowPosFn setWindowPos) {
    setWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kNoMoveNoSize);
    // Windows always puts the window into the band, its owned windows with it. Wine 8 first moves
    // the windows it owns (the tree's tooltip, an open About box) to the top of the band and then
    // links the window right after them, outside the band when nothing topmost follows. There,
    // and only there, the owned windows are let go for a second call and taken back after it.
    if (!topmost || InTopmostBand(window)) return;
    const std::vector<HWND> owned = OwnedWindows(window);
    if (owned.empty()) return;
    for (HWND popup : owned) ::SetWindowLongPtrW(popup, GWLP_HWNDPARENT, 0);
    setWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kNoMoveNoSize);
    for (HWND popup : owned) {
        ::SetWindowLongPtrW(popup, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(window));
        // Owned windows stay above their owner, as on Windows.
        setWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, kNoMoveNoSize | SWP_NOACTIVATE);
    }
}

}  // namespace volane::win32
