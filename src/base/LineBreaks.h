#pragma once
// One rule for line breaks in texts shown in several lines, in UTF-8 (where CR and
// LF never occur inside a character) and in the system's wide characters alike.
#include <string>

namespace ocu {

// `text` with every line break (CR, LF or CR LF) written as CR LF, the only one a
// multi-line static control of the system breaks at.
template <class Char>
std::basic_string<Char> NormalizeLineBreaks(const std::basic_string<Char>& text) {
    std::basic_string<Char> out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (c == Char('\r') || c == Char('\n')) {
            out += Char('\r');
            out += Char('\n');
            if (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace ocu
