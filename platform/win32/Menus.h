// Menus built from a form's designed menu tree, and menu items as IMenuItem.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "platform/FormDesign.h"
#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace volane::win32 {

// A built menu bar: depth-1 items with depth-2 items below them become submenus, the others
// commands on the bar itself. Each command carries its designed id.
class MenuBar {
  public:
    explicit MenuBar(std::span<const MenuDesign> design);

    // Hands the bar to a window (SetMenu or CreateWindowEx), which destroys it from then on.
    [[nodiscard]] unique_hmenu TakeBar() { return std::move(bar_); }
    HMENU Bar() const { return barHandle_; }
    // The submenu of the depth-1 item with that id, or null.
    HMENU Submenu(int id) const;

  private:
    struct Popup {
        int id;
        HMENU menu;
    };
    unique_hmenu bar_;
    HMENU barHandle_ = nullptr;
    std::vector<Popup> popups_;
};

// One command item: caption and check mark. window: the owner whose menu bar is redrawn after
// a caption change.
class MenuItem final : public IMenuItem {
  public:
    MenuItem(HWND window, HMENU menu, UINT id) : window_(window), menu_(menu), id_(id) {}

    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    void SetChecked(bool checked) override;

  private:
    HWND window_;
    HMENU menu_;
    UINT id_;
};

}  // namespace volane::win32
