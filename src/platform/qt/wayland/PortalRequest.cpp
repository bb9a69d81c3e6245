#include "platform/qt/wayland/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace ocu::qt {

QString PortalRequest::SenderPart() {
    QString name = QDBusConnection::sessionBus().baseService();
    if (name.startsWith(QLatin1Char(':'))) name.remove(0, 1);
    return name.replace(QLatin1Char('.'), QLatin1Char('_'));
}

QString PortalRequest::NewToken() {
    static unsigned counter = 0;
    return QStringLiteral("ocumira%1").arg(++counter);
}

void PortalRequest::Call(const QString& interface, const QString& method, QVariantList args, QObject* context,
                         Done done) {
    auto* request = new PortalRequest(context, std::move(done));
    const QString token = NewToken();
    QVariantMap options = args.isEmpty() ? QVariantMap() : args.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    args.append(options);
    request->Listen(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(SenderPart(), token));

    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, interface, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), request);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, request, [request](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            request->Finish(2, {{QStringLiteral("error"), reply.error().message()}});
            return;
        }
        // Portals older than the handle token answer on a path of their own choosing.
        const QString path = reply.value().path();
        if (path != request->path_) request->Listen(path);
    });
}

void PortalRequest::Listen(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!path_.isEmpty())
        bus.disconnect(kPortalService, path_, QStringLiteral("org.freedesktop.portal.Request"),
                       QStringLiteral("Response"), this, SLOT(Response(uint, QVariantMap)));
    path_ = path;
    bus.connect(kPortalService, path_, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                this, SLOT(Response(uint, QVariantMap)));
}

void PortalRequest::Response(uint response, const QVariantMap& results) { Finish(response, results); }

void PortalRequest::Finish(unsigned response, const QVariantMap& results) {
    if (!done_) return;
    const Done done = std::move(done_);
    done_ = nullptr;
    deleteLater();
    done(response, results);
}

}  // namespace ocu::qt
