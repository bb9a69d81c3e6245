// Operation projection: the target window, and mouse input replayed onto it.
#include <string>

#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewMath.h"

namespace ocu {
namespace {
constexpr int kTextLimit = 70;  // the 71-byte buffers of the window text and class name
constexpr int kSelfRecheckMs = 150;
}

WindowHandle TfrmCap::WindowAtPoint(IntPoint p) {
    WindowHandle w = p_.WindowFromPoint(p);
    if (w == 0) return 0;
    if (const WindowHandle child = p_.ChildWindowFromPoint(w, p); child != 0) w = child;
    s_.TargetText = LimitAnsiWidth(p_.WindowTextOf(w), kTextLimit);
    s_.TargetClass = LimitAnsiWidth(p_.ClassNameOf(w), kTextLimit);
    if (s_.TargetClass == "TfrmCap") return 0;
    s_.TargetRect = p_.WindowRectOf(w);
    return w;
}

void TfrmCap::SetProjection(bool on) {
    if (s_.SurfaceDrawMode) s_.SurfaceDrawMode = false;
    s_.TargetClass.clear();
    s_.TargetText.clear();
    const bool wasOn = s_.ProjectionMode;
    s_.ProjectionMode = on;
    s_.ProjectionPickPending = false;
    if (on) {
        auto refuse = [this](const std::string& message) {
            s_.ProjectionMode = false;
            s_.CapturePaused = true;
            p_.ShowMessage(message, "対象取得");
            s_.CapturePaused = false;
        };
        try {
            auto takeWindowAt = [this](IntPoint p) {
                s_.TargetWnd = p_.WindowFromPoint(p);
                if (s_.TargetWnd == 0) return;
                if (const WindowHandle child = p_.ChildWindowFromPoint(s_.TargetWnd, p); child != 0) s_.TargetWnd = child;
                s_.TargetText = LimitAnsiWidth(p_.WindowTextOf(s_.TargetWnd), kTextLimit);
                s_.TargetClass = LimitAnsiWidth(p_.ClassNameOf(s_.TargetWnd), kTextLimit);
            };
            takeWindowAt(p_.CursorPos());
            if (s_.TargetWnd != 0 && s_.TargetClass == "TfrmCap") {
                // The pointer position can lag behind the pointer: Wine answers with the
                // position of the last mouse event a program has taken, and this window may
                // take its own older events (the click that focused it) after the pointer
                // has moved on. Such a position is renewed within 100 ms; a pointer that
                // really rests on this window is still on it when asked again.
                p_.Pause(kSelfRecheckMs);
                takeWindowAt(p_.CursorPos());
            }
            if (s_.TargetWnd == 0) {
                refuse("対象が取得できません 0");
                return;
            }
            if (s_.TargetClass == "TfrmCap") {
                refuse("自分自身を選択しています");
                return;
            }
            p_.SetMenuCaption(CommandId::mmClassName, "<クラス名>\"" + s_.TargetClass + "\"");
            p_.SetMenuCaption(CommandId::mmWindowText, "<ウィンドウテキスト>\"" + s_.TargetText + "\"");
            s_.TargetRect = p_.WindowRectOf(s_.TargetWnd);
            const IntPoint q = p_.CursorPos();
            s_.AreaLeft = q.X - s_.SrcWidth / 2;
            s_.AreaTop = q.Y - s_.SrcHeight / 2;
            PushAreaInside();
            RecomputeTargetOffsets();
        } catch (const std::exception&) {
        }
    } else if (wasOn) {
        // Ending projection in the middle of a projected drag must not leave the
        // synthetic opposite button held down.
        if (s_.FwdLeftDown) p_.InjectMouseButton(InjectedButton::RightUp);
        if (s_.FwdRightDown) p_.InjectMouseButton(InjectedButton::LeftUp);
        s_.FwdLeftDown = false;
        s_.FwdRightDown = false;
    }
    UpdateStatus();
}

void TfrmCap::ToggleProjection() {
    const bool on = !MenuChecked(CommandId::mmFix);
    SetProjection(on);
}

void TfrmCap::TargetPickMove() {
    if (s_.PickBackupValid) {
        const IntRect r = p_.WindowRectOf(s_.PickWnd);
        p_.RestoreScreenBackup({r.Left, r.Top, r.Right + 4, r.Bottom + 4});
    }
    if (const WindowHandle w = WindowAtPoint(p_.CursorPos()); w != 0) {
        const IntRect r = p_.WindowRectOf(w);
        s_.PickWnd = w;
        p_.SaveScreenBackup({r.Left, r.Top, r.Right + 4, r.Bottom + 4});
        p_.DrawTargetFrame({r.Left + 2, r.Top + 2, r.Right - 4, r.Bottom - 4});
    }
    p_.RepaintMainWindow();
    s_.PickBackupValid = true;
}

void TfrmCap::ForwardMouse(int x, int y, ShiftState shift, unsigned msg) {
    x -= s_.ViewLeft;
    y -= s_.ViewTop;
    unsigned flags = 0;
    if (shift.Left && !s_.FwdRightDown) flags = mk::LButton;
    if (shift.Right && !s_.FwdLeftDown) flags = mk::RButton;
    if (shift.Middle) flags = mk::MButton;
    if (shift.Ctrl) flags |= mk::Control;
    if (shift.Shift) flags |= mk::Shift;

    // The opposite button is pressed for real so that the system treats the drag
    // as one; it comes back to this window and the dispatch drops it.
    if (msg == wm::LButtonDown && !s_.FwdLeftDown && !s_.FwdRightDown) {
        p_.InjectMouseButton(InjectedButton::RightDown);
        s_.FwdLeftDown = true;
    } else if (msg == wm::LButtonUp && s_.FwdLeftDown && !s_.FwdRightDown) {
        p_.InjectMouseButton(InjectedButton::RightUp);
        s_.FwdLeftDown = false;
    } else if (msg == wm::RButtonDown && !s_.FwdLeftDown && !s_.FwdRightDown) {
        p_.InjectMouseButton(InjectedButton::LeftDown);
        s_.FwdRightDown = true;
    } else if (msg == wm::RButtonUp && s_.FwdRightDown && !s_.FwdLeftDown) {
        p_.InjectMouseButton(InjectedButton::LeftUp);
        s_.FwdRightDown = false;
    }

    ViewToLayer(x, y);
    const int half = FloorHalf(s_.ZoomRate);
    y -= half;
    x -= half;
    if (s_.TargetClass == "MSAWT_Comp_Class") x += TruncMul(1, s_.ZoomRate);
    const int sx = TruncDiv(x, s_.ZoomRate) + s_.TargetOffsetX;
    const int sy = TruncDiv(y, s_.ZoomRate) + s_.TargetOffsetY;
    if (s_.TargetWnd == 0) return;
    if (msg == wm::RButtonUp && sy < 0) return;
    const std::intptr_t lParam =
        static_cast<std::intptr_t>((static_cast<std::uint32_t>(sx) & 0xFFFFu) | ((static_cast<std::uint32_t>(sy) & 0xFFFFu) << 16));
    if (msg == wm::MouseMove && targetSilentTicks_ > 0) return;
    try {
        constexpr int kQuietTicks = 10;
        targetSilentTicks_ = p_.SendMouseMessage(s_.TargetWnd, msg, flags, lParam) ? 0 : kQuietTicks;
    } catch (const std::exception&) {
    }
}

// --- the main window's mouse handlers ---------------------------------------------

void TfrmCap::FormMouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (s_.SurfaceDrawMode) {
        StrokeStart(x, y);
        return;
    }
    if (s_.Picking) return;
    if ((button == MouseButton::Left && s_.FwdRightDown) || (button == MouseButton::Right && s_.FwdLeftDown))
        return;  // our own injected opposite button
    if (s_.ProjectionMode) {
        if (!p_.IsActiveWindow()) FormActivate();
        if (button == MouseButton::Left) ForwardMouse(x, y, shift, wm::LButtonDown);
        else if (button == MouseButton::Right) ForwardMouse(x, y, shift, wm::RButtonDown);
        return;
    }
    s_.Dragging = true;
    const IntPoint c = p_.CursorPos();
    const IntRect w = p_.WindowRect();
    s_.DragOffsetX = c.X - w.Left;
    s_.DragOffsetY = c.Y - w.Top;
}

