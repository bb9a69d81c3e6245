// What the mode tests (fixed area, surface layer, projection, hot keys) share: a running
// magnifier with its view located on the screen, settings text for a clean start, and the
// helper_query program for what X cannot tell us.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/Harness.h"
#include "mainwindow/ViewLayout.h"
#include "pipeline/FramePipeline.h"

namespace ocu::e2e {

inline constexpr std::string_view kMainTitle = "Lumivane Ocumira";
// The common file dialog's name box (edt1 of the system's dialog templates).
inline constexpr int kFileNameBox = 1148;

struct StartSettings {
    // Outer window bounds: by default at the right of the 1280x1024 screen, so the left part
    // of the screen can be sampled without the magnifier's own window in it.
    int left = 880, top = 80, right = 1240, bottom = 520;
    int capRateTenths = 20;
    int samplingMs = 30;
    bool fixView = false;
    int fixX = 200, fixY = 200;
    bool colorShown = false;  // the colour under the pointer in the hint line
};

inline std::string SettingsText(const StartSettings& s)
{
    std::ostringstream ini;
    ini << "[BoundsRect]\r\nLeft=" << s.left << "\r\nTop=" << s.top << "\r\nRight=" << s.right
        << "\r\nBottom=" << s.bottom << "\r\n[Zuri]\r\nCapRate=" << s.capRateTenths
        << "\r\nSamplingRate=" << s.samplingMs << "\r\nFixView=" << (s.fixView ? 1 : 0) << "\r\nFixViewX=" << s.fixX
        << "\r\nFixViewY=" << s.fixY << "\r\nScaleWidth=" << (s.right - s.left)
        << "\r\nScaleHeight=" << (s.bottom - s.top) << "\r\n[Setting]\r\nFirstRun=0\r\nRunCount=10\r\n";
    if (s.colorShown) ini << "[Ocumira]\r\nPointerColorVisible=1\r\n";
    return ini.str();
}

// The value of `key` in an ini text (first occurrence), or "" if it is not there.
inline std::string IniValue(const std::string& text, std::string_view key)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=')
            return line.substr(key.size() + 1);
    }
    return "";
}

