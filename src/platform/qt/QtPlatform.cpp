#include "platform/qt/QtPlatform.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <cstring>

#include "platform/qt/InputBoxQt.h"
#include "platform/qt/MenuBarQt.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusBarQt.h"
#include "platform/qt/ToolBarQt.h"
#include "platform/qt/ViewWidget.h"

namespace ocu::qt {
namespace {

// The shortest interval the Windows program's timers run at.
constexpr int kTimerMinimumMs = 10;

// A connection of the tick's own for the pointer and the pixels: its answers wake this
// thread alone, not the toolkit's reader thread as well. None when the display refuses.
XcbConnection OwnConnection() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) == 0) return XcbConnection(c);
    xcb_disconnect(c);
    return XcbConnection();
}

// Ticks with nothing changed before the capture tick sleeps: more than the behaviour
// counts down in ticks of its own.
constexpr int kQuietTicksBeforeSleep = 12;
// Asleep, the pointer is looked at every this many intervals where a warp would not be told,
// and every so many milliseconds where it would, should the server ever not tell one.
constexpr int kAsleepLookEvery = 8;
constexpr int kAsleepSafetyLookMs = 10000;

bool Overlap(const IntRect& a, const IntRect& b) {
    return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) &&
           std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The frame the window manager put round the window: left, top, right, bottom.
QMargins FrameOf(const QWidget* w) {
    const QRect outer = w->frameGeometry(), inner = w->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

}  // namespace

QtPlatform::QtPlatform(xcb_connection_t* connection, InputPort& input)
    : pixels_(OwnConnection()),
      looks_(OwnConnection()),
      screen_(connection, pixels_.get(), looks_.get()),
      input_(input),
      shared_(screen_.PixelConnection()),
      statusTarget_(screen_.PixelConnection()),
      handCursor_(Qt::PointingHandCursor) {
    hotKeys_ = std::make_unique<XcbHotKeys>(connection, screen_.Root(), [this](int id) {
        if (changes_) changes_->Poke();
        if (ticks_.HotKey) ticks_.HotKey(id);
    });
    QCoreApplication::instance()->installNativeEventFilter(hotKeys_.get());
    // Only on a connection of our own: its events are read here, where the toolkit's are not.
    changes_ = std::make_unique<ScreenChanges>(pixels_.get(), screen_.Root(), [this] {
        if (captureRunning_ && changes_->Asleep()) WakeUp();
    });
    QCoreApplication::instance()->installNativeEventFilter(changes_.get());
    // A tick's puts (the frame, the pointer's position) leave in one write, and wake the
    // server once, when the program has nothing more to do.
    if (xcb_connection_t* c = screen_.PixelConnection())
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &captureTimer_,
                         [c] { xcb_flush(c); });
    QObject::connect(&captureTimer_, &QTimer::timeout, [this] { CaptureTick(); });
    if (const int answers = screen_.LookDescriptor(); answers >= 0) {
        answers_ = std::make_unique<QSocketNotifier>(answers, QSocketNotifier::Read);
        QObject::connect(answers_.get(), &QSocketNotifier::activated, [this] {
            const auto pointer = screen_.Answer();
            if (!pointer) return;
            // A server that answers at once does not hold (a wait it refused): asked ahead,
            // the ticks would run back to back. The timer keeps them from then on.
            if (askedAt_.elapsed() < askedFor_ / 2) {
                askAhead_ = false;
                if (captureRunning_) captureTimer_.start(captureInterval_);
            }
            // A look asked before the capture stopped is let go unanswered.
            if (captureRunning_) CaptureTick(pointer);
        });
    }
    QObject::connect(&repeatTimer_, &QTimer::timeout, [this] {
        changes_->Poke();
        if (ticks_.Repeat) ticks_.Repeat();
    });
}

