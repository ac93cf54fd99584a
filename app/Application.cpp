#include "app/Application.h"

namespace volane::app {

int Application::Run() {
    if (volane::Main(process, channel, codePage, *this) != StartupRoad::Build) return 0;
    return forms.RunMessageLoop();
}

void Application::InitImages() {
    source.SetImageDpi(main.Dpi());
    PictureStage stage(module, source, main.Tree().Window());
    volane::InitImages(stage);
}

}  // namespace volane::app
