#include "settings/IniManager.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace ocu {
namespace {

constexpr const char* kBounds = "BoundsRect";
constexpr const char* kZuri = "Zuri";
constexpr const char* kSetting = "Setting";
constexpr const char* kOcumira = "Ocumira";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "0x" and eight hex digits name a 32-bit pattern, so 0xFFFFFFFF is -1 and every
// int has a hex spelling, just as it has a decimal one. More bits do not fit.
std::optional<int> ParseHex(std::string_view digits) {
    std::uint32_t v = 0;
    int significant = 0;
    for (char c : digits) {
        int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        if (v != 0 || d != 0) ++significant;
        if (significant > 8) return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<int>(v);
}

std::optional<int> ParseDecimal(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        if (!IsDigit(c)) return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > std::int64_t{INT_MAX} + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return std::nullopt;
    return static_cast<int>(v);
}

std::optional<int> ParseSettingInt(std::string_view s) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) return ParseHex(s.substr(2));
    return ParseDecimal(s);
}

// The zoom is kept as whole tenths, cut off rather than rounded. But most tenths
// have no exact float: 1.3f is 1.2999999523, and cutting that off would turn
// 1.3 into 1.2 on every start and exit. So a product that falls short of a
// whole tenth by float noise alone (well under 1/100 of a tenth, even after a
// hundred and fifty 0.1 zoom steps) still counts as that tenth.
constexpr long double kFloatNoiseTenths = 0.01L;

int CapRateToTenths(float rate) {
    if (std::isnan(rate)) return 10;  // never happens by design; store the default rather than garbage
    long double t = std::floor(static_cast<long double>(rate) * 10.0L + kFloatNoiseTenths);
    if (t >= static_cast<long double>(INT_MAX)) return INT_MAX;
    if (t <= static_cast<long double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(t);
}

}  // namespace

ESettingsWriteError::ESettingsWriteError(const std::string& fileName)
    : std::runtime_error(fileName + " に書き込めません") {}

ESettingsReadBackError::ESettingsReadBackError(const std::string& fileName)
    : ESettingsWriteError(
          Told{}, fileName +
                      " を読み取れないため、設定を保存しませんでした。"
                      "ほかのプログラムが開いたままでないか、設定ファイルとして大きすぎないか確かめてください。") {}

TIniManager::TIniManager(ISettingsStore& store, std::string fileName) : FileName(std::move(fileName)), store_(store) {
    Load();
}

int TIniManager::ReadInt(const char* section, const char* key, int def) const {
    auto text = ini_.Get(section, key);
    if (!text) return def;
    return ParseSettingInt(*text).value_or(def);
}

bool TIniManager::ReadBool(const char* section, const char* key, bool def) const {
    return ReadInt(section, key, def ? 1 : 0) != 0;
}

void TIniManager::Load() {
    const std::optional<std::string> bytes = store_.Read();
    const std::optional<SettingsText> text = bytes ? DecodeSettingsText(*bytes) : std::nullopt;
    ini_ = text ? IniFile(text->text) : IniFile();
    form_ = text ? text->form : TextForm::Bytes;

    const TSettingsValues d;
    BoundsRect.Left = ReadInt(kBounds, "Left", d.BoundsRect.Left);
    BoundsRect.Right = ReadInt(kBounds, "Right", d.BoundsRect.Right);
    BoundsRect.Top = ReadInt(kBounds, "Top", d.BoundsRect.Top);
    BoundsRect.Bottom = ReadInt(kBounds, "Bottom", d.BoundsRect.Bottom);
    Scale = ReadInt(kZuri, "Scale", d.Scale);
    FirstRun = ReadBool(kSetting, "FirstRun", d.FirstRun);
    RunCount = ReadInt(kSetting, "RunCount", d.RunCount);
    HFlip = ReadBool(kZuri, "HFlip", d.HFlip);
    VFlip = ReadBool(kZuri, "VFlip", d.VFlip);
    ScaleWidth = ReadInt(kZuri, "ScaleWidth", d.ScaleWidth);
    ScaleHeight = ReadInt(kZuri, "ScaleHeight", d.ScaleHeight);
    CapRate = static_cast<float>(ReadInt(kZuri, "CapRate", CapRateToTenths(d.CapRate))) / 10.0f;
    CrossVisible = ReadBool(kZuri, "CrossVisible", d.CrossVisible);
    InfoIsHex = ReadBool(kZuri, "InfoIsHex", d.InfoIsHex);
    SamplingRate = ReadInt(kZuri, "SamplingRate", d.SamplingRate);
    FixView = ReadBool(kZuri, "FixView", d.FixView);
    FixViewX = ReadInt(kZuri, "FixViewX", d.FixViewX);
    FixViewY = ReadInt(kZuri, "FixViewY", d.FixViewY);
    HotKeysAlways = ReadBool(kOcumira, "HotKeysAlways", d.HotKeysAlways);
    PointerColorVisible = ReadBool(kOcumira, "PointerColorVisible", d.PointerColorVisible);
    ScreenCastToken = ini_.Get(kOcumira, "ScreenCastToken").value_or(d.ScreenCastToken);
    RemoteDesktopToken = ini_.Get(kOcumira, "RemoteDesktopToken").value_or(d.RemoteDesktopToken);
    // InfoVisible is written only: a value in the file is never taken over.
}

