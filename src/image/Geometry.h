#pragma once
// Plain screen geometry shared by the core: no window-system types.

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

}  // namespace ocu
