#pragma once
// The projection's mouse messages and the injected buttons in Win32's terms.
#include <windows.h>

#include "base/Geometry.h"
#include "mainwindow/MouseInput.h"

namespace ocu::win {

UINT MouseMessageOf(ProjectedMessage m);     // WM_MOUSEMOVE, WM_LBUTTONDOWN ...
WPARAM MouseKeysOf(const ProjectedKeys& k);  // MK_ flags
// A client point as a mouse message's lParam: each coordinate keeps its low 16 bits
// (MAKELPARAM), and the high half of a 64-bit lParam stays clear.
LPARAM MousePointOf(IntPoint p);
DWORD MouseEventFlagOf(InjectedButton b);  // MOUSEEVENTF_ flags

}  // namespace ocu::win
