// TIniManager on an arbitrary settings file held in memory. The whole input is
// the file; its last bytes also choose a write that fails during the first
// save. What must hold:
//  - Load never throws, and every field is the number in the file when the
//    file has one we can read, and the default otherwise;
//  - a save that fails says so and leaves a file that still holds every line
//    that is not ours; the next save completes;
//  - after that save every line that is not ours is still there, in order;
//  - loading the saved file gives back what was saved.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniFile.h"
#include "settings/IniManager.h"
#include "settings/SettingsStore.h"
#include "settings/TextEncoding.h"
#include "support/MemoryStore.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "fuzz_ini_manager: %s [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void Check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) Fail(what, detail);
}

using ocu::support::MemoryStore;

// The numbers a settings file may hold, read without the manager's code:
// decimal with an optional sign, or 0x and up to eight significant hex
// digits naming a 32-bit pattern.
std::optional<int> ReadNumber(std::string_view s) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        std::uint64_t v = 0;
        const char* end = s.data() + s.size();
        const auto r = std::from_chars(s.data() + 2, end, v, 16);
        if (r.ec != std::errc() || r.ptr != end || v > 0xFFFFFFFFu) return std::nullopt;
        return static_cast<int>(static_cast<std::uint32_t>(v));
    }
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s[0] < '0' || s[0] > '9') return std::nullopt;
    std::uint64_t v = 0;
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, v, 10);
    if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
    if (negative ? v > std::uint64_t{INT_MAX} + 1 : v > std::uint64_t{INT_MAX}) return std::nullopt;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(v)) : static_cast<int>(v);
}

struct IntField {
    const char* section;
    const char* key;
    int ocu::TSettingsValues::*field;
};
struct BoolField {
    const char* section;
    const char* key;
    bool ocu::TSettingsValues::*field;
};

constexpr IntField kInts[] = {
    {"Zuri", "Scale", &ocu::TSettingsValues::Scale},
    {"Setting", "RunCount", &ocu::TSettingsValues::RunCount},
    {"Zuri", "ScaleWidth", &ocu::TSettingsValues::ScaleWidth},
    {"Zuri", "ScaleHeight", &ocu::TSettingsValues::ScaleHeight},
    {"Zuri", "SamplingRate", &ocu::TSettingsValues::SamplingRate},
    {"Zuri", "FixViewX", &ocu::TSettingsValues::FixViewX},
    {"Zuri", "FixViewY", &ocu::TSettingsValues::FixViewY},
};
constexpr BoolField kBools[] = {
    {"Setting", "FirstRun", &ocu::TSettingsValues::FirstRun},
    {"Zuri", "HFlip", &ocu::TSettingsValues::HFlip},
    {"Zuri", "VFlip", &ocu::TSettingsValues::VFlip},
    {"Zuri", "CrossVisible", &ocu::TSettingsValues::CrossVisible},
    {"Zuri", "InfoIsHex", &ocu::TSettingsValues::InfoIsHex},
    {"Zuri", "FixView", &ocu::TSettingsValues::FixView},
};
constexpr const char* kOurKeys[] = {"Left",         "Right",    "Top",          "Bottom",      "Scale",
                                    "HFlip",        "VFlip",    "ScaleWidth",   "ScaleHeight", "CapRate",
                                    "FirstRun",     "RunCount", "CrossVisible", "InfoVisible", "InfoIsHex",
                                    "SamplingRate", "FixView",  "FixViewX",     "FixViewY"};

int Expected(const ocu::IniFile& ini, const char* section, const char* key, int def) {
    const auto text = ini.Get(section, key);
    if (!text) return def;
    return ReadNumber(*text).value_or(def);
}

void CheckLoaded(const ocu::TIniManager& m, const std::optional<std::string>& file) {
    const ocu::IniFile ini = file ? ocu::IniFile(*file) : ocu::IniFile();
    const ocu::TSettingsValues d;
    for (const IntField& f : kInts)
        Check(m.*f.field == Expected(ini, f.section, f.key, d.*f.field), "int field", f.key);
    for (const BoolField& f : kBools)
        Check(m.*f.field == (Expected(ini, f.section, f.key, d.*f.field ? 1 : 0) != 0), "bool field", f.key);
    Check(m.BoundsRect.Left == Expected(ini, "BoundsRect", "Left", d.BoundsRect.Left), "BoundsRect.Left");
    Check(m.BoundsRect.Right == Expected(ini, "BoundsRect", "Right", d.BoundsRect.Right), "BoundsRect.Right");
    Check(m.BoundsRect.Top == Expected(ini, "BoundsRect", "Top", d.BoundsRect.Top), "BoundsRect.Top");
    Check(m.BoundsRect.Bottom == Expected(ini, "BoundsRect", "Bottom", d.BoundsRect.Bottom), "BoundsRect.Bottom");
    const float capRate = static_cast<float>(Expected(ini, "Zuri", "CapRate", 10)) / 10.0f;
    Check(m.CapRate == capRate, "CapRate");
    Check(!m.InfoVisible, "InfoVisible is never read");
}

