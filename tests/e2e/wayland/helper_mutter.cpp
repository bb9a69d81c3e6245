// The user at a headless mutter, for the end-to-end tests: moves the pointer, presses buttons
// and keys and takes screenshots through mutter's own D-Bus interfaces, which ask no one's
// consent, so that a test can in turn answer the portal's consent dialog as a person would.
//
//   helper_mutter        then one command a line on stdin, each answered by one line "ok" or
//                        "error <text>"; "ready" first, once the session stands. EOF or
//                        "quit" ends it, and mutter ends the session with it.
//
//   move X Y             the pointer to X,Y of the desktop (all monitors, as Xwayland's root)
//   press B / release B  B: left, middle, right or 1, 2, 3
//   click X Y [B]        move, press, release
//   scroll N             N wheel steps, down (towards the user) if positive
//   key K / keydown K / keyup K     K an X keysym name (Return, Tab, a, F1) or 0x hex
//   screenshot FILE [cursor]        the whole desktop, the pointer drawn in if asked; PNG,
//                        or binary PPM for FILE.ppm
//   consent share | share-with-remote | cancel
//                        waits for the portal's screen-share dialog and answers it
//   consent shown        "ok yes" while a dialog of the portal is on the screen, else "ok no"
//   end-casts            the compositor ends every screen cast of a monitor, and the portal
//                        tells its programs, as when a monitor changes size: turns them all
//                        a quarter and back (about a second; the windows are laid out anew)
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QThread>
#include <QVariantMap>

#include <X11/Xlib.h>
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const QString kScreenCast = QStringLiteral("org.gnome.Mutter.ScreenCast");
const QString kRemoteDesktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop");

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

QDBusMessage Call(const QString& service, const QString& path, const QString& iface, const QString& method,
                  const QVariantList& args = {})
{
    QDBusMessage msg = QDBusMessage::createMethodCall(service, path, iface, method);
    msg.setArguments(args);
    QDBusMessage reply = QDBusConnection::sessionBus().call(msg, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) throw Failure((method + ": " + reply.errorMessage()).toStdString());
    return reply;
}

QString CallForPath(const QString& service, const QString& path, const QString& iface, const QString& method,
                    const QVariantList& args = {})
{
    return Call(service, path, iface, method, args).arguments().value(0).value<QDBusObjectPath>().path();
}

// Mutter tells a stream's PipeWire node only by a signal, after the session started.
class NodeWaiter : public QObject {
    Q_OBJECT
public:
    explicit NodeWaiter(const QString& streamPath)
    {
        QDBusConnection::sessionBus().connect(kScreenCast, streamPath, kScreenCast + ".Stream", "PipeWireStreamAdded",
                                              this, SLOT(Added(uint)));
    }
    uint Wait(int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!node_ && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!node_) throw Failure("mutter announced no PipeWire stream");
        return *node_;
    }
public slots:
    void Added(uint node) { node_ = node; }

private:
    std::optional<uint> node_;
};

// One frame of a PipeWire video node, read once and let go, since a consumer kept on the
// stream would make mutter copy every repaint of the screen for nobody.
class FrameGrab {
public:
    static QImage Take(uint node, int timeoutMs)
    {
        FrameGrab grab;
        return grab.Run(node, timeoutMs);
    }

private:
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_hook listener_{};
    spa_video_info_raw info_{};
    QImage image_;
    std::string error_;

    ~FrameGrab()
    {
        if (!loop_) return;
        pw_thread_loop_lock(loop_);
        if (stream_) pw_stream_destroy(stream_);
        if (core_) pw_core_disconnect(core_);
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
        if (context_) pw_context_destroy(context_);
        pw_thread_loop_destroy(loop_);
    }

