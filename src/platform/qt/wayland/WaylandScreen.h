#pragma once
// The screen of a Wayland desktop, where no client may read another's pixels or the
// pointer: the portal's screen cast with the user's consent, asked once and kept as a
// token, started again whenever the compositor ends it; the pointer from the pictures'
// metadata; input for the projection through a remote-desktop session of the portal.
#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Geometry.h"
#include "image/Image.h"
#include "platform/qt/wayland/PipeWireCapture.h"
#include "platform/qt/wayland/PortalSession.h"

namespace ocu::qt {

class WaylandScreen {
public:
    struct Hooks {
        std::function<void()> Changed;                        // a picture or the pointer moved
        std::function<void(std::string_view text)> Tell;      // a message for the user
        std::function<void(const std::string& token)> Keep;   // the consent's token, to be stored
    };
    WaylandScreen(std::string restoreToken, Hooks hooks);
    ~WaylandScreen();
    WaylandScreen(const WaylandScreen&) = delete;
    WaylandScreen& operator=(const WaylandScreen&) = delete;

    // Asks the portal; with the kept token no dialog, where the portal still accepts it.
    void Start();
    // Asks the user again, whatever was answered before.
    void AskAgain();
    // Whether pictures come in (after consent and the streams' first picture).
    bool Live() const { return capture_.Complete(); }
    Image* Capture(IntRect area) { return capture_.Capture(area); }
    std::optional<IntPoint> Pointer() const { return capture_.TellsPointer() ? capture_.Pointer() : std::nullopt; }
    // Whether anything came since the last call.
    bool TakeNews();
    // Whether news are told: a still screen then needs no looking at.
    bool TellsChanges() const { return capture_.Running() && capture_.TellsPointer(); }

private:
    void Begin(bool withToken);
    void Started(PortalSession::Granted granted);
    void Ended();
    void TellOnce(bool& told, std::string_view text);

    Hooks hooks_;
    std::string token_;
    PortalSession portal_;
    PipeWireCapture capture_;
    bool news_ = true;
    bool refused_ = false;
    bool toldNoPointer_ = false, toldFailure_ = false;
    // Restarts after the compositor ended the cast, counted in a short span: a cast that
    // ends as soon as it starts is not asked for without end.
    int restarts_ = 0;
    QElapsedTimer restartSpan_;
};

}  // namespace ocu::qt
