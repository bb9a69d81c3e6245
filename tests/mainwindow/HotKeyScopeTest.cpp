#include "dialogs/ShellFake.h"
#include "mainwindow/MainWindowFixture.h"

namespace ocu::testing {
namespace {

class HotKeyScopeTest : public MainWindowTest {
protected:
    size_t Held() const { return platform.HotKeys.size(); }
};

TEST_F(HotKeyScopeTest, ByDefaultTheKeysStayWhileAnotherProgramIsActive) {
    Start();
    EXPECT_EQ(Held(), HotKeyTable().size());
    form->FormDeactivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
}

TEST_F(HotKeyScopeTest, ClearedTheKeysAreHeldOnlyWhileTheWindowIsActive) {
    Start("[Ocumira]\r\nHotKeysAlways=0\r\n");
    EXPECT_EQ(Held(), 0u);  // created, not yet activated
    form->FormResize();
    EXPECT_EQ(Held(), 0u);
    form->FormActivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
    form->FormDeactivate();
    EXPECT_EQ(Held(), 0u);
    form->FormResize();  // a size change while inactive does not take them back
    EXPECT_EQ(Held(), 0u);
    form->FormActivate();
    form->AppMinimize();
    EXPECT_EQ(Held(), 0u);
    form->AppRestore();
    EXPECT_EQ(Held(), HotKeyTable().size());
}

TEST_F(HotKeyScopeTest, OptionsDialogSwitchesTheScopeAndKeepsItForTheSave) {
    Start();
    FakeShell shell;
    form->AttachServices(nullptr, &shell);
    shell.OptionsAnswer = false;
    shell.HotKeysAnswer = false;
    // The dialog takes the activation while it is open.
    shell.DuringDialog = [this] { form->FormDeactivate(); };
    form->OnCommand(CommandId::mmOption);
    EXPECT_TRUE(shell.HotKeysShownWith.back());
    EXPECT_FALSE(ini->HotKeysAlways);
    EXPECT_EQ(Held(), 0u);
    form->FormActivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
    ini->Save();
    EXPECT_NE(store.text->find("HotKeysAlways=0"), std::string::npos);

    shell.HotKeysAnswer = true;
    form->OnCommand(CommandId::mmOption);
    EXPECT_FALSE(shell.HotKeysShownWith.back());
    EXPECT_EQ(Held(), HotKeyTable().size());  // back for good, though the dialog took the activation
    form->FormDeactivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
}

}  // namespace
}  // namespace ocu::testing
