#include "app/SourceWindow.h"

#include <algorithm>

#include "forms/FormDesigns.h"
#include "platform/Twips.h"
#include "platform/win32/TreeView.h"

namespace volane::app {

namespace {

// A new bitmap, size pixels large, with the top-left part of picture drawn from its top-left
// corner at drawn pixels. Each pixel becomes a block of whole pixels: crisp at any size, exact
// at 200 %, and the mask colour stays unmixed.
[[nodiscard]] win32::unique_hbitmap CopyPicture(HDC screen, HBITMAP picture, SIZE part, SIZE drawn,
                                                SIZE size) {
    win32::unique_hbitmap copy(::CreateCompatibleBitmap(screen, size.cx, size.cy));
    const win32::unique_hdc from(::CreateCompatibleDC(screen));
    const win32::unique_hdc to(::CreateCompatibleDC(screen));
    const win32::Selected source(from.get(), picture);
    const win32::Selected target(to.get(), copy.get());
    ::SetStretchBltMode(to.get(), COLORONCOLOR);
    ::StretchBlt(to.get(), 0, 0, drawn.cx, drawn.cy, from.get(), 0, 0, part.cx, part.cy, SRCCOPY);
    return copy;
}

// The first count node pictures of a strip.
SIZE Pictures(int count) {
    return {count * kNodeImageSize, kNodeImageSize};
}

}  // namespace

SourceWindow::SourceWindow(win32::FormList& forms, HMODULE resources)
    : Form(forms, SourceDesign(), resources) {}

SourceWindow::~SourceWindow() {
    DestroyWindowNow();
}

void SourceWindow::CreateControls() {
    picture1_ = std::make_unique<win32::PictureBox>(Window(), SourceDesign().controls[0]);
    ilFiles_.reset(ImageList_Create(imageSize_, imageSize_, ILC_COLOR32 | ILC_MASK, 9, 4));
    if (!ilFiles_) throw AppError(Failure::CreateImageList);
    UseWindowColour();
}

void SourceWindow::UseWindowColour() {
    if (ilFiles_) ImageList_SetBkColor(ilFiles_.get(), ::GetSysColor(COLOR_WINDOW));
}

void SourceWindow::SetImageDpi(UINT dpi) {
    const int size = ScaledPixels(kNodeImageSize, static_cast<int>(dpi));
    if (size == imageSize_) return;
    imageSize_ = size;
    // Setting the size empties the list.
    ImageList_SetIconSize(ilFiles_.get(), size, size);
    for (const win32::unique_hbitmap& picture : pictures_) AddScaled(picture.get());
}

void SourceWindow::AddPictures(win32::unique_hbitmap strip) {
    AddScaled(strip.get());
    pictures_.push_back(std::move(strip));
}

void SourceWindow::AddScaled(HBITMAP picture) {
    BITMAP info{};
    ::GetObjectW(picture, sizeof(info), &info);
    const int count = info.bmWidth / kNodeImageSize;
    const SIZE scaledSize{count * imageSize_, imageSize_};
    const win32::WindowDc screen(nullptr);
    const win32::unique_hbitmap scaled =
        CopyPicture(screen.get(), picture, Pictures(count), scaledSize, scaledSize);
    // The list takes a strip as that many images.
    if (ImageList_AddMasked(ilFiles_.get(), scaled.get(), kNodeMaskColor) < 0)
        throw AppError(Failure::InvalidPicture);
}

PictureStage::PictureStage(HMODULE module, SourceWindow& source, HWND tree)
    : module_(module), source_(source), tree_(tree), dc_(::CreateCompatibleDC(screen_.get())) {}

void PictureStage::LoadPicture(const std::wstring& resourceName) {
    // Resource names are found without regard to case: "qe" finds QE.
    win32::unique_hbitmap bitmap = win32::LoadBitmapResource(module_, resourceName.c_str());
    if (!bitmap) throw AppError(Failure::ResourceNotFound, resourceName);
    source_.Picture1().SetPicture(std::move(bitmap));
}

int PictureStage::ImageCount() const {
    return ImageList_GetImageCount(source_.ilFiles()) + drawn_;
}

void PictureStage::AddDrawnImage(int index) {
    // The list appends only; an index anywhere else is out of its bounds.
    if (index != ImageCount() + 1) throw AppError(Failure::IndexOutOfBounds);
    if (drawn_ == capacity_) {
        // Room for twice as many, the pictures drawn so far copied over.
        const int capacity = std::max(16, capacity_ * 2);
        strip_ = strip_ ? CopyPicture(screen_.get(), strip_.get(), Pictures(drawn_),
                                      Pictures(drawn_), Pictures(capacity))
                        : win32::unique_hbitmap(::CreateCompatibleBitmap(
                              screen_.get(), capacity * kNodeImageSize, kNodeImageSize));
        capacity_ = capacity;
    }
    const win32::Selected target(dc_.get(), strip_.get());
    POINT previous{};
    ::SetViewportOrgEx(dc_.get(), drawn_ * kNodeImageSize, 0, &previous);
    source_.Picture1().Render(dc_.get(), {kNodeImageSize, kNodeImageSize});
    ::SetViewportOrgEx(dc_.get(), previous.x, previous.y, nullptr);
    ++drawn_;
}

void PictureStage::AttachToTree() {
    if (drawn_ > 0) {
        // Exactly as wide as the pictures drawn, so the list takes that many.
        win32::unique_hbitmap pictures = CopyPicture(screen_.get(), strip_.get(), Pictures(drawn_),
                                                     Pictures(drawn_), Pictures(drawn_));
        drawn_ = 0;
        source_.AddPictures(std::move(pictures));
    }
    win32::SetTreePictures(tree_, source_.ilFiles());
}

}  // namespace volane::app
