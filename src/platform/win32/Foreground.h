#pragma once
#include <windows.h>

namespace ocu::win {

// Brings `window` to the front even when the foreground lock would refuse it:
// joins the input of the foreground thread, lifts the lock time-out for the one
// call and puts it back. Returns the result of the final detach.
BOOL SetAbsoluteForegroundWindow(HWND window);

}  // namespace ocu::win
