// IniFile on arbitrary bytes. The whole input is the file; the last bytes also
// steer which Set calls are made, so a seed that is a plain INI file still
// exercises the edits. What must hold for any text:
//  - parsing and writing back gives the input byte for byte;
//  - after a Set that is accepted, Get returns the value (as Windows reads it:
//    spaces around it and one pair of quotes dropped), on this object and on a
//    fresh parse of its text;
//  - a Set replaces one line of the key, inserts one "key=value" line, or
//    appends "[section]" and "key=value"; every other line, its ending
//    included, stays where it was;
//  - a rejected Set leaves the text alone;
//  - no other key's value changes;
//  - Get answers what a separate, plain reading of the same rules answers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniFile.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "fuzz_ini_file: %s [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void Check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) Fail(what, detail);
}

enum class Eol { None, Lf, CrLf, Cr };
struct Line {
    std::string body;
    Eol eol;
};

// Split independently of IniFile: a line ends at '\n', "\r\n" or a lone '\r'.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        if (end == text.size()) {
            lines.push_back({std::string(text.substr(start)), Eol::None});
            break;
        }
        Eol eol = text[end] == '\n' ? Eol::Lf : Eol::Cr;
        std::size_t next = end + 1;
        if (eol == Eol::Cr && next < text.size() && text[next] == '\n') {
            eol = Eol::CrLf;
            ++next;
        }
        lines.push_back({std::string(text.substr(start, end - start)), eol});
        start = next;
    }
    return lines;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && Blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && Blank(s.back())) s.remove_suffix(1);
    return s;
}

