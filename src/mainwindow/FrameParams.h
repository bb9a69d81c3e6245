#pragma once
// What one tick renders, from the view state: the one place that says which of
// the view's settings the frame depends on.
#include "base/Geometry.h"
#include "mainwindow/ViewState.h"
#include "pipeline/FramePipeline.h"

namespace ocu {

// The frame's parameters for the pointer at `cursor` and the sampled area's
// top-left at `src` (screen coordinates). The surface layer is left out: the
// caller hands over its pixels when the layer is shown.
RenderParams FrameParams(const ViewState& s, IntPoint cursor, IntPoint src);

}  // namespace ocu
