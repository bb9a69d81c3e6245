#pragma once
// One call of a desktop portal that asks the user or the compositor: the call returns a
// request at once, and the answer comes later as the request's Response signal. The answer
// is listened for before the call leaves, on the path the portal will use, so that a
// quick answer is not missed.
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <functional>

namespace ocu::qt {

class PortalRequest final : public QObject {
    Q_OBJECT
public:
    // 0 granted, 1 refused by the user, 2 ended otherwise (the call's own failure too,
    // with its text in results["error"]).
    using Done = std::function<void(unsigned response, const QVariantMap& results)>;

    // Calls `method` of `interface` on the portal; the last of `args` is the options map,
    // which gains the handle token here. `done` is called once, and never after `context`
    // is gone.
    static void Call(const QString& interface, const QString& method, QVariantList args, QObject* context,
                     Done done);

    // The D-Bus name of this connection as the portal writes it into its object paths.
    static QString SenderPart();
    // A token no other request or session of this run has.
    static QString NewToken();

private Q_SLOTS:
    void Response(uint response, const QVariantMap& results);

private:
    PortalRequest(QObject* context, Done done) : QObject(context), done_(std::move(done)) {}
    void Listen(const QString& path);
    void Finish(unsigned response, const QVariantMap& results);

    Done done_;
    QString path_;
};

// The portal's service and object.
inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

}  // namespace ocu::qt
