// Bad input and faults through the real program: texts typed into its number boxes, damaged
// and unwritable settings files, window sizes past the screen, a projection target that dies
// or hangs, and a pick that loses the mouse. In every case the program must keep showing the
// live screen, answer with its own message where it has one, and end with its settings kept.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "e2e/EdgeSteps.h"
#include "e2e/ModeProbe.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

constexpr const char* kBadNumber = "不正な数値です";
constexpr const char* kOutOfRange = "範囲外の数値が入力されました。";
constexpr const char* kBadSize = "値が大きすぎるか小さすぎます";
constexpr const char* kCannotWrite = "に書き込めません";

class BadInputE2E : public OnBothEdges<OcumiraE2E> {
protected:
    // Gives the main window the keyboard: a click on its view under Wine, natively through
    // the window manager.
    void Focus(XSession& session, Magnifier& m)
    {
        if (TestedEdge() == Edge::Wine) m.ClickView(2, m.View().height - 3);
        else Activate(session, m.Window());
    }
    void Choose(XSession& session, Magnifier& m, CommandId id)
    {
        ChooseFromMenu(session, TestedEdge(), m.Window(), id);
    }
};

// "box <title>\t<text>" lines of every shown dialog of the program, or "boxes none".
std::string Boxes(XSession& session, const Program& app) { return e2e::Boxes(session, app.Side(), app.Pid()); }

bool WaitBox(XSession& session, const Program& app, std::string_view text, std::string* seen,
             Milliseconds timeout = 10s, std::source_location where = std::source_location::current())
{
    return WaitFor(
        "a message box saying \"" + std::string(text) + "\"",
        [&] {
            *seen = Boxes(session, app);
            return seen->find(text) != std::string::npos;
        },
        timeout, 50ms, where);
}

// Gives the shown window titled `caption` the keyboard focus as a person's click on its frame
// does (through the window manager), and waits until X has given it.
bool FocusWindow(const XSession& session, std::string_view caption)
{
    return Activate(session, session.FindWindowByTitlePrefix(caption, 10s));
}

// Closes the shown message box as a person does: Enter in the box, which first gets the
// keyboard focus when a caption is given (a box that opens while the program starts or
// while another program is in front does not always get it). Waits until no dialog is
// shown any more; tries again while one is.
bool DismissBox(XSession& session, const Program& app, std::string_view caption = "",
                std::source_location where = std::source_location::current())
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!caption.empty()) FocusWindow(session, caption);
        session.KeyCombo("Return");
        if (WaitFor(
                "no dialog shown after Enter", [&] { return Boxes(session, app) == "boxes none"; }, 10s, 50ms, where))
            return true;
    }
    return false;
}

// Closes the shown message box titled `caption` (a box shown at start is not always the
// focused window) and waits until no dialog is shown any more.
bool ClickBoxOk(XSession& session, const Program& app, std::string_view caption,
                std::source_location where = std::source_location::current())
{
    return DismissBox(session, app, caption, where);
}

// Dismisses the size messages of a window whose client is too small until no more come. Each
// resize of such a window brings one, and Wine resizes it again while the window manager
// places it, so how many come is not fixed; they have stopped once three queries in a row
// (each one a Wine program start, most of a second apiece) find no box. Returns how many.
int DismissSizeMessages(XSession& session, const Program& app, std::string* seen)
{
    int dismissed = 0, quiet = 0;
    for (const auto deadline = std::chrono::steady_clock::now() + 90s;
         quiet < 3 && dismissed < 10 && std::chrono::steady_clock::now() < deadline;) {
        *seen = Boxes(session, app);
        if (seen->find(kBadSize) != std::string::npos) {
            if (DismissBox(session, app, "メッセージ")) ++dismissed;
            quiet = 0;
        } else {
            quiet = *seen == "boxes none" ? quiet + 1 : 0;
        }
    }
    return dismissed;
}

