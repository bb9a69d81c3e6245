#include "platform/win32/KeyCodes.h"

namespace ocu::win {

WORD VirtualKeyOf(Key key) {
    switch (key) {
    case Key::None: return 0;
    case Key::A: return 'A';
    case Key::D: return 'D';
    case Key::E: return 'E';
    case Key::F: return 'F';
    case Key::G: return 'G';
    case Key::S: return 'S';
    case Key::T: return 'T';
    case Key::D0: return '0';
    case Key::D1: return '1';
    case Key::D2: return '2';
    case Key::D3: return '3';
    case Key::D4: return '4';
    case Key::D5: return '5';
    case Key::D6: return '6';
    case Key::D7: return '7';
    case Key::D8: return '8';
    case Key::D9: return '9';
    case Key::F2: return VK_F2;
    case Key::F3: return VK_F3;
    case Key::Left: return VK_LEFT;
    case Key::Right: return VK_RIGHT;
    case Key::Up: return VK_UP;
    case Key::Down: return VK_DOWN;
    case Key::Delete: return VK_DELETE;
    }
    return 0;
}

UINT HotKeyModifiers(Modifier modifier) { return modifier == Modifier::Shift ? MOD_SHIFT : MOD_CONTROL; }

}  // namespace ocu::win
