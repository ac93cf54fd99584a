#include "app/Application.h"

namespace volane::app {

int Application::Run() {
    if (volane::Main(process, channel, codePage, *this) != StartupRoad::Build) return 0;
    return forms.RunMessageLoop();
}

void Application::InitImages() {
    PictureStage stage(module, source.Picture1(), source.ilFiles(), main.Tree().Window());
    volane::InitImages(stage);
}

}  // namespace volane::app
