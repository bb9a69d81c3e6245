#include "e2e/Harness.h"

// Before Xlib: its macros (None, Bool...) break gtest's headers.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

#ifndef OCU_SOURCE_DIR
#define OCU_SOURCE_DIR "."
#endif

extern char** environ;

namespace ocu::e2e {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("e2e harness: " + what); }

// Windows vanish while we look at them; Xlib's default handler would end the test process
// for that. Failed requests are answered with empty results instead.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

struct EnvChange {
    std::string name;
    std::optional<std::string> value;  // nullopt: remove
};

std::vector<std::string> MakeEnvironment(const std::vector<EnvChange>& changes)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string_view entry(*e);
        const auto name = entry.substr(0, entry.find('='));
        bool changed = false;
        for (const auto& c : changes) changed = changed || c.name == name;
        if (!changed) env.emplace_back(entry);
    }
    for (const auto& c : changes)
        if (c.value) env.push_back(c.name + "=" + *c.value);
    return env;
}

std::vector<char*> CStrings(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

struct SpawnOptions {
    std::vector<EnvChange> env;
    fs::path cwd;
    fs::path output;  // stdout and stderr go here; /dev/null when empty
    int keepFd = -1;  // left open in the child
};

// fork + exec with everything prepared before the fork, so the child only makes
// async-signal-safe calls. The child dies with the test process.
pid_t Spawn(std::vector<std::string> argv, const SpawnOptions& options)
{
    auto env = MakeEnvironment(options.env);
    auto cargv = CStrings(argv);
    auto cenv = CStrings(env);
    const std::string cwd = options.cwd.string();
    const std::string output = options.output.empty() ? "/dev/null" : options.output.string();
    const pid_t parent = getpid();

    const pid_t pid = fork();
    if (pid < 0) Fail("fork failed: " + std::string(std::strerror(errno)));
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        if (in >= 0) dup2(in, 0);
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != options.keepFd) close(fd);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
        execvpe(cargv[0], cargv.data(), cenv.data());
        _exit(127);
    }
    return pid;
}

// Waits for a child; its exit status, or nullopt if it is still running after `timeout`.
std::optional<int> WaitChild(pid_t pid, Milliseconds timeout)
{
    // Not PollUntil: a child outliving its grace is expected here, not a wait that ran out.
    std::optional<int> status;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int st = 0;
        const pid_t r = waitpid(pid, &st, WNOHANG);
        if (r == pid) status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        else if (r < 0) status = -1;
        if (status || Clock::now() >= deadline) return status;
        std::this_thread::sleep_for(10ms);
    }
}

void StopChild(pid_t pid, Milliseconds grace)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (!WaitChild(pid, grace)) {
        kill(pid, SIGKILL);
        WaitChild(pid, 5s);
    }
}

int RunCommand(std::vector<std::string> argv, const SpawnOptions& options, Milliseconds timeout)
{
    const auto what = argv.front();
    const pid_t pid = Spawn(std::move(argv), options);
    const auto status = WaitChild(pid, timeout);
    if (!status) {
        kill(pid, SIGKILL);
        WaitChild(pid, 5s);
        Fail(what + " did not finish in time");
    }
    return *status;
}

uint8_t Channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<uint8_t>((((pixel & mask) >> shift) * 255 + max / 2) / max);
}

unsigned long PixelOf(uint32_t rgb, const Visual* visual)
{
    auto place = [](unsigned value8, unsigned long mask) -> unsigned long {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        const unsigned long max = mask >> shift;
        return ((value8 * max + 127) / 255) << shift;
    };
    return place((rgb >> 16) & 0xFF, visual->red_mask) | place((rgb >> 8) & 0xFF, visual->green_mask) |
           place(rgb & 0xFF, visual->blue_mask);
}

// Set while an XSession with two monitors exists: its apps use the prefix that follows
// Xinerama (see XSession::Options::leftMonitorWidth).
bool g_splitMonitors = false;
// The DPI of the session that exists now (see XSession::Options::dpi).
int g_dpi = 96;

fs::path E2EWinePrefix()
{
    fs::path prefix = SourceDir() / "build" / "wineprefix-e2e";
    if (const char* p = std::getenv("OCU_E2E_WINEPREFIX"); p && *p) prefix = p;
    if (g_splitMonitors) prefix += "-monitors";
    if (g_dpi != 96) prefix += "-dpi" + std::to_string(g_dpi);
    return prefix;
}

// Wine's own errors about its display and desktop reach wine-output.txt, where the failure
// report shows them; everything else stays quiet.
constexpr const char* kWineDebug = "-all,err+winediag,err+explorer";