    QImage Run(uint node, int timeoutMs)
    {
        static const pw_stream_events events = [] {
            pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.state_changed = [](void* self, pw_stream_state, pw_stream_state state, const char* error) {
                auto* g = static_cast<FrameGrab*>(self);
                if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
                    g->error_ = error ? error : "stream closed";
                    pw_thread_loop_signal(g->loop_, false);
                }
            };
            e.param_changed = [](void* self, uint32_t id, const spa_pod* param) {
                static_cast<FrameGrab*>(self)->OnFormat(id, param);
            };
            e.process = [](void* self) { static_cast<FrameGrab*>(self)->OnProcess(); };
            return e;
        }();
        pw_init(nullptr, nullptr);
        loop_ = pw_thread_loop_new("grab", nullptr);
        context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
        if (!loop_ || !context_ || pw_thread_loop_start(loop_) < 0) throw Failure("no PipeWire loop");
        pw_thread_loop_lock(loop_);
        core_ = pw_context_connect(context_, nullptr, 0);
        if (!core_) {
            pw_thread_loop_unlock(loop_);
            throw Failure("PipeWire is not running");
        }
        stream_ = pw_stream_new(core_, "helper_mutter",
                                pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                                  PW_KEY_MEDIA_ROLE, "Screen", nullptr));
        pw_stream_add_listener(stream_, &listener_, &events, this);
        uint8_t buffer[1024];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
        spa_rectangle size{1920, 1080}, sizeMin{1, 1}, sizeMax{16384, 16384};
        spa_fraction rate{0, 1}, rateMin{0, 1}, rateMax{1000, 1};
        const spa_pod* params[1] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
            SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
            SPA_POD_CHOICE_ENUM_Id(3, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA),
            SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &sizeMin, &sizeMax),
            SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&rate, &rateMin, &rateMax)))};
        const auto flags = static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS);
        if (pw_stream_connect(stream_, PW_DIRECTION_INPUT, node, flags, params, 1) < 0) error_ = "cannot connect";
        QDeadlineTimer deadline(timeoutMs);
        while (image_.isNull() && error_.empty() && !deadline.hasExpired()) pw_thread_loop_timed_wait(loop_, 1);
        QImage image = image_;
        std::string error = error_;
        pw_thread_loop_unlock(loop_);
        if (image.isNull()) throw Failure(error.empty() ? "no frame came" : error);
        return image;
    }

    void OnFormat(uint32_t id, const spa_pod* param)
    {
        if (!param || id != SPA_PARAM_Format || spa_format_video_raw_parse(param, &info_) < 0) return;
        uint8_t buffer[256];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
        const spa_pod* params[1] = {static_cast<const spa_pod*>(
            spa_pod_builder_add_object(&b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
                                       SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))))};
        pw_stream_update_params(stream_, params, 1);
    }

    void OnProcess()
    {
        pw_buffer* b = pw_stream_dequeue_buffer(stream_);
        if (!b) return;
        const spa_data& d = b->buffer->datas[0];
        // Mutter sends buffers without pixels when only the pointer moved.
        if (image_.isNull() && d.data && d.chunk->size > 0 && info_.size.width > 0) {
            const int w = static_cast<int>(info_.size.width), h = static_cast<int>(info_.size.height);
            const int stride = d.chunk->stride > 0 ? d.chunk->stride : w * 4;
            const auto* pixels = static_cast<const uchar*>(d.data) + d.chunk->offset;
            // Little-endian BGRx/BGRA bytes are Qt's 0xAARRGGBB words.
            QImage view(pixels, w, h, stride,
                        info_.format == SPA_VIDEO_FORMAT_BGRA ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            image_ = view.copy().convertToFormat(QImage::Format_RGB32);
            pw_thread_loop_signal(loop_, false);
        }
        pw_stream_queue_buffer(stream_, b);
    }
};

QVariant Uint(uint value) { return QVariant::fromValue(value); }

// The desktop's extent over all monitors, as Xwayland's root window spans it.
QRect Desktop()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) throw Failure("no X display to learn the desktop's size from");
    const QRect desktop(0, 0, DisplayWidth(display, DefaultScreen(display)),
                        DisplayHeight(display, DefaultScreen(display)));
    XCloseDisplay(display);
    return desktop;
}

// A screen-cast session of mutter recording the whole desktop; paired with a remote-desktop
// session it is what absolute pointer positions are given against, so they are desktop
// pixels on every monitor.
struct DesktopCast {
    QString session, stream;

