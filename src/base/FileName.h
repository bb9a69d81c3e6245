#pragma once
// One rule for a file name's extension, for the program's own files and the ones
// the user names, in UTF-8 and in the system's wide characters alike.
#include <string>

namespace ocu {

// `name` with its extension replaced by `extension` (a name without one gets it
// appended). Only the last path element counts: a dot in a folder name is no extension.
template <class Char>
std::basic_string<Char> FileNameWithExtension(const std::basic_string<Char>& name,
                                              const std::basic_string<Char>& extension) {
    constexpr Char kSeparators[] = {Char('\\'), Char('/'), Char(0)};
    const auto slash = name.find_last_of(kSeparators);
    const auto nameStart = slash == std::basic_string<Char>::npos ? 0 : slash + 1;
    const auto dot = name.find_last_of(Char('.'));
    if (dot == std::basic_string<Char>::npos || dot < nameStart) return name + extension;
    return name.substr(0, dot) + extension;
}

}  // namespace ocu
