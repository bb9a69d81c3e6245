#include "mainwindow/DialogLayout.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(DialogLayoutTest, CentredOnTheOwnerEvenWhenLarger) {
    EXPECT_EQ(CentredOn({100, 100, 500, 400}, {200, 100}), (IntPoint{200, 200}));
    EXPECT_EQ(CentredOn({0, 0, 100, 100}, {300, 300}), (IntPoint{-100, -100}));
}

TEST(DialogLayoutTest, TheInputBoxStacksPromptEditAndButtonsAndGrowsWithTheDpi) {
    const InputBoxLayout l = LayoutInputBox(96, 26, 13);
    EXPECT_EQ(InputBoxPromptWidth(96), l.Prompt.Width());
    EXPECT_EQ(l.Prompt, (IntRect{8, 8, 292, 34}));
    EXPECT_EQ(l.Edit, (IntRect{8, 40, 292, 61}));
    EXPECT_EQ(l.Ok, (IntRect{71, 73, 146, 98}));
    EXPECT_EQ(l.Cancel, (IntRect{154, 73, 229, 98}));
    EXPECT_EQ(l.Client, (IntPoint{300, 106}));
    const InputBoxLayout big = LayoutInputBox(192, 52, 26);
    const auto twice = [](IntRect r) { return IntRect{2 * r.Left, 2 * r.Top, 2 * r.Right, 2 * r.Bottom}; };
    EXPECT_EQ(big.Edit, twice(l.Edit));
    EXPECT_EQ(big.Cancel, twice(l.Cancel));
    EXPECT_EQ(big.Client, (IntPoint{600, 212}));
}

}  // namespace
}  // namespace ocu
