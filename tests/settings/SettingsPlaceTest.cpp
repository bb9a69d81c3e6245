#include "settings/SettingsPlace.h"

#include <gtest/gtest.h>

#include "dialogs/ManageShortcut.h"
#include "dialogs/ShellFake.h"
#include "settings/IniManager.h"
#include "support/MemoryStore.h"

namespace ocu {
namespace {

using support::MemoryStore;

const std::string kBeside = "C:\\Program Files\\Ocumira\\Ocumira.ini";
const std::string kPerUser = "C:\\Users\\me\\AppData\\Roaming\\Ocumira\\Ocumira.ini";

struct Start {
    std::optional<std::string> notice;
    int runCount;
    std::string fileName;
};

// One run as the program makes it: the place, the settings, the shortcut rule, two saves at exit.
Start StartAndExit(MemoryStore& beside, MemoryStore* perUser, testing::FakeShell& shell) {
    SettingsPlace place(beside, kBeside, perUser, kPerUser);
    TIniManager settings(place, place.FileName());
    const Start seen{place.Notice(), settings.RunCount, settings.FileName};
    EnsureShortcutDuringFirstRuns(shell, settings.RunCount, place.CanWrite(), "Ocumira");
    for (int save = 0; save < 2; ++save) settings.SaveOnExit();
    return seen;
}

// Under Program Files: the user's folder takes over from the shipped file, the move is told
// on the first start only, and the runs are counted there, so the shortcut the user removed
// is not made again for ever.
TEST(SettingsPlace, AnUnwritableProgramFolderMovesToTheUsersFolderOnce) {
    MemoryStore beside("[Zuri]\r\nScale=7\r\n"), perUser;
    testing::FakeShell shell;
    // Where the folder can be written nothing changes, and nothing is said.
    const Start writable = StartAndExit(beside, &perUser, shell);
    EXPECT_EQ(writable.fileName, kBeside);
    EXPECT_FALSE(writable.notice || perUser.text);
    beside = MemoryStore("[Zuri]\r\nScale=7\r\n");
    beside.failWrites = true;
    std::vector<Start> starts;
    for (int run = 0; run < 3; ++run) {
        starts.push_back(StartAndExit(beside, &perUser, shell));
        shell.Files.clear();
    }
    EXPECT_EQ(starts[0].notice, MovedSettingsNotice(kPerUser));
    EXPECT_FALSE(starts[1].notice);
    EXPECT_EQ(starts[0].fileName, kPerUser);
    EXPECT_EQ(starts[2].runCount, 5);
    EXPECT_EQ(IniFile(*perUser.text).Get("Zuri", "Scale"), "7");
    EXPECT_EQ(beside.attempts, 0);

    // Nowhere to write: no promise of a place that fails too, and the shortcut is left alone.
    perUser = MemoryStore();
    perUser.failWrites = true;
    const Start nowhere = StartAndExit(beside, &perUser, shell);
    EXPECT_EQ(nowhere.fileName, kBeside);
    EXPECT_FALSE(nowhere.notice);
    EXPECT_TRUE(shell.Files.empty());
}

}  // namespace
}  // namespace ocu
