// Monitor discovery: one record per display device attached to the desktop or not, with its
// screen rectangle and monitor handle.
#include "base/text_copy.h"
#include "host/multi_monitor_api.h"
#include "host/saver_app.h"

#include <cstring>

uint32_t ListMonitors(const MonitorQueries& queries, MonitorTable& monitors) {
  monitors.clear();
  for (DWORD index = 0; !monitors.full(); ++index) {
    DISPLAY_DEVICEA device;
    std::memset(&device, 0, sizeof device);
    device.cb = sizeof device;
    if (!queries.enumDisplayDevices(nullptr, index, &device, 0)) break;
    if (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) continue;
    device.DeviceName[sizeof device.DeviceName - 1] = '\0';

    DISPLAY_DEVICEA monitor;
    std::memset(&monitor, 0, sizeof monitor);
    monitor.cb = sizeof monitor;
    if (!queries.enumDisplayDevices(device.DeviceName, 0, &monitor, 0)) {
      monitor.DeviceString[0] = '\0';
    }

    MonitorRecord& record = *monitors.Append();
    // Both names are fixed fields that need not end in NUL.
    char name[sizeof device.DeviceString + 1];
    std::memcpy(name, device.DeviceString, sizeof device.DeviceString);
    name[sizeof device.DeviceString] = '\0';
    CopyText(record.adapterName, name, sizeof record.adapterName);
    std::memcpy(name, monitor.DeviceString, sizeof monitor.DeviceString);
    name[sizeof monitor.DeviceString] = '\0';
    CopyText(record.monitorName, name, sizeof record.monitorName);
    record.adapterIndex = -1;

    if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) {
      DEVMODEA mode;
      std::memset(&mode, 0, sizeof mode);
      mode.dmSize = sizeof mode;
      if (queries.enumDisplaySettings(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) {
        const bool primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
        const LONG left = primary ? 0 : mode.dmPosition.x;
        const LONG top = primary ? 0 : mode.dmPosition.y;
        SetRect(&record.screenRect, left, top, left + static_cast<LONG>(mode.dmPelsWidth),
                top + static_cast<LONG>(mode.dmPelsHeight));
      }
      // A device whose mode cannot be read has no place on the desktop; asking for the
      // monitor of an empty rectangle could name another device's monitor.
      if (!IsRectEmpty(&record.screenRect)) {
        record.monitorHandle =
            queries.monitorFromRect(&record.screenRect, MONITOR_DEFAULTTONULL);
      }
    }
  }
  return monitors.size();
}

namespace {

// The stand-in device "DISPLAY" is no device name the system knows: its mode is the current
// mode of the primary display.
BOOL WINAPI CurrentDisplaySettings(LPCSTR device, DWORD mode, DEVMODEA* devMode) {
  if (EnumDisplaySettingsA(device, mode, devMode)) return TRUE;
  if (device != nullptr && std::strcmp(device, "DISPLAY") == 0) {
    return EnumDisplaySettingsA(nullptr, mode, devMode);
  }
  return FALSE;
}

}  // namespace

void SaverApp::DiscoverMonitors() {
  const MonitorQueries queries = {multimon::EnumDisplayDevices, CurrentDisplaySettings,
                                  multimon::MonitorFromRect};
  ListMonitors(queries, monitors);
}
