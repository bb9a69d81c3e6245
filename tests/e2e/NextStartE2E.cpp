// What the program leaves behind for its next run, as a person meets it: the window's place
// after closing it while minimised.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/ModeProbe.h"

namespace ocu::e2e {
namespace {

constexpr int kScMinimize = 0xF020;
constexpr int kScClose = 0xF060;

class NextStartE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!OcumiraBuilt()) GTEST_SKIP() << "no Ocumira.exe configured";
    }
};

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
    EXPECT_TRUE(PollUntil([&] { return session.WindowGeometry(again.Window()) == Rect{880, 80, 360, 440}; }, 10s))
        << session.WindowGeometry(again.Window()).value_or(Rect{});
    EXPECT_EQ(Query(session, {"boxes"}), "boxes none");
    ASSERT_TRUE(again.App().Close());
}

}  // namespace
}  // namespace ocu::e2e
