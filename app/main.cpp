// Volane.exe: start-up, then the message loop until no form is loaded. A failure that nothing
// handles ends in the fatal box and a non-zero exit.
#include <windows.h>

#include <commctrl.h>

#include "app/Application.h"
#include "modules/mdlApp.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Fatal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    volane::win32::SetFatalTitle(std::wstring(volane::APP_TITLE));
    volane::win32::EnableDpiAwareness();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    return volane::win32::Guarded([] {
        volane::app::Application application;
        return application.Run();
    });
}
