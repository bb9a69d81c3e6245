#pragma once
// The window class of this program's main window. The edge registers it under this
// name, and the projection refuses a target of this class: it would be the view itself.
#include "base/Geometry.h"

namespace ocu {
inline constexpr char kMainWindowClassName[] = "TfrmCap";
// Where the main window opens, as outer bounds on the screen, before the settings move it.
inline constexpr IntRect kInitialWindowBounds{670, 204, 670 + 699, 204 + 471};
}  // namespace ocu
