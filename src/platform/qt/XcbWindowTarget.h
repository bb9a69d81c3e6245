#pragma once
// A window this program puts 32-bit pixels into itself, past the toolkit: its GC, made once
// for each window, and whether its depth lets the words be its pixels as they are.
#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/qt/XcbReply.h"

namespace ocu::qt {

class XcbWindowTarget {
public:
    explicit XcbWindowTarget(xcb_connection_t* connection) : c_(connection) {}

    // Ready to put into `window`: false where its pixels are not 24-bit words (or it is gone).
    bool For(xcb_window_t window);
    xcb_gcontext_t Gc() const { return gc_ ? gc_->get() : 0; }
    // w x h pixels, rows `stride` bytes apart, into the window at (x, y). Sent with the
    // connection's next flush (the program flushes before it waits for events).
    void Put(int x, int y, int w, int h, const std::uint8_t* pixels, std::size_t stride);

private:
    xcb_connection_t* c_;
    xcb_window_t window_ = 0;
    bool usable_ = false;
    std::unique_ptr<XcbGc> gc_;
    std::vector<std::uint8_t> rows_;  // the rows side by side, as a put wants them
};

}  // namespace ocu::qt
