#include "platform/qt/ServerWait.h"

#include <xcb/sync.h>

#include <algorithm>

#include "platform/qt/SyncCounter.h"

namespace ocu::qt {

ServerWait::ServerWait(xcb_connection_t* connection)
    : c_(connection), serverTime_(SyncSystemCounter(connection, "SERVERTIME")) {}

void ServerWait::Hold(int ms) {
    if (!Usable()) return;
    xcb_sync_waitcondition_t until{};
    until.trigger.counter = serverTime_;
    until.trigger.wait_type = XCB_SYNC_VALUETYPE_RELATIVE;
    until.trigger.wait_value.lo = static_cast<std::uint32_t>(std::max(ms, 0));
    until.trigger.test_type = XCB_SYNC_TESTTYPE_POSITIVE_COMPARISON;
    // An event is sent when the clock has run past the time by at least this: never. The
    // answers behind the wait are the wake-up; an event each tick would only be thrown away.
    until.event_threshold.hi = 0x7fffffff;
    until.event_threshold.lo = 0xffffffffu;
    xcb_sync_await(c_, 1, &until);
}

}  // namespace ocu::qt
