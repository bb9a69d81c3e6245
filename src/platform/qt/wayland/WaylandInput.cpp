#include "platform/qt/wayland/WaylandInput.h"

#include <unistd.h>

#include "mainwindow/MainWindowClass.h"

namespace ocu::qt {
namespace {

const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
// Linux's button codes and X's key symbols, as the portal takes them.
constexpr int kButtonLeft = 0x110, kButtonRight = 0x111;
constexpr int kControlL = 0xffe3, kShiftL = 0xffe1;
// The first version of the portal that keeps a remote session's consent.
constexpr unsigned kPersistingVersion = 2;

}  // namespace

WaylandInput::WaylandInput(InputPort& x11, std::string restoreToken, Hooks hooks)
    : x11_(x11),
      token_(std::move(restoreToken)),
      hooks_(std::move(hooks)),
      remote_({[this](PortalSession::Granted g) { Granted(std::move(g)); }, [this] { Answer(State::Refused); },
               [this](const QString&) { Answer(State::Unavailable); },
               [this] {
                   state_ = State::None;
                   streams_.clear();
                   gesture_.clear();
               }}) {}

InputAccess WaylandInput::ProjectionAccess() {
    switch (state_) {
    case State::Ready: return InputAccess::Ready;
    case State::Asking: return InputAccess::Asking;
    // Told once; the next start asks again.
    case State::Refused: state_ = State::None; return InputAccess::Refused;
    case State::Unavailable: state_ = State::None; return InputAccess::Unavailable;
    case State::None: break;
    }
    const unsigned version = PortalSession::Version(kRemoteDesktop);
    if (version == 0) return InputAccess::Unavailable;
    state_ = State::Asking;
    const bool persist = version >= kPersistingVersion;
    remote_.Start(PortalSession::Kind::Remote, persist, persist ? QString::fromStdString(token_) : QString());
    return InputAccess::Asking;
}

void WaylandInput::Granted(PortalSession::Granted granted) {
    if (granted.Fd >= 0) ::close(granted.Fd);  // the pictures come through the screen's own session
    if (!granted.Remote) {
        remote_.Close();
        return Answer(State::Refused);
    }
    streams_ = std::move(granted.Streams);
    const std::string token = granted.RestoreToken.toStdString();
    if (!token.empty() && token != token_) {
        token_ = token;
        if (hooks_.Keep) hooks_.Keep(token_);
    }
    Answer(State::Ready);
}

void WaylandInput::Answer(State state) {
    state_ = state;
    if (hooks_.Answered) hooks_.Answered();
}

WindowHandle WaylandInput::WindowFromPoint(IntPoint screen) {
    // This program's own windows are X windows: the projection must know them to refuse them.
    const WindowHandle w = x11_.WindowFromPoint(screen);
    if (w != 0 && x11_.ClassNameOf(w) == kMainWindowClassName) return w;
    return kScreen;
}

WindowHandle WaylandInput::ChildWindowFromPoint(WindowHandle parent, IntPoint screen) {
    return parent == kScreen ? 0 : x11_.ChildWindowFromPoint(parent, screen);
}

std::string WaylandInput::ClassNameOf(WindowHandle w) { return w == kScreen ? std::string() : x11_.ClassNameOf(w); }

std::string WaylandInput::WindowTextOf(WindowHandle w) { return w == kScreen ? std::string() : x11_.WindowTextOf(w); }

IntRect WaylandInput::WindowRectOf(WindowHandle w) {
    if (w != kScreen) return x11_.WindowRectOf(w);
    return hooks_.Desktop ? hooks_.Desktop() : IntRect{};
}

IntPoint WaylandInput::ClientPointOf(WindowHandle w, IntPoint screen) {
    if (w != kScreen) return x11_.ClientPointOf(w, screen);
    const IntRect r = WindowRectOf(w);
    return {screen.X - r.Left, screen.Y - r.Top};
}

SendOutcome WaylandInput::SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                           int timeoutMs) {
    if (w != kScreen) return x11_.SendMouseMessage(w, msg, keys, at, timeoutMs);
    if (state_ != State::Ready) return SendOutcome::NoAnswer;
    const IntRect r = WindowRectOf(w);
    const IntPoint onDesktop{at.X + r.Left, at.Y + r.Top};
    switch (msg) {
    case ProjectedMessage::Move:
        if (!gesture_.empty()) gesture_.push_back({msg, keys, onDesktop});
        break;
    case ProjectedMessage::LeftDown:
    case ProjectedMessage::RightDown: gesture_.push_back({msg, keys, onDesktop}); break;
    case ProjectedMessage::LeftUp:
    case ProjectedMessage::RightUp:
        if (gesture_.empty()) break;
        gesture_.push_back({msg, keys, onDesktop});
        Replay();
        break;
    }
    return SendOutcome::Answered;
}

void WaylandInput::Replay() {
    const std::optional<IntPoint> back = hooks_.Pointer ? hooks_.Pointer() : std::nullopt;
    const auto moveTo = [this](IntPoint p) {
        for (const auto& s : streams_)
            if (p.X >= s.Place.Left && p.X < s.Place.Right && p.Y >= s.Place.Top && p.Y < s.Place.Bottom) {
                remote_.MovePointer(s.Node, p.X - s.Place.Left, p.Y - s.Place.Top);
                return true;
            }
        return false;
    };
    bool ctrl = false, shift = false;
    const auto hold = [this](bool wanted, bool& held, int keysym) {
        if (wanted == held) return;
        remote_.Key(keysym, wanted);
        held = wanted;
    };
    for (const Step& step : gesture_) {
        hold(step.Keys.Ctrl, ctrl, kControlL);
        hold(step.Keys.Shift, shift, kShiftL);
        if (!moveTo(step.At)) continue;
        switch (step.Message) {
        case ProjectedMessage::Move: break;
        case ProjectedMessage::LeftDown: remote_.Button(kButtonLeft, true); break;
        case ProjectedMessage::LeftUp: remote_.Button(kButtonLeft, false); break;
        case ProjectedMessage::RightDown: remote_.Button(kButtonRight, true); break;
        case ProjectedMessage::RightUp: remote_.Button(kButtonRight, false); break;
        }
    }
    hold(false, ctrl, kControlL);
    hold(false, shift, kShiftL);
    gesture_.clear();
    if (back) moveTo(*back);
}

}  // namespace ocu::qt
