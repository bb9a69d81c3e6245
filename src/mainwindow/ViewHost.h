#pragma once
// What the main window's collaborators ask of the window that owns them.
#include "mainwindow/Commands.h"

namespace ocu {

class ViewHost {
public:
    virtual void UpdateStatus() = 0;
    virtual bool MenuChecked(CommandId id) const = 0;

protected:
    ~ViewHost() = default;
};

}  // namespace ocu
