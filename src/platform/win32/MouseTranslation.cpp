#include "platform/win32/MouseTranslation.h"

namespace ocu::win {

UINT MouseMessageOf(ProjectedMessage m) {
    switch (m) {
    case ProjectedMessage::Move: return WM_MOUSEMOVE;
    case ProjectedMessage::LeftDown: return WM_LBUTTONDOWN;
    case ProjectedMessage::LeftUp: return WM_LBUTTONUP;
    case ProjectedMessage::RightDown: return WM_RBUTTONDOWN;
    case ProjectedMessage::RightUp: return WM_RBUTTONUP;
    }
    return WM_MOUSEMOVE;
}

WPARAM MouseKeysOf(const ProjectedKeys& k) {
    WPARAM flags = 0;
    if (k.Button == MouseButton::Left) flags = MK_LBUTTON;
    else if (k.Button == MouseButton::Right) flags = MK_RBUTTON;
    else if (k.Button == MouseButton::Middle) flags = MK_MBUTTON;
    if (k.Ctrl) flags |= MK_CONTROL;
    if (k.Shift) flags |= MK_SHIFT;
    return flags;
}

LPARAM MousePointOf(IntPoint p) {
    return static_cast<LPARAM>(static_cast<DWORD>(MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y))));
}

DWORD MouseEventFlagOf(InjectedButton b) {
    switch (b) {
    case InjectedButton::LeftDown: return MOUSEEVENTF_LEFTDOWN;
    case InjectedButton::LeftUp: return MOUSEEVENTF_LEFTUP;
    case InjectedButton::RightDown: return MOUSEEVENTF_RIGHTDOWN;
    case InjectedButton::RightUp: return MOUSEEVENTF_RIGHTUP;
    }
    return 0;
}

}  // namespace ocu::win
