#pragma once
// Our own INI reader/writer, on text in memory. It answers the way the Windows
// private-profile functions do for the little we use (one value by section and
// key), and it edits a file the way a person would want: only the line of the
// key that changes, or one new line, is touched. Everything else (comments,
// other programs' sections, blank lines, lines we cannot make sense of, the
// line endings) comes back byte for byte. A line ends at LF, CR LF or a lone CR.
// A UTF-8 byte order mark at the start (Notepad writes one) is not part of the
// first line, and it is written back as it came.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ocu {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string_view text);

    // The value of the first such key in the first such section (names compared
    // without regard to ASCII case), spaces around it removed and one pair of
    // matching quotes taken off, as Windows does; nullopt if there is none.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Replaces the value in place, or adds "key=value" after the last key of the
    // section, or adds "[section]" and the key at the end of the text. Throws
    // std::invalid_argument for a name or value that could not be read back as
    // written (a line break in it, "=" in a key, "]" in a section name...).
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;

private:
    enum class Eol : std::uint8_t { None, Lf, CrLf, Cr };
    struct Line {
        std::string body;  // without its line ending
        Eol eol = Eol::None;
    };

    struct SectionSpan {
        std::size_t header;  // index of the "[name]" line
        std::size_t end;     // one past its last line
    };

    std::optional<SectionSpan> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const SectionSpan& span, std::string_view key) const;
    Eol DominantEol() const;
    void InsertLine(std::size_t at, std::string body);

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
};

}  // namespace ocu