std::vector<EnvChange> WineEnvironment(const std::string& display)
{
    return {
        {"DISPLAY", display},       {"WINEPREFIX", E2EWinePrefix().string()},
        {"WINEDEBUG", kWineDebug}, {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"},
        {"LANG", "ja_JP.UTF-8"},    {"LC_ALL", "ja_JP.UTF-8"},
        {"WINEARCH", std::nullopt}, {"WINELOADER", std::nullopt},
    };
}

// The native program as a person on a non-Japanese desktop starts it: X11 even where a Wayland
// session is around, its own home (so its settings and desktop entries land in the test's
// folder), and an English locale, which must not cost any legible text.
std::vector<EnvChange> NativeEnvironment(const XSession& session, const fs::path& home)
{
    return {
        {"DISPLAY", session.DisplayName()},
        {"HOME", home.string()},
        {"XDG_CONFIG_HOME", (home / ".config").string()},
        {"XDG_DATA_HOME", (home / ".local" / "share").string()},
        {"QT_QPA_PLATFORM", "xcb"},
        {"WAYLAND_DISPLAY", std::nullopt},
        {"XDG_SESSION_TYPE", std::nullopt},
        {"LANG", "C.UTF-8"},
        {"LC_ALL", "C.UTF-8"},
    };
}

int WineServer(const char* option)
{
    SpawnOptions options;
    options.env = WineEnvironment("");
    return RunCommand({"wineserver", option}, options, 60s);
}

// The prefix is shared by all end-to-end tests. Each test process starts by ending whatever
// an earlier, crashed test may have left running in it, so every test meets a fresh
// wineserver and desktop on its own display.
void PrepareWinePrefix()
{
    static std::mutex guard;
    static std::set<fs::path> prepared;
    const std::lock_guard lock(guard);
    if (prepared.contains(E2EWinePrefix())) return;
    {
        SpawnOptions options;
        options.env = {{"OCU_WINEPREFIX", E2EWinePrefix().string()}};
        const auto script = SourceDir() / "scripts" / "wine-run";
        if (RunCommand({script.string(), "--prepare"}, options, 300s) != 0)
            Fail("could not create the Wine prefix " + E2EWinePrefix().string());
        WineServer("-k");
        WineServer("-w");
        // With XRandR, Wine takes its monitors from the CRTCs, and Xvfb has one; through
        // Xinerama it sees the RandR monitors the session set. The mark lives inside the
        // prefix, so a prefix made anew by wine-run gets the setting again.
        const fs::path mark = E2EWinePrefix() / ".ocu-xinerama";
        if (g_splitMonitors && !fs::exists(mark)) {
            SpawnOptions reg;
            reg.env = WineEnvironment("");
            if (RunCommand(
                    {"wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "UseXRandR", "/d", "N", "/f"}, reg,
                    120s) != 0)
                Fail("could not turn off XRandR in " + E2EWinePrefix().string());
            WineServer("-w");
            std::ofstream(mark) << "UseXRandR=N\n";
        }
        // Wine takes its DPI from LogPixels when it starts: the user's key, and the
        // machine's font key that older parts still read.
        const fs::path dpiMark = E2EWinePrefix() / ".ocu-dpi";
        if (g_dpi != 96 && ReadFile(dpiMark) != std::to_string(g_dpi)) {
            SpawnOptions reg;
            reg.env = WineEnvironment("");
            for (const char* key : {"HKCU\\Control Panel\\Desktop",
                                    "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"})
                if (RunCommand({"wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                                std::to_string(g_dpi), "/f"},
                               reg, 120s) != 0)
                    Fail("could not set LogPixels in " + E2EWinePrefix().string());
            WineServer("-w");
            std::ofstream(dpiMark) << g_dpi;
        }
    }
    prepared.insert(E2EWinePrefix());
}

int g_liveApps = 0;

// The first Windows program on a fresh wineserver races Wine's desktop process setting up the
// display: now and then it gets no graphics driver (its windows cannot be created) or Wine's
// stand-in 1024x768 monitor in place of the real screen, for its whole life. A helper started
// first brings the desktop up and reports the screen as Wine describes it; the program under
// test starts once that matches the X screen, on a wineserver started afresh if it did not.
void AwaitWineDisplay(const XSession& session)
{
    const fs::path query = fs::path(OCUMIRA_WIN_DIR) / "helper_query.exe";
    if (!fs::is_regular_file(query)) return;
    char folder[] = "/tmp/ocu-e2e-ready-XXXXXX";
    if (!mkdtemp(folder)) Fail("mkdtemp failed");
    // Its size, not its origin: with the primary monitor on the right the origin is negative.
    const std::string expected = std::to_string(session.Width()) + "x" + std::to_string(session.Height());
    std::string said;
    for (int attempt = 0; attempt < 3; ++attempt) {
        SpawnOptions options;
        options.env = WineEnvironment(session.DisplayName());
        options.cwd = folder;
        options.output = fs::path(folder) / "wine-output.txt";
        RunCommand({"wine", query.string(), "screen", "screen-out.txt"}, options, 60s);
        std::ifstream in(fs::path(folder) / "screen-out.txt");
        int x = 0, y = 0, w = 0, h = 0;
        std::string verb;
        said = (in >> verb >> x >> y >> w >> h) ? std::to_string(w) + "x" + std::to_string(h) : "nothing";
        if (said == expected) break;
        std::fprintf(stderr, "[e2e] Wine described the screen as %s, not %s: Wine started afresh\n", said.c_str(),
                     expected.c_str());
        WineServer("-k");
        WineServer("-w");
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

// What the failure report looks at: the sessions and programs alive now, the waits that ran
// out during the current test, and the notes tests add. Tests run on one thread.
struct RanOut {
    std::string what;
    std::source_location where;
    Milliseconds timeout;
    Clock::time_point when;
};
struct Registry {
    std::vector<XSession*> sessions;
    std::vector<Program*> apps;
    std::deque<RanOut> ranOut;
    std::map<size_t, std::function<std::string()>> notes;
    size_t nextNote = 1;
};
Registry& Live()
{
    static Registry registry;
    return registry;
}

template <typename T>
void Forget(std::vector<T*>& list, T* item)
{
    std::erase(list, item);
}

bool Poll(const std::function<bool()>& done, Milliseconds timeout, Milliseconds interval, std::string_view what,
          std::source_location where)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= deadline) break;
        std::this_thread::sleep_for(interval);
    }
    auto& ranOut = Live().ranOut;
    ranOut.push_back({std::string(what), where, timeout, Clock::now()});
    while (ranOut.size() > 8) ranOut.pop_front();
    return false;
}

std::vector<std::string> LastLines(const fs::path& file, size_t count)
{
    std::ifstream in(file, std::ios::binary);
    std::deque<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 300) line = line.substr(0, 300) + "...";
        lines.push_back(line);
        if (lines.size() > count) lines.pop_front();
    }
    return {lines.begin(), lines.end()};
}

}  // namespace

