#include "mainwindow/HotKeys.h"

#include "mainwindow/Commands.h"
#include "settings/IniManager.h"

namespace ocu {

void HotKeys::RegisterHotKeys() {
    if (registered_) return;
    if (!ini_.HotKeysAlways && !windowActive_) return;  // left to the other programs until we are active
    std::string failed;
    for (const HotKey& k : HotKeyTable()) {
        // A combination that another program holds is skipped; the rest still register.
        if (!p_.RegisterHotKey(k.Id, k.Mod, k.Key, k.Repeats)) {
            failed += std::string(k.Keys) + "（" + std::string(k.Action) + "）\n";
        }
    }
    if (!failed.empty() && failures_.empty()) failures_ = failed;
    registered_ = true;
}

void HotKeys::UnregisterHotKeys() {
    if (!registered_) return;
    for (const HotKey& k : HotKeyTable()) p_.UnregisterHotKey(k.Id);
    registered_ = false;
}

void HotKeys::FormActivate() {
    windowActive_ = true;
    RegisterHotKeys();
}

void HotKeys::FormDeactivate() {
    windowActive_ = false;
    if (!ini_.HotKeysAlways) UnregisterHotKeys();
}

void HotKeys::SetHotKeysAlways(bool always) {
    ini_.HotKeysAlways = always;
    if (always) RegisterHotKeys();
    else if (!windowActive_) UnregisterHotKeys();
}

std::optional<std::string> HotKeys::TakeFailureNotice() {
    if (failures_.empty() || failuresTold_) return std::nullopt;
    failuresTold_ = true;
    return failures_;
}

}  // namespace ocu
