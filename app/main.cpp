// Volane.exe: start-up, then the message loop until no form is loaded. A failure that nothing
// handles ends in the fatal box and a non-zero exit.
#include <windows.h>

#include <commctrl.h>

#include "app/Application.h"
#include "modules/mdlApp.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Fatal.h"
#include "platform/win32/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    volane::win32::SetFatalTitle(std::wstring(volane::APP_TITLE));
    volane::win32::EnableDpiAwareness();
    // Nothing in Volane takes typed text.
    volane::win32::DisableInputMethod();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    return volane::win32::Guarded([] {
        volane::app::Application application;
        return application.Run();
    });
}
