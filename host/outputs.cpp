// Screen outputs. Not built yet: no output is set up.
#include "host/saver_app.h"

#include "host/safe_release.h"
#include "host/saver_errors.h"
#include "xfile/text_copy.h"

HRESULT SaverApp::SetUpOutputs() {
  RecordError(SAVER_E_CREATE_DEVICE);
  mouseMoveCount = 0;
  return S_OK;
}

BOOL SaverApp::PickBestAdapter(int32_t* index) {
  if (index != nullptr) *index = -1;
  return FALSE;
}

HRESULT SaverApp::CreateFullScreenDevice(ScreenOutput&) { return E_FAIL; }
BOOL SaverApp::ChooseFallbackMode(DeviceTypeRecord&) { return FALSE; }
HRESULT SaverApp::CreateWindowedDevice(ScreenOutput&) { return E_FAIL; }

HRESULT SaverApp::CheckWindowedFormat(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, DWORD*,
                                      D3DFORMAT*) {
  return E_FAIL;
}

HRESULT SaverApp::MakeOutputCurrent(UINT index) {
  if (index >= outputCount) return E_INVALIDARG;
  ScreenOutput& output = outputs[index];
  currentDevice = output.device;
  CopyText(deviceText, output.deviceText, sizeof deviceText);
  CopyText(frameStatsText, output.frameStatsText, sizeof frameStatsText);
  return SelectOutput(index);
}

void SaverApp::TearDownOutputs() {
  for (UINT i = 0; i < outputCount; ++i) {
    MakeOutputCurrent(i);
    ScreenOutput& output = outputs[i];
    if (output.resourcesRestored) {
      ReleaseDeviceResources();
      output.resourcesRestored = 0;
    }
    if (output.resourcesCreated) {
      DestroyDeviceResources();
      output.resourcesCreated = 0;
    }
    SafeRelease(output.device);
    currentDevice = nullptr;
  }
  outputCount = 0;
  SafeRelease(direct3d);
}
