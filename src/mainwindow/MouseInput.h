#pragma once
#include <cstdint>

namespace ocu {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Keys and buttons held during a mouse event.
struct ShiftState {
    bool Shift = false, Alt = false, Ctrl = false, Left = false, Right = false, Middle = false, Double = false;
};

// Window messages of projected mouse input (the Win32 values: they go to another program).
namespace wm {
inline constexpr unsigned MouseMove = 0x0200, LButtonDown = 0x0201, LButtonUp = 0x0202,
                          RButtonDown = 0x0204, RButtonUp = 0x0205;
}
namespace mk {
inline constexpr unsigned LButton = 0x0001, RButton = 0x0002, Shift = 0x0004, Control = 0x0008, MButton = 0x0010;
}

}  // namespace ocu
