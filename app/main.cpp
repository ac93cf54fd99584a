// Volane.exe: start-up, then the message loop until no form is loaded. A failure that nothing
// handles ends in the fatal box and a non-zero exit.
#include <windows.h>

#include "app/Application.h"
#include "platform/win32/Fatal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    volane::app::PrepareProcess();
    return volane::win32::Guarded([] {
        volane::app::Application application;
        return application.Run();
    });
}
