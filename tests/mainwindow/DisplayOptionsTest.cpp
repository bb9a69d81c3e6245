#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

class GridMenuTest : public MainWindowTest {
protected:
    void Choose(CommandId id) {
        form->OnMenuOpen(CommandId::MenuRange);
        form->RunCommand(id);
    }
};

TEST_F(GridMenuTest, FixedSpacingsToggleAndSwitch) {
    Start();
    Choose(CommandId::mmGraph40);
    EXPECT_TRUE(S().GridVisible);
    EXPECT_EQ(S().GridUnit, 40);
    form->OnMenuOpen(CommandId::MenuRange);
    EXPECT_TRUE(platform.Checked[CommandId::mmGraph]);
    EXPECT_TRUE(platform.Checked[CommandId::mmGraph40]);
    Choose(CommandId::mmGraph30);
    EXPECT_TRUE(S().GridVisible);
    EXPECT_EQ(S().GridUnit, 30);
    Choose(CommandId::mmGraph30);
    EXPECT_FALSE(S().GridVisible);
}

TEST_F(GridMenuTest, FreeSpacingAndItsCancelAndBadText) {
    Start();
    platform.InputAnswers = {std::string("25")};
    Choose(CommandId::mmGraphFlex);
    EXPECT_TRUE(S().GridVisible);
    EXPECT_EQ(S().GridUnit, 25);
    EXPECT_EQ(platform.Inputs.back().Title, "方眼単位");
    EXPECT_EQ(platform.Inputs.back().Prompt, "単位を入力してください。(ピクセル)");
    form->OnMenuOpen(CommandId::MenuRange);
    EXPECT_TRUE(platform.Checked[CommandId::mmGraphFlex]);
    Choose(CommandId::mmGraphFlex);  // checked: off, without a box
    EXPECT_FALSE(S().GridVisible);
    EXPECT_EQ(platform.Inputs.size(), 1u);

    platform.InputAnswers = {std::nullopt};  // cancel leaves the grid as it was
    Choose(CommandId::mmGraphFlex);
    EXPECT_FALSE(S().GridVisible);
    EXPECT_EQ(S().GridUnit, 25);
    platform.InputAnswers = {std::string("x1")};
    Choose(CommandId::mmGraphFlex);
    EXPECT_FALSE(S().GridVisible);
    EXPECT_EQ(platform.Messages.back().Text, "不正な数値です");
    EXPECT_FALSE(S().CapturePaused);
    EXPECT_TRUE(platform.TopMost);
}

TEST_F(GridMenuTest, ZeroSpacingKeepsTheViewRunning) {
    StartWithView(300, 300);
    platform.InputAnswers = {std::string("0")};
    Choose(CommandId::mmGraphFlex);
    EXPECT_TRUE(S().GridVisible);
    Tick();
    platform.Cursor.X += 1;  // a changed picture, which a running view shows
    Tick();
    EXPECT_EQ(platform.Frames, 2);
}

TEST_F(MainWindowTest, CentreLinesAndInversionToggle) {
    StartWithView(300, 300);
    form->RunCommand(CommandId::mmGrid);
    EXPECT_TRUE(S().CenterLineVisible);
    form->RunCommand(CommandId::mmSrcNot);
    form->OnMenuOpen(CommandId::MenuRate);
    EXPECT_TRUE(platform.Checked[CommandId::mmSrcNot]);
    Tick();
    const IntRect a = platform.LastCaptureRect;
    EXPECT_EQ(platform.Frame.Pixel32(3, 3) & 0xFFFFFF, ~platform.Screen(a.Left + 3, a.Top + 3) & 0xFFFFFF);
    form->RunCommand(CommandId::mmSrcNot);
    form->RunCommand(CommandId::mmGrid);
    EXPECT_FALSE(S().InvertColors);
    EXPECT_FALSE(S().CenterLineVisible);
}

TEST_F(MainWindowTest, SamplingRateBoundsAndStore) {
    Start();
    struct Case {
        std::optional<std::string> Typed;
        int Expected;
        bool Message;
    };
    const Case cases[] = {
        {std::string("10"), 10, false},
        {std::string("400"), 400, false},
        {std::string("9"), 400, true},
        {std::string("401"), 400, true},
        {std::string("abc"), 400, false},  // not a number: the current rate,
                                           // silently
        {std::nullopt, 400, false},        // cancel
        {std::string(" 250 "), 250, false},
    };
    for (const Case& c : cases) {
        platform.InputAnswers = {c.Typed};
        const auto messages = platform.Messages.size();
        form->RunCommand(CommandId::mmSampRate);
        EXPECT_EQ(ini->SamplingRate, c.Expected);
        EXPECT_EQ(platform.CaptureInterval, c.Expected);
        EXPECT_EQ(platform.Messages.size(), messages + (c.Message ? 1 : 0));
        if (c.Message) {
            EXPECT_EQ(platform.Messages.back().Text, "範囲外の数値が入力されました。");
        }
        EXPECT_FALSE(S().CapturePaused);
    }
    EXPECT_EQ(platform.Inputs.back().Initial, "400");
    EXPECT_EQ(platform.Inputs.back().Title, "サンプリングレート");
    EXPECT_EQ(platform.Inputs.back().Prompt,
              "サンプリングレートを指定してください\r(単位:ms デフォルト 100  範囲 10～400)");
    EXPECT_NE(store.text->find("SamplingRate=250"), std::string::npos);
    const int writes = store.writes;
    platform.InputAnswers = {std::string("250")};
    form->RunCommand(CommandId::mmSampRate);
    EXPECT_EQ(store.writes, writes);  // unchanged: nothing saved
}

}  // namespace
}  // namespace ocu::testing
