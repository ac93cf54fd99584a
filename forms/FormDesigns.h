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
    int depth;                  // 1: the menu bar, 2: the submenu
    std::wstring_view caption;  // "-" is a separator
};

struct FormDesign {
    std::wstring_view name;
    std::wstring_view caption;
    FrameStyle frame;
    double clientWidth, clientHeight;  // twips
    std::optional<double> clientLeft;  // twips on the screen; none: the system's default
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

// The About box's paragraph on why the tool exists: 200 bytes in code page 936.
inline constexpr std::wstring_view kAboutDescription =
    L"编写本工具，是为了弥补编辑器自带的文件夹树在选择要编辑的文件时的不足。作者一直没有改进它，"
    L"而编辑器又是我日常工作中用得最多的工具，于是写了这个小程序，免费送给编辑器的广大用户们，"
    L"希望方便大家日常使用。";

}  // namespace volane
