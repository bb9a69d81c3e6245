#include "platform/qt/wayland/PortalSession.h"

#include <fcntl.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>

#include "platform/qt/wayland/PortalRequest.h"

namespace ocu::qt {
namespace {

const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

// The portal's source types, cursor modes and device types, as its documentation numbers them.
constexpr unsigned kMonitor = 1;
constexpr unsigned kCursorHidden = 1, kCursorEmbedded = 2, kCursorMetadata = 4;
constexpr unsigned kKeyboard = 1, kPointer = 2;
constexpr unsigned kPersistUntilRevoked = 2;

IntPoint Pair(const QVariant& v) {
    IntPoint p{};
    if (!v.canConvert<QDBusArgument>()) return p;
    const QDBusArgument arg = v.value<QDBusArgument>();
    arg.beginStructure();
    arg >> p.X >> p.Y;
    arg.endStructure();
    return p;
}

std::vector<PortalSession::Stream> StreamsOf(const QVariant& v) {
    std::vector<PortalSession::Stream> streams;
    if (!v.canConvert<QDBusArgument>()) return streams;
    const QDBusArgument arg = v.value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        uint node = 0;
        QVariantMap properties;
        arg.beginStructure();
        arg >> node >> properties;
        arg.endStructure();
        const IntPoint at = Pair(properties.value(QStringLiteral("position")));
        const IntPoint size = Pair(properties.value(QStringLiteral("size")));
        streams.push_back({node, {at.X, at.Y, at.X + size.X, at.Y + size.Y}});
    }
    arg.endArray();
    return streams;
}

QVariant Get(const QString& interface, const QString& name) {
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call.setArguments({interface, name});
    const QDBusReply<QDBusVariant> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

}  // namespace

unsigned PortalSession::Version(const QString& interface) { return Property(interface, QStringLiteral("version")); }

unsigned PortalSession::Property(const QString& interface, const QString& name) {
    return Get(interface, name).toUInt();
}

PortalSession::PortalSession(Events events, QObject* parent) : QObject(parent), events_(std::move(events)) {}

PortalSession::~PortalSession() { Close(); }

void PortalSession::Fail(const QString& why) {
    Close();
    if (events_.Failed) events_.Failed(why);
}

void PortalSession::Start(Kind kind, bool persist, const QString& restoreToken) {
    Close();
    kind_ = kind;
    persist_ = persist;
    token_ = restoreToken;
    const unsigned run = run_;
    const QVariantMap options{{QStringLiteral("session_handle_token"), PortalRequest::NewToken()}};
    PortalRequest::Call(kind == Kind::Remote ? kRemoteDesktop : kScreenCast, QStringLiteral("CreateSession"),
                        {options}, this, [this, run](unsigned response, const QVariantMap& results) {
                            if (run != run_) return;
                            if (response != 0) return Fail(results.value(QStringLiteral("error")).toString());
                            session_ = results.value(QStringLiteral("session_handle")).toString();
                            QDBusConnection::sessionBus().connect(kPortalService, session_, kSession,
                                                                  QStringLiteral("Closed"), this,
                                                                  SLOT(SessionClosed(QVariantMap)));
                            if (kind_ != Kind::Remote) return SelectSources();
                            QVariantMap devices{{QStringLiteral("types"), kKeyboard | kPointer}};
                            if (persist_) {
                                devices.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
                                if (!token_.isEmpty()) devices.insert(QStringLiteral("restore_token"), token_);
                            }
                            PortalRequest::Call(kRemoteDesktop, QStringLiteral("SelectDevices"),
                                                {QVariant::fromValue(QDBusObjectPath(session_)), devices}, this,
                                                [this, run](unsigned r, const QVariantMap& res) {
                                                    if (run != run_) return;
                                                    if (r != 0) return Fail(res.value(QStringLiteral("error")).toString());
                                                    SelectSources();
                                                });
                        });
}

void PortalSession::SelectSources() {
    const unsigned run = run_;
    // The pointer's position beside the pictures where the portal can send it; else a
    // picture without the pointer, as the X server's own pictures are.
    const unsigned modes = Property(kScreenCast, QStringLiteral("AvailableCursorModes"));
    const unsigned mode = (modes & kCursorMetadata) != 0 ? kCursorMetadata
                          : (modes & kCursorHidden) != 0 ? kCursorHidden
                                                         : kCursorEmbedded;
    pointerMetadata_ = mode == kCursorMetadata;
    QVariantMap options{{QStringLiteral("types"), kMonitor},
                        {QStringLiteral("multiple"), true},
                        {QStringLiteral("cursor_mode"), mode}};
    if (persist_ && kind_ == Kind::ScreenCast) {
        options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        if (!token_.isEmpty()) options.insert(QStringLiteral("restore_token"), token_);
    }
    PortalRequest::Call(kScreenCast, QStringLiteral("SelectSources"),
                        {QVariant::fromValue(QDBusObjectPath(session_)), options}, this,
                        [this, run](unsigned response, const QVariantMap& results) {
                            if (run != run_) return;
                            if (response != 0) return Fail(results.value(QStringLiteral("error")).toString());
                            Begin();
                        });
}

void PortalSession::Begin() {
    const unsigned run = run_;
    PortalRequest::Call(kind_ == Kind::Remote ? kRemoteDesktop : kScreenCast, QStringLiteral("Start"),
                        {QVariant::fromValue(QDBusObjectPath(session_)), QString(), QVariantMap()}, this,
                        [this, run](unsigned response, const QVariantMap& results) {
                            if (run != run_) return;
                            if (response == 1) {
                                Close();
                                if (events_.Refused) events_.Refused();
                                return;
                            }
                            if (response != 0) return Fail(results.value(QStringLiteral("error")).toString());
                            OpenRemote(results);
                        });
}

void PortalSession::OpenRemote(const QVariantMap& results) {
    Granted granted;
    granted.Streams = StreamsOf(results.value(QStringLiteral("streams")));
    granted.RestoreToken = results.value(QStringLiteral("restore_token")).toString();
    granted.PointerMetadata = pointerMetadata_;
    granted.Remote = kind_ == Kind::Remote &&
                     (results.value(QStringLiteral("devices")).toUInt() & kPointer) != 0;
    if (granted.Streams.empty()) return Fail(QStringLiteral("no stream"));
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kScreenCast,
                                                       QStringLiteral("OpenPipeWireRemote"));
    call.setArguments({QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap()});
    const QDBusReply<QDBusUnixFileDescriptor> fd = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    if (!fd.isValid() || !fd.value().isValid()) return Fail(fd.error().message());
    // The descriptor the reply holds closes with it: the stream's connection gets its own.
    granted.Fd = fcntl(fd.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
    if (granted.Fd < 0) return Fail(QStringLiteral("dup"));
    if (events_.Started) events_.Started(std::move(granted));
}

void PortalSession::Close() {
    ++run_;
    if (session_.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.disconnect(kPortalService, session_, kSession, QStringLiteral("Closed"), this,
                   SLOT(SessionClosed(QVariantMap)));
    bus.asyncCall(QDBusMessage::createMethodCall(kPortalService, session_, kSession, QStringLiteral("Close")));
    session_.clear();
}

void PortalSession::SessionClosed(const QVariantMap&) {
    Close();
    if (events_.Closed) events_.Closed();
}

void PortalSession::Notify(const QString& method, const QVariantList& args) {
    if (session_.isEmpty()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kRemoteDesktop, method);
    QVariantList all{QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap()};
    all.append(args);
    call.setArguments(all);
    // In order on the one connection; nothing waits for the answers.
    QDBusConnection::sessionBus().asyncCall(call);
}

void PortalSession::MovePointer(std::uint32_t node, double x, double y) {
    Notify(QStringLiteral("NotifyPointerMotionAbsolute"), {node, x, y});
}

void PortalSession::Button(int code, bool pressed) {
    Notify(QStringLiteral("NotifyPointerButton"), {code, static_cast<uint>(pressed ? 1 : 0)});
}

void PortalSession::Key(int keysym, bool pressed) {
    Notify(QStringLiteral("NotifyKeyboardKeysym"), {keysym, static_cast<uint>(pressed ? 1 : 0)});
}

}  // namespace ocu::qt
