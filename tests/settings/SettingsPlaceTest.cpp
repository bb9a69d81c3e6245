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

// One run as the program makes it: the place, the settings, the shortcut rule, the saves at exit.
Start StartAndExit(MemoryStore& beside, MemoryStore* perUser, testing::FakeShell& shell) {
    SettingsPlace place(beside, kBeside, perUser, kPerUser);
    TIniManager settings(place, place.FileName());
    const Start seen{place.Notice(), settings.RunCount, settings.FileName};
    EnsureShortcutDuringFirstRuns(shell, settings.RunCount, place.CanWrite(), "Ocumira");
    for (int save = 0; save < 2; ++save) settings.SaveOnExit();  // the window's and the last
    return seen;
}

TEST(SettingsPlace, AWritableProgramFolderKeepsItsFileAndNothingIsSaid) {
    MemoryStore beside("[Zuri]\r\nScale=7\r\n"), perUser;
    testing::FakeShell shell;
    const Start s = StartAndExit(beside, &perUser, shell);
    EXPECT_EQ(s.fileName, kBeside);
    EXPECT_FALSE(s.notice);
    EXPECT_EQ(beside.writes, 2);  // one write per save
    EXPECT_FALSE(perUser.text);
}

// Beside a program under Program Files: the user's folder takes the settings, the move is
// told on the first start only, the next start reads what the first saved, and the runs
// are counted, so the shortcut is made once and is not made again after the user removed it.
TEST(SettingsPlace, AnUnwritableProgramFolderMovesToTheUsersFolderOnce) {
    MemoryStore beside("[Zuri]\r\nScale=7\r\n"), perUser;
    beside.failWrites = true;
    testing::FakeShell shell;
    std::vector<Start> starts;
    for (int run = 0; run < 3; ++run) {
        starts.push_back(StartAndExit(beside, &perUser, shell));
        shell.Files.clear();  // the user removes the shortcut each time
    }
    EXPECT_EQ(starts[0].notice, MovedSettingsNotice(kPerUser));
    EXPECT_NE(starts[0].notice->find(kPerUser), std::string::npos);
    EXPECT_FALSE(starts[1].notice);
    EXPECT_EQ(starts[0].fileName, kPerUser);
    EXPECT_EQ(starts[0].runCount, 1);
    EXPECT_EQ(starts[1].runCount, 3);
    EXPECT_EQ(starts[2].runCount, 5);
    EXPECT_EQ(IniFile(*perUser.text).Get("Zuri", "Scale"), "7");  // carried over from beside the program
    EXPECT_EQ(beside.attempts, 0);
    EXPECT_EQ(perUser.writes, 6);
}

// Nowhere to write: the failed saves must not turn every start into a first run.
TEST(SettingsPlace, NowhereToWriteLeavesTheShortcutAlone) {
    MemoryStore beside;
    beside.failWrites = true;
    testing::FakeShell shell;
    EXPECT_EQ(StartAndExit(beside, nullptr, shell).fileName, kBeside);
    EXPECT_TRUE(shell.Files.empty());
    MemoryStore perUser;
    perUser.failWrites = true;
    const Start s = StartAndExit(beside, &perUser, shell);
    EXPECT_EQ(s.fileName, kBeside);
    EXPECT_FALSE(s.notice);  // it would promise a place that does not work either
    EXPECT_TRUE(shell.Files.empty());
}

}  // namespace
}  // namespace ocu
