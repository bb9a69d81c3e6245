#pragma once
// The settings text in a file: the .ini beside the program file, or the same name in
// the user's application-data folder.
#include <optional>
#include <string>

#include "settings/SettingsStore.h"

namespace ocu::win {

class FileSettingsStore : public ISettingsStore {
public:
    explicit FileSettingsStore(std::wstring path) : path_(std::move(path)) {}

    std::optional<std::string> Read() override;
    // Writes the whole text to a temporary file beside the target and moves it
    // over the target, so that a crash or a full disk mid-write leaves the old
    // settings whole. A read-only settings file is refused, not replaced.
    bool Write(const std::string& wholeText) override;
    bool Exists() override;
    bool CanWrite() override;
    // Tries what Write needs (a new file beside the target, or the target opened for
    // writing) and leaves nothing behind.
    bool PlaceWritable() override;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// The program file's full path.
std::wstring ModulePath();
// `fileName` in the program's own folder of the user's roaming application data
// (the folder is made when first written); empty when the system has none.
std::wstring PerUserSettingsPath(const std::wstring& fileName);

}  // namespace ocu::win