bool PollUntil(const std::function<bool()>& done, Milliseconds timeout, Milliseconds interval,
               std::source_location where)
{
    return Poll(done, timeout, interval, "", where);
}

bool WaitFor(std::string_view what, const std::function<bool()>& done, Milliseconds timeout, Milliseconds interval,
             std::source_location where)
{
    return Poll(done, timeout, interval, what, where);
}

bool StaysTrue(const std::function<bool()>& holds, Milliseconds span, Milliseconds interval)
{
    for (const auto end = Clock::now() + span; Clock::now() < end; std::this_thread::sleep_for(interval))
        if (!holds()) return false;
    return holds();
}

FailureNote::FailureNote(std::function<std::string()> describe) : id_(Live().nextNote++)
{
    Live().notes[id_] = std::move(describe);
}

FailureNote::~FailureNote() { Live().notes.erase(id_); }

fs::path FailureFolder()
{
    const char* env = std::getenv("OCU_E2E_FAILURES");
    const fs::path dir = env && *env ? fs::path(env) : SourceDir() / "build" / "e2e-failures";
    std::error_code ignored;
    fs::create_directories(dir, ignored);
    return dir;
}

bool Screenshot::SavePpm(const fs::path& file) const
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    for (uint32_t p : pixels) {
        const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
        out.write(rgb, 3);
    }
    return static_cast<bool>(out);
}

// ---------------------------------------------------------------------------------------
// XSession

XSession::XSession() : XSession(Options{}) {}

XSession::XSession(Options options) : options_(options)
{
    XSetErrorHandler(IgnoreXError);
    StartServer();
    if (options_.leftMonitorWidth > 0) {
        SplitIntoMonitors();
        g_splitMonitors = true;
    }
    g_dpi = options_.dpi;
    // What a desktop's display settings write for everything that starts after: X11 programs
    // (Qt, GTK) scale by Xft.dpi, as Windows programs do by LogPixels.
    if (options_.dpi != 96) {
        const std::string resources = "Xft.dpi:\t" + std::to_string(options_.dpi) + "\n";
        XChangeProperty(display_, root_, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
        XSync(display_, False);
    }
    if (options_.windowManager) StartWindowManager();
    Live().sessions.push_back(this);
}

XSession::~XSession()
{
    if (options_.leftMonitorWidth > 0) g_splitMonitors = false;
    g_dpi = 96;
    Forget(Live().sessions, this);
    if (display_) XCloseDisplay(display_);
    StopChild(windowManager_, 2s);
    StopChild(server_, 5s);
}

void XSession::StartServer()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) Fail("pipe failed");
    // Only the write end goes to Xvfb; it writes the display number it chose once it is ready.
    fcntl(fds[1], F_SETFD, 0);
    const std::string screen =
        std::to_string(options_.width) + "x" + std::to_string(options_.height) + "x" + std::to_string(options_.depth);
    SpawnOptions spawn;
    spawn.keepFd = fds[1];
    server_ = Spawn(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, spawn);
    close(fds[1]);

    std::string number;
    const auto deadline = Clock::now() + 30s;
    while (number.empty() || number.back() != '\n') {
        pollfd p{fds[0], POLLIN, 0};
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (number.empty() || number.back() != '\n') Fail("Xvfb did not start (is the xvfb package installed?)");
    number.pop_back();
    displayName_ = ":" + number;

    display_ = XOpenDisplay(displayName_.c_str());
    if (!display_) Fail("cannot open display " + displayName_);
    root_ = DefaultRootWindow(display_);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) Fail("Xvfb has no XTEST extension");
}

void XSession::StartWindowManager()
{
    SpawnOptions spawn;
    spawn.env = {{"DISPLAY", displayName_}};
    windowManager_ = Spawn({"openbox", "--sm-disable"}, spawn);
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    const bool up = PollUntil(
        [&] {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            const bool found = XGetWindowProperty(display_, root_, check, 0, 1, False, XA_WINDOW, &type, &format,
                                                  &count, &after, &data) == Success &&
                               count == 1;
            if (data) XFree(data);
            return found;
        },
        10s);
    if (!up) Fail("openbox did not start");
}

void XSession::SplitIntoMonitors()
{
    const int left = options_.leftMonitorWidth, primary = options_.width - left, h = options_.height;
    if (left >= options_.width) Fail("the left monitor takes the whole screen");
    // Sizes in millimetres at 96 dpi; the primary one, marked with '*', owns the output, so
    // the server drops the monitor it made for the whole screen and lists the primary first.
    auto geometry = [h](int w, int x) {
        return std::to_string(w) + "/" + std::to_string(w * 254 / 960) + "x" + std::to_string(h) + "/" +
               std::to_string(h * 254 / 960) + "+" + std::to_string(x) + "+0";
    };
    SpawnOptions spawn;
    spawn.env = {{"DISPLAY", displayName_}};
    if (RunCommand({"xrandr", "--setmonitor", "*primary", geometry(primary, left), "screen"}, spawn, 30s) != 0 ||
        RunCommand({"xrandr", "--setmonitor", "left", geometry(left, 0), "none"}, spawn, 30s) != 0)
        Fail("xrandr could not split the screen into two monitors (is x11-xserver-utils installed?)");
}

