// The designed state of every form: caption, frame, client size, controls and menus, in twips.
// The form runtime builds each window from these tables when the form is loaded.
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
    std::wstring_view name;
    ControlKind kind;
    double left, top, width, height;  // twips; a line's x1, y1, x2, y2
    int tabIndex;                     // -1: takes no focus
    std::wstring_view text;
    int lineWidthPixels = 0;
    Rgb color{0, 0, 0};
};

struct MenuDesign {
    std::wstring_view name;
    int depth;  // 1: the menu bar, 2: the submenu
    std::wstring_view caption;  // "-" is a separator
};

struct FormDesign {
    std::wstring_view name;
    std::wstring_view caption;
    FrameStyle frame;
    double clientWidth, clientHeight;    // twips
    std::optional<double> clientLeft;    // twips on the screen; none: the system's default
    std::optional<double> clientTop;
    bool windowIcon;
    std::span<const ControlDesign> controls;
    std::span<const MenuDesign> menus;
};

const FormDesign& MainDesign();
const FormDesign& SourceDesign();
const FormDesign& AboutDesign();

// Menu item names of frmMain.
inline constexpr std::wstring_view kMenuMain = L"m_main";
inline constexpr std::wstring_view kMenuRefresh = L"m_refresh";
inline constexpr std::wstring_view kMenuTop = L"m_top";
inline constexpr std::wstring_view kMenuLine = L"m_line";
inline constexpr std::wstring_view kMenuExit = L"m_exit";
inline constexpr std::wstring_view kMenuAbout = L"m_about";
inline constexpr std::wstring_view kMenuExp = L"m_exp";

// The About box's paragraph on why the tool exists.
extern const std::wstring_view kAboutDescription;

}  // namespace volane
