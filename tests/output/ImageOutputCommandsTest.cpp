#include <map>

#include "mainwindow/PointerColor.h"
#include "output/BitmapFile.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

class FakeOutput : public IImageOutput {
public:
    std::optional<std::string> Chosen;
    bool WriteFails = false;
    bool PrintChosen = true;
    std::map<std::string, std::vector<std::uint8_t>> Files;
    IntRect LastClient;
    std::optional<std::string> ClipboardError, PrintError;
    int Clipboard = 0, Printed = 0;
    std::string Filter;
    bool PngFails = false;
    std::string ClipboardText;
    std::vector<IntRect> Over;
    Image Copied;

    std::optional<Image> SnapshotClient(IntRect client) override {
        LastClient = client;
        Image img(client.Width(), client.Height(), PixelFormat::Bits32);
        img.SetPixel32(0, 0, 0x123456);
        return img;
    }
    std::vector<IntRect> WindowsOver(IntRect) override { return Over; }
    std::optional<std::string> SaveDialog(const std::string& filter) override {
        Filter = filter;
        return Chosen;
    }
    bool WriteWholeFile(const std::string& p, const std::vector<std::uint8_t>& b) override {
        if (WriteFails) return false;
        Files[p] = b;
        return true;
    }
    std::optional<std::string> CopyToClipboard(const Image& image) override {
        Copied = image.Clone();
        if (!ClipboardError) ++Clipboard;
        return ClipboardError;
    }
    std::optional<std::vector<std::uint8_t>> EncodePng(const Image& image) override {
        if (PngFails) return std::nullopt;
        return std::vector<std::uint8_t>{'P', 'N', 'G', static_cast<std::uint8_t>(image.Width())};
    }
    std::optional<std::string> CopyTextToClipboard(const std::string& text) override {
        ClipboardText = text;
        return std::nullopt;
    }
    bool PrintDialog() override { return PrintChosen; }
    std::optional<std::string> PrintImage(const Image&) override {
        if (!PrintError) ++Printed;
        return PrintError;
    }
};

class OutputTest : public MainWindowTest {
protected:
    FakeOutput out;
    void SetUp() override {
        StartWithView(300, 300);
        form->AttachServices(&out, nullptr);
    }
};

TEST_F(OutputTest, SaveWritesTheViewAreaAsABitmapUnderTheBmpName) {
    out.Chosen = "C:\\pics\\view.jpg";
    form->RunCommand(CommandId::mmSaveViewFile);
    EXPECT_EQ(out.Filter, "ビットマップ(*.bmp)|*.bmp");
    EXPECT_EQ(out.LastClient, (IntRect{0, 61, 300, 284}));
    ASSERT_EQ(out.Files.count("C:\\pics\\view.bmp"), 1u);
    const Image back = DecodeBmp(out.Files["C:\\pics\\view.bmp"]);
    EXPECT_EQ(back.Width(), 300);
    EXPECT_EQ(back.Height(), 223);
    EXPECT_EQ(back.Pixel32(0, 0), 0x123456u);
    EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(OutputTest, CancelWritesNothingAndAFailedWriteIsTold) {
    form->RunCommand(CommandId::mmSaveViewFile);
    EXPECT_TRUE(out.Files.empty());
    out.Chosen = "C:\\ro\\view";
    out.WriteFails = true;
    form->RunCommand(CommandId::mmSaveViewFile);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].Text, "「C:\\ro\\view.bmp」に画像を保存できませんでした。");
}

TEST_F(OutputTest, CopyAndPrintReportTheirErrorsAndCancelPrintsNothing) {
    form->RunCommand(CommandId::mmCopyToClipBoard);
    EXPECT_EQ(out.Clipboard, 1);
    out.ClipboardError = "クリップボードを開けません";
    EXPECT_THROW(form->RunCommand(CommandId::mmCopyToClipBoard), std::runtime_error);
    out.PrintChosen = false;
    form->RunCommand(CommandId::mmPrint);
    EXPECT_EQ(out.Printed, 0);
    out.PrintChosen = true;
    form->RunCommand(CommandId::mmPrint);
    EXPECT_EQ(out.Printed, 1);
}

