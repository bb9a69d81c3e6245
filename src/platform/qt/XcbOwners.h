#pragma once
// Owners for what xcb hands out: every reply and error is malloc'd and freed by its taker.
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace ocu::qt {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

template <class T>
using xcb_owned = std::unique_ptr<T, FreeDeleter>;

// The reply to a request, with any error freed.
template <class Reply, class Cookie, class ReplyFn>
xcb_owned<Reply> Take(xcb_connection_t* c, Cookie cookie, ReplyFn replyFn) {
    xcb_generic_error_t* error = nullptr;
    xcb_owned<Reply> reply(replyFn(c, cookie, &error));
    std::free(error);
    return reply;
}

// Whether a checked request went through.
inline bool Succeeded(xcb_connection_t* c, xcb_void_cookie_t cookie) {
    const xcb_owned<xcb_generic_error_t> error(xcb_request_check(c, cookie));
    return !error;
}

}  // namespace ocu::qt
