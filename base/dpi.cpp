#include "base/dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(HANDLE);
using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int);
using SetProcessDpiAwareFn = BOOL(WINAPI*)();
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE, PROCESS_PER_MONITOR_DPI_AWARE
// and MDT_EFFECTIVE_DPI: spelled out because older SDK headers lack them.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int kProcessPerMonitorDpiAware = 2;
constexpr int kEffectiveDpi = 0;

template <typename Fn>
Fn Lookup(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) handle = LoadLibraryA(module);  // shcore stays loaded: it is shared
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// A DPI outside any real screen's range is a broken answer: the caller's default stands.
int Sane(UINT dpi, int fallback) {
  return dpi >= 48 && dpi <= 960 ? static_cast<int>(dpi) : fallback;
}

}  // namespace

void EnsureDpiAwareness() {
  if (auto setContext = Lookup<SetProcessDpiAwarenessContextFn>(
          "user32.dll", "SetProcessDpiAwarenessContext")) {
    if (setContext(kPerMonitorAwareV2) || setContext(kPerMonitorAware)) return;
    if (GetLastError() == ERROR_ACCESS_DENIED) return;  // already set, by the manifest
  }
  if (auto setAwareness =
          Lookup<SetProcessDpiAwarenessFn>("shcore.dll", "SetProcessDpiAwareness")) {
    setAwareness(kProcessPerMonitorDpiAware);
    return;
  }
  if (auto setAware = Lookup<SetProcessDpiAwareFn>("user32.dll", "SetProcessDPIAware")) setAware();
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kDefaultDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return Sane(static_cast<UINT>(dpi), kDefaultDpi);
}

int DpiForWindow(HWND window) {
  static const auto getDpiForWindow =
      Lookup<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
  if (getDpiForWindow != nullptr && window != nullptr) {
    return Sane(getDpiForWindow(window), SystemDpi());
  }
  return SystemDpi();
}

int DpiForMonitor(HMONITOR monitor) {
  static const auto getDpiForMonitor =
      Lookup<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (getDpiForMonitor != nullptr && monitor != nullptr &&
      SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y))) {
    return Sane(x, SystemDpi());
  }
  return SystemDpi();
}