TEST_F(OutputTest, PngSaveTakesTheSameSnapshotUnderThePngName) {
    out.Chosen = "C:\\pics.d\\view.bmp";
    form->RunCommand(CommandId::mmSavePngFile);
    EXPECT_EQ(out.Filter, "PNG(*.png)|*.png");
    EXPECT_EQ(out.LastClient, (IntRect{0, 61, 300, 284}));
    ASSERT_EQ(out.Files.count("C:\\pics.d\\view.png"), 1u);
    EXPECT_EQ(out.Files["C:\\pics.d\\view.png"], (std::vector<std::uint8_t>{'P', 'N', 'G', 44}));
    out.Chosen = "C:\\pics.d\\view";
    form->RunCommand(CommandId::mmSavePngFile);
    EXPECT_EQ(out.Files.count("C:\\pics.d\\view.png"), 1u);
    EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(OutputTest, PngThatCannotBeEncodedOrWrittenIsTold) {
    out.Chosen = "C:\\x\\a.png";
    out.PngFails = true;
    form->RunCommand(CommandId::mmSavePngFile);
    out.PngFails = false;
    out.WriteFails = true;
    form->RunCommand(CommandId::mmSavePngFile);
    ASSERT_EQ(platform.Messages.size(), 2u);
    for (const auto& m : platform.Messages) EXPECT_EQ(m.Text, "「C:\\x\\a.png」に画像を保存できませんでした。");
    EXPECT_TRUE(out.Files.empty());
}

// The copy reads the colour whether the hint line shows it (as it does by default) or not.
TEST_F(OutputTest, ColourCopyPutsTheColourUnderThePointerOnTheClipboardShownOrNot) {
    EXPECT_THROW(form->RunCommand(CommandId::mmCopyColor), std::runtime_error);  // nothing read yet
    platform.Cursor = {900, 700};
    Tick();
    form->RunCommand(CommandId::mmCopyColor);
    EXPECT_EQ(out.ClipboardText, ColorText(platform.Screen(900, 700), true));
    form->RunCommand(CommandId::mmColorShow);
    form->RunCommand(CommandId::mmColorHex);
    form->RunCommand(CommandId::mmCopyColor);
    EXPECT_EQ(out.ClipboardText, platform.ColorReadout);
    EXPECT_EQ(out.ClipboardText, ColorText(platform.Screen(900, 700), false));
}

// The picture is the frame the view last drew, which the screen may not show yet where a
// menu has just closed; where another window lies over the view, it is the screen's.
TEST_F(OutputTest, PictureIsTheDrawnFrameSaveWhereAnotherWindowLiesOverTheView) {
    platform.Cursor = {900, 700};
    Tick();
    const int left = S().ViewLeft, top = S().ViewTop;
    out.Over = {{left, top, left + 1, top + 1}};
    form->RunCommand(CommandId::mmCopyToClipBoard);
    EXPECT_EQ(out.Copied.Pixel32(0, 0), 0x123456u);  // the screen under the other window
    for (const IntPoint p : {IntPoint{1, 0}, IntPoint{0, 1}, IntPoint{S().ViewWidth - 1, S().ViewHeight - 1}})
        EXPECT_EQ(out.Copied.Pixel32(p.X, p.Y), platform.Frame.Pixel32(p.X, p.Y)) << p.X << "," << p.Y;
    EXPECT_NE(platform.Frame.Pixel32(1, 0), 0u);
}

// Chosen from the menu with the mouse: the pointer crosses the window to the menu and
// rests on the entry, and the copy is still the colour pointed at before.
TEST_F(OutputTest, ColourCopyFromTheMenuCopiesTheColourPointedAt) {
    const std::string pointedAt = ColorText(platform.Screen(900, 700), true);
    platform.Cursor = {900, 700};
    Tick();
    platform.Cursor = {platform.Window.Left + 60, platform.Window.Top + 40};  // over the menu bar
    Tick();
    form->Readout().OnMenuLoop(true);
    platform.Cursor = {platform.Window.Right + 30, platform.Window.Top + 90};  // a drop-down beyond the window
    Tick();
    form->Readout().OnMenuLoop(false);
    form->RunCommand(CommandId::mmCopyColor);
    EXPECT_EQ(out.ClipboardText, pointedAt);
}

}  // namespace
}  // namespace ocu::testing
