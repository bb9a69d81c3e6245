#pragma once
// The settings text in the user's configuration folder on the Linux desktop:
// $XDG_CONFIG_HOME/ocumira/Ocumira.ini, or ~/.config/ocumira/Ocumira.ini.
#include <optional>
#include <string>

#include "settings/SettingsStore.h"

namespace ocu::qt {

class XdgSettingsStore : public ISettingsStore {
public:
    explicit XdgSettingsStore(std::string path) : path_(std::move(path)) {}

    std::optional<std::string> Read() override;
    bool Exists() override;
    // Through a temporary file in the same folder moved over the file, so a crash or a
    // full disk leaves the old settings whole. A file the user made read-only is refused.
    bool Write(const std::string& wholeText) override;
    bool CanWrite() override;
    bool PlaceWritable() override;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The settings file's path from the environment; empty when neither
// $XDG_CONFIG_HOME (absolute) nor $HOME is set.
std::string UserSettingsPath();

}  // namespace ocu::qt
