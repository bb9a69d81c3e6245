#include "platform/qt/X11Input.h"

#include <xcb/xtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/qt/XcbOwners.h"

namespace ocu::qt {
namespace {

constexpr int kDeepestSearch = 8;  // frames nest a client a few windows down at most
constexpr int kPointerBackTries = 50;  // a millisecond apart: a frame's time at most

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
    const auto version = Take<xcb_test_get_version_reply_t>(c_, xcb_test_get_version(c_, 2, 2),
                                                            xcb_test_get_version_reply);
    xtest_ = version != nullptr;
    wmState_ = Atom("WM_STATE");
    netWmName_ = Atom("_NET_WM_NAME");
    utf8String_ = Atom("UTF8_STRING");
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
            c_,
            xcb_translate_coordinates(c_, root_, w, static_cast<int16_t>(screen.X), static_cast<int16_t>(screen.Y)),
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
    // WM_NAME is Latin-1 as STRING; other encodings are passed as they are.
    const auto old = Take<xcb_get_property_reply_t>(
        c_, xcb_get_property(c_, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 1024), xcb_get_property_reply);
    std::string text = PropertyText(old.get());
    if (old && old->type != XCB_ATOM_STRING) return text;
    std::string utf8;
    for (const unsigned char ch : text) {
        if (ch < 0x80) {
            utf8 += static_cast<char>(ch);
        } else {
            utf8 += static_cast<char>(0xC0 | (ch >> 6));
            utf8 += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return utf8;
}

IntRect X11Input::WindowRectOf(WindowHandle w) {
    if (c_ == nullptr || w == 0) return {};
    const auto window = static_cast<xcb_window_t>(w);
    const auto geometry = xcb_get_geometry(c_, window);
    const auto origin = xcb_translate_coordinates(c_, window, root_, 0, 0);
    const auto g = Take<xcb_get_geometry_reply_t>(c_, geometry, xcb_get_geometry_reply);
    const auto o = Take<xcb_translate_coordinates_reply_t>(c_, origin, xcb_translate_coordinates_reply);
    if (!g || !o) return {};
    return {o->dst_x, o->dst_y, o->dst_x + g->width, o->dst_y + g->height};
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

std::uint8_t X11Input::PhysicalButton(std::uint8_t logical) {
    const auto map = Take<xcb_get_pointer_mapping_reply_t>(c_, xcb_get_pointer_mapping(c_),
                                                           xcb_get_pointer_mapping_reply);
    if (!map) return logical;
    const std::uint8_t* buttons = xcb_get_pointer_mapping_map(map.get());
    const int n = xcb_get_pointer_mapping_map_length(map.get());
    for (int i = 0; i < n; ++i)
        if (buttons[i] == logical) return static_cast<std::uint8_t>(i + 1);
    return logical;
}

SendOutcome X11Input::SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys, IntPoint at, int) {
    // The keys held go with the real keyboard and pointer: XTest needs no copy of them.
    if (c_ == nullptr || root_ == XCB_NONE || !xtest_) return SendOutcome::Refused;
    const auto window = static_cast<xcb_window_t>(w);
    const auto attributes = xcb_get_window_attributes(c_, window);
    const auto origin = xcb_translate_coordinates(c_, window, root_, static_cast<int16_t>(at.X),
                                                  static_cast<int16_t>(at.Y));
    const auto pointer = xcb_query_pointer(c_, root_);
    const auto a = Take<xcb_get_window_attributes_reply_t>(c_, attributes, xcb_get_window_attributes_reply);
    const auto o = Take<xcb_translate_coordinates_reply_t>(c_, origin, xcb_translate_coordinates_reply);
    const auto p = Take<xcb_query_pointer_reply_t>(c_, pointer, xcb_query_pointer_reply);
    // A window that is gone or hidden takes nothing; asking again later costs nothing.
    if (!a || !o || !p || a->map_state != XCB_MAP_STATE_VIEWABLE) return SendOutcome::NoAnswer;
    // Real input goes to whatever is on top at the point: only the target's own
    // top-level may be there, or the press would land elsewhere (on this view, again).
    const WindowHandle under = WindowFromPoint({o->dst_x, o->dst_y});
    const xcb_window_t top = TopLevelOf(window);
    if (under == 0 || top == XCB_NONE || TopLevelOf(static_cast<xcb_window_t>(under)) != top)
        return SendOutcome::Refused;

    std::uint8_t logical = 0;
    bool press = false;
    switch (msg) {
    case ProjectedMessage::Move: break;
    case ProjectedMessage::LeftDown: logical = 1, press = true; break;
    case ProjectedMessage::LeftUp: logical = 1; break;
    case ProjectedMessage::RightDown: logical = 3, press = true; break;
    case ProjectedMessage::RightUp: logical = 3; break;
    }
    const std::uint8_t button = logical != 0 ? PhysicalButton(logical) : 0;
    const bool held = logical != 0 && (p->mask & (XCB_BUTTON_MASK_1 << (logical - 1))) != 0;

    std::vector<xcb_void_cookie_t> sent;
    auto fake = [&](std::uint8_t type, std::uint8_t detail, int x, int y) {
        sent.push_back(xcb_test_fake_input_checked(c_, type, detail, XCB_CURRENT_TIME, root_, static_cast<int16_t>(x),
                                                   static_cast<int16_t>(y), 0));
    };
    // A press on this view holds the pointer for this program until it is released;
    // given up, the next presses go where the pointer is.
    sent.push_back(xcb_ungrab_pointer_checked(c_, XCB_CURRENT_TIME));
    fake(XCB_MOTION_NOTIFY, 0, o->dst_x, o->dst_y);
    if (logical != 0) {
        // The server drops a press of a button that is down already (the user's own,
        // on this view): let go of it first, where the target takes it.
        if (press && held) fake(XCB_BUTTON_RELEASE, button, 0, 0);
        fake(press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, button, 0, 0);
    }
    fake(XCB_MOTION_NOTIFY, 0, p->root_x, p->root_y);
    // The last one first: its answer means the server has taken all before it.
    bool ok = true;
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) ok = Succeeded(c_, *it) && ok;
    // Taken is not yet done: the server queues fake input and may answer the next
    // question about the pointer from the target's point. Done when the pointer is back.
    if (ok) WaitForPointerAt(p->root_x, p->root_y);
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
    const auto map = Take<xcb_get_pointer_mapping_reply_t>(c_, xcb_get_pointer_mapping(c_),
                                                           xcb_get_pointer_mapping_reply);
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
