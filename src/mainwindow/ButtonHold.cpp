#include "mainwindow/ButtonHold.h"

#include <utility>

namespace ocu {

bool IsHoldButton(CommandId id) {
    for (const ToolButton& b : MainToolBar())
        if (b.Id == id) return b.PressAndHold;
    return false;
}

CommandId ClickCommand(CommandId id) {
    for (const ToolButton& b : MainToolBar())
        if (b.Id == id) return b.PressAndHold ? CommandId::None : id;
    return CommandId::None;
}

bool ButtonHold::Press(CommandId id) {
    if (held_ || !IsHoldButton(id)) return false;
    held_ = id;
    return true;
}

std::optional<CommandId> ButtonHold::End() { return std::exchange(held_, std::nullopt); }

}  // namespace ocu
