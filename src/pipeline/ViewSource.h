#pragma once
// Which pixel of the sampled area a view pixel shows: the way back through the
// frame's own steps (enlargement, mirror, turn), for whoever must name what the
// picture shows at a point (the colour readout).
#include <optional>

#include "base/Geometry.h"
#include "pipeline/FramePipeline.h"

namespace ocu {

// The sampled-area pixel that RenderFrame draws at view pixel v, before the
// layer, guides and inversion are put over it; nullopt for a point outside the
// view or on a corner the turn leaves bare.
std::optional<IntPoint> ViewSourcePixel(IntPoint v, const RenderParams& p);

}  // namespace ocu
