// frmSource: the hidden form that holds the staging picture box Picture1 and the image list
// ilFiles of the node pictures; and the IPictureStage through which the icon table fills it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <vector>

#include "modules/mdlApp.h"
#include "platform/win32/Form.h"
#include "platform/win32/PictureBox.h"

namespace volane::app {

inline constexpr int kNodeImageSize = 18;  // pixels at 96 DPI, as the bitmaps are drawn
inline constexpr COLORREF kNodeMaskColor = RGB(192, 192, 192);

class SourceWindow final : public win32::Form {
  public:
    SourceWindow(win32::FormList& forms, HMODULE resources);
    ~SourceWindow() override;

    win32::PictureBox& Picture1() { return *picture1_; }
    // Owned by the form object, not its window: the tree keeps drawing from it until the main
    // window is gone, which may be after frmSource is unloaded.
    HIMAGELIST ilFiles() const { return ilFiles_.get(); }

    // Sizes the node pictures for a window at dpi: ilFiles is made again at that size from the
    // pictures added so far, in their order, so every index still names the same picture.
    void SetImageDpi(UINT dpi);
    // Adds a node picture, drawn at 18 x 18 pixels, at the end of ilFiles.
    void AddPicture(win32::unique_hbitmap picture);

  protected:
    void CreateControls() override;

  private:
    void AddScaled(HBITMAP picture);

    std::unique_ptr<win32::PictureBox> picture1_;
    win32::unique_himagelist ilFiles_;
    int imageSize_ = kNodeImageSize;
    std::vector<win32::unique_hbitmap> pictures_;
};

class PictureStage final : public IPictureStage {
  public:
    // module: where the bitmaps are (the executable itself; tests load Volane.exe as data).
    PictureStage(HMODULE module, SourceWindow& source, HWND tree)
        : module_(module), source_(source), tree_(tree) {}

    void LoadPicture(const std::wstring& resourceName) override;
    int ImageCount() const override;
    void AddDrawnImage(int index) override;
    void AttachToTree() override;

  private:
    HMODULE module_;
    SourceWindow& source_;
    HWND tree_;
};

}  // namespace volane::app
