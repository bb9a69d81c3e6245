// Steps a person takes the same way on both programs but that the tests carry out differently
// for each: what the Windows program's state tells through helper_query, the native program's
// tells through X, its clipboard and the keys a person would press.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/Harness.h"

namespace ocu::e2e {

// How the program is told where a file lies: Z:\... under Wine, the path itself natively.
std::string PathFor(Edge edge, const std::filesystem::path& path);

// The clipboard as another program reads it: its text ("?" and the reason if it holds none).
std::string ClipboardText(const XSession& session, Edge edge);
// Puts a text there, as another program does; true once it is there.
bool PutOnClipboard(const XSession& session, Edge edge, const std::string& text);
// Writes the clipboard's picture to `bmp` as a BMP; "bitmap ..." when it did, else what it found.
std::string ClipboardPicture(const XSession& session, Edge edge, const std::filesystem::path& bmp);

// Whether the main window is the active one, the one that takes the keys.
bool MainIsActive(const XSession& session, Edge edge, XWindow main);
// Makes a window the active one through the window manager, as a click on its frame does;
// true once X has given it the keyboard.
bool Activate(const XSession& session, XWindow window);
// Runs a menu command as ChooseCommand does, the main window made active first where the
// menu is reached by keys.
void ChooseFromMenu(XSession& session, Edge edge, XWindow main, CommandId id);

// Whether each of the fifteen system-wide combinations (kHotKeyCombos) is free ("free") or
// held ("taken"), as another program trying to take it for itself finds: under Wine by
// registering it, natively by grabbing it on the root window.
std::vector<std::string> HotKeyStates(const XSession& session, Edge edge);

// The title of the dialog the program shows over its main window, "" while none is shown:
// under Wine the dialog the main window owns, natively a window of the process that says it is
// a dialog. `pid` is the program's.
std::string DialogTitle(const XSession& session, Edge edge, pid_t pid);
// The dialog, once it shows and holds the keyboard; its title in `title`.
bool WaitForDialog(const XSession& session, Edge edge, pid_t pid, std::string* title);
bool WaitDialogGone(const XSession& session, Edge edge, pid_t pid);
// Types `path` into the open save dialog's name box and presses Enter; true once the dialog
// has gone.
bool SaveThroughTheDialog(XSession& session, Edge edge, pid_t pid, const std::filesystem::path& path);

// "box <title>\t<text>" for each message box the program shows, or "boxes none". Natively the
// text is what Ctrl+C in the box copies, as a person copies a message to quote it.
std::string Boxes(XSession& session, Edge edge, pid_t pid);

}  // namespace ocu::e2e
