#include "platform/win32/Menus.h"

#include <string>
#include <string_view>

namespace volane::win32 {

namespace {

HMENU CheckedMenu(HMENU menu) {
    if (!menu) throw AppError(Failure::CreateMenu);
    return menu;
}

// Adds a menu item; texts are passed as typed (no '&' in the designs, so no access keys).
void Append(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, std::wstring_view caption) {
    const std::wstring text(caption);
    ::AppendMenuW(menu, flags, idOrSubmenu, text.c_str());
}

}  // namespace

MenuBar::MenuBar(std::span<const MenuDesign> design)
    : bar_(CheckedMenu(::CreateMenu())), barHandle_(bar_.get()) {
    for (std::size_t i = 0; i < design.size(); ++i) {
        const MenuDesign& item = design[i];
        if (item.depth != 1) continue;
        const bool hasSubmenu = i + 1 < design.size() && design[i + 1].depth == 2;
        if (!hasSubmenu) {
            Append(barHandle_, MF_STRING, static_cast<UINT_PTR>(item.id), item.caption);
            continue;
        }
        unique_hmenu submenu(CheckedMenu(::CreatePopupMenu()));
        for (std::size_t j = i + 1; j < design.size() && design[j].depth == 2; ++j) {
            const MenuDesign& child = design[j];
            if (child.caption == L"-") {
                ::AppendMenuW(submenu.get(), MF_SEPARATOR, 0, nullptr);
            } else {
                Append(submenu.get(), MF_STRING, static_cast<UINT_PTR>(child.id), child.caption);
            }
        }
        popups_.push_back({item.id, submenu.get()});
        // From here the bar destroys the submenu with itself.
        HMENU popup = submenu.release();
        Append(barHandle_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), item.caption);
    }
}

HMENU MenuBar::Submenu(int id) const {
    for (const Popup& popup : popups_) {
        if (popup.id == id) return popup.menu;
    }
    return nullptr;
}

std::wstring MenuItem::Caption() const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu_, id_, FALSE, &info)) return {};
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(menu_, id_, FALSE, &info)) return {};
    text.resize(info.cch);
    return text;
}

void MenuItem::SetCaption(const std::wstring& caption) {
    std::wstring text = caption;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(menu_, id_, FALSE, &info);
    // An item on the bar itself shows the new text only after the bar is drawn again.
    if (window_) ::DrawMenuBar(window_);
}

void MenuItem::SetChecked(bool checked) {
    ::CheckMenuItem(menu_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace volane::win32
