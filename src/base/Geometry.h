#pragma once
// The plain types every module shares: screen geometry and the handle of a window,
// with no window-system header behind them.
#include <cstdint>

namespace ocu {

struct IntPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

// Right and Bottom are exclusive, as in a Win32 RECT.
struct IntRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // The platform's PtInRect rule: left <= x < right, top <= y < bottom.
    bool Contains(IntPoint p) const { return Left <= p.X && p.X < Right && Top <= p.Y && p.Y < Bottom; }
    friend bool operator==(const IntRect&, const IntRect&) = default;
};

// Another program's window (or this one's), as the window system numbers it; 0 = none.
using WindowHandle = std::uintptr_t;

}  // namespace ocu
