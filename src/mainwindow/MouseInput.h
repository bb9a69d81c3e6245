#pragma once
// The mouse input the behaviour reads and the input it sends on, in its own terms;
// the Win32 edge translates both ways.
#include <cstdint>
#include <optional>

namespace ocu {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Keys and buttons held during a mouse event.
struct ShiftState {
    bool Shift = false, Alt = false, Ctrl = false, Left = false, Right = false, Middle = false, Double = false;
};

// A mouse message replayed onto the projection's target.
enum class ProjectedMessage : std::uint8_t { Move, LeftDown, LeftUp, RightDown, RightUp };

// What a projected message says is held: at most one button, and the two keys.
struct ProjectedKeys {
    std::optional<MouseButton> Button;
    bool Ctrl = false;
    bool Shift = false;
    friend bool operator==(const ProjectedKeys&, const ProjectedKeys&) = default;
};

// A button pressed or released for the whole system, as if by the user.
enum class InjectedButton : std::uint8_t { LeftDown, LeftUp, RightDown, RightUp };

// How a message sent to another program's window ended.
enum class SendOutcome : std::uint8_t {
    Answered,
    NoAnswer,  // the window did not answer in time, hangs or is gone
    Refused,   // the system would not deliver it: the target runs with higher rights
};

// Whether this program may send input to other programs at all. A desktop that asks its user
// first answers Asking while it asks; the command that needed it is run again once allowed.
enum class InputAccess : std::uint8_t {
    Ready,
    Asking,
    Refused,      // the user said no
    Unavailable,  // the desktop offers no way
};

}  // namespace ocu