// The view follows the pointer: a pixel left of the view's centre shows the screen point that
// lies the same way left of the pointer. True once it does.
bool ViewFollows(XSession& session, const Magnifier& m, int x, int y, float zoom, std::string* why)
{
    session.MovePointer(x, y);
    const int dx = m.View().width / 4;
    const int want = x - static_cast<int>(static_cast<float>(dx) / zoom);
    return PollUntil(
        [&] {
            const Screenshot shot = m.GrabView();
            const auto [gx, gy] = XSession::DecodePattern(shot.At(m.View().width / 2 - dx, m.View().height / 2));
            *why = "shows " + std::to_string(gx) + "," + std::to_string(gy) + " want ~" + std::to_string(want) + "," +
                   std::to_string(y);
            return std::abs(gx - want) <= 2 && std::abs(gy - y) <= 2;
        },
        10s, 50ms);
}

// Opens a number box (by key or command), types `text` and confirms it with Enter.
void TypeIntoBox(XSession& session, std::string_view boxTitle, std::string_view text, bool clearFirst)
{
    const XWindow box = session.FindWindowByTitlePrefix(boxTitle, 10s);
    ASSERT_NE(box, 0u) << "the box " << boxTitle << " did not open";
    if (clearFirst) {
        session.KeyCombo("End");
        for (int i = 0; i < 6; ++i) session.KeyCombo("BackSpace");
    }
    session.TypeText(text);
    session.KeyCombo("Return");
    ASSERT_TRUE(PollUntil([&] { return !session.IsShown(box); }, 10s)) << "the box " << boxTitle << " stayed open";
}

std::string ForeignLines() { return "; written by hand\r\n[Foreign]\r\nKeep=me\r\n"; }

TEST_P(BadInputE2E, NumberBoxesRefuseBadTextAndTheViewKeepsRunning)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(300, 400);
    StartSettings settings;
    Magnifier m(session, SettingsText(settings) + ForeignLines(), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    Focus(session, m);
    session.MovePointer(300, 400);
    std::string seen, why;

    // The typed angle (Ctrl+T): every text that is no whole number gets "不正な数値です".
    for (const char* text : {"abc", "4.5", "-", "99999999999", ""}) {
        SCOPED_TRACE(std::string("angle '") + text + "'");
        session.KeyCombo("ctrl+t");
        ASSERT_NO_FATAL_FAILURE(TypeIntoBox(session, "任意角度回転", text, false));
        EXPECT_TRUE(WaitBox(session, m.App(), kBadNumber, &seen)) << seen;
        ASSERT_TRUE(DismissBox(session, m.App())) << Boxes(session, m.App());
        EXPECT_NE(m.Title().find("回転:  0度"), std::string::npos) << m.Title();
    }
    EXPECT_TRUE(ViewFollows(session, m, 260, 380, 2.0f, &why)) << "after the angle boxes: " << why;

    // The sampling rate: no whole number keeps the rate silently; a number
    // outside 10..400 gets its message.
    for (const char* text : {"abc", "99999999999", "5"}) {
        SCOPED_TRACE(std::string("rate '") + text + "'");
        Choose(session, m, CommandId::mmSampRate);
        ASSERT_NO_FATAL_FAILURE(TypeIntoBox(session, "サンプリングレート", text, true));
        if (std::string_view(text) == "5") {
            EXPECT_TRUE(WaitBox(session, m.App(), kOutOfRange, &seen)) << seen;
            ASSERT_TRUE(DismissBox(session, m.App()));
        } else {
            EXPECT_FALSE(WaitBox(session, m.App(), "\t", &seen, 1500ms)) << "a message for a non-number: " << seen;
        }
    }

    // The free grid spacing with a decimal.
    Choose(session, m, CommandId::mmGraphFlex);
    ASSERT_NO_FATAL_FAILURE(TypeIntoBox(session, "方眼単位", "4.5", false));
    EXPECT_TRUE(WaitBox(session, m.App(), kBadNumber, &seen)) << seen;
    ASSERT_TRUE(DismissBox(session, m.App()));
    EXPECT_TRUE(ViewFollows(session, m, 340, 420, 2.0f, &why)) << "after the rate and grid boxes: " << why;

    // Spaces around a whole number are fine: the view turns by it.
    session.KeyCombo("ctrl+t");
    ASSERT_NO_FATAL_FAILURE(TypeIntoBox(session, "任意角度回転", " 45 ", false));
    EXPECT_TRUE(m.WaitTitleHas("回転: 45度")) << m.Title();
    EXPECT_EQ(Boxes(session, m.App()), "boxes none");

    ASSERT_TRUE(m.App().Close());
    const std::string ini = m.App().ReadIni().value_or("");
    EXPECT_EQ(IniValue(ini, "SamplingRate"), "30") << ini;
    EXPECT_EQ(IniValue(ini, "CapRate"), "20") << ini;
    EXPECT_EQ(IniValue(ini, "RunCount"), "12") << ini;  // the two saves at exit
    EXPECT_NE(ini.find("; written by hand"), std::string::npos) << ini;
    EXPECT_EQ(IniValue(ini, "Keep"), "me") << ini;
}

