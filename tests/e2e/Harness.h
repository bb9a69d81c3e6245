// The end-to-end harness: a private X server to drive and read back, and the programs under
// test on it: Windows programs (Ocumira.exe and the test helpers) under Wine, and the native
// X11 program (ocumira). A scenario written once runs against both (see Edge).
//
// A test owns one XSession and any number of Programs started on it; declare the session
// first so the programs go away before their display does.
//
// What Wine does here, as the tests rely on it:
// - A BitBlt from the screen DC (GetDC(NULL)) reads the X root window, so Ocumira sees the
//   pattern painted by PaintPattern() and any other X window, Wine's own included.
// - The prefix makes Wine draw window frames itself (Decorated=N): WindowGeometry() of a
//   Wine top-level window is its Win32 window rectangle, where the program believes it is.
// - The pointer and keys given through XTest reach Wine like a person's input.
// - Wine wants a window manager (see XSession::Options::windowManager).
// - The coordinate pattern decodes only at depth 24; other depths quantise it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <source_location>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "mainwindow/Commands.h"

// Set by the build from its cache variables; empty when the windows build was not given.
#ifndef OCUMIRA_EXE
#define OCUMIRA_EXE ""
#endif
#ifndef OCUMIRA_WIN_DIR
#define OCUMIRA_WIN_DIR ""
#endif
#ifndef OCUMIRA_NATIVE
#define OCUMIRA_NATIVE ""
#endif
#ifndef OCUMIRA_NATIVE_DIR
#define OCUMIRA_NATIVE_DIR ""
#endif

// Xlib stays out of this header: its macros (None, Success, Status, Bool...) would collide
// with names in the code under test.
struct _XDisplay;

namespace ocu::e2e {

using namespace std::chrono_literals;
using XWindow = unsigned long;  // an X window id; 0 is none
using Milliseconds = std::chrono::milliseconds;

// Polls `done` every `interval` until it holds or `timeout` passes; true if it held.
// GUI state under Wine changes asynchronously: wait for the state, never for a fixed time.
// A wait that runs out is remembered (with where it was made) for the failure report below.
bool PollUntil(const std::function<bool()>& done, Milliseconds timeout, Milliseconds interval = 20ms,
               std::source_location where = std::source_location::current());
// The same, with a description of the state waited for, for the failure report.
bool WaitFor(std::string_view what, const std::function<bool()>& done, Milliseconds timeout,
             Milliseconds interval = 20ms, std::source_location where = std::source_location::current());

// True if `holds` holds at every poll for the whole of `span`, false at the first poll it does
// not: for a state that must last (the view still shows the area some capture ticks later, a
// message does not come back), watched throughout rather than looked at once after a pause.
bool StaysTrue(const std::function<bool()>& holds, Milliseconds span, Milliseconds interval = 20ms);

// When an assertion of an end-to-end test fails, the harness prints a report to the test's
// output: the waits that ran out (what, where, how long), the pointer, the focused window,
// every titled window on the display, the message boxes shown under Wine with their texts,
// and for each running Windows program its state and the last lines of its output and of the
// logs in its folder (helper_target's log among them); and it saves a screenshot of the whole
// display under build/e2e-failures/ (or $OCU_E2E_FAILURES). Tests get this without doing
// anything; a test adds lines of its own for as long as a FailureNote lives.
class FailureNote {
public:
    explicit FailureNote(std::function<std::string()> describe);
    ~FailureNote();
    FailureNote(const FailureNote&) = delete;
    FailureNote& operator=(const FailureNote&) = delete;

private:
    size_t id_;
};
// Where failure screenshots go (created on first use).
std::filesystem::path FailureFolder();
// The body of that report for the state now; the screenshot is saved as `shotName`.png.
std::string DescribeFailureState(std::string_view shotName);

// False when the build was configured without the windows preset's exe: tests that need it
// skip then rather than fail.
inline bool OcumiraBuilt() { return !std::string_view(OCUMIRA_EXE).empty(); }

// Which of the two programs a scenario drives: Ocumira.exe under Wine, or the native X11
// program built from the same core.
enum class Edge { Wine, Native };
std::string EdgeName(const ::testing::TestParamInfo<Edge>& info);
// Whether the build has that program; a scenario for a missing one is skipped.
bool EdgeBuilt(Edge edge);

// The source tree's top folder: the scripts, the project file and the build folders.
std::filesystem::path SourceDir();
// The whole of a file, byte for byte; empty if it cannot be read.
std::string ReadFile(const std::filesystem::path& file);
// The output of a shell command (stderr folded in); `ok` tells whether it exited 0.
std::string Shell(const std::string& command, bool* ok = nullptr);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
    friend bool operator==(const Rect&, const Rect&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rect& r)
    {
        return out << r.x << ',' << r.y << ' ' << r.width << 'x' << r.height;
    }
};

