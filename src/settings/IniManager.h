#pragma once
// TIniManager: every setting that outlives a run, read once at start-up and
// written back whole. Other parts of the program read and write the fields
// directly; the setters are the ones that save at once.
#include <functional>
#include <stdexcept>
#include <string>

#include "base/Geometry.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "settings/TextEncoding.h"

namespace ocu {

// A save could not write the file; what() is "<FileName> に書き込めません".
class ESettingsWriteError : public std::runtime_error {
public:
    explicit ESettingsWriteError(const std::string& fileName);

protected:
    struct Told {};
    ESettingsWriteError(Told, const std::string& message) : std::runtime_error(message) {}
};

// A save did not write because the file as it is now could not be read (held by
// another program without read sharing, larger than a settings file can be, or
// marked UTF-16 and cut mid-character): writing what we knew would overwrite what
// others wrote. what() says so and names the file.
class ESettingsReadBackError : public ESettingsWriteError {
public:
    explicit ESettingsReadBackError(const std::string& fileName);
};

// The stored values; their initial values are what a missing file or key yields.
struct TSettingsValues {
    bool VFlip = false;
    bool HFlip = false;
    int Scale = 4;
    bool FirstRun = true;
    int RunCount = 1;  // 1 + the number of saves so far
    IntRect BoundsRect{300, 100, 800, 600};
    bool InfoVisible = false;  // written, never read back
    bool CrossVisible = true;
    int SamplingRate = 100;  // ms
    bool InfoIsHex = true;
    int ScaleWidth = 300;
    int ScaleHeight = 300;
    float CapRate = 1.0f;  // stored as whole tenths
    bool FixView = false;
    int FixViewX = 200;
    int FixViewY = 200;
    // [Ocumira]: settings of this program's own additions.
    bool HotKeysAlways = true;         // false: hot keys only while the window is active
    bool PointerColorVisible = false;  // the colour under the pointer in the hint line
    // The Wayland desktop's portal: the token that lets the screen be shared again without
    // asking the user, as they allowed it once. Empty: none given yet.
    std::string ScreenCastToken;
    std::string RemoteDesktopToken;  // the same for input sent on, where the portal keeps that
};

class TIniManager : public TSettingsValues {
public:
    // Reads the whole file at once (Load); a missing or unreadable file gives the defaults.
    TIniManager(ISettingsStore& store, std::string fileName);
    // Deliberately does not save: a save can fail, and a destructor must not
    // throw. The program calls SaveOnExit() as its last act instead.
    ~TIniManager() = default;
    TIniManager(const TIniManager&) = delete;
    TIniManager& operator=(const TIniManager&) = delete;

    void Load();
    // Sets every key in its fixed order in the file as it is now (so that what others
    // wrote meanwhile stays) and writes it once. Throws ESettingsWriteError when that
    // write fails; the file and RunCount are then left as they were.
    void Save();
    // The final save at shut-down: never throws; false if the file was not fully written.
    bool SaveOnExit() noexcept;

    void SetBoundsRect(const IntRect& r);  // always saves
    void SetCapRate(float rate);           // saves, then OnChange, if the value differs
    void SetSamplingRate(int rate);        // saves, then OnChange, if the value differs

    // The stored values as the program may use them. The fields keep what the file
    // says, so that a save writes back what it read; a value edited by hand outside
    // what the program offers is used as the nearest offered one.
    float StartZoom() const;       // CapRate within 1..16
    int SamplingInterval() const;  // SamplingRate within 10..400 ms

    std::string FileName;
    bool SaveFailed = false;  // some save of this run could not write the file
    std::string SaveFailure;  // what the last failed save told (the exception's text)
    std::function<void(TIniManager&)> OnChange;

private:
    template <class Error>
    [[noreturn]] void Fail(const Error& error);
    int ReadInt(const char* section, const char* key, int def) const;
    bool ReadBool(const char* section, const char* key, bool def) const;

    ISettingsStore& store_;
    IniFile ini_;                      // the file as last read or written
    TextForm form_ = TextForm::Bytes;  // and how its bytes hold its text
};

}  // namespace ocu
