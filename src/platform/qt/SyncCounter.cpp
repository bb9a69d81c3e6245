#include "platform/qt/SyncCounter.h"

#include <xcb/sync.h>

#include <cstring>

#include "platform/qt/XcbReply.h"

namespace ocu::qt {

std::uint32_t SyncSystemCounter(xcb_connection_t* c, const char* wanted) {
    if (c == nullptr) return 0;
    const xcb_query_extension_reply_t* sync = xcb_get_extension_data(c, &xcb_sync_id);
    if (sync == nullptr || !sync->present) return 0;
    const XcbReply<xcb_sync_initialize_reply_t> version(xcb_sync_initialize_reply(
        c, xcb_sync_initialize(c, XCB_SYNC_MAJOR_VERSION, XCB_SYNC_MINOR_VERSION), nullptr));
    if (!version) return 0;
    // The list is read by hand: each entry is a counter, its resolution, the name's length
    // and the name, padded to whole words, which xcb's own iterator steps over wrongly.
    const XcbReply<xcb_sync_list_system_counters_reply_t> list(
        xcb_sync_list_system_counters_reply(c, xcb_sync_list_system_counters(c), nullptr));
    if (!list) return 0;
    const auto* at = reinterpret_cast<const std::uint8_t*>(list.get() + 1);
    const std::uint8_t* const end = at + static_cast<std::size_t>(list->length) * 4;
    const std::size_t wantedLength = std::strlen(wanted);
    for (std::uint32_t i = 0; i < list->counters_len && at + 14 <= end; ++i) {
        std::uint32_t counter;
        std::uint16_t length;
        std::memcpy(&counter, at, 4);
        std::memcpy(&length, at + 12, 2);
        if (at + 14 + length > end) break;
        if (length == wantedLength && std::memcmp(at + 14, wanted, length) == 0) return counter;
        at += (14 + static_cast<std::size_t>(length) + 3) & ~std::size_t{3};
    }
    return 0;
}

}  // namespace ocu::qt
