// The form runtime: a top-level window built from its designed state (FormDesigns), with
// measures in twips, and modal showing. Form.cpp makes the window, shows it, rescales it and
// handles its messages; FormPlacement.cpp places it and gives its measures.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/FormDesign.h"
#include "platform/Platform.h"
#include "platform/win32/FormList.h"
#include "platform/win32/Handles.h"

namespace volane::win32 {

// Registers a window class of this module once; later calls with the same name do nothing. The
// class keeps one pointer-sized slot of extra bytes for the window's object.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background);

// Creates a visible child window of parent with the designed id, at its designed place and size
// converted at the parent's DPI. A child that cannot be created is a failure that names it.
HWND CreateDesignedChild(HWND parent, const ControlDesign& design, const wchar_t* windowClass,
                         const wchar_t* text, DWORD style, DWORD exStyle = 0);

class Form : public IWindow {
  public:
    // resources: the module that holds the window icon and other resources of the form.
    Form(FormList& forms, const FormDesign& design, HMODULE resources);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window and its controls in the designed state, adds the form to the list and
    // runs the load handler. The window stays hidden. A fixed dialog is owned by the list's
    // active window of that moment.
    void Load();
    // Runs the unload handler (once, however often Unload is reached), destroys the window and
    // removes the form from the list.
    void Unload() override;
    bool IsLoaded() const { return loaded_; }
    // Shows the form with the other forms disabled; returns when the form is unloaded.
    void ShowModal();

    HWND Window() const { return hwnd_; }
    UINT Dpi() const;
    int ToPixels(double twips) const;
    double ToTwips(int pixels) const;

    // IWindow
    std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(hwnd_); }
    double Width() const override;
    double Height() const override;
    void SetLeft(double twips) override;
    void SetTop(double twips) override;
    void SetWidth(double twips) override;
    void SetHeight(double twips) override;
    double ClientWidth() const override;
    double ClientHeight() const override;
    DisplayState WindowState() const override;
    void SetWindowState(DisplayState state) override;
    void SetCaption(const std::wstring& caption) override;
    std::wstring Tag() const override { return tag_; }
    void SetTag(std::wstring text) override { tag_ = std::move(text); }
    void Show() override;
    void SetTopmost(bool topmost) override;
    void SetTransitions(bool on) override;

  protected:
    // The menu bar, created before the window (the window then owns it).
    virtual unique_hmenu BuildMenu() { return {}; }
    // Creates the controls while the window is being created (WM_CREATE).
    virtual void CreateControls() {}
    // Places the controls for a DPI: at creation and whenever the window's DPI changes.
    virtual void LayoutControls(UINT /*dpi*/) {}
    virtual void OnLoad() {}
    virtual void OnResize() {}
    virtual void OnUnload() {}
    virtual void OnShowModal() {}
    // The window moved to a display of another DPI, or the system's message font, high contrast
    // or theme changed while it stands at dpi; fonts, controls and icons are done.
    virtual void OnDpiChanged(UINT /*dpi*/) {}
    // The system's colours changed; the controls have been told.
    virtual void OnSysColorChange() {}
    virtual void OnCommand(UINT /*id*/, UINT /*code*/, HWND /*control*/) {}
    virtual std::optional<LRESULT> OnNotify(const NMHDR& /*header*/) { return std::nullopt; }
    virtual void OnPaint(HDC /*dc*/) {}
    // Any other message, before the form's own handling; nullopt passes it on.
    virtual std::optional<LRESULT> OnMessage(UINT /*msg*/, WPARAM, LPARAM) { return std::nullopt; }

    // Destroys the window without running handlers. Derived destructors call it first, so no
    // message reaches a half-destroyed form.
    void DestroyWindowNow();
    HMODULE Resources() const { return resources_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detach();
    void ApplyDesignedPlacement();
    void ApplyDpi(UINT dpi);
    // The fonts, controls and icons made again for dpi, then the form's own part.
    void Rescale(UINT dpi);
    // A change of the system's settings (action: its SPI_ value): the look is made again when
    // the fonts or the colours it is built from may have changed.
    void SettingChanged(WPARAM action);
    // Whether the desktop's message font at the window's DPI is another than the form's.
    bool MessageFontChanged() const;
    // The system's colours changed: the controls are told, the form's own part runs and
    // everything is drawn again.
    void ColoursChanged();
    // Draws the window again, frame and controls included.
    void RedrawAll();
    // The window's icons at that DPI, unless it has them already.
    void SetIcons(UINT dpi);
    void EnableOthers();
    RECT WindowRectPixels() const;
    void Reposition(int x, int y, int width, int height, UINT flags);

    FormList& forms_;
    const FormDesign& design_;
    HMODULE resources_;
    HWND hwnd_ = nullptr;
    std::wstring tag_;
    bool loaded_ = false;
    bool unloading_ = false;
    bool controlsCreated_ = false;
    std::vector<HWND> disabledByModal_;
    unique_hicon bigIcon_;
    unique_hicon smallIcon_;
    UINT iconDpi_ = 0;
    unique_hfont font_;
};

}  // namespace volane::win32
