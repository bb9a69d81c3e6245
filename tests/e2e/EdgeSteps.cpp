#include "e2e/EdgeSteps.h"

#include "e2e/ModeProbe.h"

// After gtest and the core: Xlib's macros (None, Bool...) break their headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <sstream>

namespace ocu::e2e {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& s)
{
    std::string out = "'";
    for (const char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// xclip on the session's display, reading or owning the CLIPBOARD selection.
std::string Xclip(const XSession& session, const std::string& args, bool* ok = nullptr)
{
    return Shell("DISPLAY=" + session.DisplayName() + " timeout 10 xclip -selection clipboard " + args, ok);
}

// The dialogs of a native program: its shown windows that say they are dialogs.
std::vector<XWindow> NativeDialogs(const XSession& session, pid_t pid)
{
    std::vector<XWindow> found;
    for (const XWindow w : session.WindowsOfProcess(pid)) {
        const std::string title = session.WindowTitle(w);
        if (session.IsShown(w) && !title.starts_with(kMainTitle) && IsDialogWindow(session, w)) found.push_back(w);
    }
    return found;
}

// The message of a box as Ctrl+C copies it: the part between the second and third rule.
std::string CopiedMessage(const std::string& copied)
{
    std::istringstream in(copied);
    std::string line, text;
    int rules = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("-----")) {
            if (++rules == 3) return text;
        } else if (rules == 2) {
            text += (text.empty() ? "" : "\n") + line;
        }
    }
    return "";
}

}  // namespace

std::string PathFor(Edge edge, const fs::path& path)
{
    return edge == Edge::Wine ? Program::WindowsPath(path) : path.string();
}

std::string ClipboardText(const XSession& session, Edge edge)
{
    if (edge == Edge::Wine) {
        const std::string r = RunHelper(session, "helper_clipboard", {"readtext"});
        return r.rfind("text ", 0) == 0 ? r.substr(5, r.find('\n') - 5) : "?" + r;
    }
    bool ok = false;
    const std::string text = Xclip(session, "-o -t UTF8_STRING 2>&1", &ok);
    return ok ? text : "?" + text;
}

bool PutOnClipboard(const XSession& session, Edge edge, const std::string& text)
{
    if (edge == Edge::Wine) return RunHelper(session, "helper_clipboard", {"text", text}) == "text set\n";
    // xclip stays behind to hand the text out until another program takes the clipboard.
    Shell("printf %s " + Quoted(text) + " | DISPLAY=" + session.DisplayName() +
          " xclip -selection clipboard -i >/dev/null 2>&1");
    return PollUntil([&] { return ClipboardText(session, edge) == text; }, 5s, 50ms);
}

std::string ClipboardPicture(const XSession& session, Edge edge, const fs::path& bmp)
{
    if (edge == Edge::Wine) return RunHelper(session, "helper_clipboard", {"read", Program::WindowsPath(bmp)});
    const std::string targets = Xclip(session, "-o -t TARGETS 2>&1");
    if (targets.find("image/bmp") == std::string::npos) return "no picture: " + targets;
    bool ok = false;
    const std::string why = Xclip(session, "-o -t image/bmp > " + Quoted(bmp.string()) + " 2>&1", &ok);
    return ok && fs::file_size(bmp) > 0 ? "bitmap" : "unreadable: " + why;
}

bool MainIsActive(const XSession& session, Edge edge, XWindow main)
{
    if (edge == Edge::Wine) return Query(session, {"foreground"}) == "foreground 1";
    return session.FocusedWindow() == main;
}

bool Activate(const XSession& session, XWindow window)
{
    return window != 0 && std::system(("DISPLAY=" + session.DisplayName() + " timeout 10 xdotool windowactivate --sync " +
                                       std::to_string(window) + " >/dev/null 2>&1")
                                          .c_str()) == 0;
}

void ChooseFromMenu(XSession& session, Edge edge, XWindow main, CommandId id)
{
    if (edge == Edge::Native) Activate(session, main);
    ChooseCommand(session, edge, id);
    // The drop-down closes a moment after the entry is chosen; until then it covers the view.
    if (edge == Edge::Native)
        WaitFor(
            "the menu to close",
            [&] {
                const auto shown = session.WindowsByTitlePrefix("");
                return std::none_of(shown.begin(), shown.end(), [&](XWindow w) { return IsMenuWindow(session, w); });
            },
            10s);
}

namespace {
bool g_grabRefused = false;
int NoteRefusal(Display*, XErrorEvent* e)
{
    g_grabRefused = g_grabRefused || e->error_code == BadAccess;
    return 0;
}
}  // namespace