// Lines of a text, without their endings ('\n', "\r\n" or a lone '\r'). A UTF-8
// byte order mark at the start is no part of the first line: it stays at the start.
std::vector<std::string> Bodies(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        out.emplace_back(text.substr(start, end - start));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return out;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// A line that might be one of the keys a save writes (in whatever section):
// such lines may change. Judged loosely, so that no rule of the INI reader is
// repeated here; every other line must come back unchanged.
bool MaybeOurs(std::string_view line) {
    while (!line.empty() && Blank(line.front())) line.remove_prefix(1);
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    std::string_view key = line.substr(0, eq);
    while (!key.empty() && Blank(key.back())) key.remove_suffix(1);
    for (std::string_view ours : kOurKeys) {
        if (key.size() != ours.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < key.size() && same; ++i) same = (key[i] | 0x20) == (ours[i] | 0x20);
        if (same) return true;
    }
    return false;
}

void CheckForeignLinesKept(const std::optional<std::string>& original, const std::string& saved) {
    if (!original) return;
    const std::vector<std::string> now = Bodies(saved);
    std::size_t j = 0;
    for (const std::string& line : Bodies(*original)) {
        if (MaybeOurs(line)) continue;
        while (j < now.size() && now[j] != line) ++j;
        Check(j < now.size(), "a foreign line was lost or moved", line);
        ++j;
    }
}

// The text of a file's bytes as the manager reads them: a file marked as UTF-16
// is that text, any other its own bytes.
std::optional<std::string> AsText(const std::optional<std::string>& bytes) {
    if (!bytes) return std::nullopt;
    const auto decoded = ocu::DecodeSettingsText(*bytes);
    return decoded ? decoded->text : *bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    const int failAfter = fdp.ConsumeIntegralInRange(-1, 24);  // one write per save: only 0 fails it

    MemoryStore store;
    // An empty input stands for a missing file.
    if (size > 0) store.text.emplace(reinterpret_cast<const char*>(data), size);
    // A file marked as UTF-16 that is not whole 16-bit units cannot be read, and its
    // save is refused: the unit tests hold that case.
    if (store.text && !ocu::DecodeSettingsText(*store.text)) return 0;
    const std::optional<std::string> originalBytes = store.text;
    const std::optional<std::string> original = AsText(originalBytes);

    ocu::TIniManager m(store, "Ocumira.ini");
    CheckLoaded(m, original);
    const int loadedRunCount = m.RunCount;
    const int loadedTenths = [&] {
        const ocu::IniFile ini = original ? ocu::IniFile(*original) : ocu::IniFile();
        return Expected(ini, "Zuri", "CapRate", 10);
    }();

    // The first failAfter writes of the save succeed, the rest fail (none fail when negative).
    store.failFrom = failAfter < 0 ? 0 : store.attempts + failAfter + 1;
    const bool complete = m.SaveOnExit();
    if (!complete) {
        Check(failAfter >= 0 && store.writes == failAfter, "a save failed without a failing write");
        Check(store.text == originalBytes || store.writes > 0, "nothing written but the file changed");
        if (store.text) CheckForeignLinesKept(original, *AsText(store.text));
    } else {
        Check(failAfter < 0 || store.writes <= failAfter, "a failed write went unreported");
    }

    store.failFrom = 0;
    m.Save();
    Check(store.text.has_value(), "a save left no file");
    const std::string saved = *store.text;
    CheckForeignLinesKept(original, *AsText(saved));

    // Each save that got as far as RunCount counted one run; the failed one
    // may or may not have. The counter stops at the top.
    auto counted = [&](int saves) {
        return static_cast<int>(std::min<std::int64_t>(INT_MAX, std::int64_t{loadedRunCount} + saves));
    };
    Check(m.RunCount == counted(2) || (!complete && m.RunCount == counted(1)), "RunCount after saving",
          std::to_string(loadedRunCount) + " -> " + std::to_string(m.RunCount));

    MemoryStore again;
    again.text = saved;
    ocu::TIniManager back(again, "Ocumira.ini");
    Check(back.BoundsRect == m.BoundsRect, "BoundsRect round trip");
    for (const IntField& f : kInts) Check(back.*f.field == m.*f.field, "int round trip", f.key);
    for (const BoolField& f : kBools)
        if (f.field != &ocu::TSettingsValues::FirstRun) Check(back.*f.field == m.*f.field, "bool round trip", f.key);
    Check(!back.FirstRun, "FirstRun after a save");
    // Tenths survive as long as a float holds them to well under a hundredth;
    // the zoom itself stays within 1.0 ... 16.0.
    if (loadedTenths >= -100000 && loadedTenths <= 100000) Check(back.CapRate == m.CapRate, "CapRate round trip");
    Check(again.writes == 0, "loading wrote the file");
    return 0;
}
