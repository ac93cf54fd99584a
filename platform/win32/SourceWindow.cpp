#include "platform/win32/SourceWindow.h"

#include "forms/FormDesigns.h"

namespace volane::win32 {

namespace {

constexpr UINT kPicture1Id = 100;
constexpr long kErrIndexOutOfBounds = 35600;
constexpr long kErrInvalidPicture = 481;
constexpr long kErrCreateImageList = 7;

}  // namespace

SourceWindow::SourceWindow(FormList& forms, HMODULE resources)
    : Form(forms, SourceDesign(), resources) {}

SourceWindow::~SourceWindow() {
    DestroyWindowNow();
}

void SourceWindow::CreateControls() {
    picture1_ = std::make_unique<PictureBox>(Window(), SourceDesign().controls[0], kPicture1Id);
    // Node pictures stay 18 x 18 pixels at every DPI: the bitmaps are drawn at that size and
    // scaling them would only blur them.
    ilFiles_.reset(ImageList_Create(kNodeImageSize, kNodeImageSize, ILC_COLOR32 | ILC_MASK, 9, 4));
    if (!ilFiles_) throw AppError(kErrCreateImageList, L"无法创建图像列表");
    ImageList_SetBkColor(ilFiles_.get(), ::GetSysColor(COLOR_WINDOW));
}

void PictureStage::LoadPicture(const std::wstring& resourceName) {
    // Resource names are found without regard to case: "qe" finds QE.
    unique_hbitmap bitmap = LoadBitmapResource(module_, resourceName.c_str());
    if (!bitmap) {
        throw AppError(kErrResourceNotFound, L"找不到标识符为 '" + resourceName + L"' 的资源");
    }
    picture_.SetPicture(std::move(bitmap));
}

int PictureStage::ImageCount() const {
    return ImageList_GetImageCount(images_);
}

void PictureStage::AddDrawnImage(int index) {
    // The list appends only; an index anywhere else is out of its bounds.
    if (index != ImageCount() + 1) throw AppError(kErrIndexOutOfBounds, L"索引超出范围");
    HDC screen = ::GetDC(nullptr);
    unique_hbitmap copy(::CreateCompatibleBitmap(screen, kNodeImageSize, kNodeImageSize));
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, copy.get());
    picture_.Render(dc, {kNodeImageSize, kNodeImageSize});
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    if (ImageList_AddMasked(images_, copy.get(), kNodeMaskColor) < 0) {
        throw AppError(kErrInvalidPicture, L"无效图片");
    }
}

void PictureStage::AttachToTree() {
    TreeView_SetImageList(tree_, images_, TVSIL_NORMAL);
}

}  // namespace volane::win32