void XSession::Sync() const { XSync(display_, False); }

uint32_t XSession::PatternColor(int x, int y)
{
    const uint32_t r = x & 0xFF, g = y & 0xFF, b = ((x >> 8) << 4) | (y >> 8);
    return (r << 16) | (g << 8) | (b & 0xFF);
}

std::tuple<int, int> XSession::DecodePattern(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return {((b >> 4) << 8) | r, ((b & 0x0F) << 8) | g};
}

void XSession::PaintPattern()
{
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    const int depth = DefaultDepth(display_, screen);
    const int w = options_.width, h = options_.height;
    XImage* image = XCreateImage(display_, visual, depth, ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!image) Fail("XCreateImage failed");
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) XPutPixel(image, x, y, PixelOf(PatternColor(x, y), visual));

    const Pixmap pixmap = XCreatePixmap(display_, root_, w, h, depth);
    GC gc = XCreateGC(display_, pixmap, 0, nullptr);
    XPutImage(display_, pixmap, gc, image, 0, 0, 0, 0, w, h);
    XFreeGC(display_, gc);
    XDestroyImage(image);
    // As the background the pattern survives windows moving over it and being closed.
    XSetWindowBackgroundPixmap(display_, root_, pixmap);
    XFreePixmap(display_, pixmap);
    XClearWindow(display_, root_);
    Sync();
}

void XSession::MovePointer(int x, int y)
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    Sync();
}

std::tuple<int, int> XSession::PointerPosition() const
{
    Window rootReturn = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display_, root_, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
}

void XSession::Press(unsigned button)
{
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    Sync();
}

void XSession::Release(unsigned button)
{
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    Sync();
}

void XSession::Drag(int fromX, int fromY, int toX, int toY, int steps, bool release, Milliseconds pace)
{
    MovePointer(fromX, fromY);
    Press(1);
    for (int i = 1; i <= steps; ++i) {
        MovePointer(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
        std::this_thread::sleep_for(pace);
    }
    if (release) Release(1);
}

void XSession::Click(unsigned button)
{
    Press(button);
    Release(button);
}

void XSession::KeyCombo(std::string_view combo)
{
    std::vector<KeyCode> keys;
    size_t start = 0;
    while (start <= combo.size()) {
        size_t end = combo.find('+', start);
        // A lone "+" or a combo ending in "++" names the plus key itself.
        if (end == start) end = combo.find('+', start + 1);
        if (end == std::string_view::npos) end = combo.size();
        std::string name(combo.substr(start, end - start));
        start = end + 1;
        if (name == "ctrl" || name == "control") name = "Control_L";
        else if (name == "shift") name = "Shift_L";
        else if (name == "alt") name = "Alt_L";
        else if (name == "super" || name == "win") name = "Super_L";
        else if (name == "+") name = "plus";
        const KeySym sym = XStringToKeysym(name.c_str());
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
        if (!code) Fail("no key for \"" + name + "\" in \"" + std::string(combo) + "\"");
        keys.push_back(code);
    }
    for (KeyCode k : keys) XTestFakeKeyEvent(display_, k, True, CurrentTime);
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) XTestFakeKeyEvent(display_, *k, False, CurrentTime);
    Sync();
}

void XSession::HoldKey(std::string_view key, bool down)
{
    std::string name(key);
    if (name == "ctrl" || name == "control") name = "Control_L";
    else if (name == "shift") name = "Shift_L";
    const KeySym sym = XStringToKeysym(name.c_str());
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
    if (!code) Fail("no key for \"" + name + "\"");
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    Sync();
}

void XSession::TypeText(std::string_view text)
{
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    for (char c : text) {
        // Printable Latin-1 characters are their own keysyms.
        const KeySym sym = c == '\n' ? XK_Return : static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display_, sym);
        if (!code) Fail(std::string("no key types '") + c + "'");
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != sym;
        if (shifted) XTestFakeKeyEvent(display_, shift, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    }
    Sync();
}

Screenshot XSession::GrabRoot() const { return Grab(0, 0, options_.width, options_.height); }

Screenshot XSession::Grab(int x, int y, int width, int height) const
{
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > options_.width || y + height > options_.height)
        Fail("grab outside the screen");
    XImage* image = XGetImage(display_, root_, x, y, width, height, AllPlanes, ZPixmap);
    if (!image) Fail("XGetImage failed");
    Screenshot shot{x, y, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    const bool plain = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
                       image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    for (int row = 0; row < height; ++row) {
        uint32_t* out = &shot.pixels[static_cast<size_t>(row) * width];
        if (plain) {
            const auto* in =
                reinterpret_cast<const uint32_t*>(image->data + static_cast<size_t>(row) * image->bytes_per_line);
            for (int col = 0; col < width; ++col) out[col] = in[col] & 0xFFFFFF;
        } else {
            for (int col = 0; col < width; ++col) {
                const unsigned long p = XGetPixel(image, col, row);
                out[col] = (uint32_t{Channel(p, image->red_mask)} << 16) |
                           (uint32_t{Channel(p, image->green_mask)} << 8) | Channel(p, image->blue_mask);
            }
        }
    }
    XDestroyImage(image);
    return shot;
}

uint32_t XSession::ColorAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= options_.width || y >= options_.height) Fail("pixel outside the screen");
    XImage* image = XGetImage(display_, root_, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) Fail("XGetImage failed");
    XColor color{};
    color.pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    XQueryColor(display_, DefaultColormap(display_, DefaultScreen(display_)), &color);
    return (uint32_t{color.red} >> 8 << 16) | (uint32_t{color.green} >> 8 << 8) | (uint32_t{color.blue} >> 8);
}

