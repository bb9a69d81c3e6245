#pragma once
// Other programs' windows on the X server and the input passed on to them: what lies
// under a point, what it is called, and presses and moves sent as real input (XTest),
// which every toolkit takes as the user's own.
#include <xcb/xcb.h>

#include "mainwindow/ports/InputPort.h"

namespace ocu::qt {

class X11Input : public InputPort {
public:
    explicit X11Input(xcb_connection_t* connection);

    // The top-level client window (the one the window manager keeps WM_STATE on) under
    // the point; on a frame or its caption, the window the frame holds.
    WindowHandle WindowFromPoint(IntPoint screen) override;
    WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) override;
    // The class part of WM_CLASS, of the window or of the nearest ancestor that has one.
    std::string ClassNameOf(WindowHandle w) override;
    // _NET_WM_NAME, else WM_NAME.
    std::string WindowTextOf(WindowHandle w) override;
    IntRect WindowRectOf(WindowHandle w) override;
    IntPoint ClientPointOf(WindowHandle w, IntPoint screen) override;
    // The pointer goes to the point, the button is pressed or released there and the
    // pointer comes back: the X server itself delivers it, so GTK, Qt and Xt programs all
    // act on it. A window that is gone or unmapped is no answer; a point that another
    // window covers, or a server without XTest, is a refusal.
    SendOutcome SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                 int timeoutMs) override;
    bool MouseButtonsSwapped() override;
    void InjectMouseButton(InjectedButton b) override;
    void Pause(int ms) override;

private:
    xcb_atom_t Atom(const char* name);
    bool HasWmState(xcb_window_t w);
    xcb_window_t ClientIn(xcb_window_t top, int depth);
    xcb_window_t TopLevelOf(xcb_window_t w);
    // The physical button that acts as logical button `logical` (1 left, 3 right).
    std::uint8_t PhysicalButton(std::uint8_t logical);
    void WaitForPointerAt(int x, int y);

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    bool xtest_ = false;
    xcb_atom_t wmState_ = XCB_NONE, netWmName_ = XCB_NONE, utf8String_ = XCB_NONE;
};

}  // namespace ocu::qt
