// Loading and saving the show settings and the display settings. The machine-wide key is
// read first, then the per-user copy over it; writes go to the machine-wide key where the
// user may write there, else to the per-user copy. Until a look has been stored anywhere the
// show takes it from the theme the settings dialog shows selected, so the first run and the
// dialog agree.
#include "show/show_app.h"

#include <cstring>

#include "base/message_box.h"
#include "base/registry_keys.h"
#include "base/resource_ids.h"
#include "base/text_copy.h"
#include "show/show_settings.h"
#include "show/theme_file.h"

namespace {

// Without "InstallPath" (a copy unpacked from the portable zip, or a damaged value) the data
// is looked for beside the program itself rather than under the root of the current drive.
void UseProgramFolderWithoutInstallPath(char (&installDir)[512]) {
  if (installDir[0] != '\0') return;
  char program[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return;
  char* separator = std::strrchr(program, '\\');
  if (separator == nullptr) return;
  *separator = '\0';
  CopyText(installDir, program, sizeof installDir);
}

}  // namespace

void ShowApp::LoadSettings() {
  ScopedKey machine;
  if (g_registryOpeners.openMachine(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Create,
                                    machine.Receive()) != ERROR_SUCCESS) {
    g_registryOpeners.openMachine(registryKeyPath, KEY_READ, KeyOpen::Existing,
                                  machine.Receive());
  }
  ScopedKey user;
  g_registryOpeners.openUser(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Existing, user.Receive());
  // A portable copy run by a standard user has neither key: its own per-user key lets it
  // show the gallery with the defaults rather than the fallback scene.
  if (!machine && !user) {
    g_registryOpeners.openUser(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Create, user.Receive());
  }

  const bool opened = machine || user;
  bool lookStored = false;
  ShowSettings& settings = state_.settings;
  if (opened) state_.settingsLoaded = 1;
  if (machine) {
    lookStored = ReadShowValues(machine.get(), settings);
    std::memset(state_.InstallDir, 0, sizeof state_.InstallDir);
    ReadRegistryString(machine.get(), "InstallPath", state_.InstallDir, sizeof state_.InstallDir,
                       "");
    ReadDisplaySettings(machine.get());
  }
  if (user) {
    lookStored = ReadShowValues(user.get(), settings) || lookStored;
    ReadDisplaySettings(user.get());
  }
  RecomputeRgb(settings);
  UseProgramFolderWithoutInstallPath(state_.InstallDir);
  // Without any key the settings stay as they are, for the fallback scene.
  if (opened && !lookStored) TakeLookFromSelectedTheme(state_.InstallDir, settings);
}

bool ShowApp::SaveSettings(const ShowSettings& settings) {
  ScopedKey machine;
  if (g_registryOpeners.openMachine(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Create,
                                    machine.Receive()) == ERROR_SUCCESS) {
    const bool written = WriteShowValues(machine.get(), settings) &&
                         WriteDisplaySettings(machine.get());
    if (written) {
      // A per-user copy left from an earlier save would shadow what was just written.
      ScopedKey user;
      if (g_registryOpeners.openUser(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Existing,
                                     user.Receive()) == ERROR_SUCCESS) {
        DeleteShowValues(user.get());
        RemoveDisplaySettings(user.get());
      }
      return true;
    }
  }

  ScopedKey user;
  if (g_registryOpeners.openUser(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Create,
                                 user.Receive()) == ERROR_SUCCESS &&
      WriteShowValues(user.get(), settings) && WriteDisplaySettings(user.get())) {
    return true;
  }

  char text[200];
  if (LoadStringA(GetModuleHandleA(nullptr), IDS_SETTINGS_NOT_SAVED, text, sizeof text) <= 0) {
    text[0] = '\0';
  }
  g_messageBox(mainWindow, text, windowTitle, MB_ICONERROR);
  return false;
}
