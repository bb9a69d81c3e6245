#include <gtest/gtest.h>

#include <windowsx.h>

#include "platform/win32/MainWindow.h"
#include "platform/win32/MouseTranslation.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

TEST(MouseTranslationTest, ProjectedMessagesAreWin32MouseMessages) {
    EXPECT_EQ(MouseMessageOf(ProjectedMessage::Move), 0x0200u);
    EXPECT_EQ(MouseMessageOf(ProjectedMessage::LeftDown), 0x0201u);
    EXPECT_EQ(MouseMessageOf(ProjectedMessage::LeftUp), 0x0202u);
    EXPECT_EQ(MouseMessageOf(ProjectedMessage::RightDown), 0x0204u);
    EXPECT_EQ(MouseMessageOf(ProjectedMessage::RightUp), 0x0205u);
}

TEST(MouseTranslationTest, KeysCarryOneButtonAndTheModifiers) {
    EXPECT_EQ(MouseKeysOf({}), 0x0000u);
    EXPECT_EQ(MouseKeysOf({MouseButton::Left}), 0x0001u);
    EXPECT_EQ(MouseKeysOf({MouseButton::Right}), 0x0002u);
    EXPECT_EQ(MouseKeysOf({MouseButton::Middle}), 0x0010u);
    EXPECT_EQ(MouseKeysOf({MouseButton::Left, true, true}), 0x000Du);
    EXPECT_EQ(MouseKeysOf({std::nullopt, true, false}), 0x0008u);
}

TEST(MouseTranslationTest, PointsPackIntoSixteenBitHalves) {
    const LPARAM l = MousePointOf({6, -18});
    EXPECT_EQ(static_cast<std::uint64_t>(l), 0xFFEE0006u);  // the high half of a 64-bit lParam stays clear
    EXPECT_EQ(GET_X_LPARAM(l), 6);
    EXPECT_EQ(GET_Y_LPARAM(l), -18);
    const LPARAM wide = MousePointOf({0x12345, 70000});
    EXPECT_EQ(LOWORD(wide), 0x2345);
    EXPECT_EQ(HIWORD(wide), 70000 & 0xFFFF);
}

TEST(MouseTranslationTest, InjectedButtonsAreMouseEventFlags) {
    EXPECT_EQ(MouseEventFlagOf(InjectedButton::LeftDown), 0x0002u);
    EXPECT_EQ(MouseEventFlagOf(InjectedButton::LeftUp), 0x0004u);
    EXPECT_EQ(MouseEventFlagOf(InjectedButton::RightDown), 0x0008u);
    EXPECT_EQ(MouseEventFlagOf(InjectedButton::RightUp), 0x0010u);
}

TEST(MouseTranslationTest, TheWindowClassIsTheOneTheProjectionRefuses) {
    EXPECT_STREQ(kMainWindowClass, L"TfrmCap");
    EXPECT_EQ(WideToUtf8(kMainWindowClass), std::string(kMainWindowClassName));
}

}  // namespace
}  // namespace ocu::win
