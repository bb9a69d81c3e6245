#include "dialogs/ManageShortcut.h"
#include "dialogs/ShellFake.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

const std::string kLink = "C:\\Users\\me\\Start Menu\\Programs\\Ocumira.lnk";

TEST(Shortcut, FirstRunsCreateItUntilFiveSavesAndNeverOverwrite) {
    FakeShell shell;
    EnsureShortcutDuringFirstRuns(shell, 1, true, "Ocumira");
    ASSERT_EQ(shell.Files.count(kLink), 1u);
    EXPECT_EQ(shell.Files[kLink], "C:\\Apps\\Ocumira\\Ocumira.exe|C:\\Apps\\Ocumira");
    shell.Files[kLink] = "the user's own file";
    EnsureShortcutDuringFirstRuns(shell, 3, true, "Ocumira");
    EXPECT_EQ(shell.Files[kLink], "the user's own file");
    shell.Files.clear();  // removed by the user
    EnsureShortcutDuringFirstRuns(shell, 3, true, "Ocumira");
    EXPECT_EQ(shell.Files.count(kLink), 1u);
    shell.Files.clear();
    EnsureShortcutDuringFirstRuns(shell, 5, true, "Ocumira");
    EXPECT_TRUE(shell.Files.empty());
    EnsureShortcutDuringFirstRuns(shell, 1, false, "Ocumira");  // runs not counted: not every start
    EXPECT_TRUE(shell.Files.empty());
}

TEST(Shortcut, WithoutAProgramsFolderEverythingFailsQuietly) {
    FakeShell shell;
    shell.Programs.reset();
    EXPECT_FALSE(ManageShortcut(shell, true, false, "Ocumira"));
    EXPECT_FALSE(ManageShortcut(shell, false, true, "Ocumira"));
    shell.Programs = "C:\\P";
    shell.DeleteFails = true;
    shell.Files["C:\\P\\Ocumira.lnk"] = "x";
    EXPECT_TRUE(ManageShortcut(shell, false, false, "Ocumira"));  // a failed delete still answers true
}

// A shell with its own naming (the Linux desktop's) gets its shortcut and guide named its way.
TEST(Shortcut, NamesFollowTheShell) {
    FakeShell shell;
    shell.Program = "/opt/ocumira/ocumira";
    shell.Programs = "/home/me/.local/share/applications";
    shell.Separator = '/';
    shell.LinkEnding = ".desktop";
    EnsureShortcutDuringFirstRuns(shell, 1, true, "Ocumira");
    EXPECT_EQ(shell.Files["/home/me/.local/share/applications/Ocumira.desktop"], "/opt/ocumira/ocumira|/opt/ocumira");
    EXPECT_EQ(shell.Files.size(), 1u);
}

class DialogCommandTest : public MainWindowTest {
protected:
    FakeShell shell;
    void SetUp() override {
        Start();
        form->AttachServices(nullptr, &shell);
        shell.DuringDialog = [this] {
            pausedDuringDialog = S().CapturePaused;
            topMostDuringDialog = platform.TopMost;
        };
    }
    bool pausedDuringDialog = false;
    bool topMostDuringDialog = true;
};

TEST_F(DialogCommandTest, OptionsDialogShowsTheShortcutStateAndActsOnOkOnly) {
    shell.Files[kLink] = "x";
    shell.OptionsAnswer = std::nullopt;  // cancel
    form->RunCommand(CommandId::mmOption);
    EXPECT_EQ(shell.OptionsShownWith.back(), true);
    EXPECT_EQ(shell.Files.count(kLink), 1u);
    EXPECT_TRUE(pausedDuringDialog);
    EXPECT_FALSE(topMostDuringDialog);
    shell.OptionsAnswer = false;             // OK with the box cleared
    form->RunCommand(CommandId::mmTopMost);  // off before: on after anyway
    form->RunCommand(CommandId::mmOption);
    EXPECT_EQ(shell.Files.count(kLink), 0u);
    EXPECT_TRUE(platform.TopMost);
    EXPECT_FALSE(S().CapturePaused);
}

TEST_F(DialogCommandTest, VersionDialogPausesAndHelpLeavesTheTopmostOrder) {
    form->RunCommand(CommandId::About1);
    EXPECT_EQ(shell.VersionShown, 1);
    EXPECT_TRUE(pausedDuringDialog);
    EXPECT_TRUE(topMostDuringDialog);  // the on-top state is left as it is
    EXPECT_FALSE(S().CapturePaused);
    form->RunCommand(CommandId::Help1);
    EXPECT_FALSE(platform.TopMost);
    EXPECT_FALSE(form->MenuChecked(CommandId::mmTopMost));
    EXPECT_EQ(shell.Urls.back(), kOnlineHelpUrl);
    form->RunCommand(CommandId::mmTopMost);
    form->RunCommand(CommandId::Help2);
    EXPECT_FALSE(platform.TopMost);
    EXPECT_EQ(shell.HelpFiles.back(), "Ocumira.hlp");
}

// The help opens the guide beside the program unless a help file is there too.
TEST_F(DialogCommandTest, HelpOpensTheGuideWhenThereIsNoHelpFile) {
    shell.Files["C:\\Apps\\Ocumira\\使い方.txt"] = "shipped";
    form->RunCommand(CommandId::Help2);
    EXPECT_EQ(shell.Urls, std::vector<std::string>{"C:\\Apps\\Ocumira\\使い方.txt"});
    EXPECT_TRUE(shell.HelpFiles.empty());
    shell.Files["C:\\Apps\\Ocumira\\Ocumira.hlp"] = "shipped";
    form->RunCommand(CommandId::Help2);
    EXPECT_EQ(shell.HelpFiles, std::vector<std::string>{"C:\\Apps\\Ocumira\\Ocumira.hlp"});
    EXPECT_EQ(shell.Urls.size(), 1u);
    shell.Program = "/opt/ocumira/ocumira";
    shell.Separator = '/';
    shell.Files["/opt/ocumira/使い方.txt"] = "installed";
    form->RunCommand(CommandId::Help2);
    EXPECT_EQ(shell.Urls.back(), "/opt/ocumira/使い方.txt");
}

}  // namespace
}  // namespace ocu::testing