// Runs one of the helper programs; returns what it wrote to its output file (appended to `args`).
inline std::string RunHelper(const XSession& session, std::string_view name, std::vector<std::string> args,
                             Edge edge = Edge::Wine)
{
    args.push_back("helper-out.txt");
    Program helper(session, Program::Helper(name, std::move(args), edge));
    if (!helper.WaitForExit(30s)) return "";
    std::ifstream in(helper.Folder() / "helper-out.txt", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::erase(text, '\r');  // the helpers write text mode
    return text;
}

// The fifteen system-wide combinations, as the key names XTest takes.
inline constexpr const char* kHotKeyCombos[] = {
    "ctrl+a",     "ctrl+s",  "ctrl+d",    "ctrl+f", "ctrl+F2", "ctrl+F3",    "ctrl+e",      "ctrl+Left",
    "ctrl+Right", "ctrl+Up", "ctrl+Down", "ctrl+t", "ctrl+g",  "shift+Left", "shift+Right",
};

// A combination's modifier flags and virtual key as Windows registers them (MOD_CONTROL 2,
// MOD_SHIFT 4; letters are their capitals, F1 is 0x70, the arrows 0x25 to 0x28 in the order
// Left, Up, Right, Down).
inline std::vector<std::string> RegisterArgs(std::string_view keys)
{
    const size_t plus = keys.find('+');
    const std::string_view key = keys.substr(plus + 1);
    int vk = 0;
    if (key.size() == 1) vk = std::toupper(static_cast<unsigned char>(key[0]));
    else if (key[0] == 'F') vk = 0x6F + std::stoi(std::string(key.substr(1)));
    else vk = 0x25 + static_cast<int>(std::string_view("Left Up   RightDown").find(key)) / 5;
    return {"hotkey", keys.starts_with("shift") ? "4" : "2", std::to_string(vk)};
}

// Whether each of the fifteen combinations is free ("free") or held ("taken"), as another
// program trying to register it finds.
inline std::vector<std::string> HotKeyStates(const XSession& session)
{
    std::vector<std::vector<std::string>> lists;
    for (const char* keys : kHotKeyCombos) lists.push_back(RegisterArgs(keys));
    std::vector<std::string> states;
    for (const auto& r : QueryAll(session, lists)) states.push_back(r.rfind("hotkey ", 0) == 0 ? r.substr(7) : "?" + r);
    return states;
}

// A pattern-showing view row: decoded pixels across it share one source row and step right.
inline bool IsPatternRow(const Screenshot& shot, int row)
{
    const int w = shot.width;
    const int cols[] = {2, w / 3, (2 * w) / 3, w - 3};
    int lastX = -1, y0 = -1;
    for (int c : cols) {
        const auto [x, y] = XSession::DecodePattern(shot.At(c, row));
        if (x <= lastX || x >= 1280 || y >= 1024) return false;
        if (y0 >= 0 && y != y0) return false;
        lastX = x;
        y0 = y;
    }
    return true;
}

// The magnifier started from a given settings text, with its window and view located.
class Magnifier {
public:
    Magnifier(XSession& session, const std::string& ini, Edge edge = Edge::Wine)
        : session_(session), edge_(edge), app_(session, ProgramOptions{.ini = ini, .edge = edge}) {}

    // Waits for the main window and finds the view. The view must be showing the pattern
    // (the pointer, or a pinned area, over an empty part of the screen) for its bottom edge
    // to be found.
    void Start()
    {
        window_ = session_.FindWindowByTitlePrefix(kMainTitle, 40s);
        ASSERT_NE(window_, 0u) << "Ocumira's main window did not appear";
        ASSERT_TRUE(WaitFor(
            "the client area, inside the window as X shows it",
            [&] {
                const auto client = ClientArea(session_, window_, edge_);
                if (!client) return false;
                client_ = *client;
                // A window the window manager has not framed yet has no place to compare with.
                const auto outer = OuterBounds(session_, window_, edge_);
                if (!outer) return false;
                if (!outer->Contains(client_.x, client_.y)) {
                    session_.NudgeWindow(window_);  // Wine has the window elsewhere than X
                    return false;
                }
                return true;
            },
            30s, 100ms))
            << "client " << client_ << "; window " << OuterBounds(session_, window_, edge_).value_or(Rect{});
        // The view's bottom edge: the last pattern row above the status bar, once it and the
        // client area stay put (a window manager may still move a window just shown).
        int height = 0;
        auto since = std::chrono::steady_clock::now();
        ASSERT_TRUE(PollUntil(
            [&] {
                const auto client = ClientArea(session_, window_, edge_);
                if (!client) return false;
                const Screenshot shot = session_.Grab(client->x, client->y, client->width, client->height);
                int row = kViewTop;
                while (row < client->height && IsPatternRow(shot, row)) ++row;
                const auto now = std::chrono::steady_clock::now();
                if (row - kViewTop != height || !(*client == client_)) since = now;
                client_ = *client;
                height = row - kViewTop;
                return height > client_.height / 2 && now - since >= 300ms;
            },
            20s, 50ms))
            << "the view never showed the pattern; client " << client_;
        view_ = {client_.x, client_.y + kViewTop, client_.width, height};
    }

    Program& App() { return app_; }
    XWindow Window() const { return window_; }
    const Rect& Client() const { return client_; }
    const Rect& View() const { return view_; }

    std::string Title() const { return session_.WindowTitle(window_); }
    bool WaitTitleHas(std::string_view text, Milliseconds timeout = 10s,
                      std::source_location where = std::source_location::current()) const
    {
        return WaitFor(
            "the title to hold \"" + std::string(text) + "\" (it reads \"" + Title() + "\" at the start)",
            [&] { return Title().find(text) != std::string::npos; }, timeout, 20ms, where);
    }

    Screenshot GrabView() const { return session_.Grab(view_.x, view_.y, view_.width, view_.height); }
    // Screen point of a view point.
    int ScreenX(int vx) const { return view_.x + vx; }
    int ScreenY(int vy) const { return view_.y + vy; }

    // Focuses the main window with a click on the view (a click without movement starts and
    // ends a window drag that moves nothing).
    void ClickView(int vx, int vy)
    {
        session_.MovePointer(ScreenX(vx), ScreenY(vy));
        session_.Click(1);
    }

    // Shown X windows of the program (its main window, open menus, message boxes).
    std::vector<XWindow> Shown() const
    {
        std::vector<XWindow> shown;
        for (XWindow w : session_.WindowsOfProcess(app_.Pid()))
            if (session_.IsShown(w)) shown.push_back(w);
        return shown;
    }
    size_t ShownWindows() const { return Shown().size(); }

    // Opens the drop-down of the menu bar's title number `index` (0 is the first) with the
    // keyboard, as a person without a mouse does: F10 selects the bar, Right moves along it
    // and Down opens the drop-down with its first entry selected. The main window must have
    // the keyboard focus. True once the drop-down is on the screen.
    bool OpenMenuByKeys(int index)
    {
        // A click gives the focus through the window manager, a moment after the click.
        if (!WaitFor(
                "the main window to have the keyboard focus", [&] { return session_.FocusedWindow() == window_; }, 10s))
            return false;
        const std::vector<XWindow> base = Shown();
        const size_t before = base.size();
        // Now and then, on a busy machine, Wine drops the F10 that comes right after the focus
        // arrived, and the keys after it move nothing: a person would close what is open and
        // press again, and so does this.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt > 0) {
                session_.KeyCombo("Escape");
                session_.KeyCombo("Escape");
            }
            session_.KeyCombo("F10");
            if (edge_ == Edge::Native) {
                if (WalkQtMenuBar(index, base)) return true;
                continue;
            }
            for (int i = 0; i < index; ++i) session_.KeyCombo("Right");
            session_.KeyCombo("Down");
            if (PollUntil([&] { return ShownWindows() > before; }, 4s)) return true;
        }
        return WaitFor(
            "the drop-down of menu title " + std::to_string(index) + " to open",
            [&] { return ShownWindows() > before; }, 1s);
    }

    // Qt's F10 opens the first drop-down with nothing selected; Right then moves to the next
    // title, selecting its first entry, or opens the submenu under a selected entry first.
    // Each Right is sent once the one before it has shown on the screen (a drop-down replaced
    // or a submenu added), so the walk ends on the title asked for, however busy the machine.
    bool WalkQtMenuBar(int index, const std::vector<XWindow>& base)
    {
        // The menus: shown windows that were not there before F10.
        const auto menus = [&] {
            std::vector<XWindow> open;
            for (XWindow w : Shown())
                if (std::find(base.begin(), base.end(), w) == base.end()) open.push_back(w);
            return open;
        };
        std::vector<XWindow> shown;
        if (!PollUntil([&] { return !(shown = menus()).empty(); }, 4s)) return false;
        for (int title = 0, steps = 0; title < index; ++steps) {
            if (steps > 2 * index + 2) return false;
            const std::vector<XWindow> was = shown;
            session_.KeyCombo("Right");
            // Qt hides one drop-down and shows the next in one go: what the server shows
            // counts once it holds for a moment.
            auto since = std::chrono::steady_clock::now();
            std::vector<XWindow> last = was;
            if (!PollUntil(
                    [&] {
                        shown = menus();
                        const auto now = std::chrono::steady_clock::now();
                        if (shown != last) since = now;
                        last = shown;
                        return shown != was && !shown.empty() && now - since >= 200ms;
                    },
                    4s))
                return false;
            // A new title's drop-down replaces every open one; a submenu leaves its menu open.
            title += std::none_of(
                was.begin(), was.end(), [&](XWindow w) { return std::find(shown.begin(), shown.end(), w) != shown.end(); });
        }
        if (index == 0) session_.KeyCombo("Down");
        return true;
    }
    // The open drop-down menu: the program's shown window without a title, or (Qt names every
    // window) the one that says it is a menu.
    std::optional<Rect> DropDown() const
    {
        for (XWindow w : session_.WindowsOfProcess(app_.Pid()))
            if (w != window_ && session_.IsShown(w) && (session_.WindowTitle(w).empty() || IsMenuWindow(session_, w)))
                return session_.WindowGeometry(w);
        return std::nullopt;
    }

    // "Lumivane Ocumira [倍率:2.0倍 ...": the zoom text of the title.
    std::string ZoomText() const
    {
        const std::string t = Title();
        const auto a = t.find("倍率:");
        if (a == std::string::npos) return "";
        const auto start = a + std::string_view("倍率:").size();
        const auto b = t.find("倍", start);
        return b == std::string::npos ? "" : t.substr(start, b - start);
    }

