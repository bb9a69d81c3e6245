#pragma once
// Whole numbers typed into the program's input boxes.
#include <optional>
#include <string_view>

namespace ocu {

// A whole decimal number with an optional sign, as a person types it: spaces
// (ASCII or ideographic) around it are ignored, and full-width digits and signs
// from a Japanese input method count like their ASCII forms. Anything else
// (empty text, letters, a decimal point, a sign alone, a value outside 32 bits)
// is not a whole number.
std::optional<int> ParseWholeNumber(std::string_view utf8);

}  // namespace ocu
