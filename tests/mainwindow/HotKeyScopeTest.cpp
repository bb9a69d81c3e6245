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

TEST_F(HotKeyScopeTest, KeysArrivingWhileABoxIsOpenAreIgnoredAndOnlyStepsRepeat) {
    Start();
    int boxes = 0;
    platform.WhileModal = [&] {
        if (++boxes == 1) form->OnHotKey(220);  // Ctrl+T while its angle box is open
    };
    form->OnHotKey(220);
    EXPECT_EQ(platform.Inputs.size(), 1u) << "a second angle box over the first";
    using V = HotKeyVariant;
    for (const HotKey& k : HotKeyTable()) {
        const bool step = k.Variant == V::FineStep || k.Variant == V::WhileProjecting || k.Variant == V::OneStep;
        EXPECT_EQ(platform.HotKeyRepeats[k.Id], step) << k.Keys;
    }
}

}  // namespace
}  // namespace ocu::testing
