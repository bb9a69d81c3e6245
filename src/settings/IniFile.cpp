#include "settings/IniFile.h"

#include <stdexcept>

namespace ocu {
namespace {

// Never std::isspace: the text may hold any byte, and a negative char is
// undefined behaviour there.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// "[name]" with optional spaces around; whatever follows the "]" is ignored.
std::optional<std::string_view> SectionNameOf(std::string_view body) {
    std::string_view t = Trim(body);
    if (t.empty() || t.front() != '[') return std::nullopt;
    std::size_t close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

// The key of a "key=value" line; comments, headers and lines without "=" have none.
std::optional<std::string_view> KeyOf(std::string_view body) {
    std::string_view t = Trim(body);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

void CheckStorable(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || Trim(section) != section || HasLineBreak(section) ||
        section.find(']') != std::string_view::npos)
        throw std::invalid_argument("IniFile: section name cannot be stored");
    if (key.empty() || Trim(key) != key || HasLineBreak(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';')
        throw std::invalid_argument("IniFile: key name cannot be stored");
    if (HasLineBreak(value)) throw std::invalid_argument("IniFile: value cannot be stored");
}

}  // namespace

IniFile::IniFile(std::string_view text) {
    // The mark would otherwise make the first line "\xEF\xBB\xBF[BoundsRect]", no section
    // at all: the run would use defaults and the save would add the section a second time.
    if (text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        byteOrderMark_ = true;
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    // A line ends at LF, CR LF, or a CR on its own (the old Macintosh ending, and what a
    // careless editor leaves). Were a lone CR part of the line, a save that swaps the value
    // of our key on it would swallow whatever another program put after the CR.
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.push_back({std::string(text.substr(start)), Eol::None});
            break;
        }
        Eol eol = Eol::Lf;
        std::size_t next = end + 1;
        if (text[end] == '\r') {
            eol = Eol::Cr;
            if (next < text.size() && text[next] == '\n') {
                eol = Eol::CrLf;
                ++next;
            }
        }
        lines_.push_back({std::string(text.substr(start, end - start)), eol});
        start = next;
    }
}

std::optional<IniFile::SectionSpan> IniFile::FindSection(std::string_view section) const {
    // Windows reads and writes the first of two same-named sections; the second
    // is left to whoever wrote it.
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionNameOf(lines_[i].body);
        if (!name || !SameName(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionNameOf(lines_[end].body)) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(const SectionSpan& span, std::string_view key) const {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        auto k = KeyOf(lines_[i].body);
        if (k && SameName(*k, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    auto span = FindSection(section);
    if (!span) return std::nullopt;
    auto at = FindKey(*span, key);
    if (!at) return std::nullopt;
    std::string_view body = lines_[*at].body;
    std::string_view value = Trim(body.substr(body.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

IniFile::Eol IniFile::DominantEol() const {
    std::size_t crlf = 0, lf = 0;
    for (const Line& l : lines_) {
        if (l.eol == Eol::CrLf) ++crlf;
        if (l.eol == Eol::Lf) ++lf;
    }
    // A file with no line break yet gets the Windows ending. A lone CR is never chosen:
    // before an empty line that ends in LF, the pair would read back as one CR LF.
    return lf > crlf ? Eol::Lf : Eol::CrLf;
}

void IniFile::InsertLine(std::size_t at, std::string body) {
    Eol eol = DominantEol();
    // The line before may be the unterminated last line of the file.
    if (at > 0 && lines_[at - 1].eol == Eol::None) lines_[at - 1].eol = eol;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(body), eol});
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    CheckStorable(section, key, value);
    std::string keyLine = std::string(key) + "=" + std::string(value);

    auto span = FindSection(section);
    if (!span) {
        InsertLine(lines_.size(), "[" + std::string(section) + "]");
        InsertLine(lines_.size(), std::move(keyLine));
        return;
    }
    if (auto at = FindKey(*span, key)) {
        // Keep the key's spelling and the spacing the user chose; swap the value only.
        std::string& body = lines_[*at].body;
        std::size_t eq = body.find('=');
        std::size_t from = eq + 1, to = body.size();
        while (from < to && IsSpace(body[from])) ++from;
        while (to > from && IsSpace(body[to - 1])) --to;
        if (from == to) from = to = eq + 1;
        body.replace(from, to - from, value);
        return;
    }
    // After the section's last key, so that blank lines and comments that lead
    // into the next section stay in front of it.
    std::size_t after = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i)
        if (KeyOf(lines_[i].body)) after = i;
    InsertLine(after + 1, std::move(keyLine));
}

std::string IniFile::Text() const {
    std::size_t size = 0;
    for (const Line& l : lines_) size += l.body.size() + 2;
    std::string out;
    out.reserve(size + kUtf8ByteOrderMark.size());
    if (byteOrderMark_) out += kUtf8ByteOrderMark;
    for (const Line& l : lines_) {
        out += l.body;
        if (l.eol == Eol::CrLf) out += "\r\n";
        if (l.eol == Eol::Lf) out += '\n';
        if (l.eol == Eol::Cr) out += '\r';
    }
    return out;
}

}  // namespace ocu
