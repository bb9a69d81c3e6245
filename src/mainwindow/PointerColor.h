#pragma once
// How the colour readout writes a colour.
#include <cstdint>
#include <string>

namespace ocu {

// "#RRGGBB" or "R,G,B" of a colour 0x00RRGGBB.
std::string ColorText(std::uint32_t rgb, bool hex);

}  // namespace ocu
