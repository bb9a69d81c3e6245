// The native program's economy per tick. Following the pointer it wakes once a tick; over a
// still screen it stops waking at all, and yet a window drawn under the still pointer and a
// pointer that another program puts elsewhere (a warp, which moves it without a motion event)
// reach the view at once. The pointer's position in the status bar is redrawn from
// pictures of its digits, looks as a whole drawing of the same text does, and stays after an
// expose.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "e2e/ViewProbe.h"
#include "support/OcumiraE2E.h"

// Last: its macros (None, Bool, ...) would clash with the test framework's names.
#include <X11/Xlib.h>

namespace ocu::e2e {
namespace {

using namespace viewprobe;

class StillScreenE2E : public MagnifierE2E {
protected:
    Edge TestedEdge() const override { return Edge::Native; }
};

// How often the program's main thread has waited for something so far.
long Waits(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long count = -1;
    while (status >> key)
        if (key == "voluntary_ctxt_switches:" && status >> count) break;
    return count;
}

long CountColor(const Screenshot& shot, uint32_t rgb)
{
    long n = 0;
    for (const uint32_t p : shot.pixels) n += p == rgb;
    return n;
}

TEST_F(StillScreenE2E, StillScreenLetsTheTicksSleepAndAChangeOrAWarpStillShows)
{
    ASSERT_TRUE(Start(20));
    XSession& session = Session();
    const Rect view = View();
    // Awake, every 100 ms tick waits for the server twice or more: 20 waits a second. The
    // ticks go on for a moment after the last change, so the count is taken until it drops.
    long perSecond = 0;
    for (int second = 0; second < 8; ++second) {
        const long before = Waits(App().Pid());
        std::this_thread::sleep_for(1s);
        perSecond = Waits(App().Pid()) - before;
        if (perSecond <= 8) break;
    }
    EXPECT_LE(perSecond, 8) << "the program keeps waking over a still screen";
    // Asleep, it does not look every so often: the server tells it of any change, a warp too.
    const long asleep = Waits(App().Pid());
    std::this_thread::sleep_for(3s);
    EXPECT_LE(Waits(App().Pid()) - asleep, 2) << "the program looks now and then over a still screen";

    // A 40 x 40 window of one colour drawn round the still pointer: 80 x 80 of it in the view.
    constexpr uint32_t kInk = 0x123456;
    Display* d = session.display();
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = kInk;
    const ::Window ink = XCreateWindow(d, DefaultRootWindow(d), kRestX - 20, kRestY - 20, 40, 40, 0, CopyFromParent,
                                       InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(d, ink);
    session.Sync();
    long shown = 0;
    for (int tries = 0; tries < 50 && shown < 6000; ++tries) {
        std::this_thread::sleep_for(100ms);
        shown = CountColor(session.Grab(view.x, view.y, view.width, view.height), kInk);
    }
    EXPECT_GE(shown, 6000) << "a change under the still pointer did not reach the view";
    XDestroyWindow(d, ink);
    session.Sync();

    // Once asleep again, a warp is followed too.
    std::this_thread::sleep_for(2s);
    XWarpPointer(d, 0, DefaultRootWindow(d), 0, 0, 0, 0, 200, 700);
    session.Sync();
    const auto result = WaitForView(session, view, PlainPattern(Plain(2.0f, 200, 700)), 3s);
    EXPECT_TRUE(result.Exact()) << "a warped pointer was not followed: " << result;
}

// Following a moving pointer, the program wakes about once a tick: the server holds the next
// look until the interval is over and its answer is the wake-up. A timer and a question to the
// server after it woke the program four times a tick (40 a second here).
TEST_F(StillScreenE2E, AMovingPointerWakesTheProgramAboutOnceATick)
{
    ASSERT_TRUE(Start(20));
    XSession& session = Session();
    // At a steady pace, as a hand moves: the pixels asked with the pointer are the ones wanted.
    int x = kRestX - 150, y = kRestY - 50;
    const auto move = [&](int steps) {
        for (int step = 0; step < steps; ++step) {
            session.MovePointer(++x, y += step % 2);
            std::this_thread::sleep_for(10ms);
        }
    };
    move(50);
    const long before = Waits(App().Pid());
    move(200);
    const long perSecond = (Waits(App().Pid()) - before) / 2;
    EXPECT_LE(perSecond, 20) << "the program wakes more than about once a tick";
    const auto result = WaitForView(session, View(), PlainPattern(Plain(2.0f, x, y)), 10s);
    EXPECT_TRUE(result.Exact()) << "the view did not follow the pointer: " << result;
}

TEST_F(StillScreenE2E, PositionRedrawnDigitByDigitLooksAsAWholeDrawing)
{
    ASSERT_TRUE(Start(20));
    XSession& session = Session();
    const auto client = ClientArea(session, Window(), TestedEdge());
    ASSERT_TRUE(client);
    const int barTop = View().y + View().height, barHeight = client->y + client->height - barTop;
    ASSERT_GT(barHeight, 8);
    const auto bar = [&] { return session.Grab(client->x, barTop, client->width, barHeight).pixels; };
    // The bar once it has changed from `from` (if given) and then held still for a moment.
    const auto settled = [&](const std::vector<uint32_t>* from) {
        std::vector<uint32_t> last = bar();
        for (int still = 0, tries = 0; still < 4 && tries < 100; ++tries) {
            std::this_thread::sleep_for(100ms);
            const auto now = bar();
            still = now == last && (from == nullptr || now != *from) ? still + 1 : 0;
            last = now;
        }
        return last;
    };
    // Three-digit positions: only digits change, the case drawn from the pictures.
    session.MovePointer(311, 467);
    const auto before = settled(nullptr);
    session.MovePointer(358, 412);
    const auto cells = settled(&before);
    EXPECT_NE(cells, before) << "the position did not change in the bar";
    // A two-digit position changes the line's shape, which is drawn whole; back again, the
    // same text is drawn whole as well.
    session.MovePointer(58, 412);
    const auto other = settled(&cells);
    session.MovePointer(358, 412);
    const auto whole = settled(&other);
    EXPECT_EQ(whole, cells) << "the digits drawn one by one differ from the whole text drawn";

    // Digits put past the toolkit, then the bar covered and uncovered: it still shows them,
    // not the text the toolkit painted last.
    session.MovePointer(359, 413);
    const auto put = settled(&whole);
    Display* d = session.display();
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0x123456;
    const ::Window cover = XCreateWindow(d, DefaultRootWindow(d), client->x, barTop, client->width, barHeight, 0,
                                         CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(d, cover);
    session.Sync();
    std::this_thread::sleep_for(300ms);
    XDestroyWindow(d, cover);
    session.Sync();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(bar(), put) << "an expose showed the position the toolkit painted last";
}

}  // namespace
}  // namespace ocu::e2e
