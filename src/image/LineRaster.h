#pragma once
// Lines on a pixel buffer, drawn the way GDI's LineTo draws them with a solid pen.
#include <cstdint>

#include "image/Image.h"

namespace ocu {

// A line from (x0, y0) to (x1, y1) in the pixel value `pixel` (already in the
// image's format). Width 1 or less: the one-pixel line without its end pixel.
// Wider: every pixel whose centre lies within width/2 of the segment, which gives
// the round ends and joins of a geometric pen; across a horizontal or vertical
// line that is `width` pixels, as GDI draws them. Clipped to the image.
void DrawLine(Image& img, int x0, int y0, int x1, int y1, int width, std::uint32_t pixel);

// Writes one pixel value of the image's format (8, 15/16, 24 or 32 bits).
void PutPixel(Image& img, int x, int y, std::uint32_t pixel);

}  // namespace ocu
