#include "platform/qt/XcbHotKeys.h"

#include <xcb/xcb_keysyms.h>

#include <QByteArray>

#include <X11/keysym.h>

#include <memory>

#include "platform/qt/XcbReply.h"

namespace ocu::qt {
namespace {

constexpr std::uint16_t kModifierMask = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

std::uint16_t ModifierMask(Modifier m) { return m == Modifier::Shift ? XCB_MOD_MASK_SHIFT : XCB_MOD_MASK_CONTROL; }

struct KeySymbolsDeleter {
    void operator()(xcb_key_symbols_t* s) const noexcept { xcb_key_symbols_free(s); }
};

// The modifier bit the server gives Num_Lock (Mod2 on most keyboards, but not all).
std::uint16_t FindNumLockMask(xcb_connection_t* c) {
    const std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter> symbols(xcb_key_symbols_alloc(c));
    if (!symbols) return 0;
    const std::unique_ptr<xcb_keycode_t, FreeDeleter> numLock(xcb_key_symbols_get_keycode(symbols.get(), XK_Num_Lock));
    const XcbReply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!numLock || !map) return 0;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int mod = 0; mod < 8; ++mod)
        for (int k = 0; k < perModifier; ++k) {
            const xcb_keycode_t code = codes[mod * perModifier + k];
            if (code == 0) continue;
            for (const xcb_keycode_t* n = numLock.get(); *n != XCB_NO_SYMBOL; ++n)
                if (*n == code) return static_cast<std::uint16_t>(1u << mod);
        }
    return 0;
}

}  // namespace

std::uint32_t KeysymOf(Key key) {
    switch (key) {
    case Key::None: return 0;
    case Key::A: return XK_a;
    case Key::D: return XK_d;
    case Key::E: return XK_e;
    case Key::F: return XK_f;
    case Key::G: return XK_g;
    case Key::S: return XK_s;
    case Key::T: return XK_t;
    case Key::D0: return XK_0;
    case Key::D1: return XK_1;
    case Key::D2: return XK_2;
    case Key::D3: return XK_3;
    case Key::D4: return XK_4;
    case Key::D5: return XK_5;
    case Key::D6: return XK_6;
    case Key::D7: return XK_7;
    case Key::D8: return XK_8;
    case Key::D9: return XK_9;
    case Key::F2: return XK_F2;
    case Key::F3: return XK_F3;
    case Key::Left: return XK_Left;
    case Key::Right: return XK_Right;
    case Key::Up: return XK_Up;
    case Key::Down: return XK_Down;
    case Key::Delete: return XK_Delete;
    }
    return 0;
}

XcbHotKeys::XcbHotKeys(xcb_connection_t* connection, xcb_window_t root, Handler onHotKey)
    : c_(connection), root_(root), onHotKey_(std::move(onHotKey)) {
    if (c_ != nullptr) numLockMask_ = FindNumLockMask(c_);
}

XcbHotKeys::~XcbHotKeys() {
    for (const auto& [id, g] : grabs_) Ungrab(g);
    if (c_ != nullptr) xcb_flush(c_);
}

std::vector<std::uint16_t> XcbHotKeys::LockVariants() const {
    std::vector<std::uint16_t> v{0, XCB_MOD_MASK_LOCK};
    if (numLockMask_ != 0) {
        v.push_back(numLockMask_);
        v.push_back(static_cast<std::uint16_t>(numLockMask_ | XCB_MOD_MASK_LOCK));
    }
    return v;
}

void XcbHotKeys::Ungrab(const Grab& g) {
    for (const xcb_keycode_t code : g.codes)
        for (const std::uint16_t lock : LockVariants())
            xcb_ungrab_key(c_, code, root_, static_cast<std::uint16_t>(g.modifiers | lock));
}

bool XcbHotKeys::Register(int id, Modifier modifier, Key key, bool repeats) {
    if (c_ == nullptr) return false;
    Unregister(id);
    const std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter> symbols(xcb_key_symbols_alloc(c_));
    if (!symbols) return false;
    const std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(xcb_key_symbols_get_keycode(symbols.get(), KeysymOf(key)));
    Grab g{{}, ModifierMask(modifier), repeats};
    for (const xcb_keycode_t* k = codes.get(); k != nullptr && *k != XCB_NO_SYMBOL; ++k) g.codes.push_back(*k);
    if (g.codes.empty()) return false;
    bool taken = false;
    for (const xcb_keycode_t code : g.codes)
        for (const std::uint16_t lock : LockVariants()) {
            const XcbReply<xcb_generic_error_t> error(
                xcb_request_check(c_, xcb_grab_key_checked(c_, 0, root_, static_cast<std::uint16_t>(g.modifiers | lock),
                                                           code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
            if (error) taken = true;
        }
    if (taken) {
        // Another program has the key: none of its variants stays half ours.
        Ungrab(g);
        xcb_flush(c_);
        return false;
    }
    grabs_[id] = std::move(g);
    return true;
}

void XcbHotKeys::Unregister(int id) {
    const auto it = grabs_.find(id);
    if (it == grabs_.end()) return;
    Ungrab(it->second);
    grabs_.erase(it);
    xcb_flush(c_);
}

bool XcbHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (grabs_.empty() || qstrcmp(eventType.constData(), "xcb_generic_event_t") != 0) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->event != root_) return false;
    if (type == XCB_KEY_RELEASE) {
        if (key->detail == held_) held_ = 0;
        lastRelease_ = key->time;
        lastReleased_ = key->detail;
        return true;
    }
    const std::uint16_t mods = key->state & kModifierMask;
    for (const auto& [id, g] : grabs_) {
        if (g.modifiers != mods) continue;
        for (const xcb_keycode_t code : g.codes) {
            if (code != key->detail) continue;
            const bool repeat = held_ == code || (lastReleased_ == code && lastRelease_ == key->time);
            held_ = code;
            if (!repeat || g.repeats) onHotKey_(id);
            return true;
        }
    }
    return false;
}

}  // namespace ocu::qt
