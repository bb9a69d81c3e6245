#include "mainwindow/PresentedFrame.h"

namespace ocu {

bool PresentedFrame::NeedsRender(const RenderParams& rp, IntPoint viewOrigin, const Image& capture) {
    if (presented_ && rp.SurfaceLayer == nullptr && rp == params_ && viewOrigin.X == origin_.X &&
        viewOrigin.Y == origin_.Y && capture == capture_)
        return false;
    presented_ = false;
    capture_.AssignCopy(capture);
    return true;
}

void PresentedFrame::Presented(const RenderParams& rp, IntPoint viewOrigin) {
    params_ = rp;
    origin_ = viewOrigin;
    presented_ = true;
}

}  // namespace ocu