std::vector<std::string> HotKeyStates(const XSession& session, Edge edge)
{
    if (edge == Edge::Wine) return e2e::HotKeyStates(session);
    // A connection of its own, as another program's: a grab is refused when a client holds it.
    Display* other = XOpenDisplay(session.DisplayName().c_str());
    if (other == nullptr) return {};
    const auto previous = XSetErrorHandler(NoteRefusal);
    std::vector<std::string> states;
    for (const char* combo : kHotKeyCombos) {
        const std::string_view keys(combo);
        const std::string name(keys.substr(keys.find('+') + 1));
        const KeyCode code = XKeysymToKeycode(other, XStringToKeysym(name.c_str()));
        const unsigned mods = keys.starts_with("shift") ? ShiftMask : ControlMask;
        g_grabRefused = false;
        XGrabKey(other, code, mods, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync);
        XSync(other, False);
        states.push_back(g_grabRefused ? "taken" : "free");
        XUngrabKey(other, code, mods, DefaultRootWindow(other));
        XSync(other, False);
    }
    XSetErrorHandler(previous);
    XCloseDisplay(other);
    return states;
}

std::string DialogTitle(const XSession& session, Edge edge, pid_t pid)
{
    if (edge == Edge::Native) {
        const auto dialogs = NativeDialogs(session, pid);
        return dialogs.empty() ? "" : session.WindowTitle(dialogs.front());
    }
    const std::string out = Query(session, {"dialog", std::to_string(kFileNameBox)});
    if (out.rfind("dialog ", 0) != 0 || out.rfind("dialog none", 0) == 0) return "";
    std::string title = out.substr(7, out.find('\n') - 7);
    while (!title.empty() && (title.back() == '\r' || title.back() == ' ')) title.pop_back();
    return title;
}

bool WaitForDialog(const XSession& session, Edge edge, pid_t pid, std::string* title)
{
    return PollUntil([&] { return !(*title = DialogTitle(session, edge, pid)).empty(); }, 20s, 100ms) &&
           session.WaitFocusOn(*title);
}

bool WaitDialogGone(const XSession& session, Edge edge, pid_t pid)
{
    return PollUntil([&] { return DialogTitle(session, edge, pid).empty(); }, 20s, 100ms);
}

bool SaveThroughTheDialog(XSession& session, Edge edge, pid_t pid, const fs::path& path)
{
    std::string title;
    if (!WaitForDialog(session, edge, pid, &title)) return false;
    const std::string name = PathFor(edge, path);
    // The name box has the focus once the dialog is active; keys typed before that are lost,
    // so the box is read back and the name typed again if it is not all there: under Wine
    // from the box itself, natively from what Ctrl+C in it copies.
    auto typedName = [&] {
        if (edge == Edge::Native) {
            // Not Ctrl+A: the magnifier holds it system-wide.
            session.KeyCombo("End");
            session.KeyCombo("shift+Home");
            session.KeyCombo("ctrl+c");
            return ClipboardText(session, edge);
        }
        std::string out = Query(session, {"dialog", std::to_string(kFileNameBox)}) + "\n";
        std::erase(out, '\r');
        const auto at = out.find("\ntext ");
        return at == std::string::npos ? std::string() : out.substr(at + 6, out.find('\n', at + 6) - at - 6);
    };
    std::string typed;
    for (int attempt = 0; attempt < 3 && typed != name; ++attempt) {
        session.KeyCombo("End");
        session.KeyCombo("shift+Home");
        session.KeyCombo("BackSpace");
        session.TypeText(name);
        PollUntil([&] { return (typed = typedName()) == name; }, 3s, 100ms);
    }
    if (typed != name) return ADD_FAILURE() << "the name box did not take the keys: " << typed, false;
    session.KeyCombo("Return");
    return WaitDialogGone(session, edge, pid);
}

std::string Boxes(XSession& session, Edge edge, pid_t pid)
{
    if (edge == Edge::Wine) return Query(session, {"boxes"});
    std::string lines;
    for (const XWindow box : NativeDialogs(session, pid)) {
        const std::string title = session.WindowTitle(box);
        std::string text;
        // A box that copies nothing (an input box) leaves the mark in place.
        if (PutOnClipboard(session, edge, "-")) {
            Activate(session, box);
            session.KeyCombo("ctrl+c");
            PollUntil([&] { return !(text = CopiedMessage(ClipboardText(session, edge))).empty(); }, 1s, 50ms);
        }
        lines += (lines.empty() ? "" : "\n") + ("box " + title + "\t" + text);
    }
    return lines.empty() ? "boxes none" : lines;
}

}  // namespace ocu::e2e