std::optional<std::string> XSession::TextProperty(Window window, unsigned long property) const
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, property, 0, 1 << 16, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success ||
        type == None) {
        if (data) XFree(data);
        return std::nullopt;
    }
    std::string text;
    if (format == 8 && data) {
        const std::string raw(reinterpret_cast<const char*>(data), count);
        if (type == XA_STRING) {
            // ISO 8859-1 to UTF-8
            for (unsigned char c : raw) {
                if (c < 0x80) text += static_cast<char>(c);
                else {
                    text += static_cast<char>(0xC0 | (c >> 6));
                    text += static_cast<char>(0x80 | (c & 0x3F));
                }
            }
        } else if (type == XInternAtom(display_, "UTF8_STRING", False)) {
            text = raw;
        } else {
            XTextProperty prop{data, type, format, count};
            char** list = nullptr;
            int n = 0;
            if (Xutf8TextPropertyToTextList(display_, &prop, &list, &n) >= Success && n > 0 && list) text = list[0];
            if (list) XFreeStringList(list);
        }
    }
    if (data) XFree(data);
    return text;
}

std::string XSession::WindowTitle(Window window) const
{
    if (auto t = TextProperty(window, XInternAtom(display_, "_NET_WM_NAME", False))) return *t;
    return TextProperty(window, XA_WM_NAME).value_or("");
}

bool XSession::IsShown(Window window) const
{
    XWindowAttributes a{};
    return XGetWindowAttributes(display_, window, &a) && a.map_state == IsViewable;
}

std::optional<Rect> XSession::WindowGeometry(Window window) const
{
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display_, window, &a)) return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child)) return std::nullopt;
    return Rect{x, y, a.width, a.height};
}

namespace {

template <typename Visit>
void WalkTree(Display* display, Window window, const Visit& visit)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
    const std::vector<Window> list(children, children + count);
    if (children) XFree(children);
    for (Window child : list) {
        visit(child);
        WalkTree(display, child, visit);
    }
}

}  // namespace

std::optional<Rect> XSession::FrameGeometry(Window window) const
{
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return std::nullopt;
        if (children) XFree(children);
        if (parent == root || parent == 0) return WindowGeometry(window);
        window = parent;
    }
}

std::optional<Rect> XSession::LargestInnerWindow(Window window) const
{
    std::optional<Rect> largest;
    WalkTree(display_, window, [&](Window w) {
        const auto r = IsShown(w) ? WindowGeometry(w) : std::nullopt;
        if (r && (!largest || r->width * r->height > largest->width * largest->height)) largest = r;
    });
    return largest;
}

std::vector<Window> XSession::WindowsByTitlePrefix(std::string_view prefix) const
{
    std::vector<Window> found;
    WalkTree(display_, root_, [&](Window w) {
        const auto title = WindowTitle(w);
        if (title.size() >= prefix.size() && title.compare(0, prefix.size(), prefix) == 0 && IsShown(w))
            found.push_back(w);
    });
    return found;
}

Window XSession::FindWindowByTitlePrefix(std::string_view prefix, Milliseconds timeout) const
{
    Window found = None;
    WaitFor(
        "a shown window titled \"" + std::string(prefix) + "...\"",
        [&] {
            const auto list = WindowsByTitlePrefix(prefix);
            if (!list.empty()) found = list.front();
            if (found == None)
                for (Program* app : Live().apps) app->RestartIfWineFailedToStart();
            return found != None;
        },
        timeout, 50ms);
    return found;
}

Window XSession::FocusedWindow() const
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == PointerRoot ? None : focus;
}

bool XSession::WaitFocusOn(std::string_view title, Milliseconds timeout) const
{
    return PollUntil(
        [&] {
            const Window focus = FocusedWindow();
            return focus != None && WindowTitle(focus) == title;
        },
        timeout, 50ms);
}

void XSession::NudgeWindow(Window window) const
{
    const auto g = WindowGeometry(window);
    if (!g) return;
    for (int dx : {1, 0}) {
        const std::string move = "DISPLAY=" + displayName_ + " timeout 10 xdotool windowmove --sync " +
                                 std::to_string(window) + " " + std::to_string(g->x + dx) + " " + std::to_string(g->y) +
                                 " >/dev/null 2>&1";
        if (std::system(move.c_str()) != 0) return;
    }
}

std::vector<Window> XSession::WindowsOfProcess(pid_t pid) const
{
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    std::vector<Window> found;
    WalkTree(display_, root_, [&](Window w) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
                Success &&
            format == 32 && count == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid)
            found.push_back(w);
        if (data) XFree(data);
    });
    return found;
}

void XSession::SendDeleteWindow(Window window) const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    Sync();
}

namespace {

bool HasWindowType(const XSession& session, Window window, std::initializer_list<const char*> types)
{
    Display* d = session.display();
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(d, window, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), 0, 16, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        format == 32)
        for (unsigned long i = 0; i < count; ++i)
            for (const char* name : types) found = found || reinterpret_cast<Atom*>(data)[i] == XInternAtom(d, name, False);
    if (data) XFree(data);
    return found;
}

}  // namespace

bool IsMenuWindow(const XSession& session, XWindow window)
{
    return HasWindowType(session, window, {"_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", "_NET_WM_WINDOW_TYPE_POPUP_MENU"});
}

bool IsDialogWindow(const XSession& session, XWindow window)
{
    return HasWindowType(session, window, {"_NET_WM_WINDOW_TYPE_DIALOG"});
}

