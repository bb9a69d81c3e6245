#pragma once
// System-wide hot keys, delivered to the main window while they are registered.
#include "mainwindow/Keys.h"

namespace ocu {

class HotKeyPort {
public:
    virtual ~HotKeyPort() = default;

    virtual bool RegisterHotKey(int id, Modifier modifier, Key key) = 0;
    virtual void UnregisterHotKey(int id) = 0;
};

}  // namespace ocu
