#pragma once
// Which settings file the program uses. The file beside the program is kept
// wherever its folder lets us write; a program installed where users may not
// write (Program Files) keeps its settings in the user's own folder instead.
#include <optional>
#include <string>

#include "settings/SettingsStore.h"

namespace ocu {

class SettingsPlace : public ISettingsStore {
public:
    // `perUser` may be null when the system has no folder for it. Both stores must
    // outlive this object.
    SettingsPlace(ISettingsStore& besideProgram, std::string besideProgramName, ISettingsStore* perUser,
                  std::string perUserName);

    // The chosen file; on its first use the user's file starts from the one beside
    // the program, so settings shipped or kept there carry over.
    std::optional<std::string> Read() override;
    bool Write(const std::string& wholeText) override;
    bool Exists() override;
    bool CanWrite() override { return chosen_.CanWrite(); }

    const std::string& FileName() const { return fileName_; }
    // Said once, on the start that moves the settings to the user's folder.
    const std::optional<std::string>& Notice() const { return notice_; }

private:
    ISettingsStore& besideProgram_;
    ISettingsStore& chosen_;
    std::string fileName_;
    std::optional<std::string> notice_;
};

// The text of the notice, naming where the settings go now.
std::string MovedSettingsNotice(const std::string& perUserName);

}  // namespace ocu
