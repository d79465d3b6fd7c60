// What the show does when the host calls it. The gallery itself is not drawn yet: each frame
// is cleared to the frame colour.
#include "show/show_app.h"

#include <objbase.h>

#include "config/config_dialog.h"
#include "host/safe_release.h"
#include "show/show_settings.h"

void ShowApp::ShowConfiguration() {
  // The dialogs' picture previews load through OLE.
  const HRESULT com = CoInitialize(nullptr);
  RunConfigurationDialog(*this, parentWindow);
  if (SUCCEEDED(com)) CoUninitialize();
}

HRESULT ShowApp::SelectOutput(UINT index) {
  if (index >= sizeof outputResources / sizeof outputResources[0]) return E_INVALIDARG;
  currentResources = &outputResources[index];
  return S_OK;
}

HRESULT ShowApp::RestoreDeviceResources() { return S_OK; }

HRESULT ShowApp::AdvanceScene() { return S_OK; }

HRESULT ShowApp::DrawScene() {
  if (currentDevice == nullptr) return S_OK;
  currentDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                       static_cast<D3DCOLOR>(g_settings.backGndColor), 1.0f, 0);
  if (FAILED(currentDevice->BeginScene())) return S_OK;
  currentDevice->EndScene();
  return S_OK;
}

HRESULT ShowApp::ReleaseDeviceResources() {
  SafeRelease(currentResources->fallbackTexture);
  return S_OK;
}
