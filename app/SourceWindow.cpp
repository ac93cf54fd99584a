#include "app/SourceWindow.h"

#include "forms/FormDesigns.h"
#include "platform/Twips.h"

namespace volane::app {

SourceWindow::SourceWindow(win32::FormList& forms, HMODULE resources)
    : Form(forms, SourceDesign(), resources) {}

SourceWindow::~SourceWindow() {
    DestroyWindowNow();
}

void SourceWindow::CreateControls() {
    picture1_ = std::make_unique<win32::PictureBox>(Window(), SourceDesign().controls[0]);
    ilFiles_.reset(ImageList_Create(imageSize_, imageSize_, ILC_COLOR32 | ILC_MASK, 9, 4));
    if (!ilFiles_) throw AppError(Failure::CreateImageList);
    ImageList_SetBkColor(ilFiles_.get(), ::GetSysColor(COLOR_WINDOW));
}

void SourceWindow::SetImageDpi(UINT dpi) {
    const int size = ScaledPixels(kNodeImageSize, static_cast<int>(dpi));
    if (size == imageSize_) return;
    imageSize_ = size;
    // Setting the size empties the list.
    ImageList_SetIconSize(ilFiles_.get(), size, size);
    for (const win32::unique_hbitmap& picture : pictures_) AddScaled(picture.get());
}

void SourceWindow::AddPicture(win32::unique_hbitmap picture) {
    AddScaled(picture.get());
    pictures_.push_back(std::move(picture));
}

void SourceWindow::AddScaled(HBITMAP picture) {
    const win32::WindowDc screen(nullptr);
    win32::unique_hbitmap scaled(::CreateCompatibleBitmap(screen.get(), imageSize_, imageSize_));
    {
        const win32::unique_hdc from(::CreateCompatibleDC(screen.get()));
        const win32::unique_hdc to(::CreateCompatibleDC(screen.get()));
        const win32::Selected source(from.get(), picture);
        const win32::Selected target(to.get(), scaled.get());
        // Each pixel becomes a block of whole pixels: crisp at any size, exact at 200 %, and
        // the mask colour stays unmixed.
        ::SetStretchBltMode(to.get(), COLORONCOLOR);
        ::StretchBlt(to.get(), 0, 0, imageSize_, imageSize_, from.get(), 0, 0, kNodeImageSize,
                     kNodeImageSize, SRCCOPY);
    }
    if (ImageList_AddMasked(ilFiles_.get(), scaled.get(), kNodeMaskColor) < 0)
        throw AppError(Failure::InvalidPicture);
}

void PictureStage::LoadPicture(const std::wstring& resourceName) {
    // Resource names are found without regard to case: "qe" finds QE.
    win32::unique_hbitmap bitmap = win32::LoadBitmapResource(module_, resourceName.c_str());
    if (!bitmap) throw AppError(Failure::ResourceNotFound, resourceName);
    source_.Picture1().SetPicture(std::move(bitmap));
}

int PictureStage::ImageCount() const {
    return ImageList_GetImageCount(source_.ilFiles());
}

void PictureStage::AddDrawnImage(int index) {
    // The list appends only; an index anywhere else is out of its bounds.
    if (index != ImageCount() + 1) throw AppError(Failure::IndexOutOfBounds);
    const win32::WindowDc screen(nullptr);
    win32::unique_hbitmap copy(
        ::CreateCompatibleBitmap(screen.get(), kNodeImageSize, kNodeImageSize));
    {
        const win32::unique_hdc dc(::CreateCompatibleDC(screen.get()));
        const win32::Selected target(dc.get(), copy.get());
        source_.Picture1().Render(dc.get(), {kNodeImageSize, kNodeImageSize});
    }
    source_.AddPicture(std::move(copy));
}

void PictureStage::AttachToTree() {
    TreeView_SetImageList(tree_, source_.ilFiles(), TVSIL_NORMAL);
}

}  // namespace volane::app
