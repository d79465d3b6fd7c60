// The screen-saver password of the Windows 9x family: the system's check before the saver
// quits, and the system's dialog that changes the password. Elsewhere the system guards the
// desktop itself and the saver checks nothing.
#include "base/registry_keys.h"
#include "host/saver_app.h"
#include "host/saver_errors.h"

#include <cstring>

namespace {

using ChangePasswordFn = DWORD(WINAPI*)(LPCSTR registryKey, HWND owner, UINT reserved1,
                                        UINT reserved2);

bool IsWindows9x() {
  OSVERSIONINFOA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool PasswordWanted() {
  ScopedKey desktop;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, desktop.Receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof value;
  const bool read = RegQueryValueExA(desktop.get(), "ScreenSaveUsePassword", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                    size == sizeof value;
  return read && value != 0;
}

}  // namespace

void SaverApp::PreparePasswordCheck() {
  isWin9x = IsWindows9x() ? 1 : 0;
  if (runMode != RunMode::FullScreen || !isWin9x || !PasswordWanted()) return;
  passwordModule.Reset(LoadLibraryA("PASSWORD.CPL"));
  verifyPassword = passwordModule.Find<VerifyPasswordFn>("VerifyScreenSavePwd");
}

BOOL SaverApp::RunPasswordCheck() {
  if (verifyPassword == nullptr) return TRUE;

  // The system's dialog needs the screen: give up the devices while it is up.
  ReleaseOutputDevices();
  for (const std::unique_ptr<AdapterRecord>& adapter : adapters) {
    if (adapter->deviceWindow == nullptr) continue;
    ShowWindow(adapter->deviceWindow, SW_RESTORE);
    ShowWindow(adapter->deviceWindow, SW_SHOWMAXIMIZED);
  }

  checkingPassword = 1;
  const BOOL accepted = verifyPassword(mainWindow);
  checkingPassword = 0;
  if (accepted) {
    outputs.clear();
    return TRUE;
  }

  SetCursor(nullptr);
  mouseMoveCount = 0;
  EnterSceneCall();
  for (UINT i = 0; i < outputs.size(); ++i) {
    ScreenOutput& output = outputs[i];
    if (FAILED(CreateOutputDevice(output))) {
      RecordError(SAVER_E_CREATE_DEVICE);
      continue;
    }
    MakeOutputCurrent(i);
    if (FAILED(CreateDeviceResources())) {
      RecordError(SAVER_E_SCENE_RESOURCES);
      continue;
    }
    output.resourcesCreated = 1;
    if (FAILED(RestoreDeviceResources())) {
      RecordError(SAVER_E_SCENE_RESOURCES);
      continue;
    }
    output.resourcesRestored = 1;
  }
  LeaveSceneCall();
  return FALSE;
}

void SaverApp::ChangePassword() {
  const ScopedModule mpr(LoadLibraryA("MPR.DLL"));
  const auto change = mpr.Find<ChangePasswordFn>("PwdChangePasswordA");
  if (change != nullptr) change("SCRSAVE", parentWindow, 0, 0);
}
