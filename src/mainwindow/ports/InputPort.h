#pragma once
// Other programs' windows and the input sent to them: which window lies under a
// point, what it is, and the mouse messages and buttons passed on to it.
#include <cstdint>
#include <string>

#include "base/Geometry.h"

namespace ocu {

// Mouse-button input injected into the local system (mouse_event flags).
enum class InjectedButton : std::uint32_t {
    LeftDown = 0x0002,
    LeftUp = 0x0004,
    RightDown = 0x0008,
    RightUp = 0x0010,
};

class InputPort {
public:
    virtual ~InputPort() = default;

    virtual WindowHandle WindowFromPoint(IntPoint screen) = 0;
    // The child of `parent` at a screen point (converted to its client coordinates), 0 if none.
    virtual WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) = 0;
    virtual std::string ClassNameOf(WindowHandle w) = 0;   // UTF-8
    virtual std::string WindowTextOf(WindowHandle w) = 0;  // UTF-8
    virtual IntRect WindowRectOf(WindowHandle w) = 0;
    // Sends a mouse message; false when the window did not answer in time or is gone.
    virtual bool SendMouseMessage(WindowHandle w, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual void InjectMouseButton(InjectedButton b) = 0;
    // Blocks the calling thread for `ms` milliseconds.
    virtual void Pause(int ms) = 0;
};

}  // namespace ocu
