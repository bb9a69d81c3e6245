#pragma once
// The main window itself: its bounds and state, and the pointer's shape and capture over it.
#include <cstdint>

#include "base/Geometry.h"

namespace ocu {

enum class CursorShape : std::uint8_t { Arrow, Hand };

class WindowPort {
public:
    virtual ~WindowPort() = default;

    virtual IntRect WindowRect() = 0;  // outer bounds, screen coordinates
    // The outer bounds the window has when neither minimised nor maximised, in screen
    // coordinates whatever its state: what a later start should open with.
    virtual IntRect RestoredWindowRect() = 0;
    virtual IntPoint ClientSize() = 0;
    virtual bool IsOnAnyMonitor(IntRect r) = 0;  // some part of r lies on a monitor
    virtual IntRect PrimaryWorkArea() = 0;
    virtual void SetWindowBounds(IntRect r) = 0;  // may call back OnResize
    virtual void MoveWindowTo(int left, int top) = 0;
    virtual void SetClientSize(int w, int h) = 0;  // may call back OnResize
    virtual int StatusBarHeight() = 0;
    virtual bool IsActiveWindow() = 0;
    virtual bool IsNormalState() = 0;  // neither minimised nor maximised
    virtual void SetTopMost(bool on) = 0;
    virtual void ForceForeground() = 0;   // past the foreground lock
    virtual IntPoint ClientOrigin() = 0;  // the client area's top-left on the screen
    virtual void SetCursorShape(CursorShape shape) = 0;
    virtual void SetMouseCapture() = 0;
    virtual void ReleaseMouseCapture() = 0;
    virtual void RepaintToolBar() = 0;
    virtual void RepaintMainWindow() = 0;
    virtual void CloseMainWindow() = 0;
};

}  // namespace ocu
