// The fixed display area and the pick of a screen point or window.
#include "mainwindow/TfrmCap.h"
#include "mainwindow/ViewMath.h"
#include "settings/IniManager.h"

namespace ocu {
namespace {
// The saved pixels reach 4 pixels past the marker's right and bottom edges.
IntRect BackupArea(const IntRect& r) { return {r.Left, r.Top, r.Right + 4, r.Bottom + 4}; }
}  // namespace

void TfrmCap::PushAreaInside() {
    const IntPoint p = PushInside({s_.AreaLeft, s_.AreaTop}, s_.SrcWidth, s_.SrcHeight, p_.DesktopRect());
    s_.AreaLeft = p.X;
    s_.AreaTop = p.Y;
}

void TfrmCap::RecomputeTargetOffsets() {
    s_.TargetOffsetX = s_.AreaLeft - s_.TargetRect.Left;
    s_.TargetOffsetY = s_.AreaTop - s_.TargetRect.Top;
}

void TfrmCap::SetFixView(bool enable, int x, int y) {
    if (enable) {
        s_.FixView = true;
        s_.SrcWidth = TruncDiv(s_.ViewWidth, s_.ZoomRate);
        s_.SrcHeight = TruncDiv(s_.ViewHeight, s_.ZoomRate);
        s_.AreaLeft = x - s_.SrcWidth / 2;
        s_.AreaTop = y - s_.SrcHeight / 2;
        PushAreaInside();
        // The requested centre is kept, not the pushed one.
        ini_.FixViewX = x;
        ini_.FixViewY = y;
    } else {
        s_.FixView = false;
    }
    ini_.FixView = s_.FixView;
}

void TfrmCap::MoveFixArea(std::string_view direction) {
    if (direction == "left") s_.AreaLeft -= 10;
    else if (direction == "right") s_.AreaLeft += 10;
    else if (direction == "up") s_.AreaTop -= 10;
    else if (direction == "down") s_.AreaTop += 10;
    PushAreaInside();
    RecomputeTargetOffsets();
}

void TfrmCap::BeginPick(bool forFixView) {
    s_.PickForFixView = forFixView;
    if (s_.SurfaceDrawMode) s_.SurfaceDrawMode = false;
    s_.Picking = true;
    UpdateStatus();
    p_.SetMouseCapture();
    // Holding a button logically down for the whole pick keeps other programs
    // from reacting to the pointer passing over them.
    p_.InjectMouseButton(InjectedButton::RightDown);
}

void TfrmCap::PickMove() {
    const int halfW = s_.SrcWidth / 2;
    const int halfH = s_.SrcHeight / 2;
    const IntPoint p = p_.CursorPos();
    const IntRect d = p_.DesktopRect();
    // Keep the pointer far enough inside that the whole area lies on the desktop;
    // each test re-reads the pointer and moves one coordinate.
    IntPoint c = p_.CursorPos();
    if (c.X < d.Left + halfW) p_.SetCursorPos({d.Left + halfW, c.Y});
    c = p_.CursorPos();
    if (c.Y < d.Top + halfH) p_.SetCursorPos({c.X, d.Top + halfH});
    c = p_.CursorPos();
    if (c.X > d.Right - halfW) p_.SetCursorPos({d.Right - halfW, c.Y});
    c = p_.CursorPos();
    if (c.Y > d.Bottom - halfH) p_.SetCursorPos({c.X, d.Bottom - halfH});

    if (s_.PickBackupValid) p_.RestoreScreenBackup(BackupArea(s_.PickRect));
    s_.PickRect = {p.X - halfW, p.Y - halfH, p.X + halfW, p.Y + halfH};
    p_.SaveScreenBackup(BackupArea(s_.PickRect));
    p_.DrawPickOutline(s_.PickRect);
    s_.PickBackupValid = true;
}

void TfrmCap::EndPick(MouseButton button) {
    if (s_.PickForFixView) {
        if (s_.PickBackupValid) p_.RestoreScreenBackup(BackupArea(s_.PickRect));
    } else {
        p_.InvalidateDesktop();
    }
    s_.PickBackupValid = false;
    if (button == MouseButton::Left) {
        if (s_.PickForFixView) {
            const IntPoint c = p_.CursorPos();
            SetFixView(true, c.X, c.Y);
        } else {
            SetProjection(true);
        }
        p_.InjectMouseButton(InjectedButton::RightUp);
    } else {
        if (!s_.PickForFixView) s_.ProjectionPickPending = false;
        // A middle-button cancel must still let go of the right button that the
        // pick pressed; a right-button cancel already released it for real.
        if (button == MouseButton::Middle) p_.InjectMouseButton(InjectedButton::RightUp);
    }
    p_.ReleaseMouseCapture();
    s_.Picking = false;
    p_.RepaintToolBar();
    UpdateStatus();
}

}  // namespace ocu