// Settings files damaged in the ways hand edits and crashes leave them. Each one starts, shows
// the live screen, and is written back whole at exit with the lines the program does not own.
TEST_P(BadInputE2E, DamagedSettingsFilesStartShowTheScreenAndAreWrittenBackSane)
{
    const std::string bounds = "[BoundsRect]\nLeft=880\nTop=80\nRight=1240\nBottom=520\n";
    std::string longLine(1 << 20, 'x');
    const struct {
        const char* name;
        std::string text;
        std::string zoom;  // the zoom text the title must show
    } files[] = {
        {"garbage, negative, huge and 0x values, LF, no final newline",
         "; hand edit\n" + bounds +
             "[Zuri]\nCapRate=abc\nSamplingRate=-40\nFixView=0x\nFixViewX=99999999999\nScaleWidth=0x168\n"
             "ScaleHeight=0x1B8\n[Setting]\nRunCount=0x7FFFFFFF\n[Foreign]\nKeep=me",
         "1.0"},
        {"duplicated sections and keys, empty values, huge zoom, CRLF",
         "[Zuri]\r\nCapRate=99999999\r\nSamplingRate=\r\n[BoundsRect]\r\nLeft=880\r\nTop=80\r\nRight=1240\r\nBottom="
         "520\r\n"
         "[Zuri]\r\nCapRate=\r\nCapRate=30\r\n[Foreign]\r\nKeep=me\r\n",
         "16.0"},
        {"a 1 MB line among the keys",
         "[Foreign]\r\nKeep=me\r\nLong=" + longLine + "\r\n" + bounds + "[Zuri]\nCapRate=30\n", "3.0"},
        {"keys missing, only a foreign section", "[Foreign]\nKeep=me\n" + bounds, "1.0"},
    };
    XSession session;
    session.PaintPattern();
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        session.MovePointer(300, 400);
        Magnifier m(session, f.text, TestedEdge());
        ASSERT_NO_FATAL_FAILURE(m.Start());
        EXPECT_EQ(m.ZoomText(), f.zoom) << m.Title();
        ASSERT_TRUE(m.App().Close());
        const std::string ini = m.App().ReadIni().value_or("");
        EXPECT_EQ(IniValue(ini, "Keep"), "me") << ini.substr(0, 400);
        for (const char* key : {"Left", "Top", "Right", "Bottom", "CapRate", "SamplingRate", "RunCount", "FixView"})
            EXPECT_NE(IniValue(ini, key), "") << key << " missing: " << ini.substr(0, 400);
        if (f.text.find(longLine) != std::string::npos) {
            EXPECT_NE(ini.find("Long=" + longLine), std::string::npos) << "the long line was cut";
        }
    }
}