// The behaviour's tick, unless nothing on the screen, under the pointer or in this program
// has changed for a while: then the ticks sleep until something does. The while lets the
// behaviour's own tick counts (a projection's quiet ticks, hot key retries) run out first.
void QtPlatform::CaptureTick(std::optional<IntPoint> answered) {
    if (wayland_ != nullptr) return WaylandTick();
    // One chain of ticks: while a look is asked, its answer brings the next tick.
    if (!answered && screen_.Asked()) return;
    QElapsedTimer since;
    since.start();
    // With the look asked ahead the server has read the screen already, and what is drawn
    // between that read and this take is not told again. Nothing is lost by it: an awake tick
    // captures whether told or not, and a tick that took damage is not a quiet one, so the
    // next tick reads the screen before the ticks can sleep. Awake, the tick captures next:
    // its pixels come with the pointer where they can.
    const bool moved = answered && (answered->X != lastPointer_.X || answered->Y != lastPointer_.Y);
    const bool taken = changes_->Take(moved);
    const IntPoint pointer = answered                ? *answered
                             : changes_->Asleep() ? screen_.Pointer()
                                                  : screen_.PointerWithLikelyPixels();
    if (!Counted(taken, pointer)) return;
    if (quietTicks_ > kQuietTicksBeforeSleep && changes_->Watching()) {
        // Damage and motion wake the ticks at once; a pointer put somewhere by a program
        // moves without motion, so it is looked for now and then.
        changes_->SetAsleep(true);
        captureTimer_.start(changes_->SeesWarps() ? std::max(kAsleepSafetyLookMs, captureInterval_)
                                                  : captureInterval_ * kAsleepLookEvery);
        // Asked after the alarm was set and on its connection: a warp since this tick's look is
        // not lost between the two.
        const IntPoint now = screen_.Pointer();
        if (now.X != lastPointer_.X || now.Y != lastPointer_.Y) WakeUp();
        return;
    }
    RunCapture(pointer);
    if (!ticks_.Capture) return;
    AskNextLook(since);
}

// The portal tells of every new picture and pointer move: with nothing told for a while
// the ticks sleep until something is. Where it does not tell the pointer, the pointer is the
// X server's, which sees it only over this program's own windows: it is looked at now and then.
void QtPlatform::WaylandTick() {
    const IntPoint pointer = PointerNow();
    const bool news = wayland_->TakeNews();
    if (!Counted(changes_->Take() || news, pointer)) return;
    if (quietTicks_ > kQuietTicksBeforeSleep && wayland_->Live()) {
        changes_->SetAsleep(true);
        if (wayland_->TellsChanges()) captureTimer_.stop();
        else captureTimer_.start(captureInterval_ * kAsleepLookEvery);
        return;
    }
    RunCapture(pointer);
}

// Whether this tick goes on: asleep, only once something changed, which wakes the ticks.
bool QtPlatform::Counted(bool changed, IntPoint pointer) {
    changed = changed || pointer.X != lastPointer_.X || pointer.Y != lastPointer_.Y;
    lastPointer_ = pointer;
    if (changes_->Asleep()) {
        if (!changed) return false;
        WakeUp();
    }
    quietTicks_ = changed ? 0 : quietTicks_ + 1;
    return true;
}

void QtPlatform::RunCapture(IntPoint pointer) {
    if (!ticks_.Capture) return;
    // The pointer as this tick found it: one question to the server a tick. The display's
    // scale, asked a few times a tick and dear to ask, cannot change within one either.
    tickPointer_ = pointer;
    tickRatio_ = Ratio();
    ticks_.Capture();
    tickPointer_.reset();
    tickRatio_.reset();
}

IntPoint QtPlatform::PointerNow() {
    if (wayland_ != nullptr)
        if (const auto p = wayland_->Pointer()) return *p;
    return screen_.Pointer();
}

void QtPlatform::UseWayland(WaylandScreen* wayland) {
    wayland_ = wayland;
    // The X server's looks see nothing of the screen here: the ticks keep their timer.
    askAhead_ = wayland == nullptr;
}

Image* QtPlatform::CaptureScreen(int x, int y, int w, int h) {
    if (wayland_ != nullptr && wayland_->Live()) return wayland_->Capture({x, y, x + w, y + h});
    return screen_.Capture(x, y, w, h);
}

