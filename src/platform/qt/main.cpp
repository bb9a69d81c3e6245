// Program entry of the X11 program: the display first, then the settings, the window,
// the event loop, and the last save of the settings.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>

#include <xcb/xcb.h>

#include "dialogs/ManageShortcut.h"
#include "mainwindow/ErrorTexts.h"
#include "mainwindow/MainWindowClass.h"
#include "mainwindow/TfrmCap.h"
#include "platform/qt/QtImageOutput.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtShellServices.h"
#include "platform/qt/QtText.h"
#include "platform/qt/X11Input.h"
#include "platform/qt/XdgSettingsStore.h"
#include "platform/qt/wayland/WaylandInput.h"
#include "platform/qt/wayland/WaylandScreen.h"
#include "settings/IniManager.h"

namespace {

using namespace ocu;
using namespace ocu::qt;

bool Set(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
}

// Qt ends the program with its own English words when it cannot reach the display: asked first.
bool DisplayReachable() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

bool WaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return Set("WAYLAND_DISPLAY") || (type != nullptr && std::string(type) == "wayland");
}

// How the screen is read: through the portal in a Wayland session, from the X server
// otherwise. `--x11` or `--wayland` (or OCUMIRA_SCREEN=x11 or wayland) chooses either.
enum class ScreenPath { X11, Portal };
ScreenPath ChooseScreenPath(int argc, char** argv, bool waylandSession) {
    std::string chosen;
    if (const char* v = std::getenv("OCUMIRA_SCREEN")) chosen = v;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--x11") chosen = "x11";
        if (arg == "--wayland") chosen = "wayland";
    }
    if (chosen == "x11") return ScreenPath::X11;
    if (chosen == "wayland") return ScreenPath::Portal;
    return waylandSession ? ScreenPath::Portal : ScreenPath::X11;
}

// What a portal's token may hold to be stored: it goes back to the portal as it came, and
// anything else than its usual characters has no place in the settings file.
bool StorableToken(const std::string& token) {
    if (token.empty() || token.size() > 256) return false;
    for (const char c : token)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') return false;
    return true;
}

void Tell(std::string_view text) {
    std::fprintf(stderr, "ocumira: %.*s\n", static_cast<int>(text.size()), text.data());
}

