#pragma once
// Owners for what libxcb hands out: every reply and error is malloc'ed and freed by us.
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace ocu::qt {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// The reply to a request, with any error freed.
template <class Reply, class Cookie, class ReplyFn>
XcbReply<Reply> Take(xcb_connection_t* c, Cookie cookie, ReplyFn replyFn) {
    xcb_generic_error_t* error = nullptr;
    XcbReply<Reply> reply(replyFn(c, cookie, &error));
    std::free(error);
    return reply;
}

// Whether a checked request went through.
inline bool Succeeded(xcb_connection_t* c, xcb_void_cookie_t cookie) {
    const XcbReply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
    return !error;
}

struct DisconnectDeleter {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, DisconnectDeleter>;

// A pixmap or GC id freed with the connection it came from.
class XcbPixmap {
public:
    XcbPixmap() = default;
    XcbPixmap(xcb_connection_t* c, xcb_pixmap_t id) : c_(c), id_(id) {}
    XcbPixmap(const XcbPixmap&) = delete;
    XcbPixmap& operator=(const XcbPixmap&) = delete;
    XcbPixmap(XcbPixmap&& o) noexcept : c_(o.c_), id_(std::exchange(o.id_, 0)) {}
    XcbPixmap& operator=(XcbPixmap&& o) noexcept {
        if (this != &o) {
            Reset();
            c_ = o.c_;
            id_ = std::exchange(o.id_, 0);
        }
        return *this;
    }
    ~XcbPixmap() { Reset(); }
    void Reset() noexcept {
        if (c_ != nullptr && id_ != 0) xcb_free_pixmap(c_, id_);
        id_ = 0;
    }
    xcb_pixmap_t get() const { return id_; }
    explicit operator bool() const { return id_ != 0; }

private:
    xcb_connection_t* c_ = nullptr;
    xcb_pixmap_t id_ = 0;
};

class XcbGc {
public:
    XcbGc() = default;
    XcbGc(xcb_connection_t* c, xcb_gcontext_t id) : c_(c), id_(id) {}
    XcbGc(const XcbGc&) = delete;
    XcbGc& operator=(const XcbGc&) = delete;
    ~XcbGc() {
        if (c_ != nullptr && id_ != 0) xcb_free_gc(c_, id_);
    }
    xcb_gcontext_t get() const { return id_; }

private:
    xcb_connection_t* c_ = nullptr;
    xcb_gcontext_t id_ = 0;
};

}  // namespace ocu::qt
