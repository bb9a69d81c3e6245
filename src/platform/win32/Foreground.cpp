#include "platform/win32/Foreground.h"

namespace ocu::win {

BOOL SetAbsoluteForegroundWindow(HWND window) {
    const DWORD foreThread = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const DWORD ownThread = ::GetWindowThreadProcessId(window, nullptr);
    ::AttachThreadInput(ownThread, foreThread, TRUE);
    DWORD saved = 0;
    ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    ::SetForegroundWindow(window);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved)), 0);
    return ::AttachThreadInput(ownThread, foreThread, FALSE);
}

}  // namespace ocu::win
