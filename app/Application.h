// Volane's parts put together: the services, the forms and the start-up steps that Main
// takes. The program runs it; the benchmark builds the same object to measure its steps.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "app/MainWindow.h"
#include "app/SourceWindow.h"
#include "modules/mdlApp.h"
#include "platform/win32/Form.h"
#include "platform/win32/Services.h"

namespace volane::app {

// "Local\" keeps the single-instance rule per logon session: each user's desktop has its own
// main window to find, so each may run its own instance.
inline constexpr wchar_t kInstanceName[] = L"Local\\Volane.SingleInstance";

// What the process sets up before its first window: the fatal box's title, DPI awareness, no
// input method and the common controls. Comctl32 6 registers a control's class only when asked
// (Wine's registers them all as it loads, so only the call can be checked there).
using InitControlsFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
void PrepareProcess(InitControlsFn initControls = &::InitCommonControlsEx);

class Application final : public IStartupSteps {
  public:
    // The fatal box belongs to the active window of these forms while they exist.
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up through Main, then the message loop until no form is loaded; the exit code.
    int Run();

    void LoadMainForm() override { main.Load(); }
    void LoadSourceForm() override { source.Load(); }
    void InitImages() override;
    void ShowMainForm() override { main.Show(); }
    void LoadDrives() override { volane::LoadDrives(fs, main.Tree(), ImageNames); }

    // The pictures come from the running executable's own resources.
    HMODULE module = ::GetModuleHandleW(nullptr);
    // Every loaded form; the boxes belong to its active window.
    win32::FormList forms;
    win32::CodePage codePage;
    win32::FileSystem fs;
    win32::Process process{kInstanceName};
    win32::Profile profile;
    win32::Registry registry;
    win32::Shell shell;
    win32::InstanceChannel channel;
    win32::Ui ui{forms};
    // The icon table, filled by InitImages.
    ImageNameTable ImageNames;
    AboutServices about{registry, fs, process, ui, shell, codePage};
    MainServices services{fs, process, profile, ui, about, ImageNames};
    // frmSource owns the image list the tree draws from: it goes after the main window.
    SourceWindow source{forms, module};
    MainWindow main{forms, module, services, source};
};

}  // namespace volane::app
