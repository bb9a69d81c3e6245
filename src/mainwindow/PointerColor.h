#pragma once
// Which screen pixel the colour readout reads, and how it is written.
#include <cstdint>
#include <string>

#include "base/Geometry.h"

namespace ocu {

// The pixel of the sampled area that an unturned view shows at view point v:
// the enlargement's nearest-neighbour rule, then the mirroring, which the view
// applies to the sampled area before it is enlarged.
IntPoint SampledPixelOfView(IntPoint v, int viewWidth, int viewHeight, int srcWidth, int srcHeight, bool flipH,
                            bool flipV);

// "#RRGGBB" or "R,G,B" of a colour 0x00RRGGBB.
std::string ColorText(std::uint32_t rgb, bool hex);

}  // namespace ocu