// Stored window bounds off or past the screen, sizes the screen cannot take, and fixed-size
// commands past it: the window stays reachable and the view keeps running.
TEST_P(BadInputE2E, SizesPastTheScreenAreRefusedAndTheViewKeepsRunning)
{
    XSession session({.width = 800, .height = 380});
    session.PaintPattern();
    std::string seen, why;

    // Bounds far larger than the screen, and a stored client size too small: the size
    // message at start (a person clicks its OK), then the window opens on the screen.
    auto onScreen = [&](XWindow w) {
        const auto g = session.WindowGeometry(w);
        return g && g->x >= 0 && g->y >= 0 && g->x + g->width <= session.Width() &&
               g->y + g->height <= session.Height() && g->width >= 100 && g->height >= 100;
    };
    {
        session.MovePointer(150, 150);
        ProgramOptions o;
        o.edge = TestedEdge();
        o.ini = "[BoundsRect]\nLeft=-5000\nTop=-5000\nRight=9000\nBottom=9000\n[Zuri]\nScaleWidth=5\nScaleHeight=5\n";
        Program app(session, o);
        EXPECT_TRUE(WaitBox(session, app, kBadSize, &seen, 40s)) << seen;
        EXPECT_GE(DismissSizeMessages(session, app, &seen), 1) << seen;
        ASSERT_EQ(seen, "boxes none");
        const XWindow w = session.FindWindowByTitlePrefix(kMainTitle, 20s);
        ASSERT_NE(w, 0u);
        EXPECT_TRUE(PollUntil([&] { return onScreen(w); }, 10s))
            << "the window is out of reach: " << session.WindowGeometry(w).value_or(Rect{});
        EXPECT_EQ(Boxes(session, app), "boxes none");
        ASSERT_TRUE(app.Close(w));
        const std::string ini = app.ReadIni().value_or("");
        EXPECT_EQ(IniValue(ini, "Left"), "0") << ini;
    }
    // An inside-out rectangle opens on the screen without a message; a 1x1 one opens where
    // it was stored, with the size message for its too small client.
    for (const bool tiny : {false, true}) {
        SCOPED_TRACE(tiny ? "1x1" : "inside out");
        ProgramOptions o;
        o.edge = TestedEdge();
        o.ini = std::string("[BoundsRect]\n") +
                (tiny ? "Left=500\nTop=10\nRight=501\nBottom=11\n" : "Left=700\nTop=300\nRight=400\nBottom=-20\n") +
                "[Zuri]\nScaleWidth=300\nScaleHeight=300\n";
        Program app(session, o);
        if (tiny) {
            // One message for each resize that ends below 10 pixels of client (two or more at
            // start).
            EXPECT_TRUE(WaitBox(session, app, kBadSize, &seen, 40s)) << seen;
            const int dismissed = DismissSizeMessages(session, app, &seen);
            EXPECT_GE(dismissed, 1);
            ASSERT_EQ(seen, "boxes none") << "the size messages do not stop (" << dismissed << " so far)";
        }
        const XWindow w = session.FindWindowByTitlePrefix(kMainTitle, 40s);
        ASSERT_NE(w, 0u);
        if (!tiny) {
            EXPECT_TRUE(PollUntil([&] { return onScreen(w); }, 10s)) << session.WindowGeometry(w).value_or(Rect{});
        }
        EXPECT_EQ(Boxes(session, app), "boxes none");
        EXPECT_TRUE(app.Running());
        // Closing resizes nothing, but a size message still on its way would hold the close
        // up: it is answered as a person would.
        session.SendDeleteWindow(w);
        ASSERT_TRUE(WaitFor(
            "the program to end after its window was closed",
            [&] {
                if (!app.Running()) return true;
                if (Boxes(session, app).find(kBadSize) != std::string::npos) DismissBox(session, app, "メッセージ");
                return !app.Running();
            },
            30s, 100ms));
    }

    // A window that fits, and the fixed sizes: 400x400 and 300x400 are taller than this
    // screen and refused with the size message; 200x200 is taken.
    StartSettings s;
    s.left = 480, s.top = 0, s.right = 790, s.bottom = 370;
    session.MovePointer(150, 150);
    Magnifier m(session, SettingsText(s), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    const Rect before = m.Client();
    auto clientIs = [&](int width, int height) {
        const auto client = ClientArea(session, m.Window(), TestedEdge());
        return client && client->width == width && client->height == height;
    };
    for (const CommandId id : {CommandId::N400x4001, CommandId::mm300x400}) {
        SCOPED_TRACE(FindMenuEntry(id)->Caption);
        Choose(session, m, id);
        EXPECT_TRUE(WaitBox(session, m.App(), kBadSize, &seen)) << seen;
        ASSERT_TRUE(ClickBoxOk(session, m.App(), "メッセージ")) << Boxes(session, m.App());
        EXPECT_TRUE(clientIs(before.width, before.height))
            << ClientArea(session, m.Window(), TestedEdge()).value_or(Rect{});
    }
    EXPECT_TRUE(ViewFollows(session, m, 200, 180, 2.0f, &why)) << why;
    Choose(session, m, CommandId::mm200x200);
    EXPECT_TRUE(PollUntil([&] { return clientIs(200, 200); }, 10s));
    EXPECT_EQ(Boxes(session, m.App()), "boxes none");
    ASSERT_TRUE(m.App().Close());
}

// The settings file cannot be written at exit (read-only, or a folder in its place): the user
// is told "...に書き込めません" and the program still ends.
TEST_P(BadInputE2E, UnwritableSettingsAreReportedAndTheProgramStillEnds)
{
    XSession session;
    session.PaintPattern();
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "folder" : "read-only");
        // Without its file the window opens at the default bounds (300,100)-(800,600).
        session.MovePointer(folder ? 1000 : 300, folder ? 800 : 400);
        StartSettings settings;
        Magnifier m(session, SettingsText(settings), TestedEdge());
        const auto path = m.App().IniPath();
        if (folder) {
            std::filesystem::remove(path);
            std::filesystem::create_directory(path);
        } else {
            ::chmod(path.c_str(), 0444);
        }
        ASSERT_NO_FATAL_FAILURE(m.Start());
        session.SendDeleteWindow(m.Window());
        std::string seen;
        // One box from the window's own last save; the final save does not say it again.
        for (int box = 0; box < 4 && !m.App().WaitForExit(100ms); ++box) {
            if (!WaitBox(session, m.App(), kCannotWrite, &seen, 15s)) break;
            EXPECT_NE(seen.find("Ocumira.ini " + std::string(kCannotWrite)), std::string::npos) << seen;
            session.KeyCombo("Return");
            PollUntil(
                [&] { return Boxes(session, m.App()).find(kCannotWrite) == std::string::npos || !m.App().Running(); },
                5s);
        }
        EXPECT_NE(seen.find(kCannotWrite), std::string::npos) << "no message: " << seen;
        EXPECT_TRUE(m.App().WaitForExit(15s)) << "the program did not end";
        if (!folder) {
            std::ifstream in(path);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(text, SettingsText(settings)) << "the read-only file was changed";
        }
    }
}