    explicit DesktopCast(const QVariantMap& sessionProps, uint cursorMode)
    {
        session =
            CallForPath(kScreenCast, "/org/gnome/Mutter/ScreenCast", kScreenCast, "CreateSession", {sessionProps});
        const QRect area = Desktop();
        stream = CallForPath(
            kScreenCast, session, kScreenCast + ".Session", "RecordArea",
            {area.x(), area.y(), area.width(), area.height(), QVariantMap{{"cursor-mode", Uint(cursorMode)}}});
    }
    void Stop() const
    {
        try {
            Call(kScreenCast, session, kScreenCast + ".Session", "Stop");
        } catch (const Failure&) {
            // Already gone with mutter or its remote-desktop session.
        }
    }
};

QImage Screenshot(bool cursor)
{
    DesktopCast cast({}, cursor ? 1 : 0);
    NodeWaiter waiter(cast.stream);
    try {
        Call(kScreenCast, cast.session, kScreenCast + ".Session", "Start");
        QImage image = FrameGrab::Take(waiter.Wait(5000), 5000);
        cast.Stop();
        return image;
    } catch (...) {
        cast.Stop();
        throw;
    }
}

// Mutter's monitor configuration as DisplayConfig takes it back: which mode of which
// monitor each logical monitor shows, and where.
struct MonitorMode {
    QString connector, mode;
};
struct LogicalMonitor {
    int x = 0, y = 0;
    double scale = 1;
    uint transform = 0;
    bool primary = false;
    QList<MonitorMode> monitors;
    QSize size;  // on the desktop, as turned now
};

