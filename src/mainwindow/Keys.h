#pragma once
// The keys and modifiers of the shortcuts and hot keys, as the core names them;
// the Win32 edge turns them into virtual-key codes and MOD_ masks.
#include <cstdint>

namespace ocu {

enum class Key : std::uint8_t {
    None,
    A,
    D,
    E,
    F,
    G,
    S,
    T,
    D0,
    D1,
    D2,
    D3,
    D4,
    D5,
    D6,
    D7,
    D8,
    D9,
    F2,
    F3,
    Left,
    Right,
    Up,
    Down,
    Delete,
};

enum class Modifier : std::uint8_t { Ctrl, Shift };

}  // namespace ocu
