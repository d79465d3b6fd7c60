// Pixels per inch of windows and monitors. The per-monitor functions arrived with Windows 8.1
// and 10; they are looked up at run time so the program still starts on Windows 7, where the
// screen's one setting (LOGPIXELSX) answers for every window.
#pragma once

#include <windows.h>

constexpr int kDefaultDpi = 96;

// Makes the process per-monitor DPI aware when the manifest was not heeded (a test program,
// a system that reads only the older setting). Harmless when it is already aware.
void EnsureDpiAwareness();

// The screen's logical pixels per inch (LOGPIXELSX of the screen's device context).
int SystemDpi();
// The DPI the window is drawn at: its monitor's under per-monitor awareness, else the system's.
int DpiForWindow(HWND window);
// The monitor's effective DPI; the system's where the system cannot tell monitors apart.
int DpiForMonitor(HMONITOR monitor);

// `value` measured at 96 DPI, in pixels at `dpi` (rounded to nearest).
inline int ScaleForDpi(int value, int dpi) { return MulDiv(value, dpi, kDefaultDpi); }