// The next tick's look is asked now and answered by the server when the interval is over:
// the program then wakes once a tick. Where the server keeps no time, the timer runs on.
void QtPlatform::AskNextLook(const QElapsedTimer& since) {
    if (!captureRunning_ || changes_->Asleep()) return;
    askedFor_ = std::max(captureInterval_ - static_cast<int>(since.elapsed()), 1);
    if (!askAhead_ || !screen_.AskAhead(askedFor_)) return;
    askedAt_.start();
    captureTimer_.stop();
}

void QtPlatform::WakeUp() {
    changes_->SetAsleep(false);
    quietTicks_ = 0;
    captureTimer_.start(captureInterval_);
}

QtPlatform::~QtPlatform() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(hotKeys_.get());
        app->removeNativeEventFilter(changes_.get());
    }
}

void QtPlatform::Attach(const MainWindowParts& parts, Ticks ticks) {
    parts_ = parts;
    if (parts_.Status != nullptr && screen_.CanCapture()) parts_.Status->PutThrough(&statusTarget_);
    ticks_ = std::move(ticks);
}

void QtPlatform::Detach() {
    if (parts_.Status != nullptr) parts_.Status->PutThrough(nullptr);
    StopCaptureTimer();
    repeatTimer_.stop();
    if (parts_.Client != nullptr) parts_.Client->SetFrame(QImage(), {});
    frameView_ = QImage();
    parts_ = {};
    ticks_ = {};
    shownShape_.reset();
}

QWidget* QtPlatform::Owner() const { return parts_.Window; }

// The behaviour works in screen pixels, Qt's widgets in its scaled units: one screen
// pixel stays one source pixel while the interface follows the display's scale.
double QtPlatform::Ratio() const {
    if (tickRatio_) return *tickRatio_;
    return ratio_.Of(parts_.Window);
}
int QtPlatform::ToScreen(int logical) const { return qRound(logical * Ratio()); }
int QtPlatform::ToLogical(int pixels) const { return qRound(pixels / Ratio()); }
IntRect QtPlatform::ToScreen(const QRect& r) const {
    return {ToScreen(r.left()), ToScreen(r.top()), ToScreen(r.left() + r.width()), ToScreen(r.top() + r.height())};
}

// --- screen -------------------------------------------------------------------------

// X has no negative coordinates: the root window is the virtual screen, whatever
// offsets its monitors have.
IntRect QtPlatform::DesktopRect() { return screen_.RootRect(); }

IntPoint QtPlatform::PrimaryScreenSize() {
    const IntRect r = screen_.PrimaryMonitor();
    return {r.Width(), r.Height()};
}

Image* QtPlatform::Frame() {
    if (Image* shared = shared_.Pixels()) return shared;
    return frame_.Empty() ? nullptr : &frame_;
}

Image* QtPlatform::FrameBuffer(int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    const Image* current = Frame();
    if (current == nullptr || current->Width() != w || current->Height() != h) {
        // The view paints from this memory: it lets go of it before it goes.
        if (parts_.Client != nullptr) parts_.Client->SetFrame(QImage(), {});
        frameView_ = QImage();
        shownFrame_ = {};
        // Memory the server shares, when it can: the frame goes to the window from there.
        frame_ = Image();
        if (!screen_.CanCapture() || !shared_.Create(w, h)) frame_ = Image(w, h, PixelFormat::Bits32);
    }
    return Frame();
}

void QtPlatform::ShowFrame(int left, int top, int w, int h) {
    Image* frame = Frame();
    if (parts_.Client == nullptr || frame == nullptr) return;
    w = std::min(w, frame->Width());
    h = std::min(h, frame->Height());
    // The view's pixels are the frame's own memory: nothing is copied until Qt paints, and
    // the wrapper is made again only when the frame's size or the display's scale changes.
    const double ratio = Ratio();
    if (frameView_.width() != w || frameView_.height() != h || frameView_.devicePixelRatio() != ratio) {
        parts_.Client->SetFrame(QImage(), {});
        frameView_ = QImage(frame->Bits(), w, h, static_cast<qsizetype>(frame->Stride()), QImage::Format_RGB32);
        // Drawn one frame pixel to one screen pixel, whatever the display's scale.
        frameView_.setDevicePixelRatio(ratio);
    }
    // Put into the view's window by the server straight from the shared memory; Qt paints
    // from the same memory whenever it draws the view itself.
    const auto window = static_cast<xcb_window_t>(parts_.Client->internalWinId());
    if (frame == shared_.Pixels() && parts_.Client->isVisible() && shared_.Put(window, left, top, w, h))
        parts_.Client->FramePutDirectly(frameView_, QRect(left, top, w, h));
    else parts_.Client->SetFrame(frameView_, QRect(left, top, w, h));
    shownFrame_ = {left, top, left + w, top + h};
}

