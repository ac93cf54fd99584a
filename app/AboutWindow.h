// frmAbout's window: the fixed dialog with the About picture, the labels, the two buttons and
// the etched rule, placed at its designed spot on the screen. Routes clicks to frmAbout.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "forms/frmAbout.h"
#include "platform/win32/Form.h"
#include "platform/win32/PictureBox.h"
#include "platform/win32/ProcessSetup.h"
#include "platform/win32/WindowText.h"

namespace volane::app {

class AboutWindow final : public win32::Form {
  public:
    // highContrast: whether a high-contrast theme is on, asked at every drawing of a label.
    AboutWindow(win32::FormList& forms, HMODULE resources, AboutServices& services,
                std::function<bool()> highContrast = &win32::HighContrastOn);
    ~AboutWindow() override;

    // The window of a designed control by id (null for the lines and unknown ids).
    HWND ControlWindow(int id) const;

  protected:
    void CreateControls() override;
    void LayoutControls(UINT dpi) override;
    void OnLoad() override;
    void OnShowModal() override;
    void OnCommand(UINT id, UINT code, HWND control) override;
    void OnPaint(HDC dc) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Control {
        const ControlDesign* design;
        HWND window;
    };

    void ApplyTabOrder();

    AboutServices& services_;
    std::function<bool()> highContrast_;
    std::vector<Control> controls_;
    std::unique_ptr<win32::PictureBox> picIcon_;
    std::optional<win32::WindowText> lblTitle_;
    std::optional<win32::WindowText> lblVersion_;
    std::optional<frmAbout> logic_;
    HWND lastFocus_ = nullptr;
};

}  // namespace volane::app
