// The multi-monitor functions of USER32, looked up at run time. Where any of them is missing
// the whole set is replaced by stand-ins that describe the one primary screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_tables.h"

using GetSystemMetricsFn = int(WINAPI*)(int);
using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using MonitorFromRectFn = HMONITOR(WINAPI*)(LPCRECT, DWORD);
using MonitorFromPointFn = HMONITOR(WINAPI*)(POINT, DWORD);
using EnumDisplayMonitorsFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using EnumDisplayDevicesFn = BOOL(WINAPI*)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD);

struct MultiMonitorApi {
  GetSystemMetricsFn getSystemMetrics;
  MonitorFromWindowFn monitorFromWindow;
  MonitorFromRectFn monitorFromRect;
  MonitorFromPointFn monitorFromPoint;
  EnumDisplayMonitorsFn enumDisplayMonitors;
  GetMonitorInfoFn getMonitorInfo;
  EnumDisplayDevicesFn enumDisplayDevices;
  bool lookedUp;
};

// The pseudo handle the stand-ins give the primary monitor.
const HMONITOR kPrimaryMonitorHandle = reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x12340042));

// Finds a USER32 export by name; null when missing.
using ExportLookupFn = FARPROC (*)(const char* name);

// Looks the seven functions up through `lookup` (null module: pass a lookup that finds
// nothing). All seven are kept only when all are found.
void LookUpMultiMonitorApi(MultiMonitorApi& api, ExportLookupFn lookup);

// The process-wide set, looked up from USER32 on first use. Tests install their own.
MultiMonitorApi& TheMultiMonitorApi();
bool MultiMonitorApiComplete(const MultiMonitorApi& api);

namespace multimon {

// The system function when the set is complete, the stand-in otherwise.
HMONITOR WINAPI MonitorFromRect(LPCRECT rect, DWORD flags);
HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags);
BOOL WINAPI GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info);
BOOL WINAPI EnumDisplayDevices(LPCSTR device, DWORD index, PDISPLAY_DEVICEA info, DWORD flags);

// The stand-ins themselves.
HMONITOR WINAPI PrimaryMonitorFromRect(LPCRECT rect, DWORD flags);
HMONITOR WINAPI PrimaryMonitorFromWindow(HWND window, DWORD flags);
BOOL WINAPI PrimaryMonitorInfo(HMONITOR monitor, LPMONITORINFO info);
BOOL WINAPI PrimaryDisplayDevice(LPCSTR device, DWORD index, PDISPLAY_DEVICEA info, DWORD flags);

}  // namespace multimon

// How the monitor table is read: the display devices, their current modes, and the monitor
// handle of a screen rectangle.
struct MonitorQueries {
  EnumDisplayDevicesFn enumDisplayDevices;
  BOOL(WINAPI* enumDisplaySettings)(LPCSTR device, DWORD mode, DEVMODEA* devMode);
  MonitorFromRectFn monitorFromRect;
};

// Fills the table from the display devices (mirroring drivers left out, at most 9 records);
// returns the number of records.
uint32_t ListMonitors(const MonitorQueries& queries, MonitorTable& monitors);