const Image* QtPlatform::ShownFrame(IntRect& where) {
    const Image* frame = Frame();
    if (frame == nullptr || shownFrame_.Right <= shownFrame_.Left) return nullptr;
    where = shownFrame_;
    return frame;
}

void QtPlatform::InvalidateDesktop() {
    // An unframed window over the whole screen, mapped and taken away at once, makes
    // every window below it draw itself again (xrefresh does the same).
    xcb_connection_t* c = screen_.Connection();
    if (c == nullptr) return;
    const IntRect all = screen_.RootRect();
    const xcb_window_t w = xcb_generate_id(c);
    const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen_.Root(), 0, 0, static_cast<std::uint16_t>(all.Width()),
                      static_cast<std::uint16_t>(all.Height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(c, w);
    xcb_destroy_window(c, w);
    xcb_flush(c);
}

// --- the main window --------------------------------------------------------------------

IntRect QtPlatform::WindowRect() {
    if (parts_.Window == nullptr) return {};
    if (const auto exact = ScreenFrameRect()) return *exact;
    return ToScreen(parts_.Window->frameGeometry());
}

IntRect QtPlatform::RestoredWindowRect() {
    QMainWindow* w = parts_.Window;
    if (w == nullptr) return {};
    if (!w->isMinimized() && !w->isMaximized()) return WindowRect();
    return ToScreen(w->normalGeometry().marginsAdded(FrameOf(w)));
}

namespace {

// What the window holds below its menu bar, in Qt's units. Not the client widget's own size:
// a window smaller than its bars leaves that widget unplaced at its last size.
QSize ClientOf(const QMainWindow& w) {
    const QWidget* bar = w.menuWidget();
    const int barHeight = bar != nullptr && !bar->isHidden() ? bar->height() : 0;
    return {w.width(), std::max(0, w.height() - barHeight)};
}

}  // namespace

IntPoint QtPlatform::ClientSize() {
    if (parts_.Client == nullptr || parts_.Window == nullptr) return {};
    const QSize client = ClientOf(*parts_.Window);
    return {ToScreen(client.width()), ToScreen(client.height())};
}

bool QtPlatform::IsOnAnyMonitor(IntRect r) {
    const auto monitors = screen_.Monitors();
    return std::any_of(monitors.begin(), monitors.end(), [&](const IntRect& m) { return Overlap(m, r); });
}

IntRect QtPlatform::PrimaryWorkArea() {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        const double ratio = s->devicePixelRatio();
        return {qRound(r.left() * ratio), qRound(r.top() * ratio), qRound((r.left() + r.width()) * ratio),
                qRound((r.top() + r.height()) * ratio)};
    }
    return screen_.PrimaryMonitor();
}

namespace {

// The frame the window manager put round `window`, in screen pixels, as it tells it.
std::optional<QMargins> FrameExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
    if (extents == XCB_ATOM_NONE) return std::nullopt;
    const XcbReply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) != 16) return std::nullopt;
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
}

}  // namespace

