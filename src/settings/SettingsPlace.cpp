#include "settings/SettingsPlace.h"

#include <utility>

namespace ocu {
namespace {

ISettingsStore& Choose(ISettingsStore& besideProgram, ISettingsStore* perUser) {
    // With nowhere better to go, the file beside the program stays, and its failures are told as they are.
    if (perUser == nullptr || besideProgram.PlaceWritable() || !perUser->CanWrite()) return besideProgram;
    return *perUser;
}

}  // namespace

SettingsPlace::SettingsPlace(ISettingsStore& besideProgram, std::string besideProgramName, ISettingsStore* perUser,
                             std::string perUserName)
    : besideProgram_(besideProgram),
      chosen_(Choose(besideProgram, perUser)),
      fileName_(&chosen_ == &besideProgram ? std::move(besideProgramName) : std::move(perUserName)) {
    // Once the user's file exists the move has been told; a later start stays quiet.
    if (&chosen_ != &besideProgram && !chosen_.Read()) notice_ = MovedSettingsNotice(fileName_);
}

std::optional<std::string> SettingsPlace::Read() {
    std::optional<std::string> text = chosen_.Read();
    // The user's file that is there but cannot be read is not stood in for.
    if (!text && &chosen_ != &besideProgram_ && !chosen_.Exists()) return besideProgram_.Read();
    return text;
}

bool SettingsPlace::Exists() { return chosen_.Exists() || (&chosen_ != &besideProgram_ && besideProgram_.Exists()); }

bool SettingsPlace::Write(const std::string& wholeText) { return chosen_.Write(wholeText); }

std::string MovedSettingsNotice(const std::string& perUserName) {
    return "Ocumira.exe のあるフォルダーに設定を保存できないため、設定は " + perUserName + " に保存します。";
}

}  // namespace ocu