QDBusArgument& operator<<(QDBusArgument& arg, const MonitorMode& m)
{
    arg.beginStructure();
    arg << m.connector << m.mode << QVariantMap();
    arg.endStructure();
    return arg;
}
// Only ever sent; Qt wants a reader all the same.
const QDBusArgument& operator>>(const QDBusArgument& arg, MonitorMode&) { return arg; }
QDBusArgument& operator<<(QDBusArgument& arg, const LogicalMonitor& l)
{
    arg.beginStructure();
    arg << l.x << l.y << l.scale << l.transform << l.primary << l.monitors;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, LogicalMonitor&) { return arg; }

}  // namespace
Q_DECLARE_METATYPE(MonitorMode)
Q_DECLARE_METATYPE(LogicalMonitor)
namespace {

const QString kDisplayConfig = QStringLiteral("org.gnome.Mutter.DisplayConfig");

// The current configuration and the serial a change of it must name.
std::pair<uint, QList<LogicalMonitor>> MonitorLayout()
{
    const QList<QVariant> state =
        Call(kDisplayConfig, "/org/gnome/Mutter/DisplayConfig", kDisplayConfig, "GetCurrentState").arguments();
    QMap<QString, QString> currentMode;  // by connector
    QMap<QString, QSize> modeSize;
    const auto monitors = state.value(1).value<QDBusArgument>();
    monitors.beginArray();
    while (!monitors.atEnd()) {
        QString connector, vendor, product, serial;
        monitors.beginStructure();
        monitors.beginStructure();
        monitors >> connector >> vendor >> product >> serial;
        monitors.endStructure();
        monitors.beginArray();
        while (!monitors.atEnd()) {
            QString id;
            int width = 0, height = 0;
            double refresh = 0, preferredScale = 0;
            QList<double> scales;
            QVariantMap props;
            monitors.beginStructure();
            monitors >> id >> width >> height >> refresh >> preferredScale >> scales >> props;
            monitors.endStructure();
            if (props.value("is-current").toBool()) {
                currentMode[connector] = id;
                modeSize[connector] = QSize(width, height);
            }
        }
        monitors.endArray();
        QVariantMap props;
        monitors >> props;
        monitors.endStructure();
    }
    monitors.endArray();
    QList<LogicalMonitor> layout;
    const auto logical = state.value(2).value<QDBusArgument>();
    logical.beginArray();
    while (!logical.atEnd()) {
        LogicalMonitor l;
        logical.beginStructure();
        logical >> l.x >> l.y >> l.scale >> l.transform >> l.primary;
        logical.beginArray();
        while (!logical.atEnd()) {
            QString connector, vendor, product, serial;
            logical.beginStructure();
            logical >> connector >> vendor >> product >> serial;
            logical.endStructure();
            l.monitors << MonitorMode{connector, currentMode.value(connector)};
            l.size = (QSizeF(modeSize.value(connector)) / l.scale).toSize();
            if (l.transform % 2) l.size.transpose();
        }
        logical.endArray();
        QVariantMap props;
        logical >> props;
        logical.endStructure();
        layout << l;
    }
    logical.endArray();
    return {state.value(0).toUInt(), layout};
}

// Applies a configuration and waits until the windows have taken it: until Xwayland has
// seen it and two pictures of the desktop in a row are the same. Mutter mixes up two
// changes that come closer together (a full-screen window kept the size the first gave it).
void ApplyLayout(const QList<LogicalMonitor>& layout, QSize extent)
{
    const uint temporary = 1;
    Call(kDisplayConfig, "/org/gnome/Mutter/DisplayConfig", kDisplayConfig, "ApplyMonitorsConfig",
         {MonitorLayout().first, temporary, QVariant::fromValue(layout), QVariantMap()});
    QDeadlineTimer deadline(10000);
    while (Desktop().size() != extent) {
        if (deadline.hasExpired()) throw Failure("Xwayland never saw the monitors change");
        QThread::msleep(20);
    }
    for (QImage last = Screenshot(false), now; (now = Screenshot(false)) != last; last = now)
        if (deadline.hasExpired()) throw Failure("the desktop never settled after the monitors changed");
}

// Mutter ends a monitor's casts when the monitor changes size (not when it is turned
// upside down, nor when a monitor is added). So every monitor turns a quarter, side by side
// in their order, and then all is put back as it was.
void EndMonitorCasts()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<MonitorMode>();
        qDBusRegisterMetaType<QList<MonitorMode>>();
        qDBusRegisterMetaType<LogicalMonitor>();
        qDBusRegisterMetaType<QList<LogicalMonitor>>();
        return true;
    }();
    (void)registered;
    const QList<LogicalMonitor> before = MonitorLayout().second;
    const QSize extent = Desktop().size();
    QList<LogicalMonitor> turned = before;
    std::sort(turned.begin(), turned.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    QSize turnedExtent(0, 0);
    for (LogicalMonitor& l : turned) {
        l.transform = (l.transform + 1) % 4;
        l.x = turnedExtent.width();
        l.y = 0;
        turnedExtent = QSize(turnedExtent.width() + l.size.height(), std::max(turnedExtent.height(), l.size.width()));
    }
    ApplyLayout(turned, turnedExtent);
    ApplyLayout(before, extent);
}

class Desk {
public:
    Desk()
    {
        rd_ = CallForPath(kRemoteDesktop, "/org/gnome/Mutter/RemoteDesktop", kRemoteDesktop, "CreateSession");
        const QString id = Call(kRemoteDesktop, rd_, "org.freedesktop.DBus.Properties", "Get",
                                {kRemoteDesktop + ".Session", "SessionId"})
                               .arguments()
                               .value(0)
                               .value<QDBusVariant>()
                               .variant()
                               .toString();
        cast_.emplace(QVariantMap{{"remote-desktop-session-id", id}}, 0u);
        // Mutter places absolute motion by the stream's area alone: the stream needs no
        // consumer, so it never costs a copy of the screen.
        Input("Start");
        // Mutter makes the virtual pointer and keyboard at their first event, and only then
        // offers them to the clients: the first click or key a test sends would reach no
        // window. A motion by nothing and a lone Shift make them without doing anything.
        Input("NotifyPointerMotionRelative", {0.0, 0.0});
        Key(kShift, true);
        Key(kShift, false);
    }

    void Input(const QString& method, const QVariantList& args = {})
    {
        Call(kRemoteDesktop, rd_, kRemoteDesktop + ".Session", method, args);
    }

