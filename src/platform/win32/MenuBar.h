#pragma once
// The menu bar and the accelerator table, built from the command table alone.
// Menu item ids are CommandId values; accelerators use the same ids offset by
// kShortcutBase, so that their WM_COMMAND names no menu item and the system does
// not run its own idea of a shortcut (open handler, greyed test): the core does.
#include <windows.h>

#include <optional>
#include <span>
#include <unordered_map>

#include "mainwindow/Commands.h"
#include "platform/win32/Handles.h"

namespace ocu::win {

inline constexpr WORD kShortcutBase = 0x4000;

class MenuBar {
public:
    // Throws std::runtime_error when the system refuses a menu.
    explicit MenuBar(std::span<const MenuEntry> entries);
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Gives the bar to the window, which destroys it with itself.
    bool AttachTo(HWND window);
    HMENU Handle() const { return bar_.get() != nullptr ? bar_.get() : attached_; }

    // The top-level command of a popup that is about to open; None for a nested
    // popup or one that is not ours (the system menu).
    CommandId TopLevelOf(HMENU popup) const;
    HMENU PopupOf(CommandId topLevel) const;

    bool SetChecked(CommandId id, bool checked) const;
    bool SetEnabled(CommandId id, bool enabled) const;
    bool SetCaption(CommandId id, std::string_view utf8) const;
    std::optional<bool> IsChecked(CommandId id) const;
    std::optional<bool> IsEnabled(CommandId id) const;
    std::wstring Caption(CommandId id) const;

private:
    struct Place {
        HMENU menu;
        UINT position;
    };
    std::optional<Place> Find(CommandId id) const;
    void Changed(const Place& p) const;

    unique_hmenu bar_;
    HMENU attached_ = nullptr;
    HWND window_ = nullptr;
    std::unordered_map<CommandId, Place> places_;
    std::unordered_map<HMENU, CommandId> topLevels_;
};

// The menu text of an entry: '&' doubled (no mnemonics in this program), then
// the shortcut text after a tab, which menus show right-aligned.
std::wstring MenuItemText(std::string_view caption, std::string_view shortcutText);

// Accelerators for every entry with a shortcut; command = kShortcutBase + id.
unique_haccel BuildAccelerators(std::span<const MenuEntry> entries);
// The command of an accelerator's WM_COMMAND id, None if it is not one.
CommandId ShortcutCommand(WORD commandId);

}  // namespace ocu::win
