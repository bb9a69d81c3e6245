#pragma once
// Small exact arithmetic shared by the view's routines. Quotients of an integer
// by the zoom are formed at extended precision and truncated toward zero.
#include <string>

#include "base/Geometry.h"

namespace ocu {

// Trunc(value / zoom), saturated to the int range (a zero or absurd zoom must not
// produce undefined behaviour).
int TruncDiv(int value, float zoom);
// Trunc(value * zoom), saturated likewise.
int TruncMul(int value, float zoom);
// A zoom step added at full precision and passed on as the nearest float.
float ZoomStepped(float rate, float delta);
// Floor(value / 10): the whole degrees of an angle in tenths.
int FloorTenths(int angleTenths);
// Floor(zoom / 2).
int FloorHalf(float zoom);

// The top-left of the sampled area: centred on the pointer, then pushed inside the
// desktop left/top first and right/bottom last, so the latter win when the area
// is larger than the desktop.
IntPoint SampleOrigin(IntPoint cursor, int srcWidth, int srcHeight, const IntRect& desktop);

// The area pushed inside the desktop: left and top first, then right and bottom.
IntPoint PushInside(IntPoint topLeft, int width, int height, const IntRect& desktop);

// "%d" without locale surprises.
std::string DecimalText(long long v);

// A text cut to at most `units` display units of the Japanese ANSI code page
// (ASCII and half-width katakana one unit, everything else two), never inside a character.
std::string LimitAnsiWidth(const std::string& utf8, int units);

}  // namespace ocu
