#include "platform/qt/XcbWindowTarget.h"

#include <cstring>

namespace ocu::qt {

bool XcbWindowTarget::For(xcb_window_t window) {
    if (c_ == nullptr || window == 0) return false;
    if (window == window_) return usable_;
    gc_.reset();
    window_ = window;
    usable_ = false;
    const XcbReply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr));
    // Only where the 32-bit words are the window's pixels as they are, with no alpha to mind.
    if (!g || g->depth != 24) return false;
    // No expose events for what a put could not draw: the toolkit repaints that itself.
    const std::uint32_t noExposures = 0;
    const xcb_gcontext_t id = xcb_generate_id(c_);
    xcb_create_gc(c_, id, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    gc_ = std::make_unique<XcbGc>(c_, id);
    usable_ = true;
    return true;
}

void XcbWindowTarget::Put(int x, int y, int w, int h, const std::uint8_t* pixels, std::size_t stride) {
    if (!usable_ || w <= 0 || h <= 0) return;
    const std::size_t row = static_cast<std::size_t>(w) * 4;
    rows_.resize(row * static_cast<std::size_t>(h));
    for (int r = 0; r < h; ++r) std::memcpy(rows_.data() + row * static_cast<std::size_t>(r), pixels + stride * static_cast<std::size_t>(r), row);
    xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_->get(), static_cast<std::uint16_t>(w),
                  static_cast<std::uint16_t>(h), static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 0, 24,
                  static_cast<std::uint32_t>(rows_.size()), rows_.data());
}

}  // namespace ocu::qt
