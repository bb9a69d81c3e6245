#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace ocu {
namespace {

using namespace std::string_literals;

struct GetCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(IniFileGet, ReadsLikeThePrivateProfileFunctions) {
    const std::vector<GetCase> cases = {
        {"plain", "[Zuri]\r\nScale=4\r\n", "Zuri", "Scale", "4"},
        {"names ignore ASCII case", "[zURI]\nsCALE=4\n", "Zuri", "Scale", "4"},
        {"spaces and tabs trimmed", "  [ Zuri ]  \n\t Scale \t=\t 4 \t\n", "Zuri", "Scale", "4"},
        {"double quotes dropped", "[Z]\na=\" x \"\n", "Z", "a", " x "},
        {"single quotes dropped", "[Z]\na='q'\n", "Z", "a", "q"},
        {"unbalanced quote kept", "[Z]\na=\"q\n", "Z", "a", "\"q"},
        {"value keeps later equals signs", "[Z]\na=b=c\n", "Z", "a", "b=c"},
        {"empty value", "[Z]\na=\n", "Z", "a", ""},
        {"comment is not a key", "[Z]\n;a=1\n  ; a=2\na=3\n", "Z", "a", "3"},
        {"key before any section", "a=1\n[Z]\n", "Z", "a", std::nullopt},
        {"key of the next section", "[Z]\nb=2\n[Y]\na=1\n", "Z", "a", std::nullopt},
        {"first of duplicate keys", "[Z]\na=1\nA=2\n", "Z", "a", "1"},
        {"first of duplicate sections", "[Z]\na=1\n[Y]\n[z]\na=2\n", "Z", "a", "1"},
        {"second duplicate section unseen", "[Z]\na=1\n[z]\nb=2\n", "Z", "b", std::nullopt},
        {"line without equals", "[Z]\na\n", "Z", "a", std::nullopt},
        {"header without bracket", "[Z\na=1\n", "Z", "a", std::nullopt},
        {"text after header ignored", "[Z] old\na=1", "Z", "a", "1"},
        {"no trailing newline", "[Z]\r\na=1", "Z", "a", "1"},
        {"lone CR ends a line", "[Z]\ra=1\r", "Z", "a", "1"},
        {"stray CR trimmed", "[Z]\r\r\na=1\r\r\n", "Z", "a", "1"},
        {"bytes above ASCII", "[\xe8\xa8\xad]\n\xe5\x80\xa4=\xff\x01\n", "\xe8\xa8\xad", "\xe5\x80\xa4", "\xff\x01"},
        {"empty text", "", "Z", "a", std::nullopt},
        {"UTF-8 byte order mark before the first section", "\xEF\xBB\xBF[Z]\r\na=1\r\n", "Z", "a", "1"},
        {"a mark inside the text is text", "[Y]\n\xEF\xBB\xBF[Z]\na=1\n", "Z", "a", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniFile(c.text).Get(c.section, c.key), c.expected) << c.name;
    }
}

struct SetCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(IniFileSet, EditsOnlyTheLineOfTheKey) {
    const std::vector<SetCase> cases = {
        {"replace keeps spelling and spacing", "[Zuri]\r\n  sCale = 4  \r\n", "Zuri", "Scale", "12",
         "[Zuri]\r\n  sCale = 12  \r\n"},
        {"replace empty value", "[Z]\na=\nb=1\n", "Z", "a", "5", "[Z]\na=5\nb=1\n"},
        {"replace blank value", "[Z]\na=   \n", "Z", "a", "5", "[Z]\na=5   \n"},
        {"replace quoted value", "[Z]\na=\"1\"\n", "Z", "a", "5", "[Z]\na=5\n"},
        {"replace without trailing newline", "[A]\nx=1", "A", "x", "22", "[A]\nx=22"},
        {"new key after last key, before blanks and comment", "[A]\r\nx=1\r\nodd\r\n\r\n; about B\r\n[B]\r\ny=2\r\n",
         "a", "z", "3", "[A]\r\nx=1\r\nz=3\r\nodd\r\n\r\n; about B\r\n[B]\r\ny=2\r\n"},
        {"new key in a section without keys", "[A]\n; note\n[B]\n", "A", "k", "1", "[A]\nk=1\n; note\n[B]\n"},
        {"new key, no trailing newline", "[A]\nx=1", "A", "y", "2", "[A]\nx=1\ny=2\n"},
        {"new section at the end", "[A]\r\nx=1\r\n\r\n", "B", "y", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
        {"new section, no trailing newline", "[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"new file is CRLF", "", "A", "x", "1", "[A]\r\nx=1\r\n"},
        {"single line without break gets CRLF", "just text", "A", "x", "1", "just text\r\n[A]\r\nx=1\r\n"},
        {"LF file stays LF", "[A]\nx=1\r\n\n", "B", "y", "2", "[A]\nx=1\r\n\n[B]\ny=2\n"},
        {"CRLF file stays CRLF", "[A]\r\nx=1\r\n\n", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n\n"},
        {"mostly lone CRs, a blank line kept", "[A]\rx=1\n\n[B]\r\r\r", "A", "y", "2", "[A]\rx=1\ny=2\n\n[B]\r\r\r"},
        {"first duplicate section written", "[A]\nx=1\n[B]\n[a]\nx=2\ny=3\n", "A", "y", "9",
         "[A]\nx=1\ny=9\n[B]\n[a]\nx=2\ny=3\n"},
        {"odd and foreign lines kept", "\x01\xff garbage\n[A]\nnot a key\nx=1\n[Other]\nx=1\n", "A", "x", "2",
         "\x01\xff garbage\n[A]\nnot a key\nx=2\n[Other]\nx=1\n"},
        {"key line before sections untouched", "x=1\n[A]\n", "A", "x", "2", "x=1\n[A]\nx=2\n"},
        {"byte order mark kept, section found behind it", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "2",
         "\xEF\xBB\xBF[A]\r\nx=2\r\n"},
    };
    for (const auto& c : cases) {
        IniFile ini(c.before);
        ini.Set(c.section, c.key, c.value);
        EXPECT_EQ(ini.Text(), c.after) << c.name;
    }
}

TEST(IniFileSet, RefusesNamesAndValuesThatCannotBeReadBack) {
    struct Bad {
        const char* section;
        const char* key;
        const char* value;
    };
    const std::vector<Bad> cases = {
        {"", "a", "1"},    {"A]", "a", "1"},  {" A", "a", "1"},     {"A\n", "a", "1"},
        {"A", "", "1"},    {"A", "a=b", "1"}, {"A", ";a", "1"},     {"A", "[a", "1"},
        {"A", "a\r", "1"}, {"A", " a", "1"},  {"A", "a", "1\n[B]"}, {"A", "a", "1\r"},
    };
    const std::string text = "[A]\r\na=0\r\n";
    for (const auto& c : cases) {
        IniFile ini(text);
        EXPECT_THROW(ini.Set(c.section, c.key, c.value), std::invalid_argument) << c.section << "/" << c.key;
        EXPECT_EQ(ini.Text(), text);
    }
}

// Any text at all comes back byte for byte, however long or strange its lines.
TEST(IniFileProperty, ParseThenTextIsIdentity) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 300);
    const std::string alphabet = "[]=;\r\n \t\"'aA\xff"s + '\0';
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        int n = len(rng);
        for (int i = 0; i < n; ++i) text += (round % 2) ? static_cast<char>(byte(rng)) : alphabet[pick(rng)];
        EXPECT_EQ(IniFile(text).Text(), text);
    }
    std::string huge = "[A]\r\nx=" + std::string(1 << 20, 'v') + "\r\n" + std::string(1 << 20, '[');
    IniFile ini(huge);
    EXPECT_EQ(ini.Text(), huge);
    EXPECT_EQ(ini.Get("A", "x")->size(), std::size_t{1} << 20);
    ini.Set("A", "y", "1");
    EXPECT_EQ(IniFile(ini.Text()).Get("A", "y"), "1");
}

// On random INI-ish texts, a Set is read back (also after re-parsing the text)
// and changes no other key's value.
TEST(IniFileProperty, SetChangesOnlyItsOwnKey) {
    const std::vector<std::string> pieces = {
        "[s]",   "[S]",  "[t]",  " [ s ] ", "[u", "a=1", " A = 2 ", "b=", "a",    ";a=3", "=",
        "c='x'", "\r\n", "\r\n", "\n",      "\n", "\r",  " ",       "x",  "\xff", "\0"s,
    };
    const std::vector<std::string> sections = {"s", "t", "u"};
    const std::vector<std::string> keys = {"a", "b", "c"};
    const std::vector<std::string> values = {"", "1", "v=w", "[x]", ";", "\xe8\xa8\xad"};
    std::mt19937 rng(11);
    auto pickFrom = [&rng](const auto& v) {
        return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)];
    };

    for (int round = 0; round < 2000; ++round) {
        std::string text;
        int n = std::uniform_int_distribution<int>(0, 24)(rng);
        for (int i = 0; i < n; ++i) text += pickFrom(pieces);
        const IniFile before(text);
        IniFile after = before;
        const std::string s = pickFrom(sections), k = pickFrom(keys), v = pickFrom(values);
        after.Set(s, k, v);

        const IniFile reparsed(after.Text());
        ASSERT_EQ(after.Get(s, k), v) << text;
        ASSERT_EQ(reparsed.Get(s, k), v) << text;
        ASSERT_EQ(reparsed.Text(), after.Text());
        for (const auto& os : sections)
            for (const auto& ok : keys)
                if (os != s || ok != k) {
                    ASSERT_EQ(reparsed.Get(os, ok), before.Get(os, ok)) << text;
                }
    }
}

}  // namespace
}  // namespace ocu
