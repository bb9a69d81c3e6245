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

using NextStartE2E = OcumiraE2E;

// Minimised, then closed from the task bar: the next start opens where the window was, with
// no message about its size.
TEST_F(NextStartE2E, ClosingWhileMinimisedKeepsThePlaceForTheNextStart)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(300, 400);
    StartSettings s;  // 880,80 - 1240,520
    std::string ini;
    {
        Magnifier m(session, SettingsText(s));
        ASSERT_NO_FATAL_FAILURE(m.Start());
        Query(session, {"syscommand", std::to_string(kScMinimize)});
        ASSERT_TRUE(PollUntil([&] { return Query(session, {"iconic"}) == "iconic 1"; }, 10s, 100ms))
            << Query(session, {"iconic"});
        Query(session, {"syscommand", std::to_string(kScClose)});
        ASSERT_TRUE(m.App().WaitForExit(20s)) << "Ocumira did not end on SC_CLOSE while minimised";
        ini = m.App().ReadIni().value_or("");
    }
    EXPECT_EQ(IniValue(ini, "Left"), "880") << ini;
    EXPECT_EQ(IniValue(ini, "Top"), "80") << ini;
    EXPECT_EQ(IniValue(ini, "Right"), "1240") << ini;
    EXPECT_EQ(IniValue(ini, "Bottom"), "520") << ini;

    Magnifier again(session, ini);
    ASSERT_NO_FATAL_FAILURE(again.Start());
    EXPECT_TRUE(PollUntil(
        [&] {
            return session.WindowGeometry(again.Window()) == Rect{880, 80, 360, 440};
        },
        10s))
        << session.WindowGeometry(again.Window()).value_or(Rect{});
    EXPECT_EQ(Query(session, {"boxes"}), "boxes none");
    ASSERT_TRUE(again.App().Close());
}

// The user edits the settings file while the program runs (a comment, a key of another
// tool, a whole section): closing the window saves, and the edits are still there.
TEST_F(NextStartE2E, LinesAddedWhileRunningSurviveTheSaveAtClose)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(300, 400);
    StartSettings s;
    Magnifier m(session, SettingsText(s));
    ASSERT_NO_FATAL_FAILURE(m.Start());

    const std::filesystem::path file = m.App().Folder() / "Ocumira.ini";
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

}  // namespace
}  // namespace ocu::e2e
