#pragma once
// A wait kept by the X server: the SYNC extension's Await on its SERVERTIME counter holds the
// connection's next requests until the server's clock has run on by the time asked. Requests
// sent after it are answered when the time is up, so their answers are the wake-up: the tick
// then sleeps once, where a timer and a round trip after it woke the program twice.
#include <xcb/xcb.h>

#include <cstdint>

namespace ocu::qt {

class ServerWait {
public:
    // On a connection that carries nothing else that must not wait.
    explicit ServerWait(xcb_connection_t* connection);

    // The server has the extension and its clock.
    bool Usable() const { return serverTime_ != 0; }
    // From when the server reads this, the connection's next requests wait `ms` milliseconds.
    void Hold(int ms);

private:
    xcb_connection_t* c_;
    std::uint32_t serverTime_ = 0;
};

}  // namespace ocu::qt
