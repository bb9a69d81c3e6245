#pragma once
// Input passed on to other programs on a Wayland desktop. No client may name or reach
// another's window there: the whole screen is the one target, and the input goes through a
// remote-desktop session of the portal, which the user allows when projection first needs it.
// There is one pointer, and a button held on this program's view keeps it there until let
// go: a press, the moves it drags and its release are therefore sent as one gesture once the
// button is up, and the pointer is brought back to where the user left it. Moves without a
// button are not sent, as they would take the user's pointer away from the view.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/ports/InputPort.h"
#include "platform/qt/wayland/PortalSession.h"

namespace ocu::qt {

class WaylandInput final : public InputPort {
public:
    struct Hooks {
        std::function<void()> Answered;                  // the user answered the portal's question
        std::function<std::optional<IntPoint>()> Pointer;  // where the user's pointer is
        std::function<IntRect()> Desktop;
        std::function<void(const std::string& token)> Keep;  // the consent's token, where the portal keeps one
    };
    // `x11` answers for this program's own windows, which live on X.
    WaylandInput(InputPort& x11, std::string restoreToken, Hooks hooks);

    WindowHandle WindowFromPoint(IntPoint screen) override;
    WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint screen) override;
    std::string ClassNameOf(WindowHandle w) override;
    std::string WindowTextOf(WindowHandle w) override;
    IntRect WindowRectOf(WindowHandle w) override;
    IntPoint ClientPointOf(WindowHandle w, IntPoint screen) override;
    SendOutcome SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                 int timeoutMs) override;
    bool MouseButtonsSwapped() override { return x11_.MouseButtonsSwapped(); }
    void InjectMouseButton(InjectedButton b) override { x11_.InjectMouseButton(b); }
    void Pause(int ms) override { x11_.Pause(ms); }
    InputAccess ProjectionAccess() override;

    // Stands for the whole screen: no X window has an id this large.
    static constexpr WindowHandle kScreen = 0xFFFFFFFFu;

private:
    enum class State { None, Asking, Ready, Refused, Unavailable };
    struct Step {
        ProjectedMessage Message;
        ProjectedKeys Keys;
        IntPoint At;  // on the desktop
    };
    void Granted(PortalSession::Granted granted);
    void Answer(State state);
    void Replay();

    InputPort& x11_;
    std::string token_;
    Hooks hooks_;
    PortalSession remote_;
    State state_ = State::None;
    std::vector<PortalSession::Stream> streams_;
    std::vector<Step> gesture_;
};

}  // namespace ocu::qt
