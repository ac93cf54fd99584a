#include "app/SourceWindow.h"

#include "forms/FormDesigns.h"

namespace volane::app {

SourceWindow::SourceWindow(win32::FormList& forms, HMODULE resources)
    : Form(forms, SourceDesign(), resources) {}

SourceWindow::~SourceWindow() {
    DestroyWindowNow();
}

void SourceWindow::CreateControls() {
    picture1_ = std::make_unique<win32::PictureBox>(Window(), SourceDesign().controls[0]);
    // Node pictures stay 18 x 18 pixels at every DPI: the bitmaps are drawn at that size and
    // scaling them would only blur them.
    ilFiles_.reset(ImageList_Create(kNodeImageSize, kNodeImageSize, ILC_COLOR32 | ILC_MASK, 9, 4));
    if (!ilFiles_) throw AppError(Failure::CreateImageList);
    ImageList_SetBkColor(ilFiles_.get(), ::GetSysColor(COLOR_WINDOW));
}

void PictureStage::LoadPicture(const std::wstring& resourceName) {
    // Resource names are found without regard to case: "qe" finds QE.
    win32::unique_hbitmap bitmap = win32::LoadBitmapResource(module_, resourceName.c_str());
    if (!bitmap) throw AppError(Failure::ResourceNotFound, resourceName);
    picture_.SetPicture(std::move(bitmap));
}

int PictureStage::ImageCount() const {
    return ImageList_GetImageCount(images_);
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
        picture_.Render(dc.get(), {kNodeImageSize, kNodeImageSize});
    }
    if (ImageList_AddMasked(images_, copy.get(), kNodeMaskColor) < 0)
        throw AppError(Failure::InvalidPicture);
}

void PictureStage::AttachToTree() {
    TreeView_SetImageList(tree_, images_, TVSIL_NORMAL);
}

}  // namespace volane::app
