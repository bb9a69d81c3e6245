// What the program leaves behind for its next run, as a person meets it: the window's place
// after closing it while minimised, and the lines others write into the settings file while
// the program runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/ModeProbe.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

constexpr int kScMinimize = 0xF020;
constexpr int kScClose = 0xF060;

class NextStartE2E : public OnBothEdges<OcumiraE2E> {};

// Minimises the main window and closes it from the task bar: under Wine by the system
// commands; on X the window manager iconifies it and the close comes as WM_DELETE_WINDOW.
void MinimiseThenClose(XSession& session, Magnifier& m, Edge edge)
{
    const std::string window = std::to_string(m.Window());
    if (edge == Edge::Wine) Query(session, {"syscommand", std::to_string(kScMinimize)});
    else Shell("DISPLAY=" + session.DisplayName() + " xdotool windowminimize " + window);
    ASSERT_TRUE(PollUntil(
        [&] { return edge == Edge::Wine ? Query(session, {"iconic"}) == "iconic 1" : !session.IsShown(m.Window()); },
        10s, 100ms))
        << "the window was not minimised";
    if (edge == Edge::Wine) Query(session, {"syscommand", std::to_string(kScClose)});
    else session.SendDeleteWindow(m.Window());
}

// Minimised, then closed from the task bar: the next start opens where the window was, with
// no message about its size.
TEST_P(NextStartE2E, ClosingWhileMinimisedKeepsThePlaceForTheNextStart)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(300, 400);
    StartSettings s;  // 880,80 - 1240,520
    std::string ini;
    size_t windows = 0;  // the native program's X windows as it shows itself without a box
    {
        Magnifier m(session, SettingsText(s), TestedEdge());
        ASSERT_NO_FATAL_FAILURE(m.Start());
        windows = m.ShownWindows();
        ASSERT_NO_FATAL_FAILURE(MinimiseThenClose(session, m, TestedEdge()));
        ASSERT_TRUE(m.App().WaitForExit(20s)) << "Ocumira did not end on a close while minimised";
        ini = m.App().ReadIni().value_or("");
    }
    EXPECT_EQ(IniValue(ini, "Left"), "880") << ini;
    EXPECT_EQ(IniValue(ini, "Top"), "80") << ini;
    EXPECT_EQ(IniValue(ini, "Right"), "1240") << ini;
    EXPECT_EQ(IniValue(ini, "Bottom"), "520") << ini;

    Magnifier again(session, ini, TestedEdge());
    ASSERT_NO_FATAL_FAILURE(again.Start());
    EXPECT_TRUE(PollUntil(
        [&] {
            return OuterBounds(session, again.Window(), TestedEdge()) == Rect{880, 80, 360, 440};
        },
        10s))
        << OuterBounds(session, again.Window(), TestedEdge()).value_or(Rect{});
    if (TestedEdge() == Edge::Wine) {
        EXPECT_EQ(Query(session, {"boxes"}), "boxes none");
    } else {
        EXPECT_EQ(again.ShownWindows(), windows) << "a box beside the main window";
    }
    ASSERT_TRUE(again.App().Close());
}

// The user edits the settings file while the program runs (a comment, a key of another
// tool, a whole section): closing the window saves, and the edits are still there.
TEST_P(NextStartE2E, LinesAddedWhileRunningSurviveTheSaveAtClose)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(300, 400);
    StartSettings s;
    Magnifier m(session, SettingsText(s), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());

    const std::filesystem::path file = m.App().IniPath();
    std::string text = ReadFile(file);
    ASSERT_NE(text.find("[Zuri]\r\n"), std::string::npos) << text;
    text.insert(text.find("[Zuri]\r\n") + 8, "; edited by hand\r\nTheirKey=kept\r\n");
    text += "[Added]\r\nmine=1\r\n";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << text;
    }
    // Zoom in once, so that the save at close has a changed key to write as well.
    session.KeyCombo("ctrl+a");
    ASSERT_TRUE(PollUntil([&] { return m.ZoomText() == "2.1"; }, 10s)) << m.Title();
    ASSERT_TRUE(m.App().Close());

    const std::string saved = m.App().ReadIni().value_or("");
    EXPECT_NE(saved.find("[Zuri]\r\n; edited by hand\r\nTheirKey=kept\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("[Added]\r\nmine=1\r\n"), std::string::npos) << saved;
    EXPECT_EQ(IniValue(saved, "CapRate"), "21") << saved;
}

OCU_ON_BOTH_EDGES(NextStartE2E);

}  // namespace
}  // namespace ocu::e2e
