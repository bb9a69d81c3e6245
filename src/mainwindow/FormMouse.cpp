// The main window's mouse handlers: a press, move or release goes to the surface
// layer while drawing, to the pick while picking, to the target while projecting,
// and otherwise drags the window.
#include "mainwindow/TfrmCap.h"

namespace ocu {

void TfrmCap::FormMouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (s_.SurfaceDrawMode) {
        surface_.StrokeStart(x, y);
        return;
    }
    if (s_.Picking) return;
    if (projection_.TakeOwnPress(button)) return;
    if (s_.ProjectionMode) {
        if (!p_.IsActiveWindow()) hotKeys_.FormActivate();
        projection_.ForwardPress(button, shift, x, y);
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
    if (s_.SurfaceDrawMode && surface_.Stroking()) {
        surface_.StrokeMove(shift, x, y);
        return;
    }
    if (s_.Picking) {
        areaPick_.PickMove();
        return;
    }
    if (s_.ProjectionMode) {
        projection_.ForwardMouse(x, y, shift, ProjectedMessage::Move);
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
        surface_.StrokeEnd();
        return;
    }
    if (s_.Picking) {
        areaPick_.EndPick(button);
        return;
    }
    if (projection_.IsOwnOppositeButton(button)) return;
    if (s_.ProjectionMode) projection_.ForwardRelease(button, shift, x, y);
    UpdateStatus();
    s_.Dragging = false;
}

}  // namespace ocu
