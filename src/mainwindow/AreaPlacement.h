#pragma once
// Where the sampled area lies: kept whole on the desktop, and the projection's
// target offsets following it.
#include "base/Geometry.h"
#include "mainwindow/ViewState.h"

namespace ocu {

void PushAreaInside(ViewState& s, const IntRect& desktop);
// The area's top-left in the target window's coordinates.
void RecomputeTargetOffsets(ViewState& s);

}  // namespace ocu
