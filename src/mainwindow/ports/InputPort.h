#pragma once
// Other programs' windows and the input sent to them: which window lies under a
// point, what it is, and the mouse messages and buttons passed on to it.
#include <string>

#include "base/Geometry.h"
#include "mainwindow/MouseInput.h"

namespace ocu {

class InputPort {
public:
    virtual ~InputPort() = default;

    virtual WindowHandle WindowFromPoint(IntPoint screen) = 0;
    // The child of `parent` at a screen point (converted to its client coordinates), 0 if none.
    virtual WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) = 0;
    virtual std::string ClassNameOf(WindowHandle w) = 0;   // UTF-8
    virtual std::string WindowTextOf(WindowHandle w) = 0;  // UTF-8
    virtual IntRect WindowRectOf(WindowHandle w) = 0;
    // The point of w's client area at a screen point, in the coordinates w itself works in.
    virtual IntPoint ClientPointOf(WindowHandle w, IntPoint screen) = 0;
    // Sends a mouse message at a point of w's client area, waiting at most timeoutMs.
    virtual SendOutcome SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                         int timeoutMs) = 0;
    // The left-handed setting: each physical button acts as the other one.
    virtual bool MouseButtonsSwapped() = 0;
    // Presses or releases a physical button; with the buttons swapped it arrives as the other one.
    virtual void InjectMouseButton(InjectedButton b) = 0;
    // Blocks the calling thread for `ms` milliseconds.
    virtual void Pause(int ms) = 0;
    // Asked as projection starts; most systems never ask their user.
    virtual InputAccess ProjectionAccess() { return InputAccess::Ready; }
};

}  // namespace ocu
