#pragma once
// System-wide hot keys on X: each key is grabbed on the root window with the lock keys'
// variants, so it acts whichever window has the focus and whatever NumLock and CapsLock say.
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <functional>
#include <map>
#include <vector>

#include "mainwindow/Keys.h"

namespace ocu::qt {

class XcbHotKeys : public QAbstractNativeEventFilter {
public:
    using Handler = std::function<void(int id)>;
    XcbHotKeys(xcb_connection_t* connection, xcb_window_t root, Handler onHotKey);
    XcbHotKeys(const XcbHotKeys&) = delete;
    XcbHotKeys& operator=(const XcbHotKeys&) = delete;
    ~XcbHotKeys() override;

    // False when another program holds the key already, or the key is on no key of this keyboard.
    bool Register(int id, Modifier modifier, Key key, bool repeats);
    void Unregister(int id);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        std::vector<xcb_keycode_t> codes;
        std::uint16_t modifiers = 0;
        bool repeats = false;
    };
    std::vector<std::uint16_t> LockVariants() const;
    void Ungrab(const Grab& g);

    xcb_connection_t* c_;
    xcb_window_t root_;
    Handler onHotKey_;
    std::uint16_t numLockMask_ = 0;
    std::map<int, Grab> grabs_;
    // The keyboard's repeat sends a release and a press with the same time: a key that does
    // not repeat ignores such a press, and any press while it is held.
    xcb_keycode_t held_ = 0;
    xcb_timestamp_t lastRelease_ = 0;
    xcb_keycode_t lastReleased_ = 0;
};

// The keysym the core's key stands for on an X keyboard.
std::uint32_t KeysymOf(Key key);

}  // namespace ocu::qt
