// The designed state of a form: caption, frame, client size, controls and menus, in twips.
// The form runtime builds a window from such a table when the form is loaded.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace volane {

enum class FrameStyle { Sizable, FixedDialog, Hidden };
enum class ControlKind { TreeView, PictureBox, Button, Label, Line };

struct Rgb {
    unsigned char r, g, b;
};

struct ControlDesign {
    int id;  // the control's identifier; 0 for lines, which are drawn, not windows
    std::wstring_view name;
    ControlKind kind;
    double left, top, width, height;  // twips; a line's x1, y1, x2, y2
    int tabIndex;                     // -1: takes no focus
    std::wstring_view text;
    int lineWidthPixels = 0;
    Rgb color{0, 0, 0};
};

struct MenuDesign {
    int id;     // the command's identifier; a submenu's own id finds it, a separator has 0
    int depth;  // 1: the menu bar, 2: the submenu
    std::wstring_view caption;  // "-" is a separator
};

struct FormDesign {
    std::wstring_view name;
    std::wstring_view windowClass;
    std::wstring_view caption;
    FrameStyle frame;
    double clientWidth, clientHeight;  // twips
    std::optional<double> clientLeft;  // twips on the screen; none: the system's default
    std::optional<double> clientTop;
    int iconId;  // the window icon's resource, 0 for none
    std::span<const ControlDesign> controls;
    std::span<const MenuDesign> menus;
};

}  // namespace volane
