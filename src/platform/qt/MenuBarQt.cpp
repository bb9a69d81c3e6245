#include "platform/qt/MenuBarQt.h"

#include <QMenu>
#include <vector>

#include "platform/qt/QtText.h"

namespace ocu::qt {

QString MenuItemText(std::string_view caption, std::string_view shortcutText) {
    QString text = Q(caption);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    // Qt shows what follows a tab at the right of the entry, as the shortcut's text.
    if (!shortcutText.empty()) text += QLatin1Char('\t') + Q(shortcutText);
    return text;
}

MenuBarQt::MenuBarQt(QMenuBar* bar, Handlers handlers) : h_(std::move(handlers)) {
    std::vector<QMenu*> open;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind == MenuItemKind::EndSubmenu) {
            if (!open.empty()) open.pop_back();
            continue;
        }
        if (e.Kind == MenuItemKind::Separator) {
            if (!open.empty()) open.back()->addSeparator();
            continue;
        }
        const QString text = MenuItemText(e.Caption, e.ShortcutText);
        if (e.Kind == MenuItemKind::Submenu) {
            QMenu* menu = open.empty() ? bar->addMenu(text) : open.back()->addMenu(text);
            actions_[e.Id] = menu->menuAction();
            if (open.empty()) {
                const CommandId top = e.Id;
                QObject::connect(menu, &QMenu::aboutToShow, menu, [this, top] {
                    if (openMenus_++ == 0 && h_.Loop) h_.Loop(true);
                    if (h_.Opened) h_.Opened(top);
                });
                QObject::connect(menu, &QMenu::aboutToHide, menu, [this] {
                    if (openMenus_ > 0 && --openMenus_ == 0 && h_.Loop) h_.Loop(false);
                });
            }
            open.push_back(menu);
            continue;
        }
        if (open.empty()) continue;
        QAction* action = open.back()->addAction(text);
        const CommandId id = e.Id;
        QObject::connect(action, &QAction::triggered, action, [this, id] {
            if (h_.Chosen) h_.Chosen(id);
        });
        actions_[id] = action;
        menuOf_[id] = open.back();
    }
}

void MenuBarQt::AddEntry(CommandId beside, std::string_view caption, std::function<void()> chosen) {
    const auto it = menuOf_.find(beside);
    if (it == menuOf_.end()) return;
    QAction* action = it->second->addAction(MenuItemText(caption, {}));
    QObject::connect(action, &QAction::triggered, action, [chosen = std::move(chosen)] { chosen(); });
}

QAction* MenuBarQt::Action(CommandId id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MenuBarQt::SetChecked(CommandId id, bool checked) {
    QAction* a = Action(id);
    if (a == nullptr) return;
    // Checkable only while checked: an entry without a mark shows no empty box.
    if (checked) a->setCheckable(true);
    a->setChecked(checked);
    if (!checked) a->setCheckable(false);
}

void MenuBarQt::SetEnabled(CommandId id, bool enabled) {
    if (QAction* a = Action(id)) a->setEnabled(enabled);
}

void MenuBarQt::SetCaption(CommandId id, std::string_view utf8) {
    QAction* a = Action(id);
    const MenuEntry* entry = FindMenuEntry(id);
    if (a == nullptr || entry == nullptr) return;
    a->setText(MenuItemText(utf8, entry->ShortcutText));
}

}  // namespace ocu::qt
