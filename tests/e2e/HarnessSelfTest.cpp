// Proves the end-to-end machinery before any test of Ocumira leans on it: the X server, the
// coordinate pattern, synthetic input, and a Windows program under Wine receiving a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "e2e/Harness.h"

namespace ocu::e2e {
namespace {

constexpr uint32_t kMouseMove = 0x0200, kLButtonDown = 0x0201, kLButtonUp = 0x0202;
constexpr uint64_t kMkLButton = 0x0001;

TEST(HarnessPattern, DecodeInvertsColorForEveryCoordinateBelow4096)
{
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x) {
            const auto [dx, dy] = XSession::DecodePattern(XSession::PatternColor(x, y));
            if (dx != x || dy != y) FAIL() << x << "," << y << " decodes to " << dx << "," << dy;
        }
}

TEST(HarnessSession, RootShowsThePatternAndPointerMovesLand)
{
    XSession session;
    session.PaintPattern();

    const Screenshot shot = session.GrabRoot();
    ASSERT_EQ(shot.width, 1280);
    ASSERT_EQ(shot.height, 1024);
    for (auto [x, y] : {std::tuple{0, 0}, {1279, 0}, {0, 1023}, {1279, 1023}, {256, 255}, {640, 512}})
        EXPECT_EQ(XSession::DecodePattern(shot.At(x, y)), std::tuple(x, y)) << x << "," << y;
    size_t wrong = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) wrong += XSession::DecodePattern(shot.At(x, y)) != std::tuple(x, y);
    EXPECT_EQ(wrong, 0u);

    // A grab away from the origin reports pixels relative to it.
    const Screenshot part = session.Grab(1000, 700, 30, 20);
    EXPECT_EQ(XSession::DecodePattern(part.At(0, 0)), std::tuple(1000, 700));
    EXPECT_EQ(XSession::DecodePattern(part.At(29, 19)), std::tuple(1029, 719));

    for (auto [x, y] : {std::tuple{0, 0}, {1279, 1023}, {17, 900}, {640, 1}}) {
        session.MovePointer(x, y);
        EXPECT_EQ(session.PointerPosition(), std::tuple(x, y));
    }
    EXPECT_ANY_THROW(session.KeyCombo("ctrl+NoSuchKey"));
    EXPECT_ANY_THROW(session.Grab(1270, 0, 20, 10));
}

TEST(HarnessSession, SessionsGetTheirOwnDisplaysAndSize)
{
    XSession a;
    XSession b({.width = 640, .height = 480});
    EXPECT_NE(a.DisplayName(), b.DisplayName());
    b.PaintPattern();
    EXPECT_EQ(XSession::DecodePattern(b.GrabRoot().At(639, 479)), std::tuple(639, 479));
}

class HarnessWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::string(OCUMIRA_WIN_DIR).empty()) GTEST_SKIP() << "OCUMIRA_WIN_DIR not set: no Windows build to run";
    }
};

// Wine, Xvfb and XTest together: the helper's window appears where it asked to be, is
// painted, and a synthetic click arrives at the right client coordinates.
TEST_F(HarnessWine, TargetWindowReceivesAClick)
{
    XSession session;
    session.PaintPattern();
    const Rect where{200, 150, 320, 240};
    Program target(session, Program::Helper("helper_target",
                                            {std::to_string(where.x), std::to_string(where.y),
                                             std::to_string(where.width), std::to_string(where.height), "target.log"}));
    const XWindow window = session.FindWindowByTitlePrefix("OcuTarget");
    ASSERT_NE(window, 0u) << "helper_target's window did not appear";
    EXPECT_EQ(session.WindowTitle(window), "OcuTarget");
    EXPECT_EQ(session.WindowGeometry(window), where);
    EXPECT_TRUE(PollUntil([&] { return session.Grab(where.x + 10, where.y + 10, 1, 1).At(0, 0) == 0xFFFFFF; }, 10s))
        << "the client area was not painted white";
    // Outside the window the pattern is untouched.
    EXPECT_EQ(XSession::DecodePattern(session.Grab(where.x - 1, where.y - 1, 1, 1).At(0, 0)),
              std::tuple(where.x - 1, where.y - 1));

    session.MovePointer(where.x + 40, where.y + 30);
    session.MovePointer(where.x + 50, where.y + 60);
    session.Click(1);
    const auto log = target.Folder() / "target.log";
    ASSERT_TRUE(PollUntil(
        [&] {
            const auto m = ReadTargetLog(log);
            return std::any_of(m.begin(), m.end(), [](const TargetMessage& t) { return t.msg == kLButtonUp; });
        },
        10s));
    const auto messages = ReadTargetLog(log);
    EXPECT_TRUE(std::find(messages.begin(), messages.end(), TargetMessage{kMouseMove, 0, 50, 60}) != messages.end());
    EXPECT_TRUE(std::find(messages.begin(), messages.end(), TargetMessage{kLButtonDown, kMkLButton, 50, 60}) !=
                messages.end());
    EXPECT_TRUE(std::find(messages.begin(), messages.end(), TargetMessage{kLButtonUp, 0, 50, 60}) != messages.end());
    EXPECT_TRUE(target.Running());
}