// ---------------------------------------------------------------------------------------
// helper_target's log

std::vector<TargetMessage> ReadTargetLog(const fs::path& file)
{
    std::vector<TargetMessage> messages;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        TargetMessage m;
        unsigned long long wParam = 0;
        unsigned msg = 0;
        if (std::sscanf(line.c_str(), "%x %llx %d %d", &msg, &wParam, &m.x, &m.y) == 4) {
            m.msg = msg;
            m.wParam = wParam;
            messages.push_back(m);
        }
    }
    return messages;
}

// ---------------------------------------------------------------------------------------
// Program

namespace {

std::string QueryAnswer(Program& query, Milliseconds timeout)
{
    if (!query.WaitForExit(timeout)) return "";
    std::ifstream in(query.Folder() / "query-out.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

std::vector<std::string> QueryAll(const XSession& session, const std::vector<std::vector<std::string>>& argLists)
{
    std::vector<std::unique_ptr<Program>> running;
    for (auto args : argLists) {
        args.push_back("query-out.txt");
        running.push_back(std::make_unique<Program>(session, Program::Helper("helper_query", std::move(args))));
    }
    std::vector<std::string> results;
    for (auto& query : running) results.push_back(QueryAnswer(*query, 60s));
    return results;
}

std::string Query(const XSession& session, std::vector<std::string> args)
{
    args.push_back("query-out.txt");
    Program query(session, Program::Helper("helper_query", std::move(args)));
    return QueryAnswer(query, 30s);
}

void PostCommand(const XSession& session, CommandId id)
{
    Query(session, {"command", std::to_string(static_cast<int>(id))});
}

// How many of the menu bar's first `count` drop-downs begin with a submenu.
int MenusOpeningASubmenu(int count)
{
    int depth = 0, title = -1, found = 0;
    bool first = false;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind == MenuItemKind::EndSubmenu) {
            --depth;
            continue;
        }
        if (e.Kind == MenuItemKind::Separator) continue;
        if (depth == 1 && first && title < count && e.Kind == MenuItemKind::Submenu) ++found;
        if (depth == 1) first = false;
        if (depth == 0) ++title, first = true;
        if (e.Kind == MenuItemKind::Submenu) ++depth;
    }
    return found;
}

std::vector<std::string> MenuKeys(CommandId id, Edge edge)
{
    std::vector<int> seen{0};  // entries met so far on each open level
    std::vector<int> path;     // the index of each open submenu on its level
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind == MenuItemKind::EndSubmenu) {
            if (!path.empty()) path.pop_back(), seen.pop_back();
            continue;
        }
        if (e.Kind == MenuItemKind::Separator) continue;
        const int index = seen.back()++;
        if (e.Id == id) {
            path.push_back(index);
            std::vector<std::string> keys{"F10"};
            keys.insert(keys.end(), static_cast<size_t>(path[0]), "Right");
            // Qt's F10 opens the first drop-down, so Right walks the bar through open drop-downs:
            // one whose first entry is a submenu takes a Right to open it and one more to go on.
            if (edge == Edge::Native)
                keys.insert(keys.end(), static_cast<size_t>(MenusOpeningASubmenu(path[0])), "Right");
            for (size_t level = 1; level < path.size(); ++level) {
                // Qt's menus open at F10 and select a drop-down's first entry on the way along.
                if (level > 1 || edge == Edge::Wine || path[0] == 0) keys.push_back(level == 1 ? "Down" : "Right");
                keys.insert(keys.end(), static_cast<size_t>(path[level]), "Down");
            }
            keys.push_back("Return");
            return keys;
        }
        if (e.Kind == MenuItemKind::Submenu) path.push_back(index), seen.push_back(0);
    }
    return {};
}

void ChooseCommand(XSession& session, Edge edge, CommandId id)
{
    if (edge == Edge::Wine) return PostCommand(session, id);
    for (const std::string& key : MenuKeys(id, edge)) session.KeyCombo(key);
}

ProgramOptions Program::Helper(std::string_view name, std::vector<std::string> args, Edge edge)
{
    ProgramOptions options;
    options.edge = edge;
    options.exe = edge == Edge::Wine ? fs::path(OCUMIRA_WIN_DIR) / (std::string(name) + ".exe")
                                     : fs::path(OCUMIRA_NATIVE_DIR) / std::string(name);
    options.args = std::move(args);
    return options;
}

