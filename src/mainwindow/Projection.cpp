#include "mainwindow/Projection.h"

#include <exception>
#include <string>

#include "mainwindow/AreaPlacement.h"
#include "mainwindow/MainWindowClass.h"
#include "mainwindow/SurfaceLayer.h"
#include "mainwindow/ViewMath.h"

namespace ocu {
namespace {
constexpr int kTextLimit = 70;  // the 71-byte buffers of the window text and class name
constexpr int kSelfRecheckMs = 150;
}  // namespace

WindowHandle Projection::NamedWindowAt(IntPoint p) {
    WindowHandle w = windows_.WindowFromPoint(p);
    if (w == 0) return 0;
    if (const WindowHandle child = windows_.ChildWindowFromPoint(w, p); child != 0) w = child;
    s_.TargetText = LimitAnsiWidth(windows_.WindowTextOf(w), kTextLimit);
    s_.TargetClass = LimitAnsiWidth(windows_.ClassNameOf(w), kTextLimit);
    return w;
}

WindowHandle Projection::WindowAtPoint(IntPoint p) {
    const WindowHandle w = NamedWindowAt(p);
    if (w == 0 || s_.TargetClass == kMainWindowClassName) return 0;
    s_.TargetRect = windows_.WindowRectOf(w);
    return w;
}

void InjectLogicalButton(InputPort& input, InjectedButton b) {
    if (input.MouseButtonsSwapped()) {
        switch (b) {
        case InjectedButton::LeftDown: b = InjectedButton::RightDown; break;
        case InjectedButton::LeftUp: b = InjectedButton::RightUp; break;
        case InjectedButton::RightDown: b = InjectedButton::LeftDown; break;
        case InjectedButton::RightUp: b = InjectedButton::LeftUp; break;
        }
    }
    input.InjectMouseButton(b);
}

void Projection::Tell(const char* message) {
    const bool paused = s_.CapturePaused;
    s_.CapturePaused = true;
    dialogs_.ShowMessage(message, "対象取得");
    s_.CapturePaused = paused;
    // The box took any press still to come back; waiting for it would eat one of the user's.
    pressesToComeBack_[0] = pressesToComeBack_[1] = 0;
}

void Projection::Refuse(const char* message) {
    s_.ProjectionMode = false;
    Tell(message);
}

void Projection::ReleaseOppositeButton() {
    if (fwdLeftDown_) InjectLogicalButton(windows_, InjectedButton::RightUp);
    if (fwdRightDown_) InjectLogicalButton(windows_, InjectedButton::LeftUp);
    fwdLeftDown_ = false;
    fwdRightDown_ = false;
}

void Projection::SetProjection(bool on) {
    if (on && !s_.ProjectionMode) {
        // Nothing changes until the desktop lets input through; while it asks its user the
        // command waits to be run again.
        switch (windows_.ProjectionAccess()) {
        case InputAccess::Ready: break;
        case InputAccess::Asking: return;
        case InputAccess::Refused: return Tell(kInputRefused);
        case InputAccess::Unavailable: return Tell(kInputUnavailable);
        }
    }
    if (s_.SurfaceDrawMode) s_.SurfaceDrawMode = false;
    s_.TargetClass.clear();
    s_.TargetText.clear();
    const bool wasOn = s_.ProjectionMode;
    s_.ProjectionMode = on;
    s_.ProjectionPickPending = false;
    outOfReachTold_ = false;
    if (on) {
        try {
            s_.TargetWnd = NamedWindowAt(screen_.CursorPos());
            if (s_.TargetWnd != 0 && s_.TargetClass == kMainWindowClassName) {
                // The pointer position can lag behind the pointer: Wine answers with the
                // position of the last mouse event a program has taken, and this window may
                // take its own older events (the click that focused it) after the pointer
                // has moved on. Such a position is renewed within 100 ms; a pointer that
                // really rests on this window is still on it when asked again.
                windows_.Pause(kSelfRecheckMs);
                s_.TargetWnd = NamedWindowAt(screen_.CursorPos());
            }
            if (s_.TargetWnd == 0) {
                Refuse("対象が取得できません 0");
                return;
            }
            if (s_.TargetClass == kMainWindowClassName) {
                Refuse("自分自身を選択しています");
                return;
            }
            menus_.SetMenuCaption(CommandId::mmClassName, "<クラス名>\"" + s_.TargetClass + "\"");
            menus_.SetMenuCaption(CommandId::mmWindowText, "<ウィンドウテキスト>\"" + s_.TargetText + "\"");
            s_.TargetRect = windows_.WindowRectOf(s_.TargetWnd);
            const IntPoint q = screen_.CursorPos();
            s_.AreaLeft = q.X - s_.SrcWidth / 2;
            s_.AreaTop = q.Y - s_.SrcHeight / 2;
            PushAreaInside(s_, screen_.DesktopRect());
            RecomputeTargetOffsets(s_);
        } catch (const std::exception&) {
        }
    } else if (wasOn) {
        // Ending projection in the middle of a projected drag must not leave the
        // synthetic opposite button held down.
        ReleaseOppositeButton();
    }
    host_.UpdateStatus();
}

void Projection::ToggleProjection() {
    const bool on = !host_.MenuChecked(CommandId::mmFix);
    SetProjection(on);
}

void Projection::Tick() {
    if (quietTicks_ > 0) --quietTicks_;
}

bool Projection::TakeOwnPress(MouseButton button) {
    if (button != MouseButton::Left && button != MouseButton::Right) return false;
    int& pending = pressesToComeBack_[button == MouseButton::Right ? 1 : 0];
    if (pending == 0) return false;
    --pending;
    return true;
}

bool Projection::IsOwnOppositeButton(MouseButton button) const {
    return (button == MouseButton::Left && fwdRightDown_) || (button == MouseButton::Right && fwdLeftDown_);
}

void Projection::ForwardPress(MouseButton button, ShiftState shift, int x, int y) {
    if (button == MouseButton::Left) ForwardMouse(x, y, shift, ProjectedMessage::LeftDown);
    else if (button == MouseButton::Right) ForwardMouse(x, y, shift, ProjectedMessage::RightDown);
}

void Projection::ForwardRelease(MouseButton button, ShiftState shift, int x, int y) {
    if (button == MouseButton::Left) ForwardMouse(x, y, shift, ProjectedMessage::LeftUp);
    else if (button == MouseButton::Right) ForwardMouse(x, y, shift, ProjectedMessage::RightUp);
}

void Projection::ForwardMouse(int x, int y, ShiftState shift, ProjectedMessage msg) {
    x -= s_.ViewLeft;
    y -= s_.ViewTop;
    // One button at most: a later one in this order wins.
    ProjectedKeys keys;
    if (shift.Left && !fwdRightDown_) keys.Button = MouseButton::Left;
    if (shift.Right && !fwdLeftDown_) keys.Button = MouseButton::Right;
    if (shift.Middle) keys.Button = MouseButton::Middle;
    keys.Ctrl = shift.Ctrl;
    keys.Shift = shift.Shift;

    // The opposite button is pressed for real so that the system treats the drag
    // as one; it comes back to this window and the dispatch drops it.
    if (msg == ProjectedMessage::LeftDown && !fwdLeftDown_ && !fwdRightDown_) {
        InjectLogicalButton(windows_, InjectedButton::RightDown);
        ++pressesToComeBack_[1];
        fwdLeftDown_ = true;
    } else if (msg == ProjectedMessage::LeftUp && fwdLeftDown_ && !fwdRightDown_) {
        InjectLogicalButton(windows_, InjectedButton::RightUp);
        fwdLeftDown_ = false;
    } else if (msg == ProjectedMessage::RightDown && !fwdLeftDown_ && !fwdRightDown_) {
        InjectLogicalButton(windows_, InjectedButton::LeftDown);
        ++pressesToComeBack_[0];
        fwdRightDown_ = true;
    } else if (msg == ProjectedMessage::RightUp && fwdRightDown_ && !fwdLeftDown_) {
        InjectLogicalButton(windows_, InjectedButton::LeftUp);
        fwdRightDown_ = false;
    }

    layer_.ViewToLayer(x, y);
    const int half = FloorHalf(s_.ZoomRate);
    y -= half;
    x -= half;
    if (s_.TargetClass == "MSAWT_Comp_Class") x += TruncMul(1, s_.ZoomRate);
    const int sx = TruncDiv(x, s_.ZoomRate) + s_.TargetOffsetX;
    const int sy = TruncDiv(y, s_.ZoomRate) + s_.TargetOffsetY;
    if (s_.TargetWnd == 0) return;
    if (msg == ProjectedMessage::RightUp && sy < 0) return;
    if (msg == ProjectedMessage::Move && quietTicks_ > 0) return;
    Send(msg, keys, {sx, sy});
}

void Projection::Send(ProjectedMessage msg, ProjectedKeys keys, IntPoint fromWindowCorner) {
    SendOutcome outcome = SendOutcome::NoAnswer;
    try {
        // The message carries a point of the target's client area: the point the view
        // shows, counted from the outer corner, lies a frame and a caption further in.
        const IntPoint screen{s_.TargetRect.Left + fromWindowCorner.X, s_.TargetRect.Top + fromWindowCorner.Y};
        const IntPoint at = windows_.ClientPointOf(s_.TargetWnd, screen);
        outcome = windows_.SendMouseMessage(s_.TargetWnd, msg, keys, at, kProjectionSendTimeoutMs);
    } catch (const std::exception&) {
        return;
    }
    quietTicks_ = outcome == SendOutcome::NoAnswer ? kProjectionQuietTicks : 0;
    if (outcome != SendOutcome::Refused) return;
    // A refused press never reaches the target, and its release would be taken by the
    // message box: the opposite button is let go now rather than left held.
    ReleaseOppositeButton();
    if (outOfReachTold_) return;
    outOfReachTold_ = true;
    Tell(kTargetOutOfReach);
}

}  // namespace ocu
