#include "platform/win32/Application.h"

namespace volane::win32 {

int Application::Run() {
    if (volane::Main(process, channel, codePage, *this) != StartupRoad::Build) return 0;
    return forms.RunMessageLoop();
}

void Application::InitImages() {
    PictureStage stage(module, source.Picture1(), source.ilFiles(), main.Tree().Window());
    volane::InitImages(stage);
}

}  // namespace volane::win32
