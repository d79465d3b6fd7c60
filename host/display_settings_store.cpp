// Per-monitor display settings in the registry: "AllScreensSame" in the settings key and one
// "Screen N" subkey per monitor that has a Direct3D adapter.
#include "base/registry_keys.h"
#include "host/saver_app.h"
#include "host/screen_key.h"

#include <cstdio>
#include <cstring>

namespace {

bool ReadDword(HKEY key, const char* name, DWORD* value) {
  DWORD data = 0;
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
          ERROR_SUCCESS ||
      size != sizeof data) {
    return false;
  }
  *value = data;
  return true;
}

template <typename T>
void ReadField(HKEY key, const char* name, T* field) {
  static_assert(sizeof(T) == sizeof(DWORD), "registry fields are 32-bit");
  DWORD value;
  if (ReadDword(key, name, &value)) std::memcpy(field, &value, sizeof value);
}

bool WriteDword(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

// The stored "Adapter ID"; a value of another type or size counts as none (all zero).
GUID ReadAdapterId(HKEY screen) {
  GUID stored;
  DWORD type = 0;
  DWORD size = sizeof stored;
  if (RegQueryValueExA(screen, "Adapter ID", nullptr, &type, reinterpret_cast<BYTE*>(&stored),
                       &size) != ERROR_SUCCESS ||
      type != REG_BINARY || size != sizeof stored) {
    std::memset(&stored, 0, sizeof stored);
  }
  return stored;
}

void ScreenKeyName(char (&name)[32], unsigned monitorIndex) {
  std::snprintf(name, sizeof name, "Screen %u", monitorIndex + 1);
}

}  // namespace

bool WriteScreenKey(HKEY key, uint32_t monitorIndex, const AdapterRecord& adapter,
                    bool withChoices) {
  char name[32];
  ScreenKeyName(name, monitorIndex);
  ScopedKey screen;
  if (RegCreateKeyExA(key, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      screen.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  if (withChoices) {
    ok = WriteDword(screen.get(), "Leave Black", adapter.leaveBlack) && ok;
    ok = WriteDword(screen.get(), "Disable Hardware", adapter.disableHardware) && ok;
  }
  ok = WriteDword(screen.get(), "Width", adapter.savedWidth) && ok;
  ok = WriteDword(screen.get(), "Height", adapter.savedHeight) && ok;
  ok = WriteDword(screen.get(), "Format", static_cast<DWORD>(adapter.savedFormat)) && ok;
  return RegSetValueExA(screen.get(), "Adapter ID", 0, REG_BINARY,
                        reinterpret_cast<const BYTE*>(&adapter.identifier.DeviceIdentifier),
                        sizeof(GUID)) == ERROR_SUCCESS &&
         ok;
}

bool SaverApp::ReadDisplaySettings(HKEY key) {
  ReadField(key, "AllScreensSame", &allScreensSame);
  for (uint32_t i = 0; i < monitors.size(); ++i) {
    AdapterRecord* record = AdapterAt(monitors[i].adapterIndex);
    if (record == nullptr) continue;
    AdapterRecord& adapter = *record;
    char name[32];
    ScreenKeyName(name, i);
    // Read access only: a standard user may read the machine-wide key but not write there,
    // and reading must not leave empty subkeys behind.
    ScopedKey screen;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, screen.Receive()) != ERROR_SUCCESS) continue;
    const GUID stored = ReadAdapterId(screen.get());
    ReadField(screen.get(), "Leave Black", &adapter.leaveBlack);
    static const GUID kNoGuid = {};
    // Settings stored for another adapter keep only "Leave Black".
    if (std::memcmp(&stored, &adapter.identifier.DeviceIdentifier, sizeof stored) == 0 ||
        std::memcmp(&stored, &kNoGuid, sizeof stored) == 0) {
      ReadField(screen.get(), "Disable Hardware", &adapter.disableHardware);
      ReadField(screen.get(), "Width", &adapter.savedWidth);
      ReadField(screen.get(), "Height", &adapter.savedHeight);
      ReadField(screen.get(), "Format", &adapter.savedFormat);
    }
  }
  return true;
}

bool SaverApp::WriteDisplaySettings(HKEY key) {
  bool ok = WriteDword(key, "AllScreensSame", allScreensSame);
  for (uint32_t i = 0; i < monitors.size(); ++i) {
    const AdapterRecord* adapter = AdapterAt(monitors[i].adapterIndex);
    if (adapter != nullptr) ok = WriteScreenKey(key, i, *adapter, true) && ok;
  }
  return ok;
}

void SaverApp::RemoveDisplaySettings(HKEY key) {
  RegDeleteValueA(key, "AllScreensSame");
  for (unsigned i = 0; i < kMaxScreens; ++i) {
    char name[32];
    ScreenKeyName(name, i);
    RegDeleteKeyA(key, name);
  }
}
