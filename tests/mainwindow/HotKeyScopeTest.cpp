#include "dialogs/ShellFake.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

class HotKeyScopeTest : public MainWindowTest {
protected:
    size_t Held() const { return platform.HotKeys.size(); }
};

TEST_F(HotKeyScopeTest, ByDefaultTheKeysStayWhileAnotherProgramIsActive) {
    Start();
    EXPECT_EQ(Held(), HotKeyTable().size());
    form->Keys().FormDeactivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
}

TEST_F(HotKeyScopeTest, ClearedTheKeysAreHeldOnlyWhileTheWindowIsActive) {
    Start("[Ocumira]\r\nHotKeysAlways=0\r\n");
    EXPECT_EQ(Held(), 0u);  // created, not yet activated
    form->FormResize();
    EXPECT_EQ(Held(), 0u);
    form->Keys().FormActivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
    form->Keys().FormDeactivate();
    EXPECT_EQ(Held(), 0u);
    form->FormResize();  // a size change while inactive does not take them back
    EXPECT_EQ(Held(), 0u);
    form->Keys().FormActivate();
    form->AppMinimize();
    EXPECT_EQ(Held(), 0u);
    form->AppRestore();
    EXPECT_EQ(Held(), HotKeyTable().size());
}

TEST_F(HotKeyScopeTest, MenuEntrySwitchesTheScopeAndKeepsItForTheSave) {
    Start();
    form->Keys().FormActivate();
    form->OnMenuOpen(CommandId::MenuSetting);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmHotKeysAlways));
    form->RunCommand(CommandId::mmHotKeysAlways);
    EXPECT_FALSE(ini->HotKeysAlways);
    EXPECT_FALSE(form->MenuChecked(CommandId::mmHotKeysAlways));
    EXPECT_EQ(Held(), HotKeyTable().size());  // still the active window: kept
    form->Keys().FormDeactivate();
    EXPECT_EQ(Held(), 0u);
    ini->Save();
    EXPECT_NE(store.text->find("HotKeysAlways=0"), std::string::npos);

    form->RunCommand(CommandId::mmHotKeysAlways);
    EXPECT_EQ(Held(), HotKeyTable().size());  // back at once, though another window is active
    form->Keys().FormDeactivate();
    EXPECT_EQ(Held(), HotKeyTable().size());
    // The options dialog asks about the shortcut alone and leaves the scope be.
    FakeShell shell;
    form->AttachServices(nullptr, &shell);
    shell.OptionsAnswer = false;
    form->RunCommand(CommandId::mmOption);
    EXPECT_TRUE(ini->HotKeysAlways);
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