void TfrmCap::FormMouseMove(ShiftState shift, int x, int y) {
    p_.SetCursorShape(CursorShape::Arrow);
    if (s_.SurfaceDrawMode && s_.Stroking) {
        StrokeMove(shift, x, y);
        return;
    }
    if (s_.Picking) {
        if (s_.PickForFixView) PickMove();
        else TargetPickMove();
        return;
    }
    if (s_.ProjectionMode) {
        ForwardMouse(x, y, shift, wm::MouseMove);
        return;
    }
    if (s_.SurfaceDrawMode) return;
    p_.SetCursorShape(CursorShape::Hand);
    // A release that went elsewhere (a right or middle press gives the window no
    // capture) must not leave the window glued to the pointer.
    if (s_.Dragging && !shift.Left && !shift.Right && !shift.Middle) s_.Dragging = false;
    if (s_.Dragging) {
        const IntPoint c = p_.CursorPos();
        p_.MoveWindowTo(c.X - s_.DragOffsetX, c.Y - s_.DragOffsetY);
    }
}

void TfrmCap::FormMouseUp(MouseButton button, ShiftState shift, int x, int y) {
    if (s_.SurfaceDrawMode) {
        s_.Stroking = false;
        return;
    }
    if (s_.Picking) {
        EndPick(button);
        return;
    }
    if ((button == MouseButton::Left && s_.FwdRightDown) || (button == MouseButton::Right && s_.FwdLeftDown))
        return;
    if (s_.ProjectionMode) {
        if (button == MouseButton::Left) ForwardMouse(x, y, shift, wm::LButtonUp);
        else if (button == MouseButton::Right) ForwardMouse(x, y, shift, wm::RButtonUp);
    }
    UpdateStatus();
    s_.Dragging = false;
}

}  // namespace ocu
