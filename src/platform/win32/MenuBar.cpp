#include "platform/win32/MenuBar.h"

#include <stdexcept>
#include <vector>

#include "mainwindow/ErrorTexts.h"
#include "platform/win32/KeyCodes.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

std::wstring Escaped(std::string_view utf8) {
    std::wstring out;
    for (wchar_t c : Utf8ToWide(utf8)) {
        if (c == L'&') out += L'&';
        out += c;
    }
    return out;
}

void Insert(HMENU menu, UINT position, MENUITEMINFOW& info) {
    if (!::InsertMenuItemW(menu, position, TRUE, &info)) throw std::runtime_error(std::string(text::kNoMenu));
}

}  // namespace

std::wstring MenuItemText(std::string_view caption, std::string_view shortcutText) {
    std::wstring text = Escaped(caption);
    if (!shortcutText.empty()) text += L"\t" + Utf8ToWide(shortcutText);
    return text;
}

MenuBar::MenuBar(std::span<const MenuEntry> entries) : bar_(::CreateMenu()) {
    if (!bar_) throw std::runtime_error(std::string(text::kNoMenu));
    std::vector<HMENU> open{bar_.get()};
    for (const MenuEntry& e : entries) {
        if (e.Kind == MenuItemKind::EndSubmenu) {
            if (open.size() > 1) open.pop_back();
            continue;
        }
        const HMENU parent = open.back();
        const UINT position = static_cast<UINT>(::GetMenuItemCount(parent));
        std::wstring text = MenuItemText(e.Caption, e.ShortcutText);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        info.wID = static_cast<UINT>(e.Id);
        if (e.Kind == MenuItemKind::Separator) {
            info.fType = MFT_SEPARATOR;
            Insert(parent, position, info);
            continue;
        }
        info.fMask |= MIIM_STRING;
        info.fType = MFT_STRING;
        info.dwTypeData = text.data();
        if (e.Kind == MenuItemKind::Submenu) {
            // Inserted at once, so the bar owns (and on failure destroys) every popup.
            const HMENU popup = ::CreatePopupMenu();
            if (popup == nullptr) throw std::runtime_error(std::string(text::kNoMenu));
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = popup;
            if (!::InsertMenuItemW(parent, position, TRUE, &info)) {
                ::DestroyMenu(popup);
                throw std::runtime_error(std::string(text::kNoMenu));
            }
            if (open.size() == 1) topLevels_[popup] = e.Id;
            open.push_back(popup);
        } else {
            Insert(parent, position, info);
        }
        places_[e.Id] = Place{parent, position};
    }
}

bool MenuBar::AttachTo(HWND window) {
    if (!bar_ || !::SetMenu(window, bar_.get())) return false;
    attached_ = bar_.release();
    window_ = window;
    return true;
}

CommandId MenuBar::TopLevelOf(HMENU popup) const {
    const auto it = topLevels_.find(popup);
    return it == topLevels_.end() ? CommandId::None : it->second;
}

HMENU MenuBar::PopupOf(CommandId topLevel) const {
    for (const auto& [menu, id] : topLevels_)
        if (id == topLevel) return menu;
    return nullptr;
}

std::optional<MenuBar::Place> MenuBar::Find(CommandId id) const {
    const auto it = places_.find(id);
    if (it == places_.end()) return std::nullopt;
    return it->second;
}

void MenuBar::Changed(const Place& p) const {
    // Items of the bar itself are drawn by the window frame, not by a popup.
    if (p.menu == Handle() && window_ != nullptr) ::DrawMenuBar(window_);
}

bool MenuBar::SetChecked(CommandId id, bool checked) const {
    const auto p = Find(id);
    if (!p) return false;
    const DWORD r = ::CheckMenuItem(p->menu, p->position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
    Changed(*p);
    return r != static_cast<DWORD>(-1);
}

bool MenuBar::SetEnabled(CommandId id, bool enabled) const {
    const auto p = Find(id);
    if (!p) return false;
    const BOOL r = ::EnableMenuItem(p->menu, p->position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    Changed(*p);
    return r != -1;
}

bool MenuBar::SetCaption(CommandId id, std::string_view utf8) const {
    const auto p = Find(id);
    const MenuEntry* entry = FindMenuEntry(id);
    if (!p || entry == nullptr) return false;
    std::wstring text = MenuItemText(utf8, entry->ShortcutText);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    const bool ok = ::SetMenuItemInfoW(p->menu, p->position, TRUE, &info) != FALSE;
    Changed(*p);
    return ok;
}

std::optional<bool> MenuBar::IsChecked(CommandId id) const {
    const auto p = Find(id);
    if (!p) return std::nullopt;
    return (::GetMenuState(p->menu, p->position, MF_BYPOSITION) & MF_CHECKED) != 0;
}

std::optional<bool> MenuBar::IsEnabled(CommandId id) const {
    const auto p = Find(id);
    if (!p) return std::nullopt;
    return (::GetMenuState(p->menu, p->position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::wstring MenuBar::Caption(CommandId id) const {
    const auto p = Find(id);
    if (!p) return {};
    wchar_t buffer[512]{};
    ::GetMenuStringW(p->menu, p->position, buffer, 512, MF_BYPOSITION);
    return buffer;
}

unique_haccel BuildAccelerators(std::span<const MenuEntry> entries) {
    std::vector<ACCEL> table;
    for (const MenuEntry& e : entries) {
        if (e.Kind != MenuItemKind::Item || e.Keys.Empty()) continue;
        ACCEL a{};
        a.fVirt = static_cast<BYTE>(FVIRTKEY | (e.Keys.Ctrl ? FCONTROL : 0));
        a.key = VirtualKeyOf(e.Keys.Key);
        a.cmd = static_cast<WORD>(kShortcutBase + static_cast<WORD>(e.Id));
        table.push_back(a);
    }
    if (table.empty()) return {};
    return unique_haccel(::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

CommandId ShortcutCommand(WORD commandId) {
    if (commandId <= kShortcutBase) return CommandId::None;
    const auto id = static_cast<CommandId>(commandId - kShortcutBase);
    return FindMenuEntry(id) != nullptr ? id : CommandId::None;
}

}  // namespace ocu::win
