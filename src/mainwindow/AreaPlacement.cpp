#include "mainwindow/AreaPlacement.h"

#include "mainwindow/ViewMath.h"

namespace ocu {

void PushAreaInside(ViewState& s, const IntRect& desktop) {
    const IntPoint p = PushInside({s.AreaLeft, s.AreaTop}, s.SrcWidth, s.SrcHeight, desktop);
    s.AreaLeft = p.X;
    s.AreaTop = p.Y;
}

void RecomputeTargetOffsets(ViewState& s) {
    s.TargetOffsetX = s.AreaLeft - s.TargetRect.Left;
    s.TargetOffsetY = s.AreaTop - s.TargetRect.Top;
}

}  // namespace ocu
