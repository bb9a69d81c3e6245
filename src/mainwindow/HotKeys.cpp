#include "mainwindow/HotKeys.h"

#include "mainwindow/Commands.h"
#include "settings/IniManager.h"

namespace ocu {

namespace {
constexpr int kRetryTicks = 10;
}

void HotKeys::RegisterHotKeys() {
    if (registered_) return;
    if (!ini_.HotKeysAlways && !windowActive_) return;  // left to the other programs until we are active
    taken_.clear();
    for (const HotKey& k : HotKeyTable()) {
        // A combination that another program holds is skipped; the rest still register.
        if (!keys_.RegisterHotKey(k.Id, k.Mod, k.Key, k.Repeats)) taken_.push_back(k.Id);
    }
    registered_ = true;
    retriesLeft_ = kRetryTicks;
}

void HotKeys::Tick() {
    if (!registered_ || taken_.empty() || retriesLeft_ <= 0) return;
    std::erase_if(taken_, [&](int id) {
        const HotKey* k = FindHotKey(id);
        return k != nullptr && keys_.RegisterHotKey(k->Id, k->Mod, k->Key, k->Repeats);
    });
    if (--retriesLeft_ > 0 || taken_.empty() || !failures_.empty()) return;
    for (const int id : taken_)
        if (const HotKey* k = FindHotKey(id))
            failures_ += std::string(k->Keys) + "（" + std::string(k->Action) + "）\n";
}

void HotKeys::UnregisterHotKeys() {
    if (!registered_) return;
    for (const HotKey& k : HotKeyTable()) keys_.UnregisterHotKey(k.Id);
    registered_ = false;
    taken_.clear();
}

void HotKeys::FormActivate() {
    windowActive_ = true;
    RegisterHotKeys();
    if (!taken_.empty()) {
        retriesLeft_ = kRetryTicks;
        Tick();
    }
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
