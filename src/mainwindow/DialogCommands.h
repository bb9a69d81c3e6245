#pragma once
// The commands that ask the person something in a box of their own: the grid unit,
// the sampling rate, the options, the help and the version.
#include "dialogs/ShellServices.h"
#include "mainwindow/Commands.h"
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/DialogPort.h"
#include "mainwindow/ports/TimerPort.h"

namespace ocu {

// The address of the online help page, shown in the version dialog too.
inline constexpr const char* kOnlineHelpUrl = "https://lumivane.example/help/";
inline constexpr const char* kHelpFileName = "Ocumira.hlp";
inline constexpr const char* kShortcutName = "Ocumira";

class TIniManager;

class DialogCommands {
public:
    DialogCommands(ViewState& state, ViewHost& host, DialogPort& dialogs, TimerPort& timers, TIniManager& settings)
        : s_(state), host_(host), dialogs_(dialogs), timers_(timers), ini_(settings) {}
    // The shell; without it the options, help and version do nothing.
    void Attach(IShellServices* shell) { shell_ = shell; }

    void GraphFlex();  // a grid of a unit typed in, or the grid hidden again
    void SampRate();
    void Options();
    void Help(CommandId which);  // the help file (Help2) or the online help (Help1)
    void About();

private:
    ViewState& s_;
    ViewHost& host_;
    DialogPort& dialogs_;
    TimerPort& timers_;
    TIniManager& ini_;
    IShellServices* shell_ = nullptr;
};

}  // namespace ocu
