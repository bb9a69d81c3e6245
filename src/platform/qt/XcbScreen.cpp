#include "platform/qt/XcbScreen.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/xcbext.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "pipeline/LikelyArea.h"
#include "platform/qt/XcbSharedImage.h"

namespace ocu::qt {
namespace {

xcb_screen_t* FirstScreen(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    return setup != nullptr ? xcb_setup_roots_iterator(setup).data : nullptr;
}

// The depth's pixels must be whole 32-bit words, low byte first, as the core's 32-bit format.
bool PixelsAre32(xcb_connection_t* c, std::uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup == nullptr || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
        if (it.data->depth == depth) return it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
    return false;
}

bool HasSharedMemory(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (ext == nullptr || !ext->present) return false;
    const XcbReply<xcb_shm_query_version_reply_t> v(xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
    return v != nullptr;
}

IntRect Clip(IntRect a, IntRect b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

}  // namespace

XcbScreen::XcbScreen(xcb_connection_t* connection, xcb_connection_t* pixels, xcb_connection_t* looks)
    : c_(connection),
      px_(pixels != nullptr ? pixels : connection),
      lk_(looks != nullptr ? looks : px_),
      wait_(looks) {
    if (c_ == nullptr) return;
    screen_ = FirstScreen(c_);
    if (screen_ == nullptr) return;
    root_ = screen_->root;
    pixels32_ = PixelsAre32(c_, screen_->root_depth);
    shmAvailable_ = HasSharedMemory(lk_);
}

XcbScreen::~XcbScreen() { ReleaseSegment(); }

void XcbScreen::ReleaseSegment() {
    if (shmAddr_ != nullptr) {
        xcb_shm_detach(lk_, shmSeg_);
        xcb_flush(lk_);
        shmdt(shmAddr_);
    }
    shmAddr_ = nullptr;
    shmSize_ = 0;
    fetched_.reset();
    view_ = Image();
}

bool XcbScreen::EnsureSegment(std::size_t bytes) {
    if (shmAddr_ != nullptr && bytes <= shmSize_) return true;
    ReleaseSegment();
    bool refused = false;
    shmAddr_ = AttachSharedMemory(lk_, bytes, false, shmSeg_, &refused);
    if (shmAddr_ == nullptr) {
        // A server on another machine cannot share memory with us: plain reads from now on.
        if (refused) shmAvailable_ = false;
        return false;
    }
    shmSize_ = bytes;
    return true;
}

IntRect XcbScreen::RootRect() const {
    if (screen_ == nullptr) return {};
    return {0, 0, screen_->width_in_pixels, screen_->height_in_pixels};
}

std::vector<IntRect> XcbScreen::Monitors() {
    std::vector<IntRect> out;
    if (c_ == nullptr || root_ == 0) return out;
    const XcbReply<xcb_randr_get_monitors_reply_t> r(
        xcb_randr_get_monitors_reply(c_, xcb_randr_get_monitors(c_, root_, 1), nullptr));
    if (r) {
        for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem > 0;
             xcb_randr_monitor_info_next(&it)) {
            const auto* m = it.data;
            const IntRect rect{m->x, m->y, m->x + m->width, m->y + m->height};
            if (m->primary) out.insert(out.begin(), rect);
            else out.push_back(rect);
        }
    }
    if (out.empty()) out.push_back(RootRect());
    return out;
}

IntRect XcbScreen::PrimaryMonitor() { return Monitors().front(); }

IntPoint XcbScreen::Pointer() {
    if (c_ == nullptr) return {};
    const XcbReply<xcb_query_pointer_reply_t> r(xcb_query_pointer_reply(px_, xcb_query_pointer(px_, root_), nullptr));
    if (!r) return {};
    return {r->root_x, r->root_y};
}

// Where the next look reads its pixels, with the segment made ready for them (a new segment
// is attached in a round trip of its own); none where they cannot be read ahead.
std::optional<IntRect> XcbScreen::PrepareLook() {
    fetched_.reset();
    const IntRect likely = Clip(LikelyNextArea(areaBefore_, lastArea_), RootRect());
    if (!pixels32_ || !shmAvailable_ || likely.Width() <= 0 || likely.Height() <= 0 ||
        !EnsureSegment(static_cast<std::size_t>(likely.Width()) * static_cast<std::size_t>(likely.Height()) * 4))
        return std::nullopt;
    return likely;
}

XcbScreen::Look XcbScreen::SendLook(const std::optional<IntRect>& area) {
    Look look{xcb_query_pointer(lk_, root_), std::nullopt, {}};
    // Both requests are answered in turn: the pixels are those of the moment the pointer was
    // read, as a capture made right after would be.
    if (area) {
        look.pixels = xcb_shm_get_image(lk_, root_, static_cast<std::int16_t>(area->Left),
                                        static_cast<std::int16_t>(area->Top), static_cast<std::uint16_t>(area->Width()),
                                        static_cast<std::uint16_t>(area->Height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                        shmSeg_, 0);
        look.area = *area;
    }
    return look;
}

IntPoint XcbScreen::Receive(const Look& look, xcb_query_pointer_reply_t* pointer) {
    const XcbReply<xcb_query_pointer_reply_t> r(pointer);
    if (look.pixels && XcbReply<xcb_shm_get_image_reply_t>(xcb_shm_get_image_reply(lk_, *look.pixels, nullptr)))
        fetched_ = look.area;
    // Errors of requests without answers (the wait, a segment's attach) come as events here,
    // read already: they come before the answers to the requests sent after them.
    while (xcb_generic_event_t* e = xcb_poll_for_queued_event(lk_)) std::free(e);
    if (!r) return {};
    return {r->root_x, r->root_y};
}

IntPoint XcbScreen::PointerWithLikelyPixels() {
    if (c_ == nullptr) return {};
    // Behind an asked look the question would wait as long as it: the plain pointer instead.
    if (asked_) return Pointer();
    const Look look = SendLook(PrepareLook());
    return Receive(look, xcb_query_pointer_reply(lk_, look.pointer, nullptr));
}

bool XcbScreen::AskAhead(int ms) {
    if (c_ == nullptr || asked_ || !wait_.Usable()) return false;
    const std::optional<IntRect> area = PrepareLook();
    wait_.Hold(ms);
    asked_ = SendLook(area);
    xcb_flush(lk_);
    return true;
}

std::optional<IntPoint> XcbScreen::Answer() {
    if (!asked_) return std::nullopt;
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(lk_, asked_->pointer.sequence, &reply, &error) == 0) return std::nullopt;
    std::free(error);
    const Look look = *asked_;
    asked_.reset();
    return Receive(look, static_cast<xcb_query_pointer_reply_t*>(reply));
}

int XcbScreen::LookDescriptor() const { return wait_.Usable() ? xcb_get_file_descriptor(lk_) : -1; }

void XcbScreen::WarpPointer(IntPoint p) {
    if (c_ == nullptr) return;
    xcb_warp_pointer(px_, XCB_NONE, root_, 0, 0, 0, 0, static_cast<std::int16_t>(p.X), static_cast<std::int16_t>(p.Y));
    xcb_flush(px_);
}

bool XcbScreen::ReadShared(int x, int y, int w, int h) {
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    if (!EnsureSegment(bytes)) return false;
    const XcbReply<xcb_shm_get_image_reply_t> r(xcb_shm_get_image_reply(
        lk_,
        xcb_shm_get_image(lk_, root_, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                          static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                          shmSeg_, 0),
        nullptr));
    if (!r) return false;
    // Rows of whole words are DWORD-aligned already: the core reads the segment as it is.
    view_ = Image::View(shmAddr_, w, h, PixelFormat::Bits32, static_cast<std::size_t>(w) * 4);
    return true;
}

bool XcbScreen::ReadInto(std::uint8_t* bits, std::size_t stride, int x, int y, int w, int h) {
    const XcbReply<xcb_get_image_reply_t> r(xcb_get_image_reply(
        lk_,
        xcb_get_image(lk_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                      static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), ~0u),
        nullptr));
    if (!r) return false;
    const std::size_t row = static_cast<std::size_t>(w) * 4;
    if (static_cast<std::size_t>(xcb_get_image_data_length(r.get())) < row * static_cast<std::size_t>(h)) return false;
    const std::uint8_t* src = xcb_get_image_data(r.get());
    for (int j = 0; j < h; ++j) std::memcpy(bits + stride * static_cast<std::size_t>(j), src + row * j, row);
    return true;
}

Image* XcbScreen::Capture(int x, int y, int w, int h) {
    // Behind an asked look a read would wait as long as it; the caller keeps its last picture.
    if (c_ == nullptr || !pixels32_ || w <= 0 || h <= 0 || asked_) return nullptr;
    const IntRect want{x, y, x + w, y + h};
    areaBefore_ = lastArea_;
    lastArea_ = want;
    const std::optional<IntRect> fetched = std::exchange(fetched_, std::nullopt);
    if (fetched && Encloses(*fetched, want)) {
        const std::size_t stride = static_cast<std::size_t>(fetched->Width()) * 4;
        view_ = Image::View(shmAddr_ + stride * static_cast<std::size_t>(y - fetched->Top) +
                                static_cast<std::size_t>(x - fetched->Left) * 4,
                            w, h, PixelFormat::Bits32, stride);
        return &view_;
    }
    const IntRect inside = Clip(want, RootRect());
    if (inside == want && shmAvailable_ && ReadShared(x, y, w, h))
        return &view_;
    // The server refuses a read past the root window's edge: what lies outside is black.
    if (owned_.Width() != w || owned_.Height() != h) owned_ = Image(w, h, PixelFormat::Bits32);
    else std::memset(owned_.Bits(), 0, owned_.SizeBytes());
    if (inside.Right > inside.Left && inside.Bottom > inside.Top) {
        std::uint8_t* at = owned_.Row(inside.Top - y) + static_cast<std::size_t>(inside.Left - x) * 4;
        if (!ReadInto(at, owned_.Stride(), inside.Left, inside.Top, inside.Width(), inside.Height())) return nullptr;
    }
    return &owned_;
}

// --- the pick's marker: drawn over every window, as on the screen's own device context --------

void XcbScreen::SaveBackup(IntRect area) {
    if (c_ == nullptr || area.Width() <= 0 || area.Height() <= 0) return;
    if (!backup_ || backupW_ != area.Width() || backupH_ != area.Height()) {
        backup_.Reset();
        const xcb_pixmap_t id = xcb_generate_id(c_);
        xcb_create_pixmap(c_, screen_->root_depth, id, root_, static_cast<std::uint16_t>(area.Width()),
                          static_cast<std::uint16_t>(area.Height()));
        backup_ = XcbPixmap(c_, id);
        backupW_ = area.Width();
        backupH_ = area.Height();
    }
    const std::uint32_t inferiors = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    const XcbGc gc(c_, [&] {
        const xcb_gcontext_t id = xcb_generate_id(c_);
        xcb_create_gc(c_, id, root_, XCB_GC_SUBWINDOW_MODE, &inferiors);
        return id;
    }());
    xcb_copy_area(c_, root_, backup_.get(), gc.get(), static_cast<std::int16_t>(area.Left),
                  static_cast<std::int16_t>(area.Top), 0, 0, static_cast<std::uint16_t>(backupW_),
                  static_cast<std::uint16_t>(backupH_));
    xcb_flush(c_);
}

void XcbScreen::RestoreBackup(IntRect area) {
    if (c_ == nullptr || !backup_) return;
    const std::uint32_t inferiors = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    const XcbGc gc(c_, [&] {
        const xcb_gcontext_t id = xcb_generate_id(c_);
        xcb_create_gc(c_, id, root_, XCB_GC_SUBWINDOW_MODE, &inferiors);
        return id;
    }());
    xcb_copy_area(c_, backup_.get(), root_, gc.get(), 0, 0, static_cast<std::int16_t>(area.Left),
                  static_cast<std::int16_t>(area.Top), static_cast<std::uint16_t>(std::min(area.Width(), backupW_)),
                  static_cast<std::uint16_t>(std::min(area.Height(), backupH_)));
    xcb_flush(c_);
}

void XcbScreen::Outline(IntRect r, std::uint32_t pixel, bool dashed, int lineWidth) {
    if (c_ == nullptr || r.Width() <= 1 || r.Height() <= 1) return;
    const std::uint32_t values[] = {
        pixel, static_cast<std::uint32_t>(lineWidth),
        static_cast<std::uint32_t>(dashed ? XCB_LINE_STYLE_ON_OFF_DASH : XCB_LINE_STYLE_SOLID),
        XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS};
    const XcbGc gc(c_, [&] {
        const xcb_gcontext_t id = xcb_generate_id(c_);
        xcb_create_gc(c_, id, root_, XCB_GC_FOREGROUND | XCB_GC_LINE_WIDTH | XCB_GC_LINE_STYLE | XCB_GC_SUBWINDOW_MODE,
                      values);
        return id;
    }());
    if (dashed) {
        // The dash of a one-pixel dashed pen: 18 drawn, 6 left.
        const std::uint8_t dashes[] = {18, 6};
        xcb_set_dashes(c_, gc.get(), 0, 2, dashes);
    }
    // The rectangle's right and bottom edges lie inside it, one pixel short of them.
    const xcb_rectangle_t rect{static_cast<std::int16_t>(r.Left), static_cast<std::int16_t>(r.Top),
                               static_cast<std::uint16_t>(r.Width() - 1), static_cast<std::uint16_t>(r.Height() - 1)};
    xcb_poly_rectangle(c_, root_, gc.get(), 1, &rect);
    xcb_flush(c_);
}

void XcbScreen::DrawOutline(IntRect r) { Outline(r, screen_ != nullptr ? screen_->black_pixel : 0, true, 1); }

void XcbScreen::DrawFrame(IntRect r) {
    // Red on a true-colour screen of eight bits a channel.
    Outline(r, 0xFF0000u, false, 2);
}

}  // namespace ocu::qt
