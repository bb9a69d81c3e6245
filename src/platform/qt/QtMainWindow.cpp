#include "platform/qt/QtMainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcut>
#include <cstdint>
#include <utility>

#include <xcb/xcb.h>

#include "mainwindow/ErrorTexts.h"
#include "mainwindow/MainWindowClass.h"
#include "mainwindow/Texts.h"
#include "mainwindow/ViewLayout.h"
#include "platform/qt/MenuBarQt.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtText.h"
#include "platform/qt/StatusBarQt.h"
#include "platform/qt/ToolBarQt.h"
#include "platform/qt/ViewWidget.h"

namespace ocu::qt {
namespace {

const QColor kCream(255, 251, 240);

Qt::Key QtKeyOf(Key key) {
    switch (key) {
    case Key::None: return Qt::Key_unknown;
    case Key::A: return Qt::Key_A;
    case Key::D: return Qt::Key_D;
    case Key::E: return Qt::Key_E;
    case Key::F: return Qt::Key_F;
    case Key::G: return Qt::Key_G;
    case Key::S: return Qt::Key_S;
    case Key::T: return Qt::Key_T;
    case Key::D0: return Qt::Key_0;
    case Key::D1: return Qt::Key_1;
    case Key::D2: return Qt::Key_2;
    case Key::D3: return Qt::Key_3;
    case Key::D4: return Qt::Key_4;
    case Key::D5: return Qt::Key_5;
    case Key::D6: return Qt::Key_6;
    case Key::D7: return Qt::Key_7;
    case Key::D8: return Qt::Key_8;
    case Key::D9: return Qt::Key_9;
    case Key::F2: return Qt::Key_F2;
    case Key::F3: return Qt::Key_F3;
    case Key::Left: return Qt::Key_Left;
    case Key::Right: return Qt::Key_Right;
    case Key::Up: return Qt::Key_Up;
    case Key::Down: return Qt::Key_Down;
    case Key::Delete: return Qt::Key_Delete;
    }
    return Qt::Key_unknown;
}

}  // namespace

QtMainWindow::QtMainWindow(TfrmCap& form, QtPlatform& platform) : form_(form), platform_(platform) {
    // A sizeable border, the window menu and a minimise button; no maximised state is offered.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Ocumira"));
    setWindowIcon(QIcon(QStringLiteral(":/ocumira/Ocumira.ico")));
    const IntRect b = kInitialWindowBounds;
    move(b.Left, b.Top);
    resize(b.Width(), b.Height());

    client_ = new ViewWidget(this, {
                                       [this](MouseButton m, ShiftState s, int x, int y) { OnMouseDown(m, s, x, y); },
                                       [this](MouseButton m, ShiftState s, int x, int y) { OnMouseUp(m, s, x, y); },
                                       [this](ShiftState s, int x, int y) { OnMouseMove(s, x, y); },
                                       [this](ShiftState s, int d, int x, int y) { OnMouseWheel(s, d, x, y); },
                                       [this] { OnSize(); },
                                   });
    setCentralWidget(client_);
    // The client area is a window of its own on the X server, as on Windows: the bars and the
    // view lie in it, and tools that look at the program from outside find it there.
    client_->setAttribute(Qt::WA_NativeWindow);
    // The hint; the colour under the pointer gets a panel right of it when it is shown.
    info_ = new StatusBarQt(client_, {200}, QColor(), false);
    info_->SetText(0, Q(text::kHoldHint));
    client_->SetBarsGround(kCream);
    status_ = new StatusBarQt(client_, {80, 60, 150, 50}, kCream, true);
    tools_ = new ToolBarQt(
        client_,
        [this](CommandId id, bool down) {
            Guarded(this, [&] {
                if (down) form_.Controls().OnToolButtonDown(id);
                else form_.Controls().OnToolButtonUp(id);
            });
        },
        [this](CommandId id) { Guarded(this, [&] { form_.RunCommand(id); }); });
    menu_ = std::make_unique<MenuBarQt>(menuBar(),
                                        MenuBarQt::Handlers{
                                            [this](CommandId id) { Guarded(this, [&] { form_.RunCommand(id); }); },
                                            [this](CommandId top) { Guarded(this, [&] { form_.OnMenuOpen(top); }); },
                                            [this](bool open) { form_.Readout().OnMenuLoop(open); },
                                        });
    BuildShortcuts();
}

QtMainWindow::~QtMainWindow() { platform_.Detach(); }

// The accelerators: a key runs the entry's command as a shortcut, past the menu. F10 takes the
// keyboard to the menu bar, as on Windows and in GTK programs: the arrows walk the menus.
void QtMainWindow::BuildShortcuts() {
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setContext(Qt::WindowShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QList<QAction*> titles = menuBar()->actions();
        if (!titles.isEmpty()) menuBar()->setActiveAction(titles.first());
    });
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind != MenuItemKind::Item || e.Keys.Empty()) continue;
        const QKeySequence keys(e.Keys.Ctrl ? QKeyCombination(Qt::ControlModifier, QtKeyOf(e.Keys.Key))
                                            : QKeyCombination(QtKeyOf(e.Keys.Key)));
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        const CommandId id = e.Id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { Guarded(this, [&] { form_.OnShortcut(id); }); });
    }
}

