#include "host/multi_monitor_api.h"

#include "base/text_copy.h"

#include <cstddef>
#include <cstring>

namespace {

MultiMonitorApi theApi = {};

FARPROC FromUser32(const char* name) {
  const HMODULE user32 = GetModuleHandleA("USER32");
  return user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
}

template <typename Fn>
void Find(ExportLookupFn lookup, const char* name, Fn* target, bool* complete) {
  *target = reinterpret_cast<Fn>(reinterpret_cast<void*>(lookup(name)));
  if (*target == nullptr) *complete = false;
}

const MultiMonitorApi& Api() {
  if (!theApi.lookedUp) LookUpMultiMonitorApi(theApi, FromUser32);
  return theApi;
}

bool ToPrimary(DWORD flags) {
  return (flags & (MONITOR_DEFAULTTOPRIMARY | MONITOR_DEFAULTTONEAREST)) != 0;
}

}  // namespace

void LookUpMultiMonitorApi(MultiMonitorApi& api, ExportLookupFn lookup) {
  std::memset(&api, 0, sizeof api);
  bool complete = lookup != nullptr;
  if (complete) {
    Find(lookup, "GetSystemMetrics", &api.getSystemMetrics, &complete);
    Find(lookup, "MonitorFromWindow", &api.monitorFromWindow, &complete);
    Find(lookup, "MonitorFromRect", &api.monitorFromRect, &complete);
    Find(lookup, "MonitorFromPoint", &api.monitorFromPoint, &complete);
    Find(lookup, "EnumDisplayMonitors", &api.enumDisplayMonitors, &complete);
    Find(lookup, "GetMonitorInfoA", &api.getMonitorInfo, &complete);
    Find(lookup, "EnumDisplayDevicesA", &api.enumDisplayDevices, &complete);
  }
  // A partial set is not trusted: the stand-ins serve every call.
  if (!complete) std::memset(&api, 0, sizeof api);
  api.lookedUp = true;
}

MultiMonitorApi& TheMultiMonitorApi() {
  Api();
  return theApi;
}

bool MultiMonitorApiComplete(const MultiMonitorApi& api) {
  return api.getSystemMetrics != nullptr && api.monitorFromWindow != nullptr &&
         api.monitorFromRect != nullptr && api.monitorFromPoint != nullptr &&
         api.enumDisplayMonitors != nullptr && api.getMonitorInfo != nullptr &&
         api.enumDisplayDevices != nullptr;
}

namespace multimon {

HMONITOR WINAPI PrimaryMonitorFromRect(LPCRECT rect, DWORD flags) {
  if (ToPrimary(flags)) return kPrimaryMonitorHandle;
  if (rect != nullptr && rect->right > 0 && rect->bottom > 0 &&
      rect->left < GetSystemMetrics(SM_CXSCREEN) && rect->top < GetSystemMetrics(SM_CYSCREEN)) {
    return kPrimaryMonitorHandle;
  }
  return nullptr;
}

HMONITOR WINAPI PrimaryMonitorFromWindow(HWND window, DWORD flags) {
  if (ToPrimary(flags)) return kPrimaryMonitorHandle;
  RECT rect;
  if (IsIconic(window)) {
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return nullptr;
    rect = placement.rcNormalPosition;
  } else if (!GetWindowRect(window, &rect)) {
    return nullptr;
  }
  return PrimaryMonitorFromRect(&rect, flags);
}

BOOL WINAPI PrimaryMonitorInfo(HMONITOR monitor, LPMONITORINFO info) {
  RECT work;
  if (monitor != kPrimaryMonitorHandle || info == nullptr || info->cbSize < sizeof(MONITORINFO) ||
      !SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    return FALSE;
  }
  SetRect(&info->rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  info->rcWork = work;
  info->dwFlags = MONITORINFOF_PRIMARY;
  if (info->cbSize >= sizeof(MONITORINFOEXA)) {
    CopyText(reinterpret_cast<MONITORINFOEXA*>(info)->szDevice, "DISPLAY", CCHDEVICENAME);
  }
  return TRUE;
}

BOOL WINAPI PrimaryDisplayDevice(LPCSTR device, DWORD index, PDISPLAY_DEVICEA info, DWORD) {
  // The fields up to StateFlags are all that is filled.
  constexpr DWORD kFilledSize = offsetof(DISPLAY_DEVICEA, DeviceID);
  if (device != nullptr || index != 0 || info == nullptr || info->cb < kFilledSize) return FALSE;
  CopyText(info->DeviceName, "DISPLAY", sizeof info->DeviceName);
  CopyText(info->DeviceString, "DISPLAY", sizeof info->DeviceString);
  info->StateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;
  return TRUE;
}

HMONITOR WINAPI MonitorFromRect(LPCRECT rect, DWORD flags) {
  const MultiMonitorApi& api = Api();
  return MultiMonitorApiComplete(api) ? api.monitorFromRect(rect, flags)
                                      : PrimaryMonitorFromRect(rect, flags);
}

HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags) {
  const MultiMonitorApi& api = Api();
  return MultiMonitorApiComplete(api) ? api.monitorFromWindow(window, flags)
                                      : PrimaryMonitorFromWindow(window, flags);
}

BOOL WINAPI GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) {
  const MultiMonitorApi& api = Api();
  return MultiMonitorApiComplete(api) ? api.getMonitorInfo(monitor, info)
                                      : PrimaryMonitorInfo(monitor, info);
}

BOOL WINAPI EnumDisplayDevices(LPCSTR device, DWORD index, PDISPLAY_DEVICEA info, DWORD flags) {
  const MultiMonitorApi& api = Api();
  return MultiMonitorApiComplete(api) ? api.enumDisplayDevices(device, index, info, flags)
                                      : PrimaryDisplayDevice(device, index, info, flags);
}

}  // namespace multimon
