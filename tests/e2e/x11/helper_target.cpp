// The X11 twin of helper_target.exe, the target window of the end-to-end tests for the native
// program: it sits at a known place and writes down every pointer event it receives, in the
// same log format and with the same message numbers as its Windows twin, so one scenario reads
// both logs.
//
//   helper_target x y w h logfile [hang | hangonclick | framed]
//
// An undecorated white window whose inside is exactly x,y,w,h on the screen, class
// "OcuTargetClass"; "framed" lets the window manager frame it, the frame's outer corner at
// (x, y), and logs message 0 with the inside's corner on the screen each time the window
// manager places it, wParam 1 if that lies apart from (x, y).
// Log lines: "<msg hex> <wParam hex> <x> <y>": 0200 for a move, 0201/0202 for the left button down/up, 0207/0208 the middle, 0204/0205 the right; wParam holds the
// buttons and keys down as Windows' MK_ flags; x and y are window coordinates (screen ones
// for the wheel, 020a, whose wParam carries the turn in its high word).
// "hang" stops reading events two seconds after start, to stand in for a hung program;
// "hangonclick" stops inside the first left-button press it gets (logged first).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

constexpr unsigned kMkLeft = 0x1, kMkRight = 0x2, kMkShift = 0x4, kMkControl = 0x8, kMkMiddle = 0x10;

unsigned KeysOf(unsigned state) {
    return (state & Button1Mask ? kMkLeft : 0) | (state & Button3Mask ? kMkRight : 0) |
           (state & ShiftMask ? kMkShift : 0) | (state & ControlMask ? kMkControl : 0) |
           (state & Button2Mask ? kMkMiddle : 0);
}

// The flag of the button an event is about: X reports the state before a press and before a
// release, Windows the state after it.
unsigned ButtonFlag(unsigned button) {
    return button == 1 ? kMkLeft : button == 2 ? kMkMiddle : button == 3 ? kMkRight : 0;
}

void Log(FILE* log, unsigned msg, unsigned long long wParam, int x, int y) {
    std::fprintf(log, "%04x %llx %d %d\n", msg, wParam, x, y);
    std::fflush(log);
}

void HangForever() {
    for (;;) pause();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: helper_target x y w h logfile [hang | hangonclick | framed]\n");
        return 2;
    }
    const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    const unsigned w = static_cast<unsigned>(std::atoi(argv[3])), h = static_cast<unsigned>(std::atoi(argv[4]));
    const char* mode = argc > 6 ? argv[6] : "";
    const bool framed = std::strcmp(mode, "framed") == 0;
    FILE* log = std::fopen(argv[5], "w");
    Display* display = XOpenDisplay(nullptr);
    if (!log || !display) return 1;

    const int screen = DefaultScreen(display);
    XSetWindowAttributes a{};
    a.background_pixel = WhitePixel(display, screen);
    a.event_mask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask;
    const Window window = XCreateWindow(display, RootWindow(display, screen), x, y, w, h, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &a);
    XSizeHints size{};
    size.flags = USPosition | USSize | PWinGravity;
    size.win_gravity = NorthWestGravity;
    size.x = x, size.y = y, size.width = static_cast<int>(w), size.height = static_cast<int>(h);
    XSetWMNormalHints(display, window, &size);
    char name[] = "helper_target", cls[] = "OcuTargetClass";
    XClassHint hint{name, cls};
    XSetClassHint(display, window, &hint);
    XStoreName(display, window, "OcuTarget");
    // Unframed, the window manager leaves the inside at x,y as asked.
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } motif{2, 0, 0, 0, 0};
    const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    if (!framed)
        XChangeProperty(display, window, hints, hints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&motif), 5);
    XMapWindow(display, window);
    XFlush(display);

    const bool hang = std::strcmp(mode, "hang") == 0, hangOnClick = std::strcmp(mode, "hangonclick") == 0;
    const std::time_t start = std::time(nullptr);
    for (;;) {
        if (hang && std::time(nullptr) - start >= 2) HangForever();
        if (hang && !XPending(display)) {
            usleep(20000);
            continue;
        }
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == ConfigureNotify && framed) {
            int cx = 0, cy = 0;
            Window child = 0;
            XTranslateCoordinates(display, window, RootWindow(display, screen), 0, 0, &cx, &cy, &child);
            Log(log, 0, cx != x || cy != y, cx, cy);
        } else if (e.type == MotionNotify) {
            Log(log, 0x0200, KeysOf(e.xmotion.state), e.xmotion.x, e.xmotion.y);
        } else if (e.type == ButtonPress || e.type == ButtonRelease) {
            const XButtonEvent& b = e.xbutton;
            const bool down = e.type == ButtonPress;
            if (b.button == 4 || b.button == 5) {
                if (down) Log(log, 0x020A, (static_cast<unsigned long long>(b.button == 4 ? 120 : 0xFF88) << 16) |
                                               KeysOf(b.state), b.x_root, b.y_root);
                continue;
            }
            const unsigned base = b.button == 1 ? 0x0201 : b.button == 2 ? 0x0207 : b.button == 3 ? 0x0204 : 0;
            if (base == 0) continue;
            const unsigned keys = down ? KeysOf(b.state) | ButtonFlag(b.button) : KeysOf(b.state) & ~ButtonFlag(b.button);
            Log(log, down ? base : base + 1, keys, b.x, b.y);
            if (down && b.button == 1 && hangOnClick) HangForever();
        }
    }
}