void QtMainWindow::Create() {
    // The bars grow with the display's scale; the view stays in screen pixels.
    form_.SetDpi(qRound(kDesignDpi * devicePixelRatioF()));
    LayOutBars();
    platform_.Attach(MainWindowParts{this, client_, status_, tools_, menu_.get(), info_},
                     QtPlatform::Ticks{
                         [this] { Guarded(this, [&] { form_.timTimer(); }); },
                         [this] { Guarded(this, [&] { form_.Controls().timRepeatTimer(); }); },
                         [this](int id) { Guarded(this, [&] { form_.OnHotKey(id); }); },
                         [this] { OnSize(); },
                     });
    // From here on size and activation events reach the behaviour: CreateWnd itself
    // sizes the window and expects its own resize handler to run.
    formReady_ = true;
    form_.CreateWnd();
    formCreated_ = true;
    form_.FormCreate();
    show();
}

void QtMainWindow::LayOutBars() {
    const BarLayout bars = BarLayoutFor(kDesignDpi);
    const int width = client_->width(), height = client_->height();
    info_->setGeometry(0, 0, width, bars.InfoBarHeight);
    tools_->setGeometry(0, bars.ToolBarTop, width, bars.ToolBarHeight);
    status_->setGeometry(0, height - bars.StatusBarHeight, width, bars.StatusBarHeight);
}

void QtMainWindow::OnSize() {
    if (!isMinimized()) LayOutBars();
    if (!formReady_) return;
    Guarded(this, [&] {
        switch (minimizeEdges_.Sized(isMinimized())) {
        case MinimizeEdges::Edge::Minimized: form_.AppMinimize(); break;
        case MinimizeEdges::Edge::Restored: form_.AppRestore(); break;
        case MinimizeEdges::Edge::None: break;
        }
        form_.FormResize();
    });
}

void QtMainWindow::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange) OnSize();
    if (e->type() == QEvent::ActivationChange) FollowActivation();
}

// The window is active while the server's keyboard focus is on it: an open menu of ours
// grabs the keyboard but leaves the focus where it was, so the window stays active, as on
// Windows. Asked at every change the toolkit or the server tells of, the last answer is the
// server's state after the last change.
void QtMainWindow::FollowActivation() {
    if (!formReady_) return;
    const bool active = platform_.HoldsKeyboardFocus();
    if (active == active_) return;
    active_ = active;
    Guarded(this, [&] {
        if (active) form_.Keys().FormActivate();
        else form_.Keys().FormDeactivate();
    });
}

bool QtMainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType == "xcb_generic_event_t") {
        const std::uint8_t kind = static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7F;
        if (kind == XCB_FOCUS_IN || kind == XCB_FOCUS_OUT) FollowActivation();
    }
    return QMainWindow::nativeEvent(eventType, message, result);
}

void QtMainWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    platform_.FrameChanged();
}

void QtMainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    platform_.FrameChanged();
}

bool QtMainWindow::event(QEvent* e) {
    // A modal box took the mouse: a held tool button's release can no longer arrive.
    if (e->type() == QEvent::WindowBlocked) tools_->EndHold();
    return QMainWindow::event(e);
}

template <class Handle>
void QtMainWindow::AtEvent(int x, int y, Handle handle) {
    const IntPoint origin = platform_.ClientOrigin();
    platform_.HoldPointerAt(IntPoint{origin.X + x, origin.Y + y});
    Guarded(this, handle);
    platform_.HoldPointerAt(std::nullopt);
}

void QtMainWindow::OnMouseDown(MouseButton button, ShiftState shift, int x, int y) {
    AtEvent(x, y, [&] { form_.FormMouseDown(button, shift, x, y); });
    platform_.ApplyCursor();
}

void QtMainWindow::OnMouseUp(MouseButton button, ShiftState shift, int x, int y) {
    AtEvent(x, y, [&] { form_.FormMouseUp(button, shift, x, y); });
    platform_.ApplyCursor();
}

void QtMainWindow::OnMouseMove(ShiftState shift, int x, int y) {
    AtEvent(x, y, [&] { form_.FormMouseMove(shift, x, y); });
    platform_.ApplyCursor();
}

void QtMainWindow::OnMouseWheel(ShiftState shift, int delta, int x, int y) {
    Guarded(this, [&] { form_.Controls().FormMouseWheel(shift, delta, x, y); });
}

void QtMainWindow::closeEvent(QCloseEvent* e) {
    OnDestroy();
    e->accept();
}

void QtMainWindow::OnDestroy() {
    formReady_ = false;
    // A window whose creation failed has no state worth saving.
    if (!std::exchange(formCreated_, false)) return;
    // Each step runs even when the one before it failed: the settings not being saved
    // must not keep the hot keys grabbed or the program running.
    Guarded(nullptr, [&] { form_.FormDestroy(); });
    Guarded(nullptr, [&] { form_.DestroyWnd(); });
    platform_.Detach();
    QCoreApplication::quit();
}

void QtMainWindow::AddScreenCastEntry(std::function<void()> chosen) {
    if (menu_) menu_->AddEntry(CommandId::mmHotKeysAlways, text::kAskScreenCast, std::move(chosen));
}

}  // namespace ocu::qt
