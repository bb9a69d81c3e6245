#pragma once
// The settings file in memory, for every test that runs the settings layer or the
// main window without a disk. Writes can be made to fail, from now on or from a
// given attempt on, to check that a failed save is reported and nothing is lost.
#include <optional>
#include <string>
#include <utility>

#include "settings/SettingsStore.h"

namespace ocu::support {

class MemoryStore : public ISettingsStore {
public:
    MemoryStore() = default;
    explicit MemoryStore(std::optional<std::string> initial) : text(std::move(initial)) {}

    std::optional<std::string> Read() override { return unreadable ? std::nullopt : text; }
    bool Exists() override { return text.has_value(); }
    bool Write(const std::string& wholeText) override {
        ++attempts;
        if (failWrites || (failFrom != 0 && attempts >= failFrom)) return false;
        text = wholeText;
        ++writes;
        return true;
    }
    bool CanWrite() override { return !failWrites; }

    std::optional<std::string> text;  // the whole file; nullopt: there is none
    bool failWrites = false;          // every write fails while set
    bool unreadable = false;          // the file is there but every read fails while set
    int failFrom = 0;                 // write attempts from this one on (1-based) fail; 0: none do
    int attempts = 0;                 // every call of Write
    int writes = 0;                   // the writes that succeeded
};

}  // namespace ocu::support
