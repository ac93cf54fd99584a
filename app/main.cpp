// Volane.exe: the services, the forms and the start-up steps, then the message loop until no
// form is loaded. A failure that nothing handles ends in the fatal box and a non-zero exit.
#include <windows.h>

#include <commctrl.h>

#include "modules/mdlApp.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Fatal.h"
#include "platform/win32/Form.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Services.h"
#include "platform/win32/SourceWindow.h"

namespace volane::win32 {

namespace {

class Application final : public IStartupSteps {
  public:
    int Run() {
        if (volane::Main(process_, channel_, codePage_, *this) != StartupRoad::Build) return 0;
        return forms_.RunMessageLoop();
    }

    void LoadMainForm() override { main_.Load(); }
    void LoadSourceForm() override { source_.Load(); }
    void InitImages() override {
        PictureStage stage(module_, source_.Picture1(), source_.ilFiles(), main_.Tree().Window());
        volane::InitImages(stage);
    }
    void ShowMainForm() override { main_.Show(); }
    void LoadDrives() override { volane::LoadDrives(fileSystem_, main_.Tree()); }

  private:
    HMODULE module_ = ::GetModuleHandleW(nullptr);
    CodePage codePage_;
    FileSystem fileSystem_;
    Process process_;
    Profile profile_;
    Registry registry_;
    Shell shell_;
    InstanceChannel channel_;
    Ui ui_;
    AboutServices about_{registry_, fileSystem_, process_, ui_, shell_, codePage_};
    MainServices services_{fileSystem_, process_, profile_, ui_, about_};
    FormList forms_;
    // frmSource owns the image list the tree draws from: it goes after the main window.
    SourceWindow source_{forms_, module_};
    MainWindow main_{forms_, module_, services_};
};

}  // namespace

}  // namespace volane::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    volane::win32::EnableDpiAwareness();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    return volane::win32::Guarded([] {
        volane::win32::Application application;
        return application.Run();
    });
}
