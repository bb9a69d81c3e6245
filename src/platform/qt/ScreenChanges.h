#pragma once
// Whether anything the view is made from may have changed since the last look. The damage
// extension on the root window says when any pixel on the screen changed, XInput's raw
// motion when the pointer moved, an alarm on the server's idle time when any input came (a
// warp too), and any other event reaching this program (input, focus, its windows moved or
// shown) counts as a change too. The capture tick sleeps while none
// comes: a still picture then costs nothing at all.
#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QSocketNotifier>

#include <cstdint>
#include <functional>
#include <memory>

namespace ocu::qt {

class ScreenChanges final : public QAbstractNativeEventFilter {
public:
    // `wake` is called on the first change that comes while asleep. The damage and the
    // motion come on `pixels`, the connection the screen is read on, so that what is drawn
    // after a look is told in order with the next look; the toolkit's events come through
    // the filter.
    ScreenChanges(xcb_connection_t* pixels, xcb_window_t root, std::function<void()> wake);
    ScreenChanges(const ScreenChanges&) = delete;
    ScreenChanges& operator=(const ScreenChanges&) = delete;
    ~ScreenChanges() override;

    // Without the extensions nothing can be known: every look counts as a change.
    bool Watching() const { return damage_ != 0 && xinputOpcode_ != 0; }
    // Whether anything changed since the last call, and from now on anew. A tick that
    // `changedAnyway` leaves the damage where it is: the server then tells nothing more, and
    // is told nothing, while the pointer moves; the first tick after it takes the damage.
    bool Take(bool changedAnyway = false);
    // Marks a change that no event shows (the behaviour's own timers).
    void Poke() { changed_ = true; }
    // Raw motion is asked for only while asleep: a moving pointer would otherwise send an
    // event for every step it takes while the tick reads the pointer anyway.
    void SetAsleep(bool asleep);
    bool Asleep() const { return asleep_; }
    // Whether a pointer put somewhere by another program is told too, not only found by looking.
    bool SeesWarps() const { return alarm_ != 0; }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    void CreateInputAlarm();
    // Sets the alarm `id` on the idle time; the request's cookie.
    xcb_void_cookie_t MakeAlarm(std::uint32_t id, bool checked = false);
    void SelectRawMotion(bool on);
    void Changed();
    // The events waiting on the pixel connection (errors of its requests too): those already
    // read, and with `read` those the socket holds too.
    void Drain(bool read);

    xcb_connection_t* c_;
    xcb_window_t root_;
    std::function<void()> wake_;
    std::uint32_t damage_ = 0;
    std::uint8_t damageEvent_ = 0;
    std::uint8_t xinputOpcode_ = 0;
    std::uint32_t idleCounter_ = 0;
    std::uint32_t alarm_ = 0;  // an id, the alarm itself set only while asleep
    std::uint8_t alarmEvent_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool changed_ = true;
    bool damaged_ = false;
    bool asleep_ = false;
};

}  // namespace ocu::qt
