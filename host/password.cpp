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
  passwordModule = LoadLibraryA("PASSWORD.CPL");
  if (passwordModule != nullptr) {
    verifyPassword = reinterpret_cast<VerifyPasswordFn>(
        reinterpret_cast<void*>(GetProcAddress(passwordModule, "VerifyScreenSavePwd")));
  }
}

BOOL SaverApp::RunPasswordCheck() {
  if (verifyPassword == nullptr) return TRUE;

  // The system's dialog needs the screen: give up the devices while it is up.
  ReleaseOutputDevices();
  for (uint32_t a = 0; a < adapterCount && a < kMaxAdapters; ++a) {
    if (adapters[a] == nullptr || adapters[a]->deviceWindow == nullptr) continue;
    ShowWindow(adapters[a]->deviceWindow, SW_RESTORE);
    ShowWindow(adapters[a]->deviceWindow, SW_SHOWMAXIMIZED);
  }

  checkingPassword = 1;
  const BOOL accepted = verifyPassword(mainWindow);
  checkingPassword = 0;
  if (accepted) {
    outputCount = 0;
    return TRUE;
  }

  SetCursor(nullptr);
  mouseMoveCount = 0;
  EnterSceneCall();
  for (UINT i = 0; i < outputCount && i < kMaxOutputs; ++i) {
    ScreenOutput& output = outputs[i];
    D3DPRESENT_PARAMETERS params = output.presentParams;
    HRESULT hr = direct3d != nullptr
                     ? direct3d->CreateDevice(output.adapterIndex, output.deviceType, mainWindow,
                                              output.behavior, &params, &output.device)
                     : E_FAIL;
    if (SUCCEEDED(hr) && output.device == nullptr) hr = E_FAIL;
    if (FAILED(hr)) {
      output.device.Reset();
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
  const HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (mpr == nullptr) return;
  const auto change = reinterpret_cast<ChangePasswordFn>(
      reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
  if (change != nullptr) change("SCRSAVE", parentWindow, 0, 0);
  FreeLibrary(mpr);
}
