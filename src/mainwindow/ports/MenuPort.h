#pragma once
// The marks, enabled states and captions of the main window's menu entries.
#include <string>

#include "mainwindow/Commands.h"

namespace ocu {

class MenuPort {
public:
    virtual ~MenuPort() = default;

    virtual void SetMenuChecked(CommandId id, bool checked) = 0;
    virtual void SetMenuEnabled(CommandId id, bool enabled) = 0;
    virtual void SetMenuCaption(CommandId id, const std::string& utf8) = 0;
};

}  // namespace ocu
