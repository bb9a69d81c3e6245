#pragma once
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dialogs/ShellServices.h"

namespace ocu::testing {

class FakeShell : public IShellServices {
public:
    std::string Program = "C:\\Apps\\Ocumira\\Ocumira.exe";
    std::optional<std::string> Programs = std::string("C:\\Users\\me\\Start Menu\\Programs");
    std::map<std::string, std::string> Files;  // path -> what made it
    std::optional<bool> OptionsAnswer;
    std::vector<bool> OptionsShownWith;
    std::vector<std::string> Urls, HelpFiles;
    int VersionShown = 0;
    bool DeleteFails = false;
    std::function<void()> DuringDialog;
    char Separator = '\\';
    std::string LinkEnding = ".lnk";

    std::string ProgramPath() override { return Program; }
    std::optional<std::string> ProgramsFolder() override { return Programs; }
    char PathSeparator() override { return Separator; }
    std::string ShortcutExtension() override { return LinkEnding; }
    bool FileExists(const std::string& p) override { return Files.count(p) != 0; }
    bool CreateShortcut(const std::string& link, const std::string& target, const std::string& dir) override {
        Files[link] = target + "|" + dir;
        return true;
    }
    bool DeleteFile(const std::string& p) override {
        if (DeleteFails) return false;
        return Files.erase(p) != 0;
    }
    void OpenUrl(const std::string& u) override { Urls.push_back(u); }
    void OpenHelpFile(const std::string& f) override { HelpFiles.push_back(f); }
    std::optional<OptionsChoice> ShowOptionsDialog(OptionsChoice current) override {
        OptionsShownWith.push_back(current.Shortcut);
        if (DuringDialog) DuringDialog();
        if (!OptionsAnswer) return std::nullopt;
        return OptionsChoice{*OptionsAnswer};
    }
    void ShowVersionDialog() override {
        ++VersionShown;
        if (DuringDialog) DuringDialog();
    }
};

}  // namespace ocu::testing
