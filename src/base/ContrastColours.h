#pragma once
// The program's own colours (the cream bars, the blue captions) give way to the
// system's while high contrast is on: the user picked those colours to be able to
// read the screen, and the system's text colour on our cream can be unreadable
// (white on cream under High Contrast Black).
#include <cstdint>

namespace ocu {

// Colours in the system's 0x00BBGGRR form.
struct FaceAndText {
    std::uint32_t Face;
    std::uint32_t Text;

    friend constexpr bool operator==(const FaceAndText&, const FaceAndText&) = default;
};

constexpr FaceAndText ShownColours(bool highContrast, FaceAndText own, FaceAndText system) {
    return highContrast ? system : own;
}

}  // namespace ocu
