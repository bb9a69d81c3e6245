#pragma once
// Which menu entries are enabled and which carry a check mark, worked out from
// the view state alone: the marks follow the flags, so the two cannot disagree.
#include <bitset>
#include <cstddef>

#include "mainwindow/Commands.h"
#include "mainwindow/ViewState.h"

namespace ocu {

class CommandStates {
public:
    static constexpr std::size_t kSpace = 1024;  // every CommandId is below this

    bool Checked(CommandId id) const { return checked_[Index(id)]; }
    bool Enabled(CommandId id) const { return !disabled_[Index(id)]; }
    void SetChecked(CommandId id, bool on) { checked_[Index(id)] = on; }
    void SetEnabled(CommandId id, bool on) { disabled_[Index(id)] = !on; }

private:
    static std::size_t Index(CommandId id) { return static_cast<std::size_t>(id) % kSpace; }
    std::bitset<kSpace> checked_;
    std::bitset<kSpace> disabled_;
};
static_assert(static_cast<std::size_t>(CommandId::tbRRotate) < CommandStates::kSpace);

// The switches of this program's own additions, which live with the settings
// rather than the view.
struct AddedSwitches {
    bool ColorShown = false;  // the colour under the pointer shown in the hint line
    bool ColorAsHex = false;
    bool HotKeysAlways = false;
};

// The states of every command for the view `view` and the additions' switches.
CommandStates MenuStates(const ViewState& view, const AddedSwitches& added = {});

}  // namespace ocu
