// The option to hold the hot keys only while this window is active: Ctrl+A, Ctrl+S
// and the rest then stay with the program the user works in.
#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"

namespace ocu {

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