    void Move(double x, double y) { Input("NotifyPointerMotionAbsolute", {cast_->stream, x, y}); }
    void Button(int code, bool down) { Input("NotifyPointerButton", {code, down}); }
    void Key(uint keysym, bool down) { Input("NotifyKeyboardKeysym", {Uint(keysym), down}); }
    void Scroll(int steps) { Input("NotifyPointerAxisDiscrete", {Uint(0), steps}); }

private:
    static constexpr uint kShift = 0xffe1;
    QString rd_;
    std::optional<DesktopCast> cast_;
};

int ButtonCode(const std::string& name)
{
    // Linux input codes, as mutter takes them.
    if (name == "left" || name == "1") return 0x110;
    if (name == "right" || name == "3") return 0x111;
    if (name == "middle" || name == "2") return 0x112;
    throw Failure("unknown button " + name);
}

uint Keysym(const std::string& name)
{
    if (name.rfind("0x", 0) == 0) return static_cast<uint>(std::stoul(name, nullptr, 16));
    const KeySym sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol) throw Failure("unknown key " + name);
    return static_cast<uint>(sym);
}

// The portal's dialogs are GTK windows, which describe themselves on the accessibility bus:
// it tells which widget has the keyboard focus, which row is picked and whether Share may be
// pressed, as a person sees it, wherever mutter placed the dialog.
class DialogView {
public:
    struct Widget {
        QString role, name;
        quint64 states = 0;
        bool Is(int state) const { return states >> state & 1; }
    };
    enum State { kActive = 1, kChecked = 4, kFocused = 12, kSelected = 23, kSensitive = 24, kShowing = 25 };
    struct Dialog {
        Widget window;  // active while it has the keyboard
        std::vector<Widget> widgets;
        bool Shown() const { return !widgets.empty(); }
    };

    DialogView() : bus_(Connect()) {}

    // The portal backend's dialog on screen, none if there is no dialog or it came or went
    // while being read.
    Dialog Read()
    {
        Dialog dialog;
        try {
            for (const auto& [app, appPath] : Children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")) {
                if (Read(app, appPath).name != "xdg-desktop-portal-gnome") continue;
                for (const auto& [window, windowPath] : Children(app, appPath)) {
                    dialog.window = Read(window, windowPath);
                    if (!dialog.window.Is(kShowing)) continue;
                    Walk(window, windowPath, dialog.widgets);
                    return dialog;
                }
            }
        } catch (const Failure&) {
        }
        return {};
    }

private:
    QDBusConnection bus_;

    static QDBusConnection Connect()
    {
        const QString address =
            Call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress").arguments().value(0).toString();
        QDBusConnection bus = QDBusConnection::connectToBus(address, "a11y");
        if (!bus.isConnected()) throw Failure("no accessibility bus");
        return bus;
    }

    QDBusMessage A11yCall(const QString& service, const QString& path, const QString& iface, const QString& method,
                          const QVariantList& args = {})
    {
        QDBusMessage msg = QDBusMessage::createMethodCall(service, path, iface, method);
        msg.setArguments(args);
        QDBusMessage reply = bus_.call(msg, QDBus::Block, 5000);
        if (reply.type() == QDBusMessage::ErrorMessage)
            throw Failure((method + ": " + reply.errorMessage()).toStdString());
        return reply;
    }

    std::vector<std::pair<QString, QString>> Children(const QString& service, const QString& path)
    {
        const QDBusArgument arg = A11yCall(service, path, "org.a11y.atspi.Accessible", "GetChildren")
                                      .arguments()
                                      .value(0)
                                      .value<QDBusArgument>();
        std::vector<std::pair<QString, QString>> children;
        arg.beginArray();
        while (!arg.atEnd()) {
            QString childService;
            QDBusObjectPath childPath;
            arg.beginStructure();
            arg >> childService >> childPath;
            arg.endStructure();
            children.emplace_back(childService, childPath.path());
        }
        arg.endArray();
        return children;
    }

