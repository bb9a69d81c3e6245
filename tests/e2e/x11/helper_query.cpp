// The X11 twin of helper_query.exe, for what the scenarios ask of the system's hot keys: whether
// another program can take a combination. A combination is held by a key grab on the root
// window, which the server grants to one client only.
//
//   helper_query hotkey <mods> <vk> <out>            -> "hotkey free" or "hotkey taken"
//   helper_query hold <mods> <vk> <seconds> <out>    -> the same, then holds it for that long
//
// <mods> and <vk> as Windows registers a hot key: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4; a
// letter's capital, F1 0x70 onwards, the arrows 0x25 to 0x28 (Left, Up, Right, Down).
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool g_refused = false;

int NoteRefusal(Display*, XErrorEvent* e)
{
    if (e->error_code == BadAccess) g_refused = true;
    return 0;
}

KeySym KeySymOf(int vk)
{
    if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
    if (vk >= 0x70 && vk <= 0x7B) return XK_F1 + (vk - 0x70);
    static const KeySym arrows[] = {XK_Left, XK_Up, XK_Right, XK_Down};
    if (vk >= 0x25 && vk <= 0x28) return arrows[vk - 0x25];
    return NoSymbol;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool hold = argc >= 6 && std::strcmp(argv[1], "hold") == 0;
    if (!hold && !(argc >= 5 && std::strcmp(argv[1], "hotkey") == 0)) {
        std::fprintf(stderr, "usage: helper_query hotkey <mods> <vk> <out> | hold <mods> <vk> <seconds> <out>\n");
        return 2;
    }
    const int mods = std::atoi(argv[2]);
    const int vk = static_cast<int>(std::strtol(argv[3], nullptr, 0));
    Display* display = XOpenDisplay(nullptr);
    FILE* out = std::fopen(argv[argc - 1], "w");
    if (display == nullptr || out == nullptr) return 1;
    const unsigned modifiers = (mods & 1 ? Mod1Mask : 0) | (mods & 2 ? ControlMask : 0) | (mods & 4 ? ShiftMask : 0);
    const KeyCode code = XKeysymToKeycode(display, KeySymOf(vk));
    XSetErrorHandler(NoteRefusal);
    XGrabKey(display, code, modifiers, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    const bool free = code != 0 && !g_refused;
    std::fprintf(out, "hotkey %s\n", free ? "free" : "taken");
    std::fclose(out);
    if (free && hold) sleep(static_cast<unsigned>(std::atoi(argv[4])));
    XCloseDisplay(display);
    return 0;
}
