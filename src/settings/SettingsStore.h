#pragma once
// Where the settings text lives. The Win32 side keeps it in an .ini file (beside
// the exe, or in the user's application data); tests keep it in memory. The store moves whole texts only: all INI
// knowledge stays in IniFile so that both sides agree on it byte for byte.
#include <optional>
#include <string>

namespace ocu {

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;

    // The whole file, or nullopt when there is no file or it cannot be read.
    virtual std::optional<std::string> Read() = 0;
    // Whether there is a file, read or not: one that is there but cannot be read
    // (held by another program, too large) must not be replaced by what we knew.
    virtual bool Exists() = 0;
    // Replaces the whole file (creating it if needed); false when that failed.
    virtual bool Write(const std::string& wholeText) = 0;
    // Whether a Write would be let through, asked without changing anything.
    virtual bool CanWrite() = 0;
    // Whether the place takes the file at all. A file the user made read-only in a
    // folder that takes files is the user's choice, not a place to leave.
    virtual bool PlaceWritable() { return CanWrite(); }
};

}  // namespace ocu