    Widget Read(const QString& service, const QString& path)
    {
        Widget w;
        w.name =
            A11yCall(service, path, "org.freedesktop.DBus.Properties", "Get", {"org.a11y.atspi.Accessible", "Name"})
                .arguments()
                .value(0)
                .value<QDBusVariant>()
                .variant()
                .toString();
        w.role = A11yCall(service, path, "org.a11y.atspi.Accessible", "GetRoleName").arguments().value(0).toString();
        const auto words = qdbus_cast<QList<uint>>(
            A11yCall(service, path, "org.a11y.atspi.Accessible", "GetState").arguments().value(0));
        for (int i = 0; i < words.size() && i < 2; ++i) w.states |= quint64(words[i]) << (32 * i);
        return w;
    }

    void Walk(const QString& service, const QString& path, std::vector<Widget>& out)
    {
        for (const auto& [childService, childPath] : Children(service, path)) {
            Widget w = Read(childService, childPath);
            if (w.role == "button" || w.role == "list item" || w.role == "switch" || w.role == "checkbox")
                out.push_back(w);
            Walk(childService, childPath, out);
        }
    }
};

// Answers the portal's screen-share or remote-desktop dialog with the keyboard: Tab until
// the wanted widget has the focus ring, space to press it, as a person does who looks
// at the dialog between keys.
class Consent {
public:
    explicit Consent(Desk& desk) : desk_(desk) {}

    void Answer(const std::string& how)
    {
        if (how != "share" && how != "share-with-remote" && how != "cancel")
            throw Failure("consent takes share, share-with-remote or cancel");
        QDeadlineTimer deadline(30000);
        DialogView::Dialog dialog;
        while (!(dialog = view_.Read()).Shown()) {
            if (deadline.hasExpired()) throw Failure("no portal dialog came (on the accessibility bus)");
            QThread::msleep(100);
        }
        if (!dialog.window.Is(DialogView::kActive)) Focus();
        if (how == "cancel") {
            Press(IsButton("Cancel"));
        } else {
            auto isMonitor = [](const Widget& w) {
                return w.role == "list item" && w.name != "Allow remote interaction";
            };
            if (!Find(Selected(isMonitor))) {
                // Moving the focus onto a row picks it.
                FocusOn(isMonitor);
                if (!Find(Selected(isMonitor))) Press(isMonitor);
            }
            auto isSwitch = [](const Widget& w) { return w.role == "switch"; };
            const auto remote = Find(isSwitch);
            if (how == "share-with-remote" && !remote) throw Failure("the dialog offers no remote interaction");
            if (remote && remote->Is(DialogView::kChecked) != (how == "share-with-remote")) Press(isSwitch);
            const auto share = FocusOn(IsButton("Share"));
            if (!share.Is(DialogView::kSensitive)) throw Failure("Share stays greyed");
            Key("space");
        }
        while (view_.Read().Shown()) {
            if (deadline.hasExpired()) throw Failure("the dialog stays");
            QThread::msleep(50);
        }
    }

private:
    using Widget = DialogView::Widget;
    using Match = std::function<bool(const Widget&)>;
    Desk& desk_;
    DialogView view_;

    static Match IsButton(const QString& label)
    {
        return [label](const Widget& w) { return w.role == "button" && w.name.contains(label); };
    }
    static Match Selected(Match m)
    {
        return [m](const Widget& w) { return m(w) && w.Is(DialogView::kSelected); };
    }

    std::optional<Widget> Find(const Match& m)
    {
        for (const Widget& w : view_.Read().widgets)
            if (m(w)) return w;
        return std::nullopt;
    }

    // Only while the dialog has the keyboard: another window would take the keys.
    void Key(const char* name)
    {
        const auto dialog = view_.Read();
        if (dialog.Shown() && !dialog.window.Is(DialogView::kActive)) throw Failure("the dialog lost the keyboard");
        desk_.Key(Keysym(name), true);
        desk_.Key(Keysym(name), false);
    }

