#pragma once
// The core's keys and modifiers as Win32 values: virtual-key codes for the
// accelerators and hot keys, MOD_ masks for RegisterHotKey.
#include <windows.h>

#include "mainwindow/Keys.h"

namespace ocu::win {

// 0 for Key::None.
WORD VirtualKeyOf(Key key);
UINT HotKeyModifiers(Modifier modifier);

}  // namespace ocu::win