private:
    XSession& session_;
    Edge edge_;
    Program app_;
    XWindow window_ = 0;
    Rect client_;
    Rect view_;
};

// What the core renders into `view` from a srcWidth x srcHeight capture at `zoom`; the tests
// add the mode they predict (grid, mirror, turn, surface layer).
inline RenderParams ViewRenderParams(const Rect& view, int srcWidth, int srcHeight, float zoom)
{
    RenderParams p;
    p.ViewWidth = view.width;
    p.ViewHeight = view.height;
    p.SrcWidth = srcWidth;
    p.SrcHeight = srcHeight;
    p.ZoomRate = zoom;
    return p;
}

// A magnifier over the pattern with the pointer resting at (x, y), not yet located: the
// caller starts it (Start asserts, so it has to run in the test itself).
inline Magnifier MagnifierOverPattern(XSession& session, int x, int y, const StartSettings& settings = {},
                                      Edge edge = Edge::Wine)
{
    session.PaintPattern();
    session.MovePointer(x, y);
    return Magnifier(session, SettingsText(settings), edge);
}

// Settings that pin the view on the area around (x, y) from the start.
inline StartSettings PinnedAt(int x, int y)
{
    StartSettings s;
    s.fixView = true;
    s.fixX = x;
    s.fixY = y;
    return s;
}

