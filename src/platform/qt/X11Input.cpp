#include "platform/qt/X11Input.h"

#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/qt/CompoundText.h"
#include "platform/qt/XcbReply.h"

namespace ocu::qt {
namespace {

constexpr int kDeepestSearch = 8;      // frames nest a client a few windows down at most
constexpr int kPointerBackTries = 50;  // a millisecond apart: a frame's time at most
constexpr std::string_view kProjectionMaster = "Ocumira projection";
constexpr xcb_keysym_t kControlL = 0xffe3, kShiftL = 0xffe1;

std::string PropertyText(const xcb_get_property_reply_t* p) {
    if (p == nullptr || p->format != 8) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(p)),
                       static_cast<std::size_t>(xcb_get_property_value_length(p)));
}

}  // namespace

X11Input::X11Input(xcb_connection_t* connection) : c_(connection) {
    if (c_ == nullptr) return;
    const auto screen = xcb_setup_roots_iterator(xcb_get_setup(c_));
    if (screen.rem > 0) root_ = screen.data->root;
    const auto version =
        Take<xcb_test_get_version_reply_t>(c_, xcb_test_get_version(c_, 2, 2), xcb_test_get_version_reply);
    xtest_ = version != nullptr;
    wmState_ = Atom("WM_STATE");
    netWmName_ = Atom("_NET_WM_NAME");
    utf8String_ = Atom("UTF8_STRING");
    compoundText_ = Atom("COMPOUND_TEXT");
    // Between projected drags the projection's pointer rests on the screen's last pixel,
    // its arrow past the edge, where it neither shows nor lies over anything.
    if (screen.rem > 0) parkX_ = screen.data->width_in_pixels - 1, parkY_ = screen.data->height_in_pixels - 1;
    // Made at the start: toolkits ignore a device until they have heard of it, so a
    // pointer made for the first projected press would see that press dropped.
    if (xtest_) EnsureProjectionPointer();
}

X11Input::~X11Input() {
    if (projection_ == nullptr) return;
    // Nothing is left held on the way out. The pointer itself stays for the next start:
    // GTK asks about a pointer whose events it is still handling, and a pointer taken
    // away under it is an error that ends the program.
    for (std::uint8_t b = 1; b <= 8; ++b)
        if (buttonsHeld_ & (1u << (b - 1))) xcb_test_fake_input(projection_, XCB_BUTTON_RELEASE, b, 0, root_, 0, 0, 0);
    if (ctrlHeld_) xcb_test_fake_input(projection_, XCB_KEY_RELEASE, ctrlKey_, 0, root_, 0, 0, 0);
    if (shiftHeld_) xcb_test_fake_input(projection_, XCB_KEY_RELEASE, shiftKey_, 0, root_, 0, 0, 0);
    xcb_flush(projection_);
    xcb_disconnect(projection_);
}

std::uint16_t X11Input::FindMasterPointer(xcb_connection_t* c) {
    const auto devices = Take<xcb_input_xi_query_device_reply_t>(
        c, xcb_input_xi_query_device(c, XCB_INPUT_DEVICE_ALL_MASTER), xcb_input_xi_query_device_reply);
    if (!devices) return 0;
    const std::string wanted = std::string(kProjectionMaster) + " pointer";
    for (auto it = xcb_input_xi_query_device_infos_iterator(devices.get()); it.rem > 0;
         xcb_input_xi_device_info_next(&it)) {
        const std::string_view name(xcb_input_xi_device_info_name(it.data), it.data->name_len);
        if (it.data->type == XCB_INPUT_DEVICE_TYPE_MASTER_POINTER && name == wanted) return it.data->deviceid;
    }
    return 0;
}

