#pragma once
// The menu bar built from the core's menu table: the same captions, shortcut texts, order
// and submenus; each entry's check, enabling and caption set by command.
#include <QMenuBar>
#include <functional>
#include <map>

#include "mainwindow/Commands.h"

namespace ocu::qt {

class MenuBarQt {
public:
    struct Handlers {
        std::function<void(CommandId)> Chosen;      // an entry chosen with the mouse or its mnemonic
        std::function<void(CommandId top)> Opened;  // a top-level menu opens
        std::function<void(bool open)> Loop;        // some menu of the bar opens or every one closed
    };
    MenuBarQt(QMenuBar* bar, Handlers handlers);

    void SetChecked(CommandId id, bool checked);
    void SetEnabled(CommandId id, bool enabled);
    void SetCaption(CommandId id, std::string_view utf8);
    QAction* Action(CommandId id) const;
    // An entry of this desktop's own at the end of the menu that holds `beside`.
    void AddEntry(CommandId beside, std::string_view caption, std::function<void()> chosen);

private:
    Handlers h_;
    std::map<CommandId, QAction*> actions_;
    std::map<CommandId, QMenu*> menuOf_;
    int openMenus_ = 0;
};

// An entry's text: the caption with its ampersands shown as they are, and the shortcut's text.
QString MenuItemText(std::string_view caption, std::string_view shortcutText);

}  // namespace ocu::qt
