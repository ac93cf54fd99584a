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
    // Paints the pictures' transparent parts in the system's window colour, the tree's own
    // background; again whenever the system's colours change (high contrast, say).
    void UseWindowColour();
    // Adds node pictures drawn side by side at 18 x 18 pixels each, in their order, at the end of
    // ilFiles.
    void AddPictures(win32::unique_hbitmap strip);

  protected:
    void CreateControls() override;

  private:
    void AddScaled(HBITMAP picture);

    std::unique_ptr<win32::PictureBox> picture1_;
    win32::unique_himagelist ilFiles_;
    int imageSize_ = kNodeImageSize;
    std::vector<win32::unique_hbitmap> pictures_;
};

// The drawn images are kept side by side in one strip and go into ilFiles together when the
// list is attached to the tree: start-up then pays for one mask and one copy instead of nine.
class PictureStage final : public IPictureStage {
  public:
    // module: where the bitmaps are (the executable itself; tests load Volane.exe as data).
    PictureStage(HMODULE module, SourceWindow& source, HWND tree);

    void LoadPicture(const std::wstring& resourceName) override;
    // The images in ilFiles and those drawn for it.
    int ImageCount() const override;
    void AddDrawnImage(int index) override;
    void AttachToTree() override;

  private:
    HMODULE module_;
    SourceWindow& source_;
    HWND tree_;
    win32::WindowDc screen_{nullptr};
    win32::unique_hdc dc_;
    win32::unique_hbitmap strip_;
    int capacity_ = 0;
    int drawn_ = 0;  // in the strip, not yet in ilFiles
};

}  // namespace volane::app