// The program's own hand for the pointer over a view that projects or picks, with the
// hot spot its file names; the toolkit's pointing hand when the file cannot be read.
QCursor HandCursor() {
    QFile file(QStringLiteral(":/ocumira/hand.cur"));
    if (!file.open(QIODevice::ReadOnly)) return QCursor(Qt::PointingHandCursor);
    const QByteArray bytes = file.readAll();
    QPixmap picture;
    if (bytes.size() < 22 || !picture.loadFromData(bytes, "CUR")) return QCursor(Qt::PointingHandCursor);
    // The first entry of the cursor directory holds the hot spot where an icon has its planes and depth.
    const auto word = [&](int at) {
        return static_cast<int>(static_cast<unsigned char>(bytes[at]) |
                                (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    return QCursor(picture, word(10), word(12));
}

int Run(QApplication& app, bool waylandSession, ScreenPath path) {
    auto* native = app.nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = native != nullptr ? native->connection() : nullptr;
    if (connection == nullptr) {
        Tell(text::kNoDisplay);
        return 2;
    }
    // One place for the settings: the user's configuration folder always takes files.
    XdgSettingsStore store(UserSettingsPath());
    TIniManager settings(store, store.Path());
    X11Input x11(connection);
    // On a Wayland desktop the screen and the input to other programs go through the
    // portal; the consents it gives are kept at once, so a run that ends by a crash keeps them.
    std::unique_ptr<WaylandInput> waylandInput;
    std::unique_ptr<WaylandScreen> wayland;
    const auto keep = [&settings](std::string TSettingsValues::*field) {
        return [&settings, field](const std::string& token) {
            if (!StorableToken(token)) return;
            settings.*field = token;
            try {
                settings.Save();
            } catch (const std::exception&) {
                // Told by the last save at shut-down, which tries again.
            }
        };
    };
    TfrmCap* formToRun = nullptr;
    QtPlatform* platformToAsk = nullptr;
    if (path == ScreenPath::Portal)
        waylandInput = std::make_unique<WaylandInput>(
            x11, settings.RemoteDesktopToken,
            WaylandInput::Hooks{[&formToRun] {
                                    if (formToRun != nullptr) formToRun->RunCommand(CommandId::mmFix);
                                },
                                [&wayland] { return wayland ? wayland->Pointer() : std::nullopt; },
                                [&platformToAsk] { return platformToAsk ? platformToAsk->DesktopRect() : IntRect{}; },
                                keep(&TSettingsValues::RemoteDesktopToken)});
    QtPlatform platform(connection, waylandInput ? static_cast<InputPort&>(*waylandInput) : x11);
    platformToAsk = &platform;
    platform.SetHandCursor(HandCursor());
    TfrmCap form(platform, settings);
    formToRun = &form;
    if (path == ScreenPath::Portal) {
        wayland = std::make_unique<WaylandScreen>(
            settings.ScreenCastToken,
            WaylandScreen::Hooks{[&platform] { platform.ScreenChanged(); },
                                 [&platform](std::string_view text) { platform.ShowMessage(std::string(text), "Ocumira"); },
                                 keep(&TSettingsValues::ScreenCastToken)});
        platform.UseWayland(wayland.get());
    }
    QtImageOutput output(connection, nullptr, [&platform] { return platform.ClientOrigin(); });
    QtShellServices shell(nullptr, OCU_VERSION_TEXT);
    form.AttachServices(&output, &shell);
    int exitCode = 0;
    {
        QtMainWindow window(form, platform);
        window.Create();
        output.SetOwner(&window);
        shell.SetOwner(&window);
        // During the first runs (fewer than five saves) make sure of the Programs-menu shortcut.
        EnsureShortcutDuringFirstRuns(shell, settings.RunCount, store.CanWrite(), kShortcutName);
        if (wayland) {
            window.AddScreenCastEntry([&wayland] { wayland->AskAgain(); });
            wayland->Start();
        } else if (waylandSession) {
            ShowMessageBox(&window, QStringLiteral("Ocumira"), Q(text::kWaylandOnlyX), QMessageBox::Information);
        }
        exitCode = app.exec();
        platform.UseWayland(nullptr);
        wayland.reset();
        formToRun = nullptr;
    }
    // A failure the window's shut-down has told already is not told twice.
    const bool told = settings.SaveFailed;
    if (!settings.SaveOnExit() && !told) {
        Tell(settings.SaveFailure);
        ShowMessageBox(nullptr, QStringLiteral("Ocumira"), QString::fromStdString(settings.SaveFailure),
                       QMessageBox::Critical);
    }
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    const bool wayland = WaylandSession();
    const ScreenPath path = ChooseScreenPath(argc, argv, wayland);
    if (!Set("DISPLAY") || !DisplayReachable()) {
        // Under Wayland without XWayland there is no X server either: nothing this program can see.
        Tell(text::kNoDisplay);
        return 2;
    }
    // Qt would choose Wayland itself; this program's windows live on X (XWayland there),
    // whichever way it reads the screen.
    if (wayland) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        if (path == ScreenPath::X11) Tell(text::kWaylandOnlyX);
    }
    // The class part of WM_CLASS: the projection knows its own window by it, as it knows
    // the Windows program's by its window class.
    QCoreApplication::setApplicationName(QString::fromLatin1(kMainWindowClassName));
    // The toolkit's own painting is small strips (the status texts) on every tick: sent with
    // the request they cost less than shared memory, after which each next paint waits for
    // the server to answer. The view's frame goes through shared memory of its own.
    if (!Set("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Qt's own event loop wakes for a tick at about nine tenths of the cost of GLib's. Only
    // GTK's native dialogs need GLib's loop, and the one file dialog here is Qt's own.
    if (!Set("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    try {
        return Run(app, wayland, path);
    } catch (...) {
        ReportCurrentException(nullptr);
        return 1;
    }
}
