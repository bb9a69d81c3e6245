#pragma once
// The pinned area (fixed view) and the picks that choose it or the projection's
// target with the pointer, with their marker drawn on the screen.
#include <string_view>

#include "base/Geometry.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/InputPort.h"
#include "mainwindow/ports/ScreenPort.h"
#include "mainwindow/ports/WindowPort.h"

namespace ocu {

class Projection;
class TIniManager;

class AreaPick {
public:
    AreaPick(ViewState& state, ScreenPort& screen, WindowPort& window, InputPort& windows, ViewHost& host,
             TIniManager& settings, Projection& projection)
        : s_(state),
          screen_(screen),
          window_(window),
          windows_(windows),
          host_(host),
          ini_(settings),
          projection_(projection) {}

    void SetFixView(bool enable, int x, int y);
    void MoveFixArea(std::string_view direction);
    // Starts the pick of a pinned area (true) or of the projection's target (false).
    void BeginPick(bool forFixView);
    void PickMove();  // the pointer moved during a pick
    void EndPick(MouseButton button);

private:
    void AreaPickMove();
    void TargetPickMove();

    ViewState& s_;
    ScreenPort& screen_;
    WindowPort& window_;
    InputPort& windows_;
    ViewHost& host_;
    TIniManager& ini_;
    Projection& projection_;
    // The screen under the marker is saved before it is drawn and put back after.
    IntRect pickRect_;
    bool backupValid_ = false;
    WindowHandle pickWnd_ = 0;
};

}  // namespace ocu
