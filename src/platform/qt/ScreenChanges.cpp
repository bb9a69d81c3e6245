#include "platform/qt/ScreenChanges.h"

#include <xcb/damage.h>
#include <xcb/sync.h>
#include <xcb/xinput.h>
#include <QAbstractEventDispatcher>
#include <QByteArray>

#include <cstdlib>

#include "platform/qt/SyncCounter.h"
#include "platform/qt/XcbReply.h"

namespace ocu::qt {

ScreenChanges::ScreenChanges(xcb_connection_t* connection, xcb_window_t root, std::function<void()> wake)
    : c_(connection), root_(root), wake_(std::move(wake)) {
    if (c_ == nullptr || root_ == 0) return;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c_, &xcb_damage_id);
    const xcb_query_extension_reply_t* input = xcb_get_extension_data(c_, &xcb_input_id);
    if (damage == nullptr || !damage->present || input == nullptr || !input->present) return;
    const XcbReply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        c_, xcb_damage_query_version(c_, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr));
    const XcbReply<xcb_input_xi_query_version_reply_t> xi(
        xcb_input_xi_query_version_reply(c_, xcb_input_xi_query_version(c_, 2, 0), nullptr));
    if (!version || !xi || xi->major_version < 2) return;
    // One event when the damage goes from none to some, none after until it is taken: at most
    // one a tick, however much is drawn.
    const std::uint32_t id = xcb_generate_id(c_);
    const XcbReply<xcb_generic_error_t> error(
        xcb_request_check(c_, xcb_damage_create_checked(c_, id, root_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY)));
    if (error) return;
    damage_ = id;
    damageEvent_ = damage->first_event;
    xinputOpcode_ = input->major_opcode;
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c_), QSocketNotifier::Read);
    notifier_->setEnabled(false);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(true); });
    // Events read along with an answer on this connection wait in xcb's queue, where the
    // notifier does not see them.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, notifier_.get(),
                     [this] {
                         if (asleep_) Drain(false);
                     });
    CreateInputAlarm();
}

// A warp moves the pointer without raw motion, but it resets the server's idle time as any
// input does. An alarm on that counter's drop tells of it without looking every so often.
// It is made here once to learn whether the server allows it, and after that only while
// asleep: the server wakes itself again shortly after every input to watch the counter as
// long as any alarm hangs on it, even one that sends no events.
void ScreenChanges::CreateInputAlarm() {
    const std::uint32_t idle = SyncSystemCounter(c_, "IDLETIME");
    const xcb_query_extension_reply_t* sync = xcb_get_extension_data(c_, &xcb_sync_id);
    if (idle == 0 || sync == nullptr) return;
    const std::uint32_t id = xcb_generate_id(c_);
    idleCounter_ = idle;
    const XcbReply<xcb_generic_error_t> error(xcb_request_check(c_, MakeAlarm(id, true)));
    if (error) return;
    xcb_sync_destroy_alarm(c_, id);
    alarm_ = id;
    alarmEvent_ = sync->first_event + XCB_SYNC_ALARM_NOTIFY;
}

xcb_void_cookie_t ScreenChanges::MakeAlarm(std::uint32_t id, bool checked) {
    // Below 1 ms from 1 ms or more: input came. With no step the alarm stays set.
    const std::uint32_t values[] = {idleCounter_, XCB_SYNC_VALUETYPE_ABSOLUTE, 0, 1,
                                    XCB_SYNC_TESTTYPE_NEGATIVE_TRANSITION, 0, 0, 1};
    const std::uint32_t mask = XCB_SYNC_CA_COUNTER | XCB_SYNC_CA_VALUE_TYPE | XCB_SYNC_CA_VALUE |
                               XCB_SYNC_CA_TEST_TYPE | XCB_SYNC_CA_DELTA | XCB_SYNC_CA_EVENTS;
    return checked ? xcb_sync_create_alarm_checked(c_, id, mask, values) : xcb_sync_create_alarm(c_, id, mask, values);
}

void ScreenChanges::Drain(bool read) {
    const auto handle = [this](xcb_generic_event_t* e) {
        const std::uint8_t kind = e->response_type & 0x7f;
        if (kind == damageEvent_ + XCB_DAMAGE_NOTIFY) {
            damaged_ = true;
            Changed();
        } else if (kind == XCB_GE_GENERIC || (alarm_ != 0 && kind == alarmEvent_)) {
            Changed();  // the pointer moved, or was put somewhere
        }
        std::free(e);
    };
    while (xcb_generic_event_t* e = xcb_poll_for_queued_event(c_)) handle(e);
    if (!read) return;
    // The socket is read once: a second read would only find it empty, a system call each
    // tick. What one read leaves behind is read on the next tick, or by the notifier asleep.
    for (xcb_generic_event_t* e = xcb_poll_for_event(c_); e != nullptr; e = xcb_poll_for_queued_event(c_)) handle(e);
}

ScreenChanges::~ScreenChanges() {
    if (damage_ == 0) return;
    SelectRawMotion(false);
    if (alarm_ != 0 && asleep_) xcb_sync_destroy_alarm(c_, alarm_);
    xcb_damage_destroy(c_, damage_);
    xcb_flush(c_);
}

void ScreenChanges::SelectRawMotion(bool on) {
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, on ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_MOTION} : 0u};
    xcb_input_xi_select_events(c_, root_, 1, &mask.head);
}

bool ScreenChanges::Take(bool changedAnyway) {
    if (!Watching()) return true;
    Drain(true);
    if (damaged_ && !changedAnyway) {
        // Taken before this tick reads the screen: whatever is drawn after it comes again.
        xcb_damage_subtract(c_, damage_, XCB_NONE, XCB_NONE);
        damaged_ = false;
    }
    const bool changed = changed_ || damaged_;
    changed_ = false;
    return changed;
}

void ScreenChanges::SetAsleep(bool asleep) {
    if (!Watching() || asleep == asleep_) return;
    asleep_ = asleep;
    SelectRawMotion(asleep);
    if (alarm_ != 0 && asleep) MakeAlarm(alarm_);
    if (alarm_ != 0 && !asleep) xcb_sync_destroy_alarm(c_, alarm_);
    xcb_flush(c_);
    // Awake, the tick takes what came each time it runs: the damage of a changing screen
    // does not wake the program in between as well.
    notifier_->setEnabled(asleep);
}

void ScreenChanges::Changed() {
    changed_ = true;
    if (asleep_ && wake_) wake_();
}

bool ScreenChanges::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (!Watching() || type != "xcb_generic_event_t") return false;
    // Errors are answers to the program's own requests, not changes.
    if ((static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) != 0) Changed();
    return false;
}

}  // namespace ocu::qt