// Pixels read from the screen, 0x00RRGGBB, rows top-down. x and y are where the grab was
// taken on the root window; At() takes coordinates relative to that origin.
struct Screenshot {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int px, int py) const { return pixels[static_cast<size_t>(py) * width + px]; }
    // Writes a binary PPM, handy to look at a failing frame.
    bool SavePpm(const std::filesystem::path& file) const;
};

class XSession {
public:
    struct Options {
        int width = 1280;
        int height = 1024;
        int depth = 24;
        // openbox on the display. Keep it for anything Wine runs on: without a window
        // manager Wine waits two seconds each time a window is hidden or closed, and no
        // window gets the keyboard focus.
        bool windowManager = true;
        // A second monitor to the left of the primary one: the X screen's first
        // `leftMonitorWidth` columns are that monitor, the rest is the primary. Xvfb cannot
        // place the screens of +xinerama side by side (they all start at 0,0), so the one
        // X screen is split into two RandR monitors, which the server reports as Xinerama
        // heads; Wine then puts its primary monitor at (0,0) and the left one at negative x.
        // Wine only follows Xinerama with its XRandR support off, so the apps of such a
        // session run in a prefix of their own (build/wineprefix-e2e-monitors).
        int leftMonitorWidth = 0;
        // The display's DPI: Wine's LogPixels for Windows programs and the Xft.dpi resource
        // for X11 ones. Other than 96, the Windows apps of the session run in a prefix of
        // their own (build/wineprefix-e2e-dpi<N>), so the shared one stays at 96.
        int dpi = 96;
    };

    XSession();
    explicit XSession(Options options);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    _XDisplay* display() const { return display_; }
    const std::string& DisplayName() const { return displayName_; }  // ":N"
    int Width() const { return options_.width; }
    int Height() const { return options_.height; }
    // Where Windows' screen origin (the primary monitor's top left) lies on the X root:
    // Windows coordinates are root coordinates minus this. 0 with one monitor.
    int WindowsOriginX() const { return options_.leftMonitorWidth; }

    // Fills the root window with the coordinate pattern; it stays as the root background.
    void PaintPattern();
    // The pattern's colour at (x, y): R = x mod 256, G = y mod 256,
    // B = (x div 256) * 16 + y div 256. Unambiguous for x, y < 4096 at depth 24.
    static uint32_t PatternColor(int x, int y);
    static std::tuple<int, int> DecodePattern(uint32_t rgb);

    void MovePointer(int x, int y);
    std::tuple<int, int> PointerPosition() const;
    void Press(unsigned button);
    void Release(unsigned button);
    void Click(unsigned button = 1);
    // Presses button 1 at (fromX, fromY) and moves to (toX, toY) in `steps` even steps at a
    // hand's pace; releases there unless `release` is false (the test then calls Release(1)).
    void Drag(int fromX, int fromY, int toX, int toY, int steps = 16, bool release = true, Milliseconds pace = 10ms);
    // "ctrl+a", "ctrl+shift+F4", "alt+Return", "Escape": modifiers then one key, keysym names
    // as X spells them.
    void KeyCombo(std::string_view combo);
    // Types printable ASCII, with shift where the keyboard map needs it.
    void TypeText(std::string_view text);
    // Presses or releases one key ("ctrl", "shift" or a keysym name) and leaves it so, for
    // mouse work with a modifier held.
    void HoldKey(std::string_view key, bool down);