// The frame the window manager will put round a window not yet shown, as it tells through
// _NET_FRAME_EXTENTS when asked (_NET_REQUEST_FRAME_EXTENTS); none when it does not answer
// within a moment. Sizing the window right before it shows keeps the view, and a pinned area
// worked out from the view's size, from changing once the frame arrives.
QMargins QtPlatform::FrameToCome(QWidget* w) {
    xcb_connection_t* c = screen_.Connection();
    const auto window = static_cast<xcb_window_t>(w->winId());
    const xcb_atom_t extents = Atom(c, "_NET_FRAME_EXTENTS"), request = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    if (extents == XCB_ATOM_NONE || request == XCB_ATOM_NONE) return {};
    xcb_client_message_event_t ask{};
    ask.response_type = XCB_CLIENT_MESSAGE;
    ask.format = 32;
    ask.window = window;
    ask.type = request;
    xcb_send_event(c, 0, screen_.Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ask));
    xcb_flush(c);
    for (int tries = 0; tries < 25; ++tries) {
        if (const auto frame = FrameExtents(c, window, extents)) return *frame;
        QThread::msleep(8);
    }
    return {};
}

// The outer rectangle of a shown window in screen pixels, as the X server has it: Qt's own
// geometry is in its scaled units, a pixel or two off at a scale other than 1.
std::optional<IntRect> QtPlatform::ScreenFrameRect() {
    QMainWindow* w = parts_.Window;
    if (w == nullptr || Ratio() == 1.0 || !w->isVisible()) return std::nullopt;
    // The tick asks on every turn, only to tell whether the pointer is over the window; a
    // move within one of Qt's scaled units can leave that answer a pixel out until the next
    // move. Everything else (the bounds that are saved) is read afresh.
    const QRect place = w->frameGeometry();
    if (tickPointer_ && exactFrame_ && exactFrame_->first == place) return exactFrame_->second;
    exactFrame_.reset();
    xcb_connection_t* c = screen_.Connection();
    const auto window = static_cast<xcb_window_t>(w->winId());
    if (frameExtentsAtom_ == 0) frameExtentsAtom_ = Atom(c, "_NET_FRAME_EXTENTS");
    const auto size = xcb_get_geometry(c, window);
    const auto where = xcb_translate_coordinates(c, window, screen_.Root(), 0, 0);
    const XcbReply<xcb_get_geometry_reply_t> sized(xcb_get_geometry_reply(c, size, nullptr));
    const XcbReply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(c, where, nullptr));
    const auto frame = FrameExtents(c, window, frameExtentsAtom_);
    if (!sized || !at || !frame) return std::nullopt;
    const IntRect exact{at->dst_x - frame->left(), at->dst_y - frame->top(), at->dst_x + sized->width + frame->right(),
                        at->dst_y + sized->height + frame->bottom()};
    exactFrame_.emplace(place, exact);
    return exact;
}

void QtPlatform::SetWindowBounds(IntRect r) {
    QMainWindow* w = parts_.Window;
    if (w == nullptr) return;
    const QMargins frame = FrameOf(w);
    if (!w->isVisible() && frame.isNull()) {
        // Not shown yet: the inside is placed where the frame to come leaves it. Without word
        // from the window manager the bounds are put right again once the frame is there.
        const QMargins toCome = FrameToCome(w);
        if (toCome.isNull()) pendingBounds_ = r;
        // The window manager tells the frame in screen pixels, not in Qt's scaled units.
        w->setGeometry(ToLogical(r.Left + toCome.left()), ToLogical(r.Top + toCome.top()),
                       std::max(1, ToLogical(r.Width() - toCome.left() - toCome.right())),
                       std::max(1, ToLogical(r.Height() - toCome.top() - toCome.bottom())));
        if (w->layout() != nullptr) w->layout()->activate();
        if (ticks_.HiddenResize) ticks_.HiddenResize();
        return;
    }
    if (frame.isNull()) pendingBounds_ = r;
    w->resize(std::max(1, ToLogical(r.Width()) - frame.left() - frame.right()),
              std::max(1, ToLogical(r.Height()) - frame.top() - frame.bottom()));
    w->move(ToLogical(r.Left), ToLogical(r.Top));
}

void QtPlatform::FrameChanged() {
    QMainWindow* w = parts_.Window;
    if (!pendingBounds_ || w == nullptr || !w->isVisible() || FrameOf(w).isNull()) return;
    const IntRect r = *std::exchange(pendingBounds_, std::nullopt);
    SetWindowBounds(r);
}

void QtPlatform::MoveWindowTo(int left, int top) {
    if (parts_.Window != nullptr) parts_.Window->move(ToLogical(left), ToLogical(top));
}

