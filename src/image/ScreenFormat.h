#pragma once
// The pixel format of a screen, and the colours an indexed screen is assumed to show.
#include <vector>

#include "image/Image.h"

namespace ocu {

// The format for a screen of this many bits per pixel (planes counted in); a depth
// no format stands for is taken as 32 bits, which every screen can be copied into.
PixelFormat FormatForDepth(int bitsPerPixel);

// The palette of an indexed format when the screen does not give its own: 3-3-2
// colours for 256 entries, an even grey ramp for fewer; none for direct formats.
std::vector<PaletteEntry> FallbackPalette(PixelFormat format);

}  // namespace ocu