bool X11Input::EnsureProjectionPointer() {
    if (projectionTried_) return projection_ != nullptr;
    projectionTried_ = true;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (c == nullptr || xcb_connection_has_error(c)) {
        if (c != nullptr) xcb_disconnect(c);
        return false;
    }
    const auto version = Take<xcb_input_xi_query_version_reply_t>(c, xcb_input_xi_query_version(c, 2, 2),
                                                                  xcb_input_xi_query_version_reply);
    const auto xtest = Take<xcb_test_get_version_reply_t>(c, xcb_test_get_version(c, 2, 2), xcb_test_get_version_reply);
    std::uint16_t master = 0;
    if (version && xtest && (version->major_version > 2 || version->minor_version >= 2)) {
        // One left by a run that ended abruptly is taken over rather than made again.
        master = FindMasterPointer(c);
        if (master == 0) {
            std::vector<std::uint8_t> change(sizeof(xcb_input_add_master_t) + ((kProjectionMaster.size() + 3) & ~3u));
            auto* add = reinterpret_cast<xcb_input_add_master_t*>(change.data());
            add->type = XCB_INPUT_HIERARCHY_CHANGE_TYPE_ADD_MASTER;
            add->len = static_cast<std::uint16_t>(change.size() / 4);
            add->name_len = static_cast<std::uint16_t>(kProjectionMaster.size());
            add->send_core = 1;
            add->enable = 1;
            std::memcpy(change.data() + sizeof(xcb_input_add_master_t), kProjectionMaster.data(),
                        kProjectionMaster.size());
            if (Succeeded(c, xcb_input_xi_change_hierarchy_checked(
                                 c, 1, reinterpret_cast<const xcb_input_hierarchy_change_t*>(change.data())))) {
                master = FindMasterPointer(c);
            }
        }
    }
    if (master == 0 || !Succeeded(c, xcb_input_xi_set_client_pointer_checked(c, XCB_NONE, master))) {
        xcb_disconnect(c);
        return false;
    }
    projection_ = c;
    projectionMaster_ = master;
    if (xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c)) {
        auto first = [symbols](xcb_keysym_t sym) {
            const XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols, sym));
            return codes ? codes.get()[0] : xcb_keycode_t{0};
        };
        ctrlKey_ = first(kControlL);
        shiftKey_ = first(kShiftL);
        xcb_key_symbols_free(symbols);
    }
    // Made at the screen's centre: out of sight until a projected press needs it.
    Succeeded(c, xcb_test_fake_input_checked(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_,
                                             static_cast<int16_t>(parkX_), static_cast<int16_t>(parkY_), 0));
    return true;
}

xcb_atom_t X11Input::Atom(const char* name) {
    const auto reply = Take<xcb_intern_atom_reply_t>(
        c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), xcb_intern_atom_reply);
    return reply ? reply->atom : XCB_NONE;
}

bool X11Input::HasWmState(xcb_window_t w) {
    const auto p = Take<xcb_get_property_reply_t>(c_, xcb_get_property(c_, 0, w, wmState_, XCB_ATOM_ANY, 0, 0),
                                                  xcb_get_property_reply);
    return p && p->type != XCB_NONE;
}

// The client a top-level holds, searched breadth first as window managers nest it.
xcb_window_t X11Input::ClientIn(xcb_window_t top, int depth) {
    if (HasWmState(top)) return top;
    if (depth <= 0) return XCB_NONE;
    const auto tree = Take<xcb_query_tree_reply_t>(c_, xcb_query_tree(c_, top), xcb_query_tree_reply);
    if (!tree) return XCB_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int n = xcb_query_tree_children_length(tree.get());
    for (int i = n - 1; i >= 0; --i)
        if (HasWmState(children[i])) return children[i];
    for (int i = n - 1; i >= 0; --i)
        if (const xcb_window_t found = ClientIn(children[i], depth - 1); found != XCB_NONE) return found;
    return XCB_NONE;
}

bool X11Input::IsOwnWindow(WindowHandle w) const {
    // Every window this program makes has an id from its connection's own range.
    const xcb_setup_t* setup = xcb_get_setup(c_);
    return w != 0 && (static_cast<std::uint32_t>(w) & ~setup->resource_id_mask) == setup->resource_id_base;
}

xcb_window_t X11Input::TopLevelOf(xcb_window_t w) {
    for (int i = 0; i < 64 && w != XCB_NONE; ++i) {
        const auto tree = Take<xcb_query_tree_reply_t>(c_, xcb_query_tree(c_, w), xcb_query_tree_reply);
        if (!tree) return XCB_NONE;
        if (tree->parent == root_ || tree->parent == XCB_NONE) return w;
        w = tree->parent;
    }
    return XCB_NONE;
}

