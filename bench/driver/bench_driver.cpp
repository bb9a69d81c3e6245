// The load of the end-to-end benchmark (scripts/bench), in one X client so that its
// own timing does not depend on starting programs: content that changes every frame, a
// pointer moved by XTest every frame, and the counting. Over a fixed interval it reads
// the CPU time of the processes it is given from /proc and counts the frames a watched
// window shows (damage covering a quarter of it or more, one per 20 ms).
// CPU time is the scheduler's run time of each process's threads (utime + stime
// of /proc/<pid>/stat counts in 10 ms ticks, too coarse for a fraction of a ms).
//
//   ocu_bench_driver [--content X,Y,W,H] [--fps N] [--pointer X,Y,R] [--period MS]
//                    [--warmup S] [--seconds S] [--watch WINDOW] [--pid LABEL=PID]...
//
// --content without --fps 0 animates an override-redirect window there; --fps 0 shows it
// still. --pointer with R > 0 moves the pointer around a circle every period, R = 0 puts it
// there once. Prints "cpu LABEL MS", "rss LABEL KB" (the most resident memory of each process
// over the interval), "frames N", "seconds S" lines.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <dirent.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of every thread of the process, in ns resolution (schedstat): the
// clock ticks of /proc/<pid>/stat are 10 ms, more than xzoom spends in a second.
double CpuMs(int pid) {
    const std::string base = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(base.c_str());
    if (dir == nullptr) return -1;
    double ns = 0;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream f(base + "/" + e->d_name + "/schedstat");
        double run = 0;
        if (f >> run) ns += run;
    }
    closedir(dir);
    return ns / 1e6;
}

// The peak resident set is counted afresh from here: writing 5 to clear_refs resets VmHWM.
void ResetPeakRss(int pid) {
    std::ofstream f("/proc/" + std::to_string(pid) + "/clear_refs");
    f << "5\n";
}

long PeakRssKb(int pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long kb = -1;
    while (f >> key) {
        if (key == "VmHWM:") {
            f >> kb;
            break;
        }
        f.ignore(1 << 20, '\n');
    }
    return kb;
}

bool ParseInts(const char* s, std::vector<int>& out, std::size_t n) {
    out.clear();
    std::stringstream ss(s);
    std::string part;
    while (std::getline(ss, part, ',')) out.push_back(std::atoi(part.c_str()));
    return out.size() == n;
}

