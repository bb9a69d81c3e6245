#pragma once
// System-wide hot keys, delivered to the main window while they are registered.
#include "mainwindow/Keys.h"

namespace ocu {

class HotKeyPort {
public:
    virtual ~HotKeyPort() = default;

    // A key that does not repeat reports a held key once.
    virtual bool RegisterHotKey(int id, Modifier modifier, Key key, bool repeats) = 0;
    virtual void UnregisterHotKey(int id) = 0;
};

}  // namespace ocu
