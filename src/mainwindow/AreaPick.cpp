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
        PushAreaInside(s_, screen_.DesktopRect());
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
    PushAreaInside(s_, screen_.DesktopRect());
    RecomputeTargetOffsets(s_);
}

void AreaPick::BeginPick(bool forFixView) {
    s_.PickForFixView = forFixView;
    if (s_.SurfaceDrawMode) s_.SurfaceDrawMode = false;
    s_.Picking = true;
    host_.UpdateStatus();
    window_.SetMouseCapture();
    // Holding a button logically down for the whole pick keeps other programs
    // from reacting to the pointer passing over them.
    InjectLogicalButton(windows_, InjectedButton::RightDown);
}

void AreaPick::PickMove() {
    if (s_.PickForFixView) AreaPickMove();
    else TargetPickMove();
}

void AreaPick::AreaPickMove() {
    const int halfW = s_.SrcWidth / 2;
    const int halfH = s_.SrcHeight / 2;
    const IntPoint p = screen_.CursorPos();
    const IntRect d = screen_.DesktopRect();
    // Keep the pointer far enough inside that the whole area lies on the desktop;
    // each test re-reads the pointer and moves one coordinate.
    IntPoint c = screen_.CursorPos();
    if (c.X < d.Left + halfW) screen_.SetCursorPos({d.Left + halfW, c.Y});
    c = screen_.CursorPos();
    if (c.Y < d.Top + halfH) screen_.SetCursorPos({c.X, d.Top + halfH});
    c = screen_.CursorPos();
    if (c.X > d.Right - halfW) screen_.SetCursorPos({d.Right - halfW, c.Y});
    c = screen_.CursorPos();
    if (c.Y > d.Bottom - halfH) screen_.SetCursorPos({c.X, d.Bottom - halfH});

    if (backupValid_) screen_.RestoreScreenBackup(BackupArea(pickRect_));
    pickRect_ = {p.X - halfW, p.Y - halfH, p.X + halfW, p.Y + halfH};
    screen_.SaveScreenBackup(BackupArea(pickRect_));
    screen_.DrawPickOutline(pickRect_);
    backupValid_ = true;
}

void AreaPick::TargetPickMove() {
    if (backupValid_) screen_.RestoreScreenBackup(BackupArea(windows_.WindowRectOf(pickWnd_)));
    if (const WindowHandle w = projection_.WindowAtPoint(screen_.CursorPos()); w != 0) {
        const IntRect r = windows_.WindowRectOf(w);
        pickWnd_ = w;
        screen_.SaveScreenBackup(BackupArea(r));
        screen_.DrawTargetFrame({r.Left + 2, r.Top + 2, r.Right - 4, r.Bottom - 4});
    }
    window_.RepaintMainWindow();
    backupValid_ = true;
}

void AreaPick::EndPick(MouseButton button) {
    if (s_.PickForFixView) {
        if (backupValid_) screen_.RestoreScreenBackup(BackupArea(pickRect_));
    } else {
        screen_.InvalidateDesktop();
    }
    backupValid_ = false;
    if (button == MouseButton::Left) {
        if (s_.PickForFixView) {
            const IntPoint c = screen_.CursorPos();
            SetFixView(true, c.X, c.Y);
        } else {
            projection_.SetProjection(true);
        }
        InjectLogicalButton(windows_, InjectedButton::RightUp);
    } else {
        if (!s_.PickForFixView) s_.ProjectionPickPending = false;
        // A middle-button cancel must still let go of the right button that the
        // pick pressed; a right-button cancel already released it for real.
        if (button == MouseButton::Middle) InjectLogicalButton(windows_, InjectedButton::RightUp);
    }
    window_.ReleaseMouseCapture();
    s_.Picking = false;
    window_.RepaintToolBar();
    host_.UpdateStatus();
}

}  // namespace ocu