// A textured picture that moves by a few pixels each frame: stripes of several colours
// scrolled diagonally, drawn into a pixmap and copied in one request.
class Content {
public:
    Content(Display* d, int x, int y, int w, int h) : d_(d), w_(w), h_(h) {
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.background_pixel = 0x808080;
        win_ = XCreateWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
        XMapRaised(d, win_);
        gc_ = XCreateGC(d, win_, 0, nullptr);
        // Twice as wide and high as the window: each frame shows a shifted part of it.
        pix_ = XCreatePixmap(d, win_, static_cast<unsigned>(2 * w), static_cast<unsigned>(2 * h),
                             static_cast<unsigned>(DefaultDepth(d, DefaultScreen(d))));
        const unsigned long colours[] = {0xd03030, 0x30a040, 0x3050d0, 0xf0e0a0, 0x202020, 0xffffff, 0x9040b0};
        for (int i = 0, band = 0; i < 4 * (w + h); i += 9, ++band) {
            XSetForeground(d, gc_, colours[band % 7]);
            XSetLineAttributes(d, gc_, 9, LineSolid, CapButt, JoinMiter);
            XDrawLine(d, pix_, gc_, i, 0, i - 2 * h, 2 * h);
        }
        for (int i = 0; i < 60; ++i) {
            XSetForeground(d, gc_, colours[(i * 3) % 7]);
            XFillArc(d, pix_, gc_, (i * 97) % (2 * w), (i * 61) % (2 * h), 30 + i % 40, 30 + i % 40, 0, 360 * 64);
        }
        Draw(0);
    }
    void Draw(int frame) {
        const int ox = (frame * 7) % w_, oy = (frame * 5) % h_;
        XCopyArea(d_, pix_, win_, gc_, ox, oy, static_cast<unsigned>(w_), static_cast<unsigned>(h_), 0, 0);
    }

private:
    Display* d_;
    int w_, h_;
    Window win_ = 0;
    Pixmap pix_ = 0;
    GC gc_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> content, pointer;
    int fps = 20, periodMs = 100;
    double warmup = 1.0, seconds = 5.0;
    Window watch = 0;
    std::vector<std::pair<std::string, int>> pids;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string k = argv[i];
        const char* v = argv[i + 1];
        if (k == "--content" && !ParseInts(v, content, 4)) return 2;
        if (k == "--pointer" && !ParseInts(v, pointer, 3)) return 2;
        if (k == "--fps") fps = std::atoi(v);
        if (k == "--period") periodMs = std::atoi(v);
        if (k == "--warmup") warmup = std::atof(v);
        if (k == "--seconds") seconds = std::atof(v);
        if (k == "--watch") watch = static_cast<Window>(std::strtoul(v, nullptr, 0));
        if (k == "--pid") {
            const std::string s = v;
            const auto eq = s.find('=');
            if (eq != std::string::npos) pids.emplace_back(s.substr(0, eq), std::atoi(s.c_str() + eq + 1));
        }
    }
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "bench_driver: no display\n");
        return 1;
    }
    Content* anim = content.empty() ? nullptr : new Content(d, content[0], content[1], content[2], content[3]);
    int damageEvent = 0, damageError = 0;
    Damage damage = 0;
    long watchArea = 0;
    if (watch != 0 && XDamageQueryExtension(d, &damageEvent, &damageError)) {
        XWindowAttributes wa{};
        if (XGetWindowAttributes(d, watch, &wa)) {
            watchArea = static_cast<long>(wa.width) * wa.height;
            damage = XDamageCreate(d, watch, XDamageReportRawRectangles);
        }
    }
    if (!pointer.empty()) XTestFakeMotionEvent(d, -1, pointer[0], pointer[1], CurrentTime);
    XSync(d, False);

    const auto start = Clock::now();
    const auto measureFrom = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(warmup));
    const auto end = measureFrom + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const auto contentStep = std::chrono::microseconds(fps > 0 ? 1000000 / fps : 0);
    const auto pointerStep = std::chrono::milliseconds(periodMs);
    auto nextContent = start, nextPointer = start;
    int contentFrame = 0, pointerStepNo = 0;
    bool measuring = false;
    std::vector<double> cpuStart(pids.size());
    long frames = 0;
    auto lastFrame = Clock::time_point{}, lastDamage = Clock::time_point{};
    long pendingArea = 0;
    for (;;) {
        const auto now = Clock::now();
        if (!measuring && now >= measureFrom) {
            measuring = true;
            for (std::size_t i = 0; i < pids.size(); ++i) {
                ResetPeakRss(pids[i].second);
                cpuStart[i] = CpuMs(pids[i].second);
            }
        }
        if (now >= end) break;
        if (anim != nullptr && fps > 0 && now >= nextContent) {
            anim->Draw(++contentFrame);
            nextContent += contentStep;
        }
        if (pointer.size() == 3 && pointer[2] > 0 && now >= nextPointer) {
            const double a = ++pointerStepNo * 0.21;
            XTestFakeMotionEvent(d, -1, pointer[0] + static_cast<int>(std::lround(pointer[2] * std::cos(a))),
                                 pointer[1] + static_cast<int>(std::lround(pointer[2] * std::sin(a))), CurrentTime);
            nextPointer += pointerStep;
        }
        XFlush(d);
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (damage != 0 && e.type == damageEvent + XDamageNotify) {
                const auto* de = reinterpret_cast<XDamageNotifyEvent*>(&e);
                const auto t = Clock::now();
                // Damage close together is one present; small pieces apart (status texts) are not.
                if (t - lastDamage > std::chrono::milliseconds(20)) pendingArea = 0;
                lastDamage = t;
                pendingArea += static_cast<long>(de->area.width) * de->area.height;
                if (pendingArea * 4 >= watchArea && t - lastFrame > std::chrono::milliseconds(20)) {
                    if (measuring) ++frames;
                    lastFrame = t;
                    pendingArea = 0;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const double now = CpuMs(pids[i].second);
        if (now < 0 || cpuStart[i] < 0) continue;  // gone meanwhile: its threads are not counted
        std::printf("cpu %s %.3f\n", pids[i].first.c_str(), now - cpuStart[i]);
        const long rss = PeakRssKb(pids[i].second);
        if (rss >= 0) std::printf("rss %s %ld\n", pids[i].first.c_str(), rss);
    }
    std::printf("frames %ld\nseconds %.3f\n", frames, seconds);
    if (damage != 0) XDamageDestroy(d, damage);
    delete anim;
    XCloseDisplay(d);
    return 0;
}