    Screenshot GrabRoot() const;
    Screenshot Grab(int x, int y, int width, int height) const;
    // One root pixel as 0x00RRGGBB through the screen's colour map: also right at depth 8,
    // where Grab() has no colour masks to go by.
    uint32_t ColorAt(int x, int y) const;

    // The first viewable window whose title starts with `prefix` (UTF-8), searching the
    // whole tree so that windows inside window-manager frames are found; 0 on timeout.
    XWindow FindWindowByTitlePrefix(std::string_view prefix, Milliseconds timeout = 30s) const;
    // Viewable windows, anywhere in the tree, whose title starts with `prefix`.
    std::vector<XWindow> WindowsByTitlePrefix(std::string_view prefix) const;
    // _NET_WM_NAME (UTF-8), else WM_NAME; empty if the window has neither or is gone.
    std::string WindowTitle(XWindow window) const;
    // Position on the root window and size; nullopt if the window is gone.
    std::optional<Rect> WindowGeometry(XWindow window) const;
    // A top-level window with the window manager's frame around it: its ancestor just below
    // the root. What a Windows program calls its window rectangle, for a program the window
    // manager decorates. nullopt if the window is gone.
    std::optional<Rect> FrameGeometry(XWindow window) const;
    // The largest viewable window inside `window`, at any depth; nullopt if there is none.
    std::optional<Rect> LargestInnerWindow(XWindow window) const;
    bool IsShown(XWindow window) const;
    // Windows anywhere in the tree whose _NET_WM_PID is `pid`. Wine sets it, to the pid of
    // the process Program started, on every top-level window, hidden ones included.
    std::vector<XWindow> WindowsOfProcess(pid_t pid) const;
    // Asks a window to close as a window manager would (WM_DELETE_WINDOW).
    void SendDeleteWindow(XWindow window) const;
    // The window that has the keyboard focus (0 for none).
    XWindow FocusedWindow() const;
    // Waits until a window titled `title` has the keyboard focus. A dialog gets the focus from
    // the window manager a while after it shows; keys typed before go to the window behind.
    bool WaitFocusOn(std::string_view title, Milliseconds timeout = 20s) const;
    // Moves a top-level window one pixel right and back through the window manager. Now and
    // then Wine's record of where a new window lies goes wrong while the window manager takes
    // the window in (seen as Wine placing it at 0,0 while X shows it where it was asked to
    // be); the moves give Wine the window's place afresh.
    void NudgeWindow(XWindow window) const;

    // Flushes requests and waits until the server has handled them.
    void Sync() const;

private:
    void StartServer();
    void StartWindowManager();
    void SplitIntoMonitors();
    std::optional<std::string> TextProperty(XWindow window, unsigned long property) const;

    Options options_;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    std::string displayName_;
    _XDisplay* display_ = nullptr;
    XWindow root_ = 0;
};

// Whether a window says it is a drop-down or pop-up menu, or a dialog (_NET_WM_WINDOW_TYPE).
bool IsMenuWindow(const XSession& session, XWindow window);
bool IsDialogWindow(const XSession& session, XWindow window);

// One message the test helper_target.exe logged.
struct TargetMessage {
    uint32_t msg = 0;
    uint64_t wParam = 0;
    int x = 0, y = 0;
    friend bool operator==(const TargetMessage&, const TargetMessage&) = default;
    friend std::ostream& operator<<(std::ostream& out, const TargetMessage& m)
    {
        return out << std::hex << m.msg << ' ' << m.wParam << std::dec << ' ' << m.x << ' ' << m.y;
    }
};
std::vector<TargetMessage> ReadTargetLog(const std::filesystem::path& file);