// What GetPrivateProfileString hands back for a stored value.
std::string AsRead(std::string_view v) {
    v = Trim(v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The lookup written out once more, apart from IniFile, so that the reader is
// checked against the rules and not against itself: a header is a line that,
// trimmed, starts with '[' and holds a ']'; the first section of that name (ASCII
// case aside) runs to the next header; in it, the first "key=value" line of that
// key (not a comment, not starting with '[') gives the value as Windows reads it.
// A UTF-8 byte order mark is no text: it is kept in front, and the lines start after it.
std::string_view WithoutBom(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return text;
}

std::optional<std::string> ReferenceGet(std::string_view text, std::string_view section, std::string_view key) {
    text = WithoutBom(text);
    bool inside = false;
    for (const Line& l : SplitLines(text)) {
        const std::string_view t = Trim(l.body);
        const std::size_t close = t.find(']');
        if (!t.empty() && t.front() == '[' && close != std::string_view::npos) {
            if (inside) return std::nullopt;  // a second section of the name is not read
            inside = SameName(Trim(t.substr(1, close - 1)), section);
            continue;
        }
        if (!inside || t.empty() || t.front() == ';' || t.front() == '[') continue;
        const std::size_t eq = t.find('=');
        if (eq != std::string_view::npos && SameName(Trim(t.substr(0, eq)), key)) return AsRead(t.substr(eq + 1));
    }
    return std::nullopt;
}

// Names and values to try, taken from the text itself so that the in-place
// paths are reached, plus our own section and key names.
struct Candidates {
    std::vector<std::string> sections{"Zuri", "Setting", "BoundsRect", "zuri"};
    std::vector<std::string> keys{"Scale", "CapRate", "Left", "SCALE"};
    std::vector<std::string> values{"1", "0x10", "", "\"quoted\"", " spaced ", "a=b", "[x]", ";c", "'", "-2147483648"};
};

Candidates Gather(const std::vector<Line>& lines) {
    Candidates c;
    // Bounded: every Set compares all section-key pairs before and after.
    constexpr std::size_t kMaxNames = 6;
    for (const Line& l : lines) {
        const std::string_view t = Trim(l.body);
        if (!t.empty() && t.front() == '[') {
            const std::size_t close = t.find(']');
            if (close != std::string_view::npos && c.sections.size() < kMaxNames)
                c.sections.emplace_back(Trim(t.substr(1, close - 1)));
            continue;
        }
        const std::size_t eq = t.find('=');
        if (eq == std::string_view::npos) continue;
        if (c.keys.size() < kMaxNames) c.keys.emplace_back(Trim(t.substr(0, eq)));
        if (c.values.size() < 2 * kMaxNames) c.values.emplace_back(t.substr(eq + 1));
    }
    return c;
}

const std::string& Pick(FuzzedDataProvider& fdp, const std::vector<std::string>& from) {
    return from[fdp.ConsumeIntegralInRange<std::size_t>(0, from.size() - 1)];
}

std::string Raw(const Line& l) {
    return l.body + (l.eol == Eol::CrLf ? "\r\n" : l.eol == Eol::Lf ? "\n" : l.eol == Eol::Cr ? "\r" : "");
}

// Accepted Set: the lines changed in one of the three allowed ways. Lines are
// compared as bytes: a value set to "" may leave a '\r' of the old spacing
// right before the '\n', which a fresh split reads as a CRLF.
void CheckEdit(const std::vector<Line>& before, const std::vector<Line>& after, const std::string& section,
               const std::string& key, const std::string& value) {
    const std::string keyLine = key + "=" + value;
    if (after.size() == before.size()) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            if (Raw(before[i]) != Raw(after[i])) ++changed;
        Check(changed <= 1, "an in-place Set changed more than one line");
        return;
    }
    // A line gained after the unterminated last line gives that line an
    // ending; if the line ended in '\r', that and a new '\n' read as CRLF.
    auto sameButEnding = [](const Line& a, const Line& b, bool wasLast) {
        if (Raw(a) == Raw(b)) return true;
        if (!wasLast || a.eol != Eol::None) return false;
        return Raw(b) == a.body + "\n" || Raw(b) == a.body + "\r\n";
    };
    if (after.size() == before.size() + 2) {
        Check(after[after.size() - 2].body == "[" + section + "]", "new section header", after[after.size() - 2].body);
        Check(after.back().body == keyLine, "new key line after a new section", after.back().body);
        for (std::size_t i = 0; i < before.size(); ++i)
            Check(sameButEnding(before[i], after[i], i + 1 == before.size()), "a line before a new section changed",
                  before[i].body);
        return;
    }
    Check(after.size() == before.size() + 1, "a Set added more than two lines");
    std::size_t at = 0;
    while (at < before.size() && Raw(before[at]) == Raw(after[at])) ++at;
    // The inserted line may follow an unterminated last line that just got an ending.
    if (at + 1 == before.size() && sameButEnding(before[at], after[at], true)) ++at;
    Check(after[at].body == keyLine, "inserted line is not key=value", after[at].body);
    for (std::size_t i = at; i < before.size(); ++i)
        Check(Raw(before[i]) == Raw(after[i + 1]), "a line after the insert changed", before[i].body);
}

void TrySet(ocu::IniFile& ini, const Candidates& c, FuzzedDataProvider& fdp) {
    const std::string& section = Pick(fdp, c.sections);
    const std::string& key = Pick(fdp, c.keys);
    const std::string& value = Pick(fdp, c.values);

    const std::string textBefore = ini.Text();
    const std::vector<Line> before = SplitLines(WithoutBom(textBefore));
    // Every other pair we know of must read the same after the Set.
    std::vector<std::optional<std::string>> others;
    for (const std::string& s : c.sections)
        for (const std::string& k : c.keys) others.push_back(ReferenceGet(textBefore, s, k));

    try {
        ini.Set(section, key, value);
    } catch (const std::invalid_argument&) {
        Check(ini.Text() == textBefore, "a rejected Set changed the text");
        return;
    }
    const std::string text = ini.Text();
    const std::optional<std::string> got = ini.Get(section, key);
    Check(got.has_value() && *got == AsRead(value), "Get after Set", got.value_or("<none>"));
    Check(ReferenceGet(text, section, key) == AsRead(value), "the text after Set does not hold the value", text);
    const std::optional<std::string> reread = ocu::IniFile(text).Get(section, key);
    Check(reread == got, "a fresh parse reads another value");
    Check(WithoutBom(text).size() + 3 * textBefore.starts_with("\xEF\xBB\xBF") == text.size(),
          "the byte order mark was not kept in front", text);
    CheckEdit(before, SplitLines(WithoutBom(text)), section, key, value);

    std::size_t i = 0;
    for (const std::string& s : c.sections)
        for (const std::string& k : c.keys) {
            if (!(SameName(s, section) && SameName(k, key)))
                Check(ini.Get(s, k) == others[i], "a Set changed another key", s + "/" + k);
            Check(ini.Get(s, k) == ReferenceGet(text, s, k), "Get differs from the plain reading", s + "/" + k);
            ++i;
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ocu::IniFile ini(input);
    Check(ini.Text() == input, "Text() differs from the parsed input");

    const Candidates c = Gather(SplitLines(input));
    for (const std::string& s : c.sections)
        for (const std::string& k : c.keys)
            Check(ini.Get(s, k) == ReferenceGet(input, s, k), "Get differs from the plain reading", s + "/" + k);
    FuzzedDataProvider fdp(data, size);
    const int edits = fdp.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < edits; ++i) TrySet(ini, c, fdp);

    // Names that must be storable whatever the text is.
    ini.Set("Zuri", "Scale", "7");
    Check(ini.Get("ZURI", "scale") == "7", "our own key cannot be set");
    return 0;
}
