#pragma once
// The colour a stored pixel stands for, whatever the screen's format.
#include <cstdint>
#include <optional>

#include "image/Image.h"

namespace ocu {

// 0x00RRGGBB of the pixel at (x, y): direct formats widen their channels (5 bits
// become 8 by repeating the top bits, so white stays white), indexed formats look
// the index up in the palette. nullopt outside the image, for an index beyond the
// palette and for a format the core does not know.
std::optional<std::uint32_t> PixelRgb(const Image& image, int x, int y);

}  // namespace ocu
