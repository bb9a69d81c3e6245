#pragma once
// The frame last presented and what it was made from: a tick whose inputs are all
// the same as that frame's is neither rendered nor presented again, so a still
// picture costs a capture and a compare.
#include "base/Geometry.h"
#include "image/Image.h"
#include "pipeline/FramePipeline.h"

namespace ocu {

class PresentedFrame {
public:
    // False when the frame on the window already shows this capture with these
    // parameters at this place. Otherwise the capture is kept (before the render,
    // which uses it as scratch) and the frame counts as not presented until Presented.
    // Not with the layer shown: drawing on it changes the view without changing any of this.
    bool NeedsRender(const RenderParams& rp, IntPoint viewOrigin, const Image& capture);
    void Presented(const RenderParams& rp, IntPoint viewOrigin);
    // The next tick draws afresh, whatever it compares equal to.
    void Forget() { presented_ = false; }

private:
    Image capture_;
    RenderParams params_;
    IntPoint origin_;
    bool presented_ = false;
};

}  // namespace ocu
