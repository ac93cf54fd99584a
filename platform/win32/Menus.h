// Menus built from a form's designed menu tree, and menu items as IMenuItem.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

#include "forms/FormDesigns.h"
#include "platform/Platform.h"
#include "platform/win32/Handles.h"

namespace volane::win32 {

// A built menu bar: depth-1 items with depth-2 items below them become submenus, the others
// commands on the bar itself. Every item but a separator gets a command id.
class MenuBar {
  public:
    explicit MenuBar(std::span<const MenuDesign> design, UINT firstId);

    // Hands the bar to a window (SetMenu or CreateWindowEx), which destroys it from then on.
    unique_hmenu TakeBar() { return std::move(bar_); }
    HMENU Bar() const { return barHandle_; }
    // The submenu of a depth-1 item, or null.
    HMENU Submenu(std::wstring_view name) const;
    // The command id of an item, 0 when it has none.
    UINT IdOf(std::wstring_view name) const;
    // The name of the item with that command id, empty when none.
    std::wstring_view NameOf(UINT id) const;

  private:
    struct Entry {
        std::wstring_view name;
        UINT id;
        HMENU submenu;
    };
    unique_hmenu bar_;
    HMENU barHandle_ = nullptr;
    std::vector<Entry> entries_;
};

// One command item: caption and check mark. window: the owner whose menu bar is redrawn after
// a caption change.
class MenuItem final : public IMenuItem {
  public:
    MenuItem(HWND window, HMENU menu, UINT id) : window_(window), menu_(menu), id_(id) {}

    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    bool Checked() const override;
    void SetChecked(bool checked) override;

  private:
    HWND window_;
    HMENU menu_;
    UINT id_;
};

}  // namespace volane::win32