WindowHandle X11Input::WindowFromPoint(IntPoint screen) {
    if (c_ == nullptr || root_ == XCB_NONE) return 0;
    // Down from the root, one mapped child at the point per step, to the window that
    // carries WM_STATE.
    xcb_window_t w = root_, top = XCB_NONE;
    for (int depth = 0; depth < kDeepestSearch + 2; ++depth) {
        const auto at = Take<xcb_translate_coordinates_reply_t>(
            c_, xcb_translate_coordinates(c_, root_, w, static_cast<int16_t>(screen.X), static_cast<int16_t>(screen.Y)),
            xcb_translate_coordinates_reply);
        if (!at || at->child == XCB_NONE) break;
        w = at->child;
        if (top == XCB_NONE) top = w;
        if (HasWmState(w)) return w;
    }
    if (top == XCB_NONE) return 0;
    // On a frame or caption: the window the frame holds. A top-level without a
    // client (a menu, a tip) is itself.
    const xcb_window_t client = ClientIn(top, kDeepestSearch);
    return client != XCB_NONE ? client : top;
}

WindowHandle X11Input::ChildWindowFromPoint(WindowHandle parent, IntPoint screen) {
    if (c_ == nullptr || parent == 0) return 0;
    const auto at = Take<xcb_translate_coordinates_reply_t>(
        c_,
        xcb_translate_coordinates(c_, root_, static_cast<xcb_window_t>(parent), static_cast<int16_t>(screen.X),
                                  static_cast<int16_t>(screen.Y)),
        xcb_translate_coordinates_reply);
    return at ? at->child : 0;
}

std::string X11Input::ClassNameOf(WindowHandle w) {
    // WM_CLASS is "instance\0class\0"; only top-levels carry it, so a child is named
    // after the program it belongs to.
    xcb_window_t window = static_cast<xcb_window_t>(w);
    for (int i = 0; i < 64 && c_ != nullptr && window != XCB_NONE && window != root_; ++i) {
        const auto p = Take<xcb_get_property_reply_t>(
            c_, xcb_get_property(c_, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), xcb_get_property_reply);
        const std::string value = PropertyText(p.get());
        if (!value.empty()) {
            const std::size_t nul = value.find('\0');
            if (nul == std::string::npos) return value;
            const std::size_t end = value.find('\0', nul + 1);
            return value.substr(nul + 1, end == std::string::npos ? std::string::npos : end - nul - 1);
        }
        const auto tree = Take<xcb_query_tree_reply_t>(c_, xcb_query_tree(c_, window), xcb_query_tree_reply);
        if (!tree) break;
        window = tree->parent;
    }
    return {};
}

std::string X11Input::WindowTextOf(WindowHandle w) {
    if (c_ == nullptr || w == 0) return {};
    const auto window = static_cast<xcb_window_t>(w);
    const auto net = Take<xcb_get_property_reply_t>(
        c_, xcb_get_property(c_, 0, window, netWmName_, utf8String_, 0, 1024), xcb_get_property_reply);
    if (std::string text = PropertyText(net.get()); !text.empty()) return text;
    // WM_NAME is Latin-1 as STRING, ISO 2022 as COMPOUND_TEXT; any other is passed as it is.
    const auto old = Take<xcb_get_property_reply_t>(
        c_, xcb_get_property(c_, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 1024), xcb_get_property_reply);
    const std::string text = PropertyText(old.get());
    // Plain Latin-1 is compound text that designates nothing.
    if (old && (old->type == XCB_ATOM_STRING || (old->type == compoundText_ && compoundText_ != XCB_NONE)))
        return CompoundTextToUtf8(text);
    return text;
}

IntRect X11Input::WindowRectOf(WindowHandle w) {
    if (c_ == nullptr || w == 0) return {};
    auto window = static_cast<xcb_window_t>(w);
    // A program's main window is measured with the frame the window manager put
    // round it, as its outer bounds are on Windows.
    if (HasWmState(window))
        if (const xcb_window_t frame = TopLevelOf(window); frame != XCB_NONE) window = frame;
    const auto geometry = xcb_get_geometry(c_, window);
    const auto origin = xcb_translate_coordinates(c_, window, root_, 0, 0);
    const auto g = Take<xcb_get_geometry_reply_t>(c_, geometry, xcb_get_geometry_reply);
    const auto o = Take<xcb_translate_coordinates_reply_t>(c_, origin, xcb_translate_coordinates_reply);
    if (!g || !o) return {};
    const int border = g->border_width;
    return {o->dst_x - border, o->dst_y - border, o->dst_x + g->width + border, o->dst_y + g->height + border};
}

IntPoint X11Input::ClientPointOf(WindowHandle w, IntPoint screen) {
    const auto at = Take<xcb_translate_coordinates_reply_t>(
        c_,
        xcb_translate_coordinates(c_, root_, static_cast<xcb_window_t>(w), static_cast<int16_t>(screen.X),
                                  static_cast<int16_t>(screen.Y)),
        xcb_translate_coordinates_reply);
    if (!at) return screen;
    return {at->dst_x, at->dst_y};
}

