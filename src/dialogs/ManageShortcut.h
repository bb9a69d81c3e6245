#pragma once
// The Programs-menu shortcut: test, create only when missing, delete only when present.
#include <string>

#include "dialogs/ShellServices.h"

namespace ocu {

// TestOnly: whether the shortcut exists. Otherwise Create makes it if missing and
// !Create removes it if present; both return true even when that failed. False
// when the Programs folder or the program path cannot be had.
bool ManageShortcut(IShellServices& shell, bool testOnly, bool create, const std::string& name);

// The folder of a path, without a trailing separator.
std::string FolderOf(const std::string& path);

// Runs at start: while fewer than five saves have happened, make sure the shortcut exists.
// Where the settings cannot be saved the runs are not counted, so the count would stay low
// for ever: the shortcut is then left alone rather than made again at every start.
void EnsureShortcutDuringFirstRuns(IShellServices& shell, int runCount, bool runsCounted, const std::string& name);

}  // namespace ocu
