#include "mainwindow/AreaPick.h"

#include "mainwindow/AreaPlacement.h"
#include "mainwindow/Projection.h"
#include "mainwindow/ViewMath.h"
#include "settings/IniManager.h"

namespace ocu {
namespace {
// The saved pixels reach 4 pixels past the marker's right and bottom edges.
IntRect BackupArea(const IntRect& r) { return {r.Left, r.Top, r.Right + 4, r.Bottom + 4}; }
}  // namespace

void AreaPick::SetFixView(bool enable, int x, int y) {
    if (enable) {
        s_.FixView = true;
        s_.SrcWidth = TruncDiv(s_.ViewWidth, s_.ZoomRate);
        s_.SrcHeight = TruncDiv(s_.ViewHeight, s_.ZoomRate);
        s_.AreaLeft = x - s_.SrcWidth / 2;
        s_.AreaTop = y - s_.SrcHeight / 2;
        PushAreaInside(s_, p_.DesktopRect());
        // The requested centre is kept, not the pushed one.
        ini_.FixViewX = x;
        ini_.FixViewY = y;
    } else {
        s_.FixView = false;
    }
    ini_.FixView = s_.FixView;
}

void AreaPick::MoveFixArea(std::string_view direction) {
    if (direction == "left") s_.AreaLeft -= 10;
    else if (direction == "right") s_.AreaLeft += 10;
    else if (direction == "up") s_.AreaTop -= 10;
    else if (direction == "down") s_.AreaTop += 10;
    PushAreaInside(s_, p_.DesktopRect());
    RecomputeTargetOffsets(s_);
}

void AreaPick::BeginPick(bool forFixView) {
    s_.PickForFixView = forFixView;
    if (s_.SurfaceDrawMode) s_.SurfaceDrawMode = false;
    s_.Picking = true;
    host_.UpdateStatus();
    p_.SetMouseCapture();
    // Holding a button logically down for the whole pick keeps other programs
    // from reacting to the pointer passing over them.
    InjectLogicalButton(p_, InjectedButton::RightDown);
}

void AreaPick::PickMove() {
    if (s_.PickForFixView) AreaPickMove();
    else TargetPickMove();
}

void AreaPick::AreaPickMove() {
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

    if (backupValid_) p_.RestoreScreenBackup(BackupArea(pickRect_));
    pickRect_ = {p.X - halfW, p.Y - halfH, p.X + halfW, p.Y + halfH};
    p_.SaveScreenBackup(BackupArea(pickRect_));
    p_.DrawPickOutline(pickRect_);
    backupValid_ = true;
}

void AreaPick::TargetPickMove() {
    if (backupValid_) p_.RestoreScreenBackup(BackupArea(p_.WindowRectOf(pickWnd_)));
    if (const WindowHandle w = projection_.WindowAtPoint(p_.CursorPos()); w != 0) {
        const IntRect r = p_.WindowRectOf(w);
        pickWnd_ = w;
        p_.SaveScreenBackup(BackupArea(r));
        p_.DrawTargetFrame({r.Left + 2, r.Top + 2, r.Right - 4, r.Bottom - 4});
    }
    p_.RepaintMainWindow();
    backupValid_ = true;
}

void AreaPick::EndPick(MouseButton button) {
    if (s_.PickForFixView) {
        if (backupValid_) p_.RestoreScreenBackup(BackupArea(pickRect_));
    } else {
        p_.InvalidateDesktop();
    }
    backupValid_ = false;
    if (button == MouseButton::Left) {
        if (s_.PickForFixView) {
            const IntPoint c = p_.CursorPos();
            SetFixView(true, c.X, c.Y);
        } else {
            projection_.SetProjection(true);
        }
        InjectLogicalButton(p_, InjectedButton::RightUp);
    } else {
        if (!s_.PickForFixView) s_.ProjectionPickPending = false;
        // A middle-button cancel must still let go of the right button that the
        // pick pressed; a right-button cancel already released it for real.
        if (button == MouseButton::Middle) InjectLogicalButton(p_, InjectedButton::RightUp);
    }
    p_.ReleaseMouseCapture();
    s_.Picking = false;
    p_.RepaintToolBar();
    host_.UpdateStatus();
}

}  // namespace ocu