    // A window mapped after the dialog took the keyboard from it and may hide it (one full
    // screen does): Alt+Tab brings it back, with one Tab more each time it brought another
    // window. Mutter takes Alt+Tab itself; the window with the keyboard sees only the Alt.
    void Focus()
    {
        const uint alt = Keysym("Alt_L"), tab = Keysym("Tab");
        for (int tabs = 1; tabs <= 4; ++tabs) {
            desk_.Key(alt, true);
            for (int i = 0; i < tabs; ++i) {
                desk_.Key(tab, true);
                desk_.Key(tab, false);
            }
            desk_.Key(alt, false);
            QDeadlineTimer deadline(1000);
            while (!deadline.hasExpired()) {
                if (view_.Read().window.Is(DialogView::kActive)) return;
                QThread::msleep(20);
            }
        }
        throw Failure("Alt+Tab never gave the dialog the keyboard");
    }

    // The focus moves a little after the key: the toolkit gets it through the compositor.
    Widget FocusOn(const Match& m)
    {
        auto focused = [](const Widget& w) { return w.Is(DialogView::kFocused); };
        for (int tabs = 0; tabs < 12; ++tabs) {
            const auto before = Find(focused);
            if (before && m(*before)) return *before;
            Key("Tab");
            QDeadlineTimer moved(1000);
            for (;;) {
                const auto now = Find(focused);
                if ((now && (!before || now->name != before->name || now->role != before->role)) || moved.hasExpired())
                    break;
                QThread::msleep(20);
            }
        }
        throw Failure("Tab never reached the widget (has the dialog the keyboard?)");
    }

    // Space on a row or switch flips its state; wait to see it flipped.
    void Press(const Match& m)
    {
        const quint64 before = FocusOn(m).states;
        Key("space");
        QDeadlineTimer flipped(2000);
        for (auto now = Find(m); now && now->states == before; now = Find(m)) {
            if (flipped.hasExpired()) throw Failure("space changed nothing");
            QThread::msleep(20);
        }
    }
};

std::string Handle(Desk& desk, const std::string& line)
{
    std::istringstream in(line);
    std::string verb, a, b, c;
    in >> verb >> a >> b >> c;
    auto number = [](const std::string& s) {
        if (s.empty()) throw Failure("a number is missing");
        return std::stod(s);
    };
    if (verb == "move") {
        desk.Move(number(a), number(b));
    } else if (verb == "press" || verb == "release") {
        desk.Button(ButtonCode(a), verb == "press");
    } else if (verb == "click") {
        desk.Move(number(a), number(b));
        const int code = ButtonCode(c.empty() ? "left" : c);
        desk.Button(code, true);
        desk.Button(code, false);
    } else if (verb == "scroll") {
        desk.Scroll(static_cast<int>(number(a)));
    } else if (verb == "key" || verb == "keydown" || verb == "keyup") {
        const uint sym = Keysym(a);
        if (verb != "keyup") desk.Key(sym, true);
        if (verb != "keydown") desk.Key(sym, false);
    } else if (verb == "screenshot") {
        if (a.empty()) throw Failure("screenshot needs a file");
        const QString file = QString::fromStdString(a);
        if (!Screenshot(b == "cursor").save(file, file.endsWith(".ppm") ? "PPM" : "PNG"))
            throw Failure("cannot write " + a);
    } else if (verb == "consent" && a == "shown") {
        return DialogView().Read().Shown() ? "ok yes" : "ok no";
    } else if (verb == "consent") {
        Consent(desk).Answer(a);
    } else if (verb == "end-casts") {
        EndMonitorCasts();
    } else {
        throw Failure("unknown command " + verb);
    }
    return "ok";
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::optional<Desk> desk;
    try {
        desk.emplace();
    } catch (const std::exception& e) {
        std::printf("error %s\n", e.what());
        return 1;
    }
    std::printf("ready\n");
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty()) continue;
        if (line == "quit") break;
        std::string answer;
        try {
            answer = Handle(*desk, line);
        } catch (const std::exception& e) {
            answer = std::string("error ") + e.what();
        }
        std::printf("%s\n", answer.c_str());
    }
    return 0;
}

#include "helper_mutter.moc"
