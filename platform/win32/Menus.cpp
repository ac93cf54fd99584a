#include "platform/win32/Menus.h"

#include <string>

namespace volane::win32 {

namespace {

constexpr long kErrCreateMenu = 7;

HMENU CheckedMenu(HMENU menu) {
    if (!menu) throw AppError(kErrCreateMenu, L"无法创建菜单");
    return menu;
}

// Adds a menu item; texts are passed as typed (no '&' in the designs, so no access keys).
void Append(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, std::wstring_view caption) {
    const std::wstring text(caption);
    ::AppendMenuW(menu, flags, idOrSubmenu, text.c_str());
}

}  // namespace

MenuBar::MenuBar(std::span<const MenuDesign> design, UINT firstId)
    : bar_(CheckedMenu(::CreateMenu())), barHandle_(bar_.get()) {
    UINT nextId = firstId;
    for (std::size_t i = 0; i < design.size(); ++i) {
        const MenuDesign& item = design[i];
        if (item.depth != 1) continue;
        const bool hasSubmenu = i + 1 < design.size() && design[i + 1].depth == 2;
        if (!hasSubmenu) {
            entries_.push_back({item.name, nextId, nullptr});
            Append(barHandle_, MF_STRING, nextId++, item.caption);
            continue;
        }
        unique_hmenu submenu(CheckedMenu(::CreatePopupMenu()));
        for (std::size_t j = i + 1; j < design.size() && design[j].depth == 2; ++j) {
            const MenuDesign& child = design[j];
            if (child.caption == L"-") {
                ::AppendMenuW(submenu.get(), MF_SEPARATOR, 0, nullptr);
                entries_.push_back({child.name, 0, nullptr});
                continue;
            }
            entries_.push_back({child.name, nextId, nullptr});
            Append(submenu.get(), MF_STRING, nextId++, child.caption);
        }
        entries_.push_back({item.name, 0, submenu.get()});
        // From here the bar destroys the submenu with itself.
        HMENU popup = submenu.release();
        Append(barHandle_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), item.caption);
    }
}

HMENU MenuBar::Submenu(std::wstring_view name) const {
    for (const Entry& entry : entries_) {
        if (entry.name == name) return entry.submenu;
    }
    return nullptr;
}

UINT MenuBar::IdOf(std::wstring_view name) const {
    for (const Entry& entry : entries_) {
        if (entry.name == name) return entry.id;
    }
    return 0;
}

std::wstring_view MenuBar::NameOf(UINT id) const {
    if (id == 0) return {};
    for (const Entry& entry : entries_) {
        if (entry.id == id) return entry.name;
    }
    return {};
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

bool MenuItem::Checked() const {
    const UINT state = ::GetMenuState(menu_, id_, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void MenuItem::SetChecked(bool checked) {
    ::CheckMenuItem(menu_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace volane::win32
