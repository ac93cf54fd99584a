#include "app/Application.h"

#include <commctrl.h>

#include "platform/win32/Fatal.h"
#include "platform/win32/ProcessSetup.h"

namespace volane::app {

void PrepareProcess(InitControlsFn initControls) {
    win32::SetFatalTitle(std::wstring(APP_TITLE));
    win32::EnableDpiAwareness();
    // Nothing in Volane takes typed text.
    win32::DisableInputMethod();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    initControls(&controls);
}

Application::Application() {
    win32::SetFatalOwners(&forms);
}

Application::~Application() {
    win32::SetFatalOwners(nullptr);
}

int Application::Run() {
    if (volane::Main(process, channel, codePage, *this) != StartupRoad::Build) return 0;
    return forms.RunMessageLoop();
}

void Application::InitImages() {
    source.SetImageDpi(main.Dpi());
    PictureStage stage(module, source, main.Tree().Window());
    volane::InitImages(stage, ImageNames);
}

}  // namespace volane::app
