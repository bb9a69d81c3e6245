#pragma once
// The SYNC extension's system counters: the server's clock (SERVERTIME) and the time since
// the last input (IDLETIME), which a warp of the pointer resets too.
#include <xcb/xcb.h>

#include <cstdint>

namespace ocu::qt {

// The counter of that name on a connection the extension is initialised on here, or 0
// without the extension or the counter.
std::uint32_t SyncSystemCounter(xcb_connection_t* connection, const char* name);

}  // namespace ocu::qt
