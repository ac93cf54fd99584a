// Volane's parts put together: the services, the forms and the start-up steps that Main
// takes. The program runs it; the benchmark builds the same object to measure its steps.
#pragma once

#include <windows.h>

#include "modules/mdlApp.h"
#include "platform/win32/Form.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Services.h"
#include "platform/win32/SourceWindow.h"

namespace volane::win32 {

class Application final : public IStartupSteps {
  public:
    // Start-up through Main, then the message loop until no form is loaded; the exit code.
    int Run();

    void LoadMainForm() override { main.Load(); }
    void LoadSourceForm() override { source.Load(); }
    void InitImages() override;
    void ShowMainForm() override { main.Show(); }
    void LoadDrives() override { volane::LoadDrives(fs, main.Tree()); }

    // The pictures come from the running executable's own resources.
    HMODULE module = ::GetModuleHandleW(nullptr);
    CodePage codePage;
    FileSystem fs;
    Process process;
    Profile profile;
    Registry registry;
    Shell shell;
    InstanceChannel channel;
    Ui ui;
    AboutServices about{registry, fs, process, ui, shell, codePage};
    MainServices services{fs, process, profile, ui, about};
    FormList forms;
    // frmSource owns the image list the tree draws from: it goes after the main window.
    SourceWindow source{forms, module};
    MainWindow main{forms, module, services};
};

}  // namespace volane::win32
