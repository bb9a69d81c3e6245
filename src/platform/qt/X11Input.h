#pragma once
// Other programs' windows on the X server and the input passed on to them: what lies
// under a point, what it is called, and presses and moves sent as real input (XTest),
// which every toolkit takes as the user's own.
#include <xcb/xcb.h>

#include <cstdint>

#include "mainwindow/ports/InputPort.h"

namespace ocu::qt {

class X11Input : public InputPort {
public:
    explicit X11Input(xcb_connection_t* connection);
    ~X11Input() override;
    X11Input(const X11Input&) = delete;
    X11Input& operator=(const X11Input&) = delete;

    // The top-level client window (the one the window manager keeps WM_STATE on) under
    // the point; on a frame or its caption, the window the frame holds.
    WindowHandle WindowFromPoint(IntPoint screen) override;
    WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) override;
    // The class part of WM_CLASS, of the window or of the nearest ancestor that has one.
    std::string ClassNameOf(WindowHandle w) override;
    // _NET_WM_NAME, else WM_NAME.
    std::string WindowTextOf(WindowHandle w) override;
    // Outer bounds: a managed window's with its frame.
    IntRect WindowRectOf(WindowHandle w) override;
    IntPoint ClientPointOf(WindowHandle w, IntPoint screen) override;
    // A pointer of its own goes to the point and presses or releases the button there
    // (with Ctrl and Shift held on its own keyboard as asked): the X server itself
    // delivers it, so GTK, Qt and Xt programs all act on it, while the user's pointer,
    // its buttons and this program's hold on them stay as they are. Where the server has
    // no second pointer to give, the user's pointer makes the trip and comes back.
    // A window that is gone or unmapped, a point where this program's own window lies,
    // or a server without XTest is no answer: X has no target out of reach by its rights.
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
    bool IsOwnWindow(WindowHandle w) const;
    // The physical button that acts as logical button `logical` (1 left, 3 right).
    std::uint8_t PhysicalButton(xcb_connection_t* c, std::uint8_t logical);
    void WaitForPointerAt(int x, int y);
    bool EnsureProjectionPointer();
    std::uint16_t FindMasterPointer(xcb_connection_t* c);
    SendOutcome SendThroughProjectionPointer(int x, int y, std::uint8_t type, std::uint8_t button, ProjectedKeys keys);
    SendOutcome SendThroughUsersPointer(int x, int y, int backX, int backY, std::uint8_t type, std::uint8_t button,
                                        bool held);

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    bool xtest_ = false;
    xcb_atom_t wmState_ = XCB_NONE, netWmName_ = XCB_NONE, utf8String_ = XCB_NONE, compoundText_ = XCB_NONE;

    // The projection's own master pointer and keyboard, reached through a connection
    // whose client pointer it is, so that XTest's plain events go to it.
    xcb_connection_t* projection_ = nullptr;
    bool projectionTried_ = false;
    std::uint16_t projectionMaster_ = 0;
    std::uint8_t buttonsHeld_ = 0;  // bit n-1: physical button n pressed through the projection
    bool ctrlHeld_ = false, shiftHeld_ = false;
    xcb_keycode_t ctrlKey_ = 0, shiftKey_ = 0;
    int parkX_ = 0, parkY_ = 0;
};

}  // namespace ocu::qt
