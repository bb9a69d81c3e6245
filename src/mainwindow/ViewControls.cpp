// Zoom, mirroring and rotation commands, the press-and-hold repeat and Ctrl + wheel.
#include "mainwindow/ViewControls.h"

#include <string>

#include "mainwindow/AreaPlacement.h"
#include "mainwindow/ModalInput.h"
#include "mainwindow/NumberInput.h"
#include "mainwindow/Texts.h"
#include "mainwindow/ViewMath.h"

namespace ocu {
namespace {
constexpr int kRepeatZoom = 110;
constexpr int kRepeatRotate = 220;
constexpr int kRepeatIntervalMs = 100;
constexpr int kWheelNotch = 120;  // WHEEL_DELTA
}  // namespace

void ViewControls::SetZoomRate(float rate) {
    // The band is tested at extended precision, so the float nearest 0.95 (just
    // below it) is refused while 1.95 - 1 is taken as 1.
    const long double r = rate;
    if (r >= 0.95L && r <= 1.0L) rate = 1.0f;
    if (!(rate >= 1.0f && rate <= 16.0f)) return;  // refused, not clamped
    if (s_.ProjectionMode) {
        // The pinned area keeps its centre, so the projected target point under
        // the view's centre stays put.
        s_.AreaLeft += s_.SrcWidth / 2;
        s_.AreaTop += s_.SrcHeight / 2;
        s_.ZoomRate = rate;
        s_.SrcWidth = TruncDiv(s_.ViewWidth, s_.ZoomRate);
        s_.SrcHeight = TruncDiv(s_.ViewHeight, s_.ZoomRate);
        s_.AreaLeft -= s_.SrcWidth / 2;
        s_.AreaTop -= s_.SrcHeight / 2;
        ocu::RecomputeTargetOffsets(s_);
    } else {
        s_.ZoomRate = rate;
    }
    host_.UpdateStatus();
}

bool ViewControls::flipHV(int mode) {
    // The two mirrorings exclude each other; the menu marks follow the flags.
    if (mode == 1) {
        s_.FlipH = !s_.FlipH;
        if (s_.FlipH) s_.FlipV = false;
    } else {
        s_.FlipV = !s_.FlipV;
        if (s_.FlipV) s_.FlipH = false;
    }
    host_.RefreshMenuStates();
    host_.timTimer();
    host_.UpdateStatus();
    return true;
}

void ViewControls::rotateAngle() {
    s_.FlipV = false;
    s_.FlipH = false;
    s_.Rotated = true;
    host_.RefreshMenuStates();
    texts_.SetStatusText(1, DecimalText(FloorTenths(s_.RotateAngle)) + std::string(text::kRotated));
    host_.UpdateStatus();
}

void ViewControls::FlexRotateDialog() {
    if (s_.Rotated) {
        s_.RotateAngle = 0;
        s_.Rotated = false;
        return;
    }
    const auto typed = dialogs_.InputBox("任意角度回転", "角度を入力してください(1～359)", "");
    const auto n = ParseWholeNumber(typed.value_or(""));
    if (!n) {
        dialogs_.ShowMessage(std::string(text::kBadNumber), "");
        return;
    }
    if (*n >= 1 && *n <= 359) {
        s_.RotateAngle = *n * 10;
        s_.FlipH = false;
        s_.FlipV = false;
        s_.Rotated = true;
    }
    // A whole number outside 1..359 leaves the angle and the mirroring alone.
}

void ViewControls::mFlexFlipClick() {
    RunModal(s_, host_, [this] { FlexRotateDialog(); });
    host_.timTimer();
}

void ViewControls::OnToolButtonDown(CommandId id) {
    const ToolButton* b = FindToolButton(id);
    if (!b || !b->PressAndHold) return;
    if (b->HeldAction == CommandAction::ZoomBy) {
        s_.RepeatAction = kRepeatZoom;
        s_.RepeatZoomDelta = b->Steps * s_.ZoomStep;
    } else {
        s_.RepeatAction = kRepeatRotate;
        s_.RepeatRotateDelta = static_cast<int>(b->Steps) * s_.RotateStep;
    }
    timers_.StartRepeatTimer(kRepeatIntervalMs);
}

void ViewControls::OnToolButtonUp(CommandId id) {
    const ToolButton* b = FindToolButton(id);
    if (b && b->PressAndHold) timers_.StopRepeatTimer();
}

void ViewControls::timRepeatTimer() {
    if (s_.RepeatAction == kRepeatZoom) {
        SetZoomRate(ZoomStepped(s_.ZoomRate, s_.RepeatZoomDelta));
    } else if (s_.RepeatAction == kRepeatRotate) {
        s_.RotateAngle += s_.RepeatRotateDelta;
        rotateAngle();
    }
}

void ViewControls::FormMouseWheel(ShiftState shift, int delta, int x, int y) {
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
