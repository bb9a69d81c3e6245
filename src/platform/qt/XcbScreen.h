#pragma once
// The X screen as the view sees it: the root window's pixels, its monitors, the pointer
// on it, and the pick's marker drawn straight onto it. Everything here talks xcb.
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Geometry.h"
#include "image/Image.h"
#include "platform/qt/ServerWait.h"
#include "platform/qt/XcbReply.h"

namespace ocu::qt {

class XcbScreen {
public:
    // `looks` carries the tick's looks (its pointer and the screen's pixels), and may be held
    // back by the server between them; `pixels` the pointer asked at other times and the
    // pointer's warps; the toolkit's connection the rest. Missing ones fall back to the one
    // before, and a look is then never held.
    explicit XcbScreen(xcb_connection_t* connection, xcb_connection_t* pixels = nullptr,
                       xcb_connection_t* looks = nullptr);
    XcbScreen(const XcbScreen&) = delete;
    XcbScreen& operator=(const XcbScreen&) = delete;
    ~XcbScreen();

    xcb_connection_t* Connection() const { return c_; }
    xcb_connection_t* PixelConnection() const { return px_; }
    xcb_window_t Root() const { return root_; }
    // The pixels of the root window are read as 32-bit words (blue in the low byte).
    bool CanCapture() const { return pixels32_; }
    bool UsesSharedMemory() const { return shmAvailable_; }

    IntRect RootRect() const;
    // Each monitor RandR reports, at its own offset; the root window when it reports none.
    std::vector<IntRect> Monitors();
    IntRect PrimaryMonitor();
    IntPoint Pointer();
    // The pointer, and in the same round trip the pixels a capture will most likely ask for
    // next (see LikelyNextArea): a capture inside them then needs no trip of its own.
    IntPoint PointerWithLikelyPixels();
    // The same look asked now and answered by the server `ms` from now (see ServerWait);
    // false, and nothing asked, where the server keeps no time or a look is asked already.
    bool AskAhead(int ms);
    bool Asked() const { return asked_.has_value(); }
    // The asked look's pointer once its answer is in, its pixels left for the next capture;
    // nothing before. Where to watch for the answer: -1 when looks are never asked.
    std::optional<IntPoint> Answer();
    int LookDescriptor() const;
    void WarpPointer(IntPoint p);

    // The area's pixels in a buffer of this object; outside the root window they are
    // black. nullptr on failure. Valid until the next call here or to PointerWithLikelyPixels.
    Image* Capture(int x, int y, int w, int h);

    void SaveBackup(IntRect area);
    void RestoreBackup(IntRect area);
    void DrawOutline(IntRect r);
    void DrawFrame(IntRect r);

private:
    struct Look {
        xcb_query_pointer_cookie_t pointer;
        std::optional<xcb_shm_get_image_cookie_t> pixels;
        IntRect area;
    };
    std::optional<IntRect> PrepareLook();
    Look SendLook(const std::optional<IntRect>& area);
    IntPoint Receive(const Look& look, xcb_query_pointer_reply_t* pointer);
    bool EnsureSegment(std::size_t bytes);
    void ReleaseSegment();
    bool ReadInto(std::uint8_t* bits, std::size_t stride, int x, int y, int w, int h);
    bool ReadShared(int x, int y, int w, int h);
    void Outline(IntRect r, std::uint32_t pixel, bool dashed, int lineWidth);

    xcb_connection_t* c_;
    xcb_connection_t* px_;
    xcb_connection_t* lk_;
    ServerWait wait_;
    std::optional<Look> asked_;
    xcb_screen_t* screen_ = nullptr;
    xcb_window_t root_ = 0;
    bool pixels32_ = false;
    bool shmAvailable_ = false;
    // The shared segment the server writes the captured pixels into.
    std::uint8_t* shmAddr_ = nullptr;
    std::size_t shmSize_ = 0;
    xcb_shm_seg_t shmSeg_ = 0;
    Image view_;   // over the segment
    // What the segment holds ahead of the capture that will take it, and where the last
    // two captures read.
    std::optional<IntRect> fetched_;
    IntRect lastArea_, areaBefore_;
    Image owned_;  // without shared memory, or for an area that leaves the root window
    XcbPixmap backup_;
    int backupW_ = 0, backupH_ = 0;
};

}  // namespace ocu::qt
