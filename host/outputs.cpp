// Screen outputs: which monitors get a Direct3D device, which device type and mode each gets,
// falling back to smaller modes when a device is refused, and tearing them all down.
#include "base/registry_keys.h"
#include "base/text_copy.h"
#include "host/mode_rules.h"
#include "host/multi_monitor_api.h"
#include "host/saver_app.h"
#include "host/saver_errors.h"
#include "host/screen_key.h"

#include <cstring>

namespace {

// The mode that worked after a fallback is remembered per user for the next run.
void RememberFallbackMode(const char* registryKeyPath, int32_t monitorIndex,
                          const AdapterRecord& adapter) {
  ScopedKey settings;
  if (monitorIndex < 0 ||
      g_registryOpeners.openUser(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Create,
                                 settings.Receive()) != ERROR_SUCCESS) {
    return;
  }
  WriteScreenKey(settings.get(), static_cast<uint32_t>(monitorIndex), adapter, false);
}

}  // namespace

BOOL SaverApp::PickBestAdapter(int32_t* index) {
  const int32_t best = PickBestAdapterIndex(monitors, adapters);
  if (index != nullptr) *index = best;
  return best >= 0 ? TRUE : FALSE;
}

HRESULT SaverApp::SetUpOutputs() {
  if (runMode == RunMode::FullScreen) {
    windowed = 0;
    if (singleScreen) {
      for (std::unique_ptr<AdapterRecord>& adapter : adapters) adapter->leaveBlack = 1;
      int32_t best;
      if (!PickBestAdapter(&best)) {
        RecordError(SAVER_E_NO_COMPATIBLE_DEVICE);
      } else {
        adapters[best]->leaveBlack = 0;
      }
    }
    for (const MonitorRecord& monitor : monitors) {
      AdapterRecord* adapter = AdapterAt(monitor.adapterIndex);
      if (adapter == nullptr) continue;
      if (MustLeaveBlack(*adapter, allowReference != 0)) adapter->leaveBlack = 1;
      if (adapter->leaveBlack || adapter->deviceCount == 0) continue;
      ScreenOutput* output = outputs.Append();
      if (output == nullptr) continue;
      adapter->deviceWindow = monitor.window;
      output->adapterIndex = static_cast<uint32_t>(monitor.adapterIndex);
      if (FAILED(CreateFullScreenDevice(*output))) {
        RecordError(SAVER_E_CREATE_DEVICE);
        outputs.pop_back();
      }
    }
  } else if (runMode == RunMode::Preview || runMode == RunMode::Test) {
    windowed = 1;
    if (mainWindow != nullptr) GetClientRect(mainWindow, &targetRect);
    currentOutputRect = targetRect;
    int32_t best;
    if (!PickBestAdapter(&best)) {
      RecordError(SAVER_E_CREATE_DEVICE);
    } else {
      adapters[best]->deviceWindow = mainWindow;
    }
    ScreenOutput* output = errorPending ? nullptr : outputs.Append();
    if (output != nullptr) {
      output->adapterIndex = static_cast<uint32_t>(best);
      if (FAILED(CreateWindowedDevice(*output))) {
        outputs.pop_back();
        RecordError(runMode == RunMode::Preview ? SAVER_E_NO_PREVIEW : SAVER_E_CREATE_DEVICE);
      }
    }
  }

  for (MonitorRecord& monitor : monitors) {
    if (monitor.monitorHandle == nullptr) continue;
    MONITORINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (multimon::GetMonitorInfo(monitor.monitorHandle, &info)) monitor.screenRect = info.rcMonitor;
    if (runMode == RunMode::FullScreen && monitor.window != nullptr) {
      const RECT& r = monitor.screenRect;
      SetWindowPos(monitor.window, HWND_TOPMOST, r.left, r.top, r.right - r.left,
                   r.bottom - r.top, SWP_NOACTIVATE);
    }
  }

  if (runMode == RunMode::FullScreen) {
    SetRectEmpty(&targetRect);
    for (const ScreenOutput& output : outputs) {
      if (const MonitorRecord* monitor = monitors.at(output.monitorIndex)) {
        UnionRect(&targetRect, &targetRect, &monitor->screenRect);
      }
    }
  }

  if (!errorPending) {
    EnterSceneCall();
    for (uint32_t i = 0; i < outputs.size(); ++i) {
      ScreenOutput& output = outputs[i];
      if (FAILED(MakeOutputCurrent(i)) || FAILED(CreateDeviceResources())) {
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
    if (LeaveSceneCall()) return S_OK;
    DescribeDevices();
  }

  mouseMoveCount = 0;
  return S_OK;
}

D3DPRESENT_PARAMETERS SaverApp::PresentParams(bool inWindow, const DisplayModeEntry& mode,
                                             HWND deviceWindow) const {
  D3DPRESENT_PARAMETERS pp;
  std::memset(&pp, 0, sizeof pp);
  pp.BackBufferWidth = inWindow ? 0 : mode.width;  // 0: the window's size
  pp.BackBufferHeight = inWindow ? 0 : mode.height;
  pp.BackBufferFormat = mode.format;
  pp.BackBufferCount = 1;
  pp.MultiSampleType = D3DMULTISAMPLE_NONE;
  pp.SwapEffect = inWindow ? windowedSwapEffect : fullScreenSwapEffect;
  pp.hDeviceWindow = deviceWindow;
  pp.Windowed = inWindow ? TRUE : FALSE;
  pp.EnableAutoDepthStencil = useDepthBuffer ? TRUE : FALSE;
  pp.AutoDepthStencilFormat = mode.depthStencilFormat;
  pp.FullScreen_PresentationInterval = inWindow ? 0 : D3DPRESENT_INTERVAL_ONE;
  return pp;
}

void SaverApp::DropMultiSample(D3DPRESENT_PARAMETERS& params) const {
  params.MultiSampleType = D3DMULTISAMPLE_NONE;
  params.SwapEffect = params.Windowed ? windowedSwapEffect : fullScreenSwapEffect;
}

HRESULT SaverApp::CreateOutputDevice(ScreenOutput& output) {
  output.device.Reset();
  if (direct3d == nullptr) return E_FAIL;
  D3DPRESENT_PARAMETERS& pp = output.presentParams;
  DropMultiSample(pp);
  const bool inWindow = pp.Windowed != FALSE;
  pp.MultiSampleType =
      ChooseMultiSample(output.adapterIndex, output.deviceType, pp.BackBufferFormat,
                        pp.EnableAutoDepthStencil ? pp.AutoDepthStencilFormat : D3DFMT_UNKNOWN,
                        inWindow);
  // Direct3D takes multisampling only with the discard swap effect. A window gives up the copy
  // with its wait for the vertical blank: every frame is cleared and drawn whole before it is
  // presented, so nothing needs the back buffer kept, and the frame loop already paces frames
  // to the refresh rate; clean edges are worth the odd torn frame in a preview.
  if (pp.MultiSampleType != D3DMULTISAMPLE_NONE) pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  for (;;) {
    // CreateDevice may adjust the parameters it is given; keep ours for Reset.
    D3DPRESENT_PARAMETERS given = pp;
    HRESULT hr = direct3d->CreateDevice(output.adapterIndex, output.deviceType, mainWindow,
                                        output.behavior, &given, &output.device);
    if (SUCCEEDED(hr) && output.device == nullptr) hr = E_FAIL;
    if (SUCCEEDED(hr)) return hr;
    output.device.Reset();
    if (pp.MultiSampleType == D3DMULTISAMPLE_NONE) return hr;
    DropMultiSample(pp);  // a driver that lists a sample count it cannot make
  }
}

HRESULT SaverApp::ResetOutputDevice(ScreenOutput& output) {
  if (output.device == nullptr) return E_FAIL;
  D3DPRESENT_PARAMETERS params = output.presentParams;
  HRESULT hr = output.device->Reset(&params);
  if (FAILED(hr) && output.presentParams.MultiSampleType != D3DMULTISAMPLE_NONE) {
    DropMultiSample(output.presentParams);
    params = output.presentParams;
    hr = output.device->Reset(&params);
  }
  return hr;
}

HRESULT SaverApp::CreateFullScreenDevice(ScreenOutput& output) {
  AdapterRecord* adapter = AdapterAt(output.adapterIndex);
  if (adapter == nullptr || adapter->deviceCount == 0 || direct3d == nullptr) return E_FAIL;

  const int chosen = ChooseDeviceRecord(*adapter, allowReference != 0, false);
  if (chosen < 0) return SAVER_E_NO_HARDWARE_DEVICE;
  DeviceTypeRecord& record = adapter->devices[chosen];
  if (record.modeCount == 0 || record.modeCount > kMaxModes) return E_FAIL;
  // The frame-rate text reads the depth format of the record in use.
  adapter->currentDevice = static_cast<uint32_t>(chosen);

  record.currentMode = kNoChoice;
  record.currentMode = ChooseFullScreenMode(*adapter, record);

  bool fellBack = false;
  for (;;) {
    const DisplayModeEntry& mode = record.modes[record.currentMode];
    output.monitorIndex = adapter->monitorIndex;
    output.deviceType = record.deviceType;
    output.behavior = mode.behavior;
    output.presentParams = PresentParams(false, mode, adapter->deviceWindow);
    HRESULT hr = CreateOutputDevice(output);
    if (SUCCEEDED(hr)) {
      const HRESULT checked = CheckCreatedDevice(output.device.Get());
      if (FAILED(checked)) {
        output.device.Reset();
        hr = checked;
      }
    }
    if (SUCCEEDED(hr)) {
      if (fellBack && registryKeyPath[0] != '\0') {
        adapter->savedWidth = mode.width;
        adapter->savedHeight = mode.height;
        adapter->savedFormat = mode.format;
        RememberFallbackMode(registryKeyPath, output.monitorIndex, *adapter);
      }
      return hr;
    }
    if (!ChooseFallbackMode(record)) return hr;
    fellBack = true;
  }
}

BOOL SaverApp::ChooseFallbackMode(DeviceTypeRecord& device) {
  const int next = ChooseFallbackModeIndex(device.modes, device.modeCount, device.currentMode);
  if (next < 0) return FALSE;
  device.currentMode = static_cast<uint32_t>(next);
  return TRUE;
}

HRESULT SaverApp::CreateWindowedDevice(ScreenOutput& output) {
  const uint32_t a = output.adapterIndex;
  AdapterRecord* adapter = AdapterAt(a);
  if (adapter == nullptr || direct3d == nullptr) return E_FAIL;

  adapter->currentDevice = kNoChoice;
  const int chosen = ChooseDeviceRecord(*adapter, allowReference != 0, true);
  if (chosen < 0) return SAVER_E_NO_HARDWARE_DEVICE;
  adapter->currentDevice = static_cast<uint32_t>(chosen);
  const DeviceTypeRecord& record = adapter->devices[chosen];

  const D3DFORMAT desktopFormat = adapter->desktopMode.Format;
  const D3DFORMAT backBufferFormats[] = {desktopFormat, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,
                                         D3DFMT_A1R5G5B5, D3DFMT_R5G6B5};
  DisplayModeEntry mode = {};
  for (D3DFORMAT candidate : backBufferFormats) {
    if (SUCCEEDED(CheckWindowedFormat(a, record.deviceType, desktopFormat, candidate,
                                      &mode.behavior, &mode.depthStencilFormat))) {
      mode.format = candidate;
      break;
    }
  }
  if (mode.format == D3DFMT_UNKNOWN) return E_FAIL;

  output.monitorIndex = adapter->monitorIndex;
  output.deviceType = record.deviceType;
  output.behavior = mode.behavior;
  output.presentParams = PresentParams(true, mode, adapter->deviceWindow);
  return CreateOutputDevice(output);
}

HRESULT SaverApp::CheckWindowedFormat(UINT adapter, D3DDEVTYPE deviceType,
                                      D3DFORMAT desktopFormat, D3DFORMAT backBufferFormat,
                                      DWORD* behavior, D3DFORMAT* depthFormat) {
  if (direct3d == nullptr) return E_FAIL;
  HRESULT hr = direct3d->CheckDeviceType(adapter, deviceType, desktopFormat, backBufferFormat,
                                         TRUE);
  if (FAILED(hr)) return hr;

  AdapterRecord* record = AdapterAt(adapter);
  D3DCAPS8* caps = nullptr;
  if (record != nullptr) {
    for (uint32_t d = 0; d < record->deviceCount && d < kMaxDeviceTypes; ++d) {
      if (record->devices[d].deviceType == deviceType) caps = &record->devices[d].caps;
    }
  }
  if (caps == nullptr || !AcceptedBehavior(caps, backBufferFormat, behavior)) return E_FAIL;
  *depthFormat = D3DFMT_UNKNOWN;
  if (useDepthBuffer && !ChooseDepthFormat(adapter, deviceType, backBufferFormat, depthFormat)) {
    return E_FAIL;
  }
  return S_OK;
}

HRESULT SaverApp::MakeOutputCurrent(UINT index) {
  ScreenOutput* found = outputs.at(index);
  if (found == nullptr) return E_INVALIDARG;
  ScreenOutput& output = *found;
  currentDevice = output.device.Get();
  const MonitorRecord* monitor = monitors.at(output.monitorIndex);
  if (!windowed && monitor != nullptr) currentOutputRect = monitor->screenRect;
  if (currentDevice != nullptr) {
    Microsoft::WRL::ComPtr<IDirect3DSurface8> backBuffer;
    if (SUCCEEDED(currentDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) &&
        backBuffer != nullptr) {
      backBuffer->GetDesc(&backBufferDesc);
    }
  }
  CopyText(deviceText, output.deviceText, sizeof deviceText);
  CopyText(frameStatsText, output.frameStatsText, sizeof frameStatsText);
  return SelectOutput(index);
}

void SaverApp::ReleaseOutputDevices() {
  for (UINT i = 0; i < outputs.size(); ++i) {
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
    output.device.Reset();
    currentDevice = nullptr;
  }
}

void SaverApp::TearDownOutputs() {
  ReleaseOutputDevices();
  outputs.clear();
  direct3d.Reset();
}
