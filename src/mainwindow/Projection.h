#pragma once
// Operation projection: a window of another program chosen as the target, and the
// pointer's input over the view replayed onto it.
#include "base/Geometry.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/DialogPort.h"
#include "mainwindow/ports/InputPort.h"
#include "mainwindow/ports/MenuPort.h"
#include "mainwindow/ports/ScreenPort.h"

namespace ocu {

class SurfaceLayer;

// How long one send waits for the target to answer.
inline constexpr int kProjectionSendTimeoutMs = 1000;
// Ticks during which pointer moves are not sent to a target that left a send
// unanswered: each such send waits out its time-out, and a stream of them would keep
// the capture timer from ever running. Presses and releases still go.
inline constexpr int kProjectionQuietTicks = 10;
// Said once per target when the system will not deliver to it.
inline constexpr const char* kTargetOutOfReach = "対象のウィンドウは管理者として実行されているため、操作を送れません。";
// Said when the desktop will not let this program send input at all.
inline constexpr const char* kInputRefused =
    "ほかのプログラムへの操作の送信が許可されなかったため、操作投影モードを開始できません。"
    "もう一度開始すると、改めて許可を求めます。";
inline constexpr const char* kInputUnavailable =
    "このデスクトップでは、ほかのプログラムへ操作を送れないため、操作投影モードを使用できません。";

// Presses or releases the button this program means, whichever physical button the
// left-handed setting has made of it.
void InjectLogicalButton(InputPort& input, InjectedButton b);

class Projection {
public:
    Projection(ViewState& state, ScreenPort& screen, InputPort& windows, MenuPort& menus, DialogPort& dialogs,
               ViewHost& host, const SurfaceLayer& layer)
        : s_(state), screen_(screen), windows_(windows), menus_(menus), dialogs_(dialogs), host_(host), layer_(layer) {}

    void SetProjection(bool on);
    void ToggleProjection();
    // The window under a screen point and its names; 0 for none or this program's own view.
    WindowHandle WindowAtPoint(IntPoint p);
    // Replays a message at the client point (x, y) onto the target.
    void ForwardMouse(int x, int y, ShiftState shift, ProjectedMessage msg);
    // A release of a button this window pressed itself for a projected drag.
    bool IsOwnOppositeButton(MouseButton button) const;
    // Whether a press is the return of one this window injected; it is counted off.
    bool TakeOwnPress(MouseButton button);
    void ForwardPress(MouseButton button, ShiftState shift, int x, int y);
    void ForwardRelease(MouseButton button, ShiftState shift, int x, int y);
    // One capture tick has passed.
    void Tick();
    bool LeftDragForwarded() const { return fwdLeftDown_; }

private:
    // The window under a screen point, a child before its parent, with its names taken.
    WindowHandle NamedWindowAt(IntPoint p);
    void Refuse(const char* message);
    // Shows a message with the view held still while it is open.
    void Tell(const char* message);
    // Lets go of the opposite button a projected drag holds down.
    void ReleaseOppositeButton();
    void Send(ProjectedMessage msg, ProjectedKeys keys, IntPoint fromWindowCorner);

    ViewState& s_;
    ScreenPort& screen_;
    InputPort& windows_;
    MenuPort& menus_;
    DialogPort& dialogs_;
    ViewHost& host_;
    const SurfaceLayer& layer_;
    // A projected drag holds the opposite button down for real (see ForwardMouse).
    bool fwdLeftDown_ = false;
    bool fwdRightDown_ = false;
    // Injected presses, left and right, not yet come back. A quick click's release can
    // arrive before the press this window injected on its press; taken for the user's,
    // that press would be projected and answered with another injected press, and so on.
    int pressesToComeBack_[2] = {0, 0};
    int quietTicks_ = 0;
    bool outOfReachTold_ = false;  // for the present target
};

}  // namespace ocu
