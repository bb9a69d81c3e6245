// Ctrl + wheel over the view: the zoom steps of the hot keys, one per notch.
#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewMath.h"

namespace ocu {
namespace {
constexpr int kWheelNotch = 120;  // WHEEL_DELTA
}

void TfrmCap::FormMouseWheel(ShiftState shift, int delta, int x, int y) {
    const bool overView =
        x >= s_.ViewLeft && y >= s_.ViewTop && x - s_.ViewLeft < s_.ViewWidth && y - s_.ViewTop < s_.ViewHeight;
    // A plain wheel, or one over the bars, is not a zoom; a modal input owns the window.
    if (!shift.Ctrl || !overView || s_.CapturePaused) {
        wheelRest_ = 0;
        return;
    }
    // Fine-grained wheels send parts of a notch; they add up to whole steps.
    wheelRest_ += delta;
    while (wheelRest_ >= kWheelNotch) {
        wheelRest_ -= kWheelNotch;
        SetZoomRate(ZoomStepped(s_.ZoomRate, s_.ZoomStep));
    }
    while (wheelRest_ <= -kWheelNotch) {
        wheelRest_ += kWheelNotch;
        SetZoomRate(ZoomStepped(s_.ZoomRate, -s_.ZoomStep));
    }
}

}  // namespace ocu
