// frmSource: the hidden form that holds the staging picture box Picture1 and the image list
// ilFiles of the node pictures; and the IPictureStage through which the icon table fills it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "modules/mdlApp.h"
#include "platform/win32/Form.h"
#include "platform/win32/PictureBox.h"

namespace volane::app {

inline constexpr int kNodeImageSize = 18;  // pixels, at every DPI
inline constexpr COLORREF kNodeMaskColor = RGB(192, 192, 192);

class SourceWindow final : public win32::Form {
  public:
    SourceWindow(win32::FormList& forms, HMODULE resources);
    ~SourceWindow() override;

    win32::PictureBox& Picture1() { return *picture1_; }
    // Owned by the form object, not its window: the tree keeps drawing from it until the main
    // window is gone, which may be after frmSource is unloaded.
    HIMAGELIST ilFiles() const { return ilFiles_.get(); }

  protected:
    void CreateControls() override;

  private:
    std::unique_ptr<win32::PictureBox> picture1_;
    win32::unique_himagelist ilFiles_;
};

class PictureStage final : public IPictureStage {
  public:
    // module: where the bitmaps are (the executable itself; tests load Volane.exe as data).
    PictureStage(HMODULE module, win32::PictureBox& picture, HIMAGELIST images, HWND tree)
        : module_(module), picture_(picture), images_(images), tree_(tree) {}

    void LoadPicture(const std::wstring& resourceName) override;
    int ImageCount() const override;
    void AddDrawnImage(int index) override;
    void AttachToTree() override;

  private:
    HMODULE module_;
    win32::PictureBox& picture_;
    HIMAGELIST images_;
    HWND tree_;
};

}  // namespace volane::app
