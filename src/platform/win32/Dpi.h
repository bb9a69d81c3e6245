#pragma once
// The DPI a window shows at, and the system measures for it. Per-monitor aware, a window
// on a monitor whose DPI is not the system's must ask for that DPI's measures: the plain
// calls answer for the system's.
#include <windows.h>

namespace ocu::win {

// Its monitor's DPI for a per-monitor aware window, the system's otherwise; 96 where the
// system cannot tell.
int WindowDpi(HWND hwnd);
// AdjustWindowRectEx for a frame drawn at `dpi`.
void AdjustWindowRectForDpi(RECT& rect, HWND window, int dpi);
// GetSystemMetrics for `dpi`.
int SystemMetricForDpi(int index, int dpi);

}  // namespace ocu::win
