#pragma once
// The system-wide hot keys: taken while the window is up, given back while it is
// minimised, and, with the option to hold them only while this window is active,
// left to the program the user works in.
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/ports/HotKeyPort.h"

namespace ocu {

class TIniManager;

class HotKeys {
public:
    HotKeys(HotKeyPort& keys, TIniManager& settings) : keys_(keys), ini_(settings) {}

    void RegisterHotKeys();
    void UnregisterHotKeys();
    void FormActivate();    // this window became active
    void FormDeactivate();  // another window became active
    // Hot keys held all the time (true), or only while this window is active.
    void SetHotKeysAlways(bool always);

    bool Registered() const { return registered_; }
    // A key another program held when it was registered is tried again on each tick
    // for a while (that program may be letting it go, as a second instance does while
    // it deactivates), and again on each activation.
    void Tick();
    // The keys still held elsewhere once the retries are spent, the first time they
    // are asked for; nullopt before and after.
    std::optional<std::string> TakeFailureNotice();

private:
    HotKeyPort& keys_;
    TIniManager& ini_;
    bool registered_ = false;
    bool windowActive_ = false;
    std::vector<int> taken_;  // table ids held elsewhere at the last try
    int retriesLeft_ = 0;
    std::string failures_;
    bool failuresTold_ = false;
};

}  // namespace ocu