// Paints the pattern, rests the pointer low on the screen, away from the area and the window,
// and starts a magnifier pinned on the pattern around (300, 400): a view that stays still.
inline void StartPinnedOnPattern(XSession& session, std::unique_ptr<Magnifier>& m, Edge edge = Edge::Wine)
{
    session.PaintPattern();
    session.MovePointer(640, 980);
    m = std::make_unique<Magnifier>(session, SettingsText(PinnedAt(300, 400)), edge);
    ASSERT_NO_FATAL_FAILURE(m->Start());
}

inline std::string ScreenshotFolder()
{
    const auto dir = std::filesystem::temp_directory_path() / "ocu-e2e-shots";
    std::filesystem::create_directories(dir);
    return dir.string();
}

// Writes a screenshot as PNG (through ImageMagick when present, else PPM) and returns the path.
inline std::string SaveShot(const Screenshot& shot, const std::string& name)
{
    const auto ppm = std::filesystem::path(ScreenshotFolder()) / (name + ".ppm");
    shot.SavePpm(ppm);
    const auto png = std::filesystem::path(ScreenshotFolder()) / (name + ".png");
    const std::string cmd = "convert '" + ppm.string() + "' '" + png.string() + "' 2>/dev/null";
    if (std::system(cmd.c_str()) == 0) {
        std::filesystem::remove(ppm);
        return png.string();
    }
    return ppm.string();
}

}  // namespace ocu::e2e
