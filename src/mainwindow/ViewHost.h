#pragma once
// What the main window's collaborators ask of the window that owns them.
#include "mainwindow/Commands.h"

namespace ocu {

class ViewHost {
public:
    virtual void UpdateStatus() = 0;
    virtual bool MenuChecked(CommandId id) const = 0;
    // Shows the menu marks and enabled states, passing on those that changed.
    virtual void RefreshMenuStates() = 0;
    virtual void switchTopMost(bool on) = 0;
    virtual void timTimer() = 0;  // one capture tick, now

protected:
    ~ViewHost() = default;
};

}  // namespace ocu
