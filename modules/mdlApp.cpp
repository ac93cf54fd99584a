#include "modules/mdlApp.h"

#include "modules/mdlMsg.h"
#include "platform/TextUtil.h"

namespace volane {

std::int16_t GetImageIndex(const ImageNameTable& ImageNames, std::wstring_view typeName) {
    const std::wstring lower = LowerCase(typeName);
    for (std::size_t slot = 1; slot < ImageNames.size(); ++slot) {
        if (ImageNames[slot] && *ImageNames[slot] == lower) return static_cast<std::int16_t>(slot);
    }
    return kImageFallback;
}

void InitImages(IPictureStage& stage, ImageNameTable& ImageNames) {
    for (std::wstring_view typeName : kTypeNames) {
        // "htm" has no bitmap of its own: Picture1 still shows the HTML picture of the row
        // before, and that is added again.
        if (typeName != L"htm") stage.LoadPicture(LowerCase(typeName));
        const int next = stage.ImageCount() + 1;
        if (next > 32767) throw AppError(Failure::Overflow);
        stage.AddDrawnImage(next);
        const int count = stage.ImageCount();
        if (count < 1 || count >= static_cast<int>(ImageNames.size()))
            throw AppError(Failure::SubscriptOutOfRange);
        ImageNames[static_cast<std::size_t>(count)] = std::wstring(typeName);
    }
    stage.AttachToTree();
}

std::wstring_view DriveLabel(int driveType) {
    switch (driveType) {
        case 1:
            return L"可移动磁盘(";
        case 2:
            return L"本地磁盘(";
        case 4:
            return L"光盘驱动(";
        default:
            return {};  // unknown, network, RAM disk and anything else are not shown
    }
}

void LoadDrives(IFileSystem& fs, ITree& tree, const ImageNameTable& ImageNames) {
    for (const Drive& drive : fs.Drives()) {
        const std::wstring_view label = DriveLabel(drive.type);
        if (label.empty()) continue;
        std::wstring key{drive.letter, L':', L'\\'};
        std::wstring text = std::wstring(label) + drive.letter + L')';
        if (!tree.Add({}, std::move(key), text, GetImageIndex(ImageNames, L"root")))
            throw AppError(Failure::KeyNotUnique);
    }
}

void NotifyPrevInstance(IInstanceChannel& channel, const ICodePage& codePage) {
    const std::intptr_t window = channel.FindWindowByTitle(codePage.ToAnsi(WINDOW_TITLE));
    if (window == 0) return;
    channel.AllowForeground(window);
    channel.Send(window, WM_SHOWEXT, SHOW_CODE);
}

StartupRoad Main(IProcess& process, IInstanceChannel& channel, const ICodePage& codePage,
                 IStartupSteps& steps) {
    if (process.AnotherInstanceRunning()) {
        NotifyPrevInstance(channel, codePage);
        return StartupRoad::HandOver;
    }
    if (process.CommandLineTail().empty()) return StartupRoad::Quit;
    steps.LoadMainForm();
    steps.LoadSourceForm();
    steps.InitImages();
    steps.ShowMainForm();
    steps.LoadDrives();
    return StartupRoad::Build;
}

}  // namespace volane
