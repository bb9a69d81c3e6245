// The system-wide hot keys: taken while the window is up, given back while it is
// minimised, and, with the option to hold them only while this window is active,
// left to the program the user works in.
#include <string>

#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"

namespace ocu {

void TfrmCap::RegisterHotKeys() {
    if (s_.HotKeysRegistered) return;
    if (!ini_.HotKeysAlways && !windowActive_) return;  // left to the other programs until we are active
    std::string failed;
    for (const HotKey& k : HotKeyTable()) {
        // A combination that another program holds is skipped; the rest still register.
        if (!p_.RegisterHotKey(k.Id, k.Mod, k.Key)) {
            failed += std::string(k.Keys) + "（" + std::string(k.Action) + "）\n";
        }
    }
    if (!failed.empty() && hotKeyFailures_.empty()) hotKeyFailures_ = failed;
    s_.HotKeysRegistered = true;
}

void TfrmCap::UnregisterHotKeys() {
    if (!s_.HotKeysRegistered) return;
    for (const HotKey& k : HotKeyTable()) p_.UnregisterHotKey(k.Id);
    s_.HotKeysRegistered = false;
}

void TfrmCap::FormDeactivate() {
    windowActive_ = false;
    if (!ini_.HotKeysAlways) UnregisterHotKeys();
}

void TfrmCap::SetHotKeysAlways(bool always) {
    ini_.HotKeysAlways = always;
    if (always) RegisterHotKeys();
    else if (!windowActive_) UnregisterHotKeys();
}

}  // namespace ocu
