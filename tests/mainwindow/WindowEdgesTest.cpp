#include "mainwindow/ButtonHold.h"
#include "mainwindow/MinimizeEdges.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(ButtonHoldTest, OneHoldAtATimeEndedOnceAndHoldButtonsAreNoClicks) {
    CommandId hold = CommandId::None, click = CommandId::None;
    for (const ToolButton& b : MainToolBar()) (b.PressAndHold ? hold : click) = b.Id;
    ASSERT_NE(hold, CommandId::None);
    ASSERT_NE(click, CommandId::None);
    EXPECT_EQ(ClickCommand(hold), CommandId::None);
    EXPECT_EQ(ClickCommand(click), click);
    EXPECT_EQ(ClickCommand(CommandId::None), CommandId::None);

    ButtonHold h;
    EXPECT_FALSE(h.Press(click));
    EXPECT_EQ(h.End(), std::nullopt) << "a release without a hold reports nothing";
    EXPECT_TRUE(h.Press(hold));
    EXPECT_FALSE(h.Press(hold)) << "a second button down while held starts nothing";
    EXPECT_EQ(h.Held(), hold);
    EXPECT_EQ(h.End(), hold);
    EXPECT_EQ(h.End(), std::nullopt) << "the lost capture after the release ends nothing again";
}

// The system reports a size change more than once around a minimise (Wine does so).
TEST(MinimizeEdgesTest, EachMinimiseAndRestoreIsSeenOnce) {
    using Edge = MinimizeEdges::Edge;
    MinimizeEdges e;
    EXPECT_EQ(e.Sized(false), Edge::None);
    EXPECT_EQ(e.Sized(true), Edge::Minimized);
    EXPECT_EQ(e.Sized(true), Edge::None);
    EXPECT_EQ(e.Sized(false), Edge::Restored);
    EXPECT_EQ(e.Sized(false), Edge::None);
}

}  // namespace
}  // namespace ocu
