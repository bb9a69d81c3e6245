#pragma once
// The view's zoom, mirroring and rotation: the commands, Ctrl + wheel and the
// repeat of a held tool button.
#include "mainwindow/Commands.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/DialogPort.h"
#include "mainwindow/ports/TimerPort.h"
#include "mainwindow/ports/WindowTextPort.h"

namespace ocu {

class ViewControls {
public:
    ViewControls(ViewState& state, ViewHost& host, WindowTextPort& texts, TimerPort& timers, DialogPort& dialogs)
        : s_(state), host_(host), texts_(texts), timers_(timers), dialogs_(dialogs) {}

    void SetZoomRate(float rate);
    bool flipHV(int mode);  // 1 mirrors left-right, 2 upside down
    void rotateAngle();     // shows the angle RotateAngle now holds
    void mFlexFlipClick();  // asks for an angle, or takes a free turn back
    void OnToolButtonDown(CommandId id);
    void OnToolButtonUp(CommandId id);
    void timRepeatTimer();
    // A wheel turn over the client point (x, y); delta in WHEEL_DELTA units (120 a notch).
    void FormMouseWheel(ShiftState shift, int delta, int x, int y);

private:
    void FlexRotateDialog();

    ViewState& s_;
    ViewHost& host_;
    WindowTextPort& texts_;
    TimerPort& timers_;
    DialogPort& dialogs_;
    int wheelRest_ = 0;  // part of a notch left over from fine-grained wheels
};

}  // namespace ocu
