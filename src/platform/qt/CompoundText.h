#pragma once
// The window titles of older X programs come as COMPOUND_TEXT (ISO 2022): xterm and
// Motif programs write a Japanese title that way.
#include <string>
#include <string_view>

namespace ocu::qt {

// As UTF-8: ASCII, Latin-1, JIS X 0208 (either half) and embedded UTF-8 segments;
// a character of any other set becomes '?'.
std::string CompoundTextToUtf8(std::string_view text);

}  // namespace ocu::qt