void QtPlatform::SetClientSize(int w, int h) {
    if (parts_.Window == nullptr || parts_.Client == nullptr) return;
    // The frame and the bars stay as they are; the window changes by the difference.
    const QSize client = ClientOf(*parts_.Window);
    const int dw = ToLogical(w) - client.width();
    const int dh = ToLogical(h) - client.height();
    if (dw == 0 && dh == 0) return;
    parts_.Window->resize(parts_.Window->width() + dw, parts_.Window->height() + dh);
}

int QtPlatform::StatusBarHeight() { return parts_.Status != nullptr ? ToScreen(parts_.Status->height()) : 0; }

bool QtPlatform::IsActiveWindow() { return parts_.Window != nullptr && parts_.Window->isActiveWindow(); }

bool QtPlatform::HoldsKeyboardFocus() {
    QMainWindow* w = parts_.Window;
    if (w == nullptr) return false;
    // On the toolkit's connection: a focus it has just set itself is already in the answer.
    xcb_connection_t* c = screen_.Connection();
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        c != nullptr ? xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr) : nullptr);
    // With no answer, or a focus that follows the pointer (no window manager), the toolkit's
    // view is all there is.
    if (!focus || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT) return w->isActiveWindow();
    return focus->focus == static_cast<xcb_window_t>(w->winId());
}

bool QtPlatform::IsNormalState() {
    return parts_.Window != nullptr && !parts_.Window->isMinimized() && !parts_.Window->isMaximized();
}