std::string Program::WindowsPath(const fs::path& path)
{
    std::string s = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

std::string EdgeName(const ::testing::TestParamInfo<Edge>& info)
{
    return info.param == Edge::Wine ? "Wine" : "Native";
}

bool EdgeBuilt(Edge edge)
{
    return edge == Edge::Wine ? OcumiraBuilt() : fs::is_regular_file(OCUMIRA_NATIVE);
}

std::optional<Rect> ClientArea(const XSession& session, XWindow window, Edge edge)
{
    if (edge == Edge::Native) return session.LargestInnerWindow(window);
    const std::string out = Query(session, {"client"});
    Rect r;
    if (std::sscanf(out.c_str(), "client %d %d %d %d", &r.x, &r.y, &r.width, &r.height) != 4) return std::nullopt;
    // Windows' screen coordinates to the X root's (they differ with a monitor left of the primary).
    r.x += session.WindowsOriginX();
    return r;
}

std::optional<Rect> OuterBounds(const XSession& session, XWindow window, Edge edge)
{
    return edge == Edge::Wine ? session.WindowGeometry(window) : session.FrameGeometry(window);
}

Program::Program(const XSession& session, ProgramOptions options) : session_(session), edge_(options.edge)
{
    if (options.exe.empty()) options.exe = edge_ == Edge::Wine ? OCUMIRA_EXE : OCUMIRA_NATIVE;
    if (options.exe.empty() || !fs::is_regular_file(options.exe))
        Fail("no program to run at \"" + options.exe.string() + "\" (build the " +
             (edge_ == Edge::Wine ? "windows preset" : "native program") + " first)");
    if (edge_ == Edge::Wine) PrepareWinePrefix();

    if (options.inPlace) {
        exe_ = fs::absolute(options.exe);
        folder_ = exe_.parent_path();
        ownsFolder_ = false;
    } else {
        char folder[] = "/tmp/ocu-e2e-XXXXXX";
        if (!mkdtemp(folder)) Fail("mkdtemp failed");
        folder_ = folder;
        // The native program stays where it was built: it finds its settings by its home.
        exe_ = edge_ == Edge::Native ? fs::absolute(options.exe) : folder_ / options.exe.filename();
        if (edge_ == Edge::Wine) fs::copy_file(options.exe, exe_);
    }
    ini_ = std::move(options.ini);
    argv_ = edge_ == Edge::Wine ? std::vector<std::string>{"wine", exe_.string()} : std::vector{exe_.string()};
    argv_.insert(argv_.end(), options.args.begin(), options.args.end());
    if (edge_ == Edge::Wine && g_liveApps == 0) AwaitWineDisplay(session_);
    Launch();
    if (edge_ == Edge::Wine) ++g_liveApps;
    Live().apps.push_back(this);
}

fs::path Program::IniPath() const
{
    return edge_ == Edge::Wine ? folder_ / "Ocumira.ini" : folder_ / ".config" / "ocumira" / "Ocumira.ini";
}

void Program::Launch()
{
    if (ini_) {
        fs::create_directories(IniPath().parent_path());
        std::ofstream ini(IniPath(), std::ios::binary | std::ios::trunc);
        ini << *ini_;
    }
    SpawnOptions spawn;
    spawn.env = edge_ == Edge::Wine ? WineEnvironment(session_.DisplayName()) : NativeEnvironment(session_, folder_);
    spawn.cwd = folder_;
    spawn.output = folder_ / "wine-output.txt";
    exitCode_.reset();
    pid_ = Spawn(argv_, spawn);
}

bool Program::RestartIfWineFailedToStart()
{
    if (restarted_ || ExitCode() != 1) return false;
    restarted_ = true;
    std::fprintf(stderr, "[e2e] %s ended with 1 before its window showed; Wine said:\n",
                 exe_.filename().string().c_str());
    const auto said = LastLines(folder_ / "wine-output.txt", 8);
    if (said.empty()) std::fprintf(stderr, "    (nothing)\n");
    for (const auto& line : said) std::fprintf(stderr, "    %s\n", line.c_str());
    std::fprintf(stderr, "[e2e] started it once more\n");
    Launch();
    return true;
}

Program::~Program()
{
    Forget(Live().apps, this);
    try {
        Kill();
        // The last app of a test ends the prefix's wineserver and desktop with it, so the
        // next test starts on its own display with nothing left over.
        if (edge_ == Edge::Wine && --g_liveApps == 0) {
            WineServer("-k");
            WineServer("-w");
        }
        if (ownsFolder_ && !std::getenv("OCU_E2E_KEEP")) {
            std::error_code ignored;
            fs::remove_all(folder_, ignored);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
}

fs::path Program::ExePath() const { return exe_; }

bool Program::Reap(bool block)
{
    if (exitCode_) return true;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (r == pid_) exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else if (r < 0) exitCode_ = -1;
    return exitCode_.has_value();
}

bool Program::Running() { return !Reap(false); }

std::optional<int> Program::ExitCode()
{
    Reap(false);
    return exitCode_;
}

bool Program::WaitForExit(Milliseconds timeout)
{
    return WaitFor(
        exe_.filename().string() + " to end", [&] { return Reap(false); }, timeout);
}

bool Program::Close(XWindow window, Milliseconds timeout)
{
    if (!Running()) return true;
    std::vector<Window> targets;
    if (window != None) targets.push_back(window);
    else
        for (Window w : session_.WindowsOfProcess(pid_))
            if (session_.IsShown(w)) targets.push_back(w);
    for (Window w : targets) session_.SendDeleteWindow(w);
    if (WaitForExit(timeout)) return true;
    Kill();
    return false;
}

void Program::Kill()
{
    if (pid_ <= 0 || Reap(false)) return;
    kill(pid_, SIGKILL);
    Reap(true);
}

std::optional<std::string> Program::ReadIni() const
{
    std::ifstream in(IniPath(), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// ---------------------------------------------------------------------------------------
// The failure report

namespace {

std::optional<long> WindowPid(Display* display, Window window)
{
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (format == 32 && count == 1) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

std::string DescribeSession(XSession& session, const std::string& shotName)
{
    std::ostringstream out;
    const auto [px, py] = session.PointerPosition();
    out << "  pointer at " << px << "," << py << "\n";
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(session.display(), &focus, &revert);
    out << "  keyboard focus: window 0x" << std::hex << focus << std::dec << " \"" << session.WindowTitle(focus)
        << "\"\n";
    auto windows = session.WindowsByTitlePrefix("");
    std::erase_if(windows, [&](Window w) { return session.WindowTitle(w).empty(); });
    out << "  titled windows shown (" << windows.size() << "):\n";
    size_t listed = 0;
    for (Window w : windows) {
        if (++listed > 20) {
            out << "    ...\n";
            break;
        }
        out << "    \"" << session.WindowTitle(w) << "\" at " << session.WindowGeometry(w).value_or(Rect{});
        if (const auto pid = WindowPid(session.display(), w)) out << " pid " << *pid;
        out << "\n";
    }
    const Screenshot shot = session.GrabRoot();
    const fs::path ppm = FailureFolder() / (shotName + ".ppm");
    const fs::path png = FailureFolder() / (shotName + ".png");
    std::string saved;
    if (shot.SavePpm(ppm)) {
        const std::string cmd = "convert '" + ppm.string() + "' '" + png.string() + "' 2>/dev/null";
        if (std::system(cmd.c_str()) == 0) {
            fs::remove(ppm);
            saved = png.string();
        } else {
            saved = ppm.string();
        }
    }
    out << "  screenshot of the display: " << (saved.empty() ? "(could not be written)" : saved) << "\n";
    return out.str();
}

// The message boxes and dialogs shown under Wine, through helper_query (X cannot read their
// texts). Bounded: a hung program can hold up the query.
std::string DescribeBoxes(const XSession& session)
{
    const fs::path query = fs::path(OCUMIRA_WIN_DIR) / "helper_query.exe";
    if (!fs::is_regular_file(query)) return "  (no helper_query.exe to list message boxes)\n";
    Program app(session, Program::Helper("helper_query", {"boxes", "query-out.txt"}));
    std::optional<int> code;
    for (const auto deadline = Clock::now() + 15s; !(code = app.ExitCode()) && Clock::now() < deadline;)
        std::this_thread::sleep_for(20ms);
    if (!code) return "  message boxes: helper_query did not answer in 15 s\n";
    std::string text;
    for (const auto& line : LastLines(app.Folder() / "query-out.txt", 20)) text += "    " + line + "\n";
    return "  message boxes and dialogs under Wine:\n" + (text.empty() ? "    (no answer)\n" : text);
}

std::string DescribeApp(Program& app)
{
    std::ostringstream out;
    out << "  " << app.ExePath().filename().string() << " (pid " << app.Pid() << ", folder " << app.Folder().string()
        << "): ";
    if (const auto code = app.ExitCode()) out << "ended with " << *code << "\n";
    else out << "running\n";
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(app.Folder(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name == "wine-output.txt" || name.find("log") != std::string::npos ||
            name.find("-out") != std::string::npos)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        const auto lines = LastLines(file, 8);
        out << "    last lines of " << file.filename().string() << (lines.empty() ? ": (empty)\n" : ":\n");
        for (const auto& line : lines) out << "      " << line << "\n";
    }
    return out.str();
}

std::string ShotName(const std::string& test, int number)
{
    std::string name = test.empty() ? "e2e" : test;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') c = '_';
    return name + "-" + std::to_string(number);
}

class ReportOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override
    {
        Live().ranOut.clear();
        reports_ = 0;
        // Asking gtest for the current test from inside OnTestPartResult would deadlock.
        test_ = std::string(test.test_suite_name()) + "." + test.name();
    }

    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (!result.failed() || busy_) return;
        if (++reports_ > kReportsPerTest) {
            if (reports_ == kReportsPerTest + 1)
                std::printf("[e2e report] (no report for further failures of this test)\n");
            return;
        }
        busy_ = true;
        try {
            std::printf("%s", Report(result).c_str());
        } catch (const std::exception& e) {
            std::printf("[e2e report] could not be completed: %s\n", e.what());
        }
        std::fflush(stdout);
        busy_ = false;
    }

    std::string Report(const ::testing::TestPartResult& result)
    {
        std::ostringstream out;
        out << "[e2e report] failure at " << (result.file_name() ? result.file_name() : "?") << ":"
            << result.line_number() << "\n"
            << DescribeFailureState(ShotName(test_, reports_)) << "[e2e report] end\n";
        return out.str();
    }

    static constexpr int kReportsPerTest = 2;
    int reports_ = 0;
    bool busy_ = false;
    std::string test_;
};

const bool g_reportRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ReportOnFailure);
    return true;
}();

}  // namespace

std::string DescribeFailureState(std::string_view shotName)
{
    std::ostringstream out;
    auto& live = Live();
    const auto now = Clock::now();
    if (live.ranOut.empty()) out << "  no wait ran out in this test\n";
    else out << "  waits that ran out, last one last:\n";
    for (const auto& r : live.ranOut) {
        out << "    " << fs::path(r.where.file_name()).filename().string() << ":" << r.where.line() << " waited "
            << r.timeout.count() << " ms" << (r.what.empty() ? "" : " for " + r.what) << " ("
            << std::chrono::duration_cast<Milliseconds>(now - r.when).count() << " ms ago)\n";
    }
    for (const auto& [id, note] : live.notes) out << "  " << note() << "\n";
    const std::vector<Program*> apps = live.apps;
    for (Program* app : apps) out << DescribeApp(*app);
    if (!live.sessions.empty()) {
        XSession& session = *live.sessions.back();
        out << DescribeSession(session, std::string(shotName));
        bool anyRunning = false;
        for (Program* app : apps) anyRunning = anyRunning || app->Running();
        if (anyRunning) out << DescribeBoxes(session);
    }
    return out.str();
}

fs::path SourceDir() { return OCU_SOURCE_DIR; }

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Shell(const std::string& command, bool* ok)
{
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
    const int status = pclose(pipe);
    if (ok) *ok = status == 0;
    return out;
}

}  // namespace ocu::e2e