struct ProgramOptions {
    // Copied into the app's own fresh folder under Wine; none means the magnifier of `edge`.
    std::filesystem::path exe{};
    std::optional<std::string> ini;           // written first where the program reads its settings
    std::vector<std::string> args{};
    // Runs `exe` where it lies instead of from a copy: its folder is then the app's folder
    // (the settings file lands there) and is left in place afterwards.
    bool inPlace = false;
    // Edge::Native runs a native program where it was built, in a fresh home of its own; the
    // magnifier's settings file is then $XDG_CONFIG_HOME/ocumira/Ocumira.ini.
    Edge edge = Edge::Wine;
};

// A program running on an XSession's display in its own temporary folder: a Windows program
// under Wine with the shared end-to-end Wine prefix (created once, under a lock), or the
// native program with that folder as its home.
class Program {
public:
    Program(const XSession& session, ProgramOptions options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Options for one of the helper programs ("helper_target"): built beside Ocumira.exe, or
    // its X11 twin beside the native program.
    static ProgramOptions Helper(std::string_view name, std::vector<std::string> args = {}, Edge edge = Edge::Wine);
    // Z:\... form of a host path, for passing files to the Windows program.
    static std::string WindowsPath(const std::filesystem::path& path);

    pid_t Pid() const { return pid_; }
    Edge Side() const { return edge_; }  // which of the two programs' ways it runs by
    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path ExePath() const;
    bool Running();
    std::optional<int> ExitCode();  // once it has exited
    bool WaitForExit(Milliseconds timeout);

    // Sends WM_DELETE_WINDOW to `window`, or to every shown window of the process, and waits for
    // the process to end; kills it after `timeout`. True if it ended by itself.
    bool Close(XWindow window = 0, Milliseconds timeout = 15s);
    void Kill();

    // A program that ended with 1 before any window of the session showed the title awaited
    // never ran: under Wine that is Wine failing to bring up its desktop for a fresh
    // wineserver (window creation fails, so does the message box of the error). Starts it
    // once more from the same settings text and says so on stderr. True if it did.
    bool RestartIfWineFailedToStart();

    // The settings file (beside the exe, or the native program's); nullopt if there is none.
    std::optional<std::string> ReadIni() const;
    std::filesystem::path IniPath() const;

private:
    bool Reap(bool block);
    void Launch();

    const XSession& session_;
    std::vector<std::string> argv_;
    std::optional<std::string> ini_;
    bool restarted_ = false;
    std::filesystem::path folder_;
    std::filesystem::path exe_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    bool ownsFolder_ = true;
    Edge edge_ = Edge::Wine;
};

// The main window's client area in screen coordinates: under Wine through helper_query; the
// native program's is the window inside its top-level that holds the bars and the view.
std::optional<Rect> ClientArea(const XSession& session, XWindow window, Edge edge);
// The window's outer rectangle, what the settings file stores: Wine draws the frames of its
// windows itself, the native program's frame is the window manager's.
std::optional<Rect> OuterBounds(const XSession& session, XWindow window, Edge edge);

// helper_query.exe, for what X cannot tell: runs it with `args` (its output file is added) and
// returns what it wrote, trailing line breaks dropped; empty if it wrote nothing in time.
std::string Query(const XSession& session, std::vector<std::string> args);
// Several queries at once (each is a Wine process start; in parallel they take the time of
// about one), their answers in the order of `argLists`.
std::vector<std::string> QueryAll(const XSession& session, const std::vector<std::vector<std::string>>& argLists);
// Posts WM_COMMAND `id` to the main window, as choosing its menu entry does.
void PostCommand(const XSession& session, CommandId id);
// The keys that choose a menu entry, as a person without a mouse does: F10 selects the bar,
// Right moves along it, Down opens a drop-down on its first entry and moves down it, Right
// opens a submenu on its first entry, Return chooses. Worked out from the command table.
std::vector<std::string> MenuKeys(CommandId id, Edge edge);
// How many of the menu bar's first `count` drop-downs begin with a submenu: walking the bar
// with its drop-downs open, as Qt's menus do from F10, Right opens that submenu first.
int MenusOpeningASubmenu(int count);
// Runs a menu command: under Wine by WM_COMMAND; on the native program by the menu's keys,
// with its main window focused.
void ChooseCommand(XSession& session, Edge edge, CommandId id);

}  // namespace ocu::e2e