// A window already shown is asked into the band above others through the window
// manager; changing Qt's flag would hide and show it again.
void QtPlatform::SendNetWmState(bool add, const char* property) {
    xcb_connection_t* c = screen_.Connection();
    if (c == nullptr || parts_.Window == nullptr) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = static_cast<xcb_window_t>(parts_.Window->winId());
    e.type = Atom(c, "_NET_WM_STATE");
    e.data.data32[0] = add ? 1 : 0;
    e.data.data32[1] = Atom(c, property);
    e.data.data32[3] = 1;  // a normal program asks
    xcb_send_event(c, 0, screen_.Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

void QtPlatform::SetTopMost(bool on) {
    QMainWindow* w = parts_.Window;
    if (w == nullptr) return;
    if (!w->isVisible()) {
        w->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    SendNetWmState(on, "_NET_WM_STATE_ABOVE");
}

void QtPlatform::ForceForeground() {
    QMainWindow* w = parts_.Window;
    if (w == nullptr) return;
    if (w->isMinimized()) w->showNormal();
    w->raise();
    w->activateWindow();
    // Asked as a pager would: window managers let that past their focus-stealing rules.
    xcb_connection_t* c = screen_.Connection();
    if (c == nullptr) return;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = static_cast<xcb_window_t>(w->winId());
    e.type = Atom(c, "_NET_ACTIVE_WINDOW");
    e.data.data32[0] = 2;
    e.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, screen_.Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
    xcb_flush(c);
}

// Both are set on every tick: an unchanged text is not set again, which would send
// the title to the server or repaint the bar each time.
void QtPlatform::SetTitle(const std::string& utf8) {
    if (parts_.Window == nullptr) return;
    const QString text = QString::fromStdString(utf8);
    if (parts_.Window->windowTitle() != text) parts_.Window->setWindowTitle(text);
}

void QtPlatform::SetStatusText(int panel, const std::string& utf8) {
    if (parts_.Status != nullptr) parts_.Status->SetText(panel, QString::fromStdString(utf8));
}

void QtPlatform::SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& utf8) {
    if (parts_.Info == nullptr) return;
    std::optional<QColor> color;
    if (rgb) color = QColor::fromRgb(static_cast<QRgb>(*rgb));
    parts_.Info->SetSwatchText(1, color, QString::fromStdString(utf8));  // right of the hint
}

void QtPlatform::ShowColorReadout(bool shown) {
    if (parts_.Info == nullptr || shown == (parts_.Info->PanelCount() == 2)) return;
    if (shown) parts_.Info->SetPanels({200, 0});
    else parts_.Info->SetPanels({200});
}

IntPoint QtPlatform::ClientOrigin() {
    if (parts_.Client == nullptr) return {};
    const QPoint p = parts_.Client->mapToGlobal(QPoint(0, 0));
    return {ToScreen(p.x()), ToScreen(p.y())};
}

void QtPlatform::SetCursorShape(CursorShape shape) { cursorShape_ = shape; }

void QtPlatform::ApplyCursor() {
    // Only the last shape of a mouse move is shown: the behaviour sets the arrow and then
    // the hand within one move, and showing each would make the pointer flicker.
    if (parts_.Client == nullptr || shownShape_ == cursorShape_) return;
    shownShape_ = cursorShape_;
    parts_.Client->setCursor(cursorShape_ == CursorShape::Hand ? handCursor_ : QCursor(Qt::ArrowCursor));
}

void QtPlatform::SetMouseCapture() {
    if (parts_.Client != nullptr && parts_.Client->isVisible()) parts_.Client->grabMouse();
}

void QtPlatform::ReleaseMouseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void QtPlatform::RepaintToolBar() {
    if (parts_.Tools != nullptr) parts_.Tools->repaint();
}

void QtPlatform::RepaintMainWindow() {
    if (parts_.Client != nullptr) parts_.Client->repaint();
}

void QtPlatform::CloseMainWindow() {
    // Later: the command that asked is still running on the window's behalf.
    if (parts_.Window != nullptr) QMetaObject::invokeMethod(parts_.Window, &QWidget::close, Qt::QueuedConnection);
}

// --- menus ---------------------------------------------------------------------------------

void QtPlatform::SetMenuChecked(CommandId id, bool checked) {
    if (parts_.Menu != nullptr) parts_.Menu->SetChecked(id, checked);
}

void QtPlatform::SetMenuEnabled(CommandId id, bool enabled) {
    if (parts_.Menu != nullptr) parts_.Menu->SetEnabled(id, enabled);
}

void QtPlatform::SetMenuCaption(CommandId id, const std::string& utf8) {
    if (parts_.Menu != nullptr) parts_.Menu->SetCaption(id, utf8);
}

// --- modal input ---------------------------------------------------------------------------

void QtPlatform::ShowMessage(const std::string& text, const std::string& caption) {
    ShowMessageBox(Owner(), QString::fromStdString(caption), QString::fromStdString(text));
}

bool QtPlatform::ModalBoxOpen() { return QApplication::activeModalWidget() != nullptr; }

std::optional<std::string> QtPlatform::InputBox(const std::string& title, const std::string& prompt,
                                                const std::string& initial) {
    const auto typed = ShowInputBox(Owner(), QString::fromStdString(title), QString::fromStdString(prompt),
                                    QString::fromStdString(initial));
    if (!typed) return std::nullopt;
    return typed->toStdString();
}

// --- timers ----------------------------------------------------------------------------------

void QtPlatform::StartCaptureTimer(int intervalMs) {
    if (parts_.Window == nullptr) return;
    captureInterval_ = intervalMs > 0 ? intervalMs : kTimerMinimumMs;
    captureRunning_ = true;
    quietTicks_ = 0;
    changes_->SetAsleep(false);
    captureTimer_.start(captureInterval_);
}

void QtPlatform::StopCaptureTimer() {
    captureRunning_ = false;
    changes_->SetAsleep(false);
    captureTimer_.stop();
}

void QtPlatform::StartRepeatTimer(int intervalMs) {
    if (parts_.Window == nullptr) return;
    repeatTimer_.start(intervalMs > 0 ? intervalMs : kTimerMinimumMs);
}

void QtPlatform::StopRepeatTimer() { repeatTimer_.stop(); }

// --- hot keys ----------------------------------------------------------------------------------

bool QtPlatform::RegisterHotKey(int id, Modifier modifier, Key key, bool repeats) {
    return parts_.Window != nullptr && hotKeys_->Register(id, modifier, key, repeats);
}

void QtPlatform::UnregisterHotKey(int id) { hotKeys_->Unregister(id); }

}  // namespace ocu::qt