float TIniManager::StartZoom() const {
    // Negative, the view would stay blank; zero or beyond the largest zoom means nothing.
    if (!(CapRate >= 1.0f)) return 1.0f;
    return CapRate > 16.0f ? 16.0f : CapRate;
}

int TIniManager::SamplingInterval() const {
    // 0 or negative would stop the capture timer or flood it.
    return std::clamp(SamplingRate, 10, 400);
}

void TIniManager::Save() {
    // Start from the file as it is now, not as we read it at start: the user or another
    // program may have changed it while we ran, and a save changes our own keys only.
    // Only when it has gone is the text we last knew the best there is; one that is
    // there but cannot be read is left alone, or we would overwrite what others wrote.
    const std::optional<std::string> bytes = store_.Read();
    const std::optional<SettingsText> current = bytes ? DecodeSettingsText(*bytes) : std::nullopt;
    if (!current && (bytes || store_.Exists())) {
        // Where the write would fail anyway, that is what the user needs to hear.
        if (!store_.CanWrite()) Fail(ESettingsWriteError(FileName));
        Fail(ESettingsReadBackError(FileName));
    }
    IniFile next = current ? IniFile(current->text) : ini_;
    const TextForm form = current ? current->form : form_;
    const auto putInt = [&next](const char* section, const char* key, int value) {
        next.Set(section, key, std::to_string(value));
    };
    const auto putBool = [&next](const char* section, const char* key, bool value) {
        next.Set(section, key, value ? "1" : "0");
    };
    // The order decides how a new file is laid out.
    putInt(kBounds, "Left", BoundsRect.Left);
    putInt(kBounds, "Right", BoundsRect.Right);
    putInt(kBounds, "Top", BoundsRect.Top);
    putInt(kBounds, "Bottom", BoundsRect.Bottom);

    putInt(kZuri, "Scale", Scale);
    putBool(kZuri, "HFlip", HFlip);
    putBool(kZuri, "VFlip", VFlip);
    putInt(kZuri, "ScaleWidth", ScaleWidth);
    putInt(kZuri, "ScaleHeight", ScaleHeight);
    putInt(kZuri, "CapRate", CapRateToTenths(CapRate));

    putBool(kSetting, "FirstRun", false);
    // The counter only has to tell the first few runs apart, so it stops at the top.
    const int runCount = RunCount < INT_MAX ? RunCount + 1 : RunCount;
    putInt(kSetting, "RunCount", runCount);

    putBool(kZuri, "CrossVisible", CrossVisible);
    putBool(kZuri, "InfoVisible", InfoVisible);
    putBool(kZuri, "InfoIsHex", InfoIsHex);
    putInt(kZuri, "SamplingRate", SamplingRate);
    putBool(kZuri, "FixView", FixView);
    putInt(kZuri, "FixViewX", FixViewX);
    putInt(kZuri, "FixViewY", FixViewY);
    // Our own section is written only once it holds something other than the
    // defaults, so a file that never used the additions keeps its usual layout.
    if (!HotKeysAlways || next.Get(kOcumira, "HotKeysAlways")) putBool(kOcumira, "HotKeysAlways", HotKeysAlways);
    if (PointerColorVisible || next.Get(kOcumira, "PointerColorVisible"))
        putBool(kOcumira, "PointerColorVisible", PointerColorVisible);
    if (!ScreenCastToken.empty() || next.Get(kOcumira, "ScreenCastToken"))
        next.Set(kOcumira, "ScreenCastToken", ScreenCastToken);
    if (!RemoteDesktopToken.empty() || next.Get(kOcumira, "RemoteDesktopToken"))
        next.Set(kOcumira, "RemoteDesktopToken", RemoteDesktopToken);

    // One write for the whole file: a save is complete or leaves the file as it was, and
    // a run that could not save does not count as one.
    if (!store_.Write(EncodeSettingsText(next.Text(), form))) Fail(ESettingsWriteError(FileName));
    ini_ = std::move(next);
    form_ = form;
    RunCount = runCount;
}

template <class Error>
void TIniManager::Fail(const Error& error) {
    SaveFailed = true;
    SaveFailure = error.what();
    throw error;
}

bool TIniManager::SaveOnExit() noexcept {
    try {
        Save();
        return true;
    } catch (const ESettingsWriteError&) {
        return false;  // SaveFailure says why
    } catch (...) {
        // Nothing left to tell the user with at this point; the program must still end.
        try {
            SaveFailure = ESettingsWriteError(FileName).what();
        } catch (...) {
        }
        return false;
    }
}

void TIniManager::SetBoundsRect(const IntRect& r) {
    BoundsRect = r;
    Save();
}

void TIniManager::SetCapRate(float rate) {
    if (rate == CapRate) return;
    CapRate = rate;
    Save();
    if (OnChange) OnChange(*this);
}

void TIniManager::SetSamplingRate(int rate) {
    if (rate == SamplingRate) return;
    SamplingRate = rate;
    Save();
    if (OnChange) OnChange(*this);
}

}  // namespace ocu