// The hung-target tests rely on "hang": after two seconds the target stops taking messages,
// though its process and window stay.
TEST_F(HarnessWine, HangingTargetStopsTakingMessagesAndIgnoresClose)
{
    XSession session;
    Program target(session, Program::Helper("helper_target", {"10", "10", "100", "100", "target.log", "hang"}));
    ASSERT_NE(session.FindWindowByTitlePrefix("OcuTarget"), 0u);
    // Its two seconds are counted from before the window showed.
    const auto hangsBy = std::chrono::steady_clock::now() + 2s;
    const auto log = target.Folder() / "target.log";
    // Moves while it still pumps are logged; once it hangs, the count stays put.
    int x = 20;
    ASSERT_TRUE(PollUntil(
        [&] {
            session.MovePointer(x++ % 80 + 15, 50);
            return !ReadTargetLog(log).empty();
        },
        10s));
    // Wait until moves stop being logged, then make sure they stay unlogged.
    size_t seen = 0;
    ASSERT_TRUE(PollUntil(
        [&] {
            const size_t before = ReadTargetLog(log).size();
            for (int i = 0; i < 5; ++i) session.MovePointer(x++ % 80 + 15, 60);
            const bool unlogged = StaysTrue([&] { return (seen = ReadTargetLog(log).size()) == before; }, 300ms);
            return unlogged && std::chrono::steady_clock::now() > hangsBy;
        },
        20s, 0ms));
    for (int i = 0; i < 5; ++i) session.MovePointer(x++ % 80 + 15, 70);
    StaysTrue([&] { return ReadTargetLog(log).size() == seen; }, 500ms);
    EXPECT_EQ(ReadTargetLog(log).size(), seen);
    EXPECT_TRUE(target.Running());

    // A hung program ignores Close(); it is killed once the timeout passes.
    EXPECT_FALSE(target.Close(0, 1s));
    EXPECT_FALSE(target.Running());
}

// Close() asks as a window manager would, and a program that honours it exits by itself.
TEST_F(HarnessWine, CloseEndsAResponsiveProgram)
{
    XSession session;
    Program target(session, Program::Helper("helper_target", {"10", "10", "100", "100", "target.log"}));
    ASSERT_NE(session.FindWindowByTitlePrefix("OcuTarget"), 0u);
    EXPECT_FALSE(session.WindowsOfProcess(target.Pid()).empty());
    EXPECT_TRUE(target.Close());
    EXPECT_EQ(target.ExitCode(), 0);
}

// A program that ends with 1 before its window shows is started once more while its window is
// awaited, and only once: a program that keeps failing still fails the wait.
TEST_F(HarnessWine, AProgramThatNeverRanIsStartedOnceMore)
{
    XSession session;
    const auto starts = [](Program& app) {
        std::ifstream in(app.Folder() / "starts.txt");
        int n = 0;
        in >> n;
        return n;
    };
    {
        Program target(session, Program::Helper("helper_target", {"10", "10", "100", "100", "t.log", "failstarts", "1"}));
        EXPECT_NE(session.FindWindowByTitlePrefix("OcuTarget", 30s), 0u);
        EXPECT_EQ(starts(target), 2);
    }
    Program target(session, Program::Helper("helper_target", {"10", "10", "100", "100", "t.log", "failstarts", "2"}));
    EXPECT_EQ(session.FindWindowByTitlePrefix("OcuTarget", 8s), 0u);
    EXPECT_EQ(target.ExitCode(), 1);
    EXPECT_EQ(starts(target), 2);
}

TEST_F(HarnessWine, EachAppStartsInAFreshFolderWithTheGivenIni)
{
    XSession session;
    ProgramOptions options = Program::Helper("helper_target", {"0", "0", "50", "50", "target.log"});
    options.ini = "[Settings]\r\nZoom=3\r\n";
    Program first(session, options);
    options.ini.reset();
    Program second(session, options);
    EXPECT_NE(first.Folder(), second.Folder());
    EXPECT_EQ(first.ReadIni(), "[Settings]\r\nZoom=3\r\n");
    EXPECT_EQ(second.ReadIni(), std::nullopt);
    EXPECT_TRUE(std::filesystem::exists(first.ExePath()));
    EXPECT_EQ(Program::WindowsPath("/tmp/a b/c.log"), "Z:\\tmp\\a b\\c.log");

    // Ending one app leaves the other running.
    first.Kill();
    EXPECT_FALSE(first.Running());
    EXPECT_TRUE(second.Running());
}

// What a failing test prints: the wait that ran out, the windows on the display with their
// titles, the program's log, the boxes under Wine, a note of the test's own, a screenshot.
TEST_F(HarnessWine, TheFailureReportSaysWhatWasAwaitedAndWhatWasThere)
{
    XSession session;
    Program target(session, Program::Helper("helper_target", {"100", "100", "300", "200", "report-log.txt"}));
    ASSERT_NE(session.FindWindowByTitlePrefix("OcuTarget", 30s), 0u);
    session.MovePointer(200, 180);
    ASSERT_TRUE(PollUntil([&] { return !ReadTargetLog(target.Folder() / "report-log.txt").empty(); }, 20s));
    EXPECT_FALSE(WaitFor(
        "a state that never comes", [] { return false; }, 100ms));
    FailureNote note([] { return std::string("a note of the test"); });

    const std::string report = DescribeFailureState("harness-report-self-test");
    for (const char* part : {"waited 100 ms for a state that never comes", "a note of the test", "\"OcuTarget",
                             "pointer at 200,180", "last lines of report-log.txt:", "0200 0 ", "boxes none"})
        EXPECT_NE(report.find(part), std::string::npos) << part << " is missing from:\n" << report;
    const std::string shotLabel = "screenshot of the display: ";
    const auto at = report.find(shotLabel);
    ASSERT_NE(at, std::string::npos) << report;
    const std::string shot = report.substr(at + shotLabel.size(), report.find('\n', at) - at - shotLabel.size());
    EXPECT_TRUE(std::filesystem::is_regular_file(shot)) << shot;
    std::filesystem::remove(shot);
}

}  // namespace
}  // namespace ocu::e2e
