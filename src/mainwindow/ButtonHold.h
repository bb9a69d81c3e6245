#pragma once
// The tool bar's press-and-hold buttons (a zoom held down repeats): a press of one
// starts a hold, and the hold ends at the release of any mouse button, or when the
// mouse is taken elsewhere and that release can no longer arrive.
#include <optional>

#include "mainwindow/Commands.h"

namespace ocu {

// Whether the tool bar's button for `id` acts on press and release, not on a click.
bool IsHoldButton(CommandId id);
// The command a click of the tool bar's button `id` runs: None for a hold button
// (its press and release did the work) and for an id that is no button.
CommandId ClickCommand(CommandId id);

class ButtonHold {
public:
    // A mouse button went down over the button `id`: true when that starts a hold
    // (a hold button, and none held already).
    bool Press(CommandId id);
    // The hold ends: the button that was held, nullopt when none was.
    std::optional<CommandId> End();
    std::optional<CommandId> Held() const { return held_; }

private:
    std::optional<CommandId> held_;
};

}  // namespace ocu
