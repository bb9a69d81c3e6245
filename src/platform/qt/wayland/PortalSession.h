#pragma once
// A session with the desktop portal for the screen's pictures, and optionally for input
// sent on the user's behalf: created, its sources and devices chosen, started (where the
// portal asks the user, unless an earlier consent's token still holds), and its PipeWire
// connection opened. Either way the user's consent is the portal's, not ours.
#include <QObject>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <vector>

#include "base/Geometry.h"

namespace ocu::qt {

class PortalSession final : public QObject {
    Q_OBJECT
public:
    struct Stream {
        std::uint32_t Node = 0;
        IntRect Place;  // where the monitor lies on the desktop
    };
    struct Granted {
        int Fd = -1;  // the PipeWire connection, to be taken over
        std::vector<Stream> Streams;
        QString RestoreToken;  // empty when the portal gives none
        bool PointerMetadata = false;
        bool Remote = false;  // input may be sent through this session
    };
    struct Events {
        std::function<void(Granted)> Started;
        std::function<void()> Refused;
        std::function<void(const QString& why)> Failed;
        std::function<void()> Closed;  // ended by the portal or the compositor
    };
    enum class Kind { ScreenCast, Remote };
    // What the portal offers: a property read once, at start; 0 where there is none.
    static unsigned Version(const QString& interface);
    static unsigned Property(const QString& interface, const QString& name);

    explicit PortalSession(Events events, QObject* parent = nullptr);
    ~PortalSession() override;
    PortalSession(const PortalSession&) = delete;
    PortalSession& operator=(const PortalSession&) = delete;

    // `persist`: ask the portal to remember the consent, and use `restoreToken` of the last.
    void Start(Kind kind, bool persist, const QString& restoreToken);
    void Close();
    const QString& Handle() const { return session_; }

    // Input through a Remote session: the pointer to a point of a stream's monitor,
    // a button (Linux event code) pressed or released.
    void MovePointer(std::uint32_t node, double x, double y);
    void Button(int code, bool pressed);
    void Key(int keysym, bool pressed);

private Q_SLOTS:
    void SessionClosed(const QVariantMap& details);

private:
    void Fail(const QString& why);
    void SelectSources();
    void Begin();
    void OpenRemote(const QVariantMap& results);
    void Notify(const QString& method, const QVariantList& args);

    Events events_;
    Kind kind_ = Kind::ScreenCast;
    bool persist_ = false;
    QString token_;
    QString session_;
    bool pointerMetadata_ = false;
    unsigned run_ = 0;  // answers of a run closed since are let go
};

}  // namespace ocu::qt