std::uint8_t X11Input::PhysicalButton(xcb_connection_t* c, std::uint8_t logical) {
    // The core request answers for the connection's client pointer: the user's, or the
    // projection's own, which has a map of its own.
    const auto map =
        Take<xcb_get_pointer_mapping_reply_t>(c, xcb_get_pointer_mapping(c), xcb_get_pointer_mapping_reply);
    if (!map) return logical;
    const std::uint8_t* buttons = xcb_get_pointer_mapping_map(map.get());
    const int n = xcb_get_pointer_mapping_map_length(map.get());
    for (int i = 0; i < n; ++i)
        if (buttons[i] == logical) return static_cast<std::uint8_t>(i + 1);
    return logical;
}

SendOutcome X11Input::SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at, int) {
    // X delivers input without asking the target: nothing here waits on it.
    // Refused tells the user of a target run with higher rights, which X does not have:
    // what cannot be delivered here is no answer, and the view goes on.
    if (c_ == nullptr || root_ == XCB_NONE || !xtest_) return SendOutcome::NoAnswer;
    const auto window = static_cast<xcb_window_t>(w);
    const auto attributes = xcb_get_window_attributes(c_, window);
    const auto origin =
        xcb_translate_coordinates(c_, window, root_, static_cast<int16_t>(at.X), static_cast<int16_t>(at.Y));
    const auto pointer = xcb_query_pointer(c_, root_);
    const auto a = Take<xcb_get_window_attributes_reply_t>(c_, attributes, xcb_get_window_attributes_reply);
    const auto o = Take<xcb_translate_coordinates_reply_t>(c_, origin, xcb_translate_coordinates_reply);
    const auto p = Take<xcb_query_pointer_reply_t>(c_, pointer, xcb_query_pointer_reply);
    // A window that is gone or hidden takes nothing; asking again later costs nothing.
    if (!a || !o || !p || a->map_state != XCB_MAP_STATE_VIEWABLE) return SendOutcome::NoAnswer;
    // Real input goes to whatever is on screen at the point, which is what the view
    // shows there; only this program's own windows must not get it (a press on the view
    // would come back as another press). While a projected button is held, the window
    // that took the press (or the menu it opened) holds the pointer and gets the rest.
    const bool held = projection_ != nullptr && buttonsHeld_ != 0;
    if (!held && IsOwnWindow(WindowFromPoint({o->dst_x, o->dst_y}))) return SendOutcome::NoAnswer;

    std::uint8_t logical = 0;
    bool press = false;
    switch (msg) {
    case ProjectedMessage::Move: break;
    case ProjectedMessage::LeftDown: logical = 1, press = true; break;
    case ProjectedMessage::LeftUp: logical = 1; break;
    case ProjectedMessage::RightDown: logical = 3, press = true; break;
    case ProjectedMessage::RightUp: logical = 3; break;
    }
    const std::uint8_t type = logical == 0 ? 0 : press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE;
    if (EnsureProjectionPointer())
        return SendThroughProjectionPointer(o->dst_x, o->dst_y, type,
                                            logical != 0 ? PhysicalButton(projection_, logical) : 0, keys);
    const std::uint8_t button = logical != 0 ? PhysicalButton(c_, logical) : 0;
    const bool down = logical != 0 && (p->mask & (XCB_BUTTON_MASK_1 << (logical - 1))) != 0;
    return SendThroughUsersPointer(o->dst_x, o->dst_y, p->root_x, p->root_y, type, button, down);
}

