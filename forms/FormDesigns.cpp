#include "forms/FormDesigns.h"

#include <array>

#include "forms/frmMain.h"
#include "modules/mdlApp.h"
#include "resource.h"

namespace volane {

namespace {

constexpr std::array kMainControls = {
    ControlDesign{IDC_TV1, L"tv1", ControlKind::TreeView, 0, 0, 4695, 6135, 0, L""},
};

// m_main with m_refresh, m_top, m_line, m_exit and m_about; then m_exp.
constexpr std::array kMainMenus = {
    MenuDesign{IDM_MAIN, 1, L"文件"},         MenuDesign{IDM_REFRESH, 2, L"刷新"},
    MenuDesign{IDM_TOP, 2, L"置顶"},          MenuDesign{0, 2, L"-"},
    MenuDesign{IDM_EXIT, 2, L"退出"},         MenuDesign{IDM_ABOUT, 2, L"关于"},
    MenuDesign{IDM_EXP, 1, kCaptionCollapse},
};

constexpr std::array kSourceControls = {
    ControlDesign{IDC_PICTURE1, L"Picture1", ControlKind::PictureBox, 240, 240, 270, 270, 0, L""},
};

constexpr wchar_t kDisclaimer[] = L"检查最新版本：" VOLANE_WIDEN(VOLANE_WEB_ADDRESS);

// In order of creation. Lines: left/top/width/height hold x1, y1, x2, y2.
constexpr std::array kAboutControls = {
    ControlDesign{IDC_PICICON, L"picIcon", ControlKind::PictureBox, 240, 240, 750, 1800, 1, L""},
    ControlDesign{IDC_OK, L"cmdOK", ControlKind::Button, 4125, 2625, 1500, 345, 0, L"确定"},
    ControlDesign{IDC_SYSINFO, L"cmdSysInfo", ControlKind::Button, 4140, 3075, 1485, 345, 2,
                  L"系统信息(&S)..."},
    ControlDesign{0, L"Line1(1)", ControlKind::Line, 90, 2445, 5654, 2445, -1, L"", 1,
                  Rgb{128, 128, 128}},
    ControlDesign{IDC_DESCRIPTION, L"lblDescription", ControlKind::Label, 1050, 1125, 3885, 1170, 3,
                  kAboutDescription},
    ControlDesign{IDC_TITLE, L"lblTitle", ControlKind::Label, 1050, 240, 3885, 480, 5,
                  L"编辑器Torlin"},
    ControlDesign{0, L"Line1(0)", ControlKind::Line, 105, 2460, 5654, 2460, -1, L"", 2,
                  Rgb{255, 255, 255}},
    ControlDesign{IDC_VERSION, L"lblVersion", ControlKind::Label, 1050, 780, 3885, 225, 6, L"1.0"},
    ControlDesign{IDC_DISCLAIMER, L"lblDisclaimer", ControlKind::Label, 255, 2625, 3630, 825, 4,
                  kDisclaimer},
};

}  // namespace

const FormDesign& MainDesign() {
    static const FormDesign design{.name = L"frmMain",
                                   .windowClass = L"Volane.frmMain",
                                   .caption = WINDOW_TITLE,
                                   .frame = FrameStyle::Sizable,
                                   .clientWidth = 3540,
                                   .clientHeight = 6690,
                                   .clientLeft = std::nullopt,
                                   .clientTop = std::nullopt,
                                   .iconId = IDI_WINDOW,
                                   .controls = kMainControls,
                                   .menus = kMainMenus};
    return design;
}

const FormDesign& SourceDesign() {
    static const FormDesign design{.name = L"frmSource",
                                   .windowClass = L"Volane.frmSource",
                                   .caption = L"Form1",
                                   .frame = FrameStyle::Hidden,
                                   .clientWidth = 4560,
                                   .clientHeight = 3030,
                                   .clientLeft = std::nullopt,
                                   .clientTop = std::nullopt,
                                   .iconId = 0,
                                   .controls = kSourceControls,
                                   .menus = {}};
    return design;
}

// The About box opens at its designed place on the screen, not centred.
const FormDesign& AboutDesign() {
    static const FormDesign design{.name = L"frmAbout",
                                   .windowClass = L"Volane.frmAbout",
                                   .caption = L"关于Torlin",
                                   .frame = FrameStyle::FixedDialog,
                                   .clientWidth = 5730,
                                   .clientHeight = 3045,
                                   .clientLeft = 2340.0,
                                   .clientTop = 1935.0,
                                   .iconId = IDI_WINDOW,
                                   .controls = kAboutControls,
                                   .menus = {}};
    return design;
}

}  // namespace volane
