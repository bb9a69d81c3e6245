#pragma once
// The system-wide hot keys: taken while the window is up, given back while it is
// minimised, and, with the option to hold them only while this window is active,
// left to the program the user works in.
#include <optional>
#include <string>

#include "mainwindow/ports/Platform.h"

namespace ocu {

class TIniManager;

class HotKeys {
public:
    HotKeys(IPlatform& platform, TIniManager& settings) : p_(platform), ini_(settings) {}

    void RegisterHotKeys();
    void UnregisterHotKeys();
    void FormActivate();    // this window became active
    void FormDeactivate();  // another window became active
    // Hot keys held all the time (true), or only while this window is active.
    void SetHotKeysAlways(bool always);

    bool Registered() const { return registered_; }
    // Hot keys that could not be registered, for the one-time message.
    const std::string& Failures() const { return failures_; }
    // The failures the first time they are asked for once there are any; nullopt after.
    std::optional<std::string> TakeFailureNotice();

private:
    IPlatform& p_;
    TIniManager& ini_;
    bool registered_ = false;
    bool windowActive_ = false;
    std::string failures_;
    bool failuresTold_ = false;
};

}  // namespace ocu