SendOutcome X11Input::SendThroughProjectionPointer(int x, int y, std::uint8_t type, std::uint8_t button,
                                                   ProjectedKeys keys) {
    std::vector<xcb_void_cookie_t> sent;
    auto fake = [&](std::uint8_t t, std::uint8_t detail, int atX, int atY) {
        sent.push_back(xcb_test_fake_input_checked(projection_, t, detail, XCB_CURRENT_TIME, root_,
                                                   static_cast<int16_t>(atX), static_cast<int16_t>(atY), 0));
    };
    auto hold = [&](bool wanted, bool& held, xcb_keycode_t key) {
        if (wanted == held || key == 0) return;
        fake(wanted ? XCB_KEY_PRESS : XCB_KEY_RELEASE, key, 0, 0);
        held = wanted;
    };
    hold(keys.Ctrl, ctrlHeld_, ctrlKey_);
    hold(keys.Shift, shiftHeld_, shiftKey_);
    fake(XCB_MOTION_NOTIFY, 0, x, y);
    if (type != 0 && button >= 1 && button <= 8) {
        fake(type, button, 0, 0);
        const auto bit = static_cast<std::uint8_t>(1u << (button - 1));
        buttonsHeld_ = type == XCB_BUTTON_PRESS ? buttonsHeld_ | bit : buttonsHeld_ & ~bit;
    }
    // A drag keeps the pointer where the target last saw it; otherwise it goes back to rest.
    if (buttonsHeld_ == 0) {
        hold(false, ctrlHeld_, ctrlKey_);
        hold(false, shiftHeld_, shiftKey_);
        fake(XCB_MOTION_NOTIFY, 0, parkX_, parkY_);
    }
    bool ok = true;
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) ok = Succeeded(projection_, *it) && ok;
    return ok ? SendOutcome::Answered : SendOutcome::NoAnswer;
}

SendOutcome X11Input::SendThroughUsersPointer(int x, int y, int backX, int backY, std::uint8_t type,
                                              std::uint8_t button, bool held) {
    std::vector<xcb_void_cookie_t> sent;
    auto fake = [&](std::uint8_t t, std::uint8_t detail, int atX, int atY) {
        sent.push_back(xcb_test_fake_input_checked(c_, t, detail, XCB_CURRENT_TIME, root_, static_cast<int16_t>(atX),
                                                   static_cast<int16_t>(atY), 0));
    };
    // A press on this view holds the pointer for this program until it is released;
    // given up, the next presses go where the pointer is.
    sent.push_back(xcb_ungrab_pointer_checked(c_, XCB_CURRENT_TIME));
    fake(XCB_MOTION_NOTIFY, 0, x, y);
    if (type != 0) {
        // The server drops a press of a button that is down already (the user's own,
        // on this view): let go of it first, where the target takes it.
        if (type == XCB_BUTTON_PRESS && held) fake(XCB_BUTTON_RELEASE, button, 0, 0);
        fake(type, button, 0, 0);
    }
    fake(XCB_MOTION_NOTIFY, 0, backX, backY);
    // The last one first: its answer means the server has taken all before it.
    bool ok = true;
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) ok = Succeeded(c_, *it) && ok;
    // Taken is not yet done: the server queues fake input and may answer the next
    // question about the pointer from the target's point. Done when the pointer is back.
    if (ok) WaitForPointerAt(backX, backY);
    return ok ? SendOutcome::Answered : SendOutcome::NoAnswer;
}

void X11Input::WaitForPointerAt(int x, int y) {
    for (int tries = 0; tries < kPointerBackTries; ++tries) {
        const auto p = Take<xcb_query_pointer_reply_t>(c_, xcb_query_pointer(c_, root_), xcb_query_pointer_reply);
        if (!p || (p->root_x == x && p->root_y == y)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool X11Input::MouseButtonsSwapped() {
    if (c_ == nullptr) return false;
    const auto map =
        Take<xcb_get_pointer_mapping_reply_t>(c_, xcb_get_pointer_mapping(c_), xcb_get_pointer_mapping_reply);
    if (!map || xcb_get_pointer_mapping_map_length(map.get()) < 3) return false;
    const std::uint8_t* buttons = xcb_get_pointer_mapping_map(map.get());
    return buttons[0] == 3 && buttons[2] == 1;
}

void X11Input::InjectMouseButton(InjectedButton b) {
    if (c_ == nullptr || !xtest_) return;
    // XTest presses physical buttons, which the server then maps: with the buttons
    // swapped the left one arrives as the right one, as on Windows.
    std::uint8_t type = XCB_BUTTON_PRESS, button = 1;
    switch (b) {
    case InjectedButton::LeftDown: break;
    case InjectedButton::LeftUp: type = XCB_BUTTON_RELEASE; break;
    case InjectedButton::RightDown: button = 3; break;
    case InjectedButton::RightUp: type = XCB_BUTTON_RELEASE, button = 3; break;
    }
    Succeeded(c_, xcb_test_fake_input_checked(c_, type, button, XCB_CURRENT_TIME, root_, 0, 0, 0));
}

void X11Input::Pause(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace ocu::qt
