#pragma once
// An image whose memory the X server shares: the core renders into it and the server puts
// it into a window straight from there, with no copy on this side.
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <memory>

#include "image/Image.h"
#include "platform/qt/XcbReply.h"
#include "platform/qt/XcbWindowTarget.h"

namespace ocu::qt {

// `bytes` of memory mapped here and attached on the server's side as `seg` (read-only there
// when the server only reads it). Marked for removal once the server holds it, so that it
// goes with its last user even when this program is killed. Null when the system or the
// server refuses; `serverRefused` then tells whether it was the server (one on another
// machine cannot share memory with us).
std::uint8_t* AttachSharedMemory(xcb_connection_t* c, std::size_t bytes, bool serverReadsOnly, xcb_shm_seg_t& seg,
                                 bool* serverRefused = nullptr);

class XcbSharedImage {
public:
    explicit XcbSharedImage(xcb_connection_t* connection) : c_(connection), target_(connection) {}
    XcbSharedImage(const XcbSharedImage&) = delete;
    XcbSharedImage& operator=(const XcbSharedImage&) = delete;
    ~XcbSharedImage() { Release(); }

    // A 32-bit image of this size over a new segment; false (and none) when the server
    // cannot share memory with this program.
    bool Create(int w, int h);
    void Release();
    Image* Pixels() { return addr_ != nullptr ? &view_ : nullptr; }

    // The image's top-left w x h pixels into the window at (x, y). The server reads the
    // memory when it gets to the request: the caller makes a round trip (the next capture)
    // before writing into it again. Sent with the connection's next flush.
    bool Put(xcb_window_t window, int x, int y, int w, int h);

private:
    xcb_connection_t* c_;
    std::uint8_t* addr_ = nullptr;
    xcb_shm_seg_t seg_ = 0;
    Image view_;
    XcbWindowTarget target_;
};

}  // namespace ocu::qt