// Grown past what a settings file can be while the program runs, the file is left as it is
// and the user told; a UTF-16 file (Notepad's "Unicode") is read and written in UTF-16 only.
TEST_P(BadInputE2E, ASettingsFileItCannotReadBackIsLeftAloneAndUtf16StaysUtf16)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(300, 400);
    {
        Magnifier m(session, SettingsText(StartSettings{}), TestedEdge());
        ASSERT_NO_FATAL_FAILURE(m.Start());
        const auto path = m.App().IniPath();
        const std::string grown = ReadFile(path) + "; " + std::string(17 << 20, 'x') + "\r\n";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << grown;
        session.SendDeleteWindow(m.Window());
        std::string seen;
        EXPECT_TRUE(WaitBox(session, m.App(), "Ocumira.ini を読み取れないため、設定を保存しませんでした。", &seen, 15s))
            << seen;
        session.KeyCombo("Return");
        EXPECT_TRUE(m.App().WaitForExit(15s)) << "told once, then ended: " << Boxes(session, m.App());
        EXPECT_TRUE(ReadFile(path) == grown) << "the file others wrote was replaced";
    }
    StartSettings three;
    three.capRateTenths = 30;
    std::string utf16 = "\xFF\xFE";
    for (const char c : SettingsText(three)) utf16 += {c, '\0'};
    Magnifier m(session, utf16, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    EXPECT_EQ(m.ZoomText(), "3.0") << m.Title();
    ASSERT_TRUE(m.App().Close());
    const std::string saved = m.App().ReadIni().value_or("");
    std::string narrow = saved.substr(2);
    std::erase(narrow, '\0');
    EXPECT_TRUE(saved.starts_with("\xFF\xFE") && narrow.size() * 2 + 2 == saved.size()) << "not all UTF-16";
    EXPECT_EQ(IniValue(narrow, "CapRate"), "30") << narrow;
    EXPECT_EQ(IniValue(narrow, "Left"), "880") << narrow;
}

