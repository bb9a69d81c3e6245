// A plain client of the desktop portal, to see the consent dialog come and go without the
// native program: it asks to record one monitor, as the program does, and tells what the
// portal answered.
//
//   helper_portal screencast [TOKEN]   ScreenCast, remembered (persist mode 2), restoring
//                                      TOKEN if given
//   helper_portal remote               RemoteDesktop with keyboard and pointer, and the monitor
//
// Prints one line once the portal answered Start: "ok streams=NODE devices=N token=T" (no
// token where none came), "cancelled", or "error TEXT". Keeps the session while stdin is
// open, and prints "closed" should the portal close it before.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QVariantMap>

#include <unistd.h>
#include <cstdio>
#include <stdexcept>

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

class Client : public QObject {
    Q_OBJECT
public:
    // Calls a portal method that answers through a Request object's Response signal.
    QVariantMap Ask(const QString& iface, const QString& method, QVariantList args, QVariantMap options)
    {
        const QString token = QStringLiteral("ocu%1").arg(++requests_);
        QString sender = bus_.baseService().mid(1).replace('.', '_');
        const QString request = kPath + "/request/" + sender + "/" + token;
        bus_.connect(kPortal, request, "org.freedesktop.portal.Request", "Response", this,
                     SLOT(Response(uint, QVariantMap)));
        options["handle_token"] = token;
        args << options;
        QDBusMessage msg = QDBusMessage::createMethodCall(kPortal, kPath, "org.freedesktop.portal." + iface, method);
        msg.setArguments(args);
        answered_ = false;
        const QDBusMessage reply = bus_.call(msg);
        if (reply.type() == QDBusMessage::ErrorMessage) throw std::runtime_error(reply.errorMessage().toStdString());
        // A person has all the time they need for the dialog.
        while (!answered_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        bus_.disconnect(kPortal, request, "org.freedesktop.portal.Request", "Response", this,
                        SLOT(Response(uint, QVariantMap)));
        if (code_ == 1) throw Cancelled();
        if (code_ != 0) throw std::runtime_error(method.toStdString() + " ended with " + std::to_string(code_));
        return results_;
    }

    void WatchClose(const QString& session)
    {
        bus_.connect(kPortal, session, "org.freedesktop.portal.Session", "Closed", this, SLOT(Closed()));
    }

    struct Cancelled {};

public slots:
    void Response(uint code, const QVariantMap& results)
    {
        code_ = code;
        results_ = results;
        answered_ = true;
    }
    void Closed()
    {
        std::printf("closed\n");
        std::fflush(stdout);
    }

private:
    QDBusConnection bus_ = QDBusConnection::sessionBus();
    int requests_ = 0;
    bool answered_ = false;
    uint code_ = 0;
    QVariantMap results_;
};

QString Streams(const QVariant& value)
{
    QStringList nodes;
    const auto arg = value.value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        uint node = 0;
        QVariantMap props;
        arg.beginStructure();
        arg >> node >> props;
        arg.endStructure();
        nodes << QString::number(node);
    }
    arg.endArray();
    return nodes.join(',');
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString kind = argc > 1 ? argv[1] : "";
    if (kind != "screencast" && kind != "remote") {
        std::fprintf(stderr, "usage: helper_portal screencast [TOKEN] | remote\n");
        return 2;
    }
    const bool remote = kind == "remote";
    const QString iface = remote ? "RemoteDesktop" : "ScreenCast";
    Client client;
    try {
        const QString session = client.Ask(iface, "CreateSession", {}, {{"session_handle_token", "ocu"}})
                                    .value("session_handle")
                                    .toString();
        const QDBusObjectPath handle(session);
        client.WatchClose(session);
        if (remote) client.Ask(iface, "SelectDevices", {QVariant::fromValue(handle)}, {{"types", 3u}});
        // Monitors only, the pointer as metadata beside the picture.
        QVariantMap sources{{"types", 1u}, {"cursor_mode", 4u}};
        if (!remote) sources["persist_mode"] = 2u;
        if (!remote && argc > 2) sources["restore_token"] = QString(argv[2]);
        client.Ask("ScreenCast", "SelectSources", {QVariant::fromValue(handle)}, sources);
        const QVariantMap started = client.Ask(iface, "Start", {QVariant::fromValue(handle), QString()}, {});
        std::printf("ok streams=%s devices=%u token=%s\n", qPrintable(Streams(started.value("streams"))),
                    started.value("devices").toUInt(), qPrintable(started.value("restore_token").toString()));
    } catch (const Client::Cancelled&) {
        std::printf("cancelled\n");
        return 0;
    } catch (const std::exception& e) {
        std::printf("error %s\n", e.what());
        return 1;
    }
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) app.quit();
    });
    return app.exec();
}

#include "helper_portal.moc"