// Projection onto a target that is killed, then onto one that hangs in the middle of a
// projected click: moves on the view go nowhere without harm, and the program keeps
// answering. (The hung target is covered at length elsewhere; this is the quick check.)
TEST_P(BadInputE2E, ProjectionSurvivesATargetThatDiesOrHangs)
{
    XSession session;
    Magnifier m = MagnifierOverPattern(session, 300, 400, {}, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    std::string why;

    for (const bool hang : {false, true}) {
        SCOPED_TRACE(hang ? "hung target" : "killed target");
        std::vector<std::string> args{"100", "300", "300", "250", "target-log.txt"};
        if (hang) args.push_back("hangonclick");
        auto target = std::make_unique<Program>(session, Program::Helper("helper_target", args, TestedEdge()));
        ASSERT_NE(session.FindWindowByTitlePrefix("OcuTarget", 20s), 0u);
        // Ctrl+E over the target: projection onto it. Wine knows where the pointer is only
        // once a window under it has taken the move: wait until the target has logged it.
        const auto log = target->Folder() / "target-log.txt";
        auto logged = [&](uint32_t msg) {
            for (const TargetMessage& t : ReadTargetLog(log))
                if (t.msg == msg) return true;
            return false;
        };
        Focus(session, m);
        session.MovePointer(250, 420);
        ASSERT_TRUE(WaitFor(
            "the target to log the pointer's move", [&] { return logged(0x0200); }, 20s))
            << "the target never saw the pointer";
        // The magnifier may take its own click only now, after the target took the move; the
        // pointer position it reads then still lies on its own window (see the projection's
        // own-window check): the target must be found all the same.
        // Now and then on a loaded machine Wine loses the key while the new target window takes
        // the focus (the target logs the Ctrl held, the magnifier never hears the hot key): a
        // key that changed nothing in six seconds is pressed again, as a person would.
        bool on = false;
        for (int press = 0; press < 3 && !on; ++press) {
            session.KeyCombo("ctrl+e");
            on = press < 2 ? PollUntil([&] { return m.Title().find("操作投影モード") != std::string::npos; }, 6s)
                           : m.WaitTitleHas("操作投影モード", 6s);
        }
        ASSERT_TRUE(on) << m.Title() << " " << Boxes(session, m.App());
        if (!hang) target->Kill();

        // A click on the view (the hung target stops inside it), then moves, all projected to a
        // window that is gone or does not answer.
        const auto start = std::chrono::steady_clock::now();
        session.MovePointer(m.ScreenX(40), m.ScreenY(60));
        session.Click(1);
        for (int i = 0; i < 20; ++i) session.MovePointer(m.ScreenX(40 + 5 * i), m.ScreenY(60 + 3 * i));
        // Whether the target got the click and stopped in it (after a repeated Ctrl+E Wine
        // sometimes keeps the click to itself); only then is the wait below a hung one.
        const bool stopped = hang && PollUntil([&] { return logged(0x0201); }, 5s);
        if (hang && !stopped) std::printf("[badinput] the projected click did not reach the target this time\n");
        // The program answers: the zoom hot key changes the title.
        const std::string zoom = m.ZoomText();
        session.KeyCombo("ctrl+a");
        EXPECT_TRUE(PollUntil([&] { return m.ZoomText() != zoom; }, 15s))
            << "no answer: " << m.Title() << " " << Boxes(session, m.App()) << " "
            << SaveShot(session.GrabRoot(), hang ? "badinput-hung" : "badinput-killed");
        const auto answered =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::printf("[badinput] %s: click + 20 moves + hot key answered after %lld ms\n", hang ? "hung" : "killed",
                    static_cast<long long>(answered.count()));
        // Each projected message may wait for the target's answer for a second; the moves that
        // pile up meanwhile are merged into one, so the wait stays a few seconds.
        // The limits leave room for a loaded machine; a wait per move would take far longer.
        EXPECT_LT(answered, stopped ? 12s : hang ? 20s : 5s);
        session.KeyCombo("ctrl+s");
        session.KeyCombo("ctrl+e");  // projection off
        EXPECT_TRUE(m.WaitTitleHas("状態:表示モード")) << m.Title();
        EXPECT_TRUE(m.App().Running());
        target.reset();
        EXPECT_TRUE(ViewFollows(session, m, 300, 400, 2.0f, &why)) << why;
    }
    ASSERT_TRUE(m.App().Close());
}

// A pick whose mouse capture is taken by another window: the program runs on, and a later
// click still ends the pick.
TEST_P(BadInputE2E, APickThatLosesTheMouseEndsWithALaterClick)
{
    XSession session;
    Magnifier m = MagnifierOverPattern(session, 300, 400, {}, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    Program other(session,
                  Program::Helper("helper_target", {"50", "700", "200", "150", "other-log.txt"}, TestedEdge()));
    const XWindow otherWindow = session.FindWindowByTitlePrefix("OcuTarget", 20s);
    ASSERT_NE(otherWindow, 0u);

    Choose(session, m, CommandId::mmFixViewSw);
    ASSERT_TRUE(m.WaitTitleHas("表示を固定する位置を選択してください")) << m.Title();
    const std::string activate = "DISPLAY=" + session.DisplayName() + " xdotool windowactivate " +
                                 std::to_string(otherWindow) + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(activate.c_str()), 0);
    for (int i = 0; i < 10; ++i) session.MovePointer(200 + 10 * i, 300);
    EXPECT_TRUE(m.App().Running());

    // Press on the magnifier, drag to the spot, release there (as a person confirms a pick).
    const int startX = m.ScreenX(5), startY = m.ScreenY(m.View().height - 5);
    session.Drag(startX, startY, startX - 400, startY - 100, 10);
    // Under Wine the press that activates the magnifier can lose its release to that activation
    // (seen once in a loaded run): one more click there, as a person would give.
    if (!m.WaitTitleHas("状態:表示モード", 5s)) session.Click();
    EXPECT_TRUE(m.WaitTitleHas("状態:表示モード")) << m.Title();
    ASSERT_TRUE(m.App().Close());
}

OCU_ON_BOTH_EDGES(BadInputE2E);

}  // namespace
}  // namespace ocu::e2e
