// Screen outputs: which monitors get a Direct3D device, which device type and mode each gets,
// falling back to smaller modes when a device is refused, and tearing them all down.
#include "base/registry_keys.h"
#include "base/text_copy.h"
#include "host/mode_rules.h"
#include "host/multi_monitor_api.h"
#include "host/saver_app.h"
#include "host/saver_errors.h"

#include <cstdio>
#include <cstring>

namespace {

AdapterRecord* AdapterAt(const std::unique_ptr<AdapterRecord>* adapters,
                         uint32_t adapterCount, int64_t index) {
  if (index < 0 || index >= adapterCount || index >= kMaxAdapters) return nullptr;
  return adapters[index].get();
}

// The mode that worked after a fallback is remembered per user for the next run.
void RememberFallbackMode(const char* registryKeyPath, int32_t monitorIndex,
                          const AdapterRecord& adapter) {
  ScopedKey settings;
  if (g_registryOpeners.openUser(registryKeyPath, KEY_ALL_ACCESS, KeyOpen::Create,
                                 settings.Receive()) != ERROR_SUCCESS) {
    return;
  }
  char name[32];
  std::snprintf(name, sizeof name, "Screen %d", monitorIndex + 1);
  ScopedKey screen;
  if (RegCreateKeyExA(settings.get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, screen.Receive(), nullptr) != ERROR_SUCCESS) {
    return;
  }
  const DWORD values[3] = {adapter.savedWidth, adapter.savedHeight,
                           static_cast<DWORD>(adapter.savedFormat)};
  const char* names[3] = {"Width", "Height", "Format"};
  for (int i = 0; i < 3; ++i) {
    RegSetValueExA(screen.get(), names[i], 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&values[i]), sizeof(DWORD));
  }
  RegSetValueExA(screen.get(), "Adapter ID", 0, REG_BINARY,
                 reinterpret_cast<const BYTE*>(&adapter.identifier.DeviceIdentifier),
                 sizeof(GUID));
}

}  // namespace

BOOL SaverApp::PickBestAdapter(int32_t* index) {
  AdapterRecord* records[kMaxAdapters];
  for (uint32_t a = 0; a < kMaxAdapters; ++a) records[a] = adapters[a].get();
  const int32_t best = PickBestAdapterIndex(monitors, monitorCount, records, adapterCount);
  if (index != nullptr) *index = best;
  return best >= 0 ? TRUE : FALSE;
}

HRESULT SaverApp::SetUpOutputs() {
  if (runMode == RunMode::FullScreen) {
    windowed = 0;
    if (singleScreen) {
      for (uint32_t a = 0; a < adapterCount && a < kMaxAdapters; ++a) {
        if (adapters[a] != nullptr) adapters[a]->leaveBlack = 1;
      }
      int32_t best;
      if (!PickBestAdapter(&best)) {
        RecordError(SAVER_E_NO_COMPATIBLE_DEVICE);
      } else {
        adapters[best]->leaveBlack = 0;
      }
    }
    for (uint32_t i = 0; i < monitorCount && i < kMaxMonitors; ++i) {
      AdapterRecord* adapter = AdapterAt(adapters, adapterCount, monitors[i].adapterIndex);
      if (adapter == nullptr) continue;
      if (MustLeaveBlack(*adapter, allowReference != 0)) adapter->leaveBlack = 1;
      if (adapter->leaveBlack || adapter->deviceCount == 0) continue;
      if (outputCount >= kMaxOutputs) continue;
      adapter->deviceWindow = monitors[i].window;
      ScreenOutput& output = outputs[outputCount];
      output = ScreenOutput();
      output.adapterIndex = static_cast<uint32_t>(monitors[i].adapterIndex);
      ++outputCount;
      if (FAILED(CreateFullScreenDevice(output))) {
        RecordError(SAVER_E_CREATE_DEVICE);
        output.device.Reset();
        --outputCount;
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
    if (!errorPending && outputCount < kMaxOutputs) {
      ScreenOutput& output = outputs[outputCount];
      output = ScreenOutput();
      output.adapterIndex = static_cast<uint32_t>(best);
      ++outputCount;
      if (FAILED(CreateWindowedDevice(output))) {
        output.device.Reset();
        --outputCount;
        RecordError(runMode == RunMode::Preview ? SAVER_E_NO_PREVIEW : SAVER_E_CREATE_DEVICE);
      }
    }
  }

  for (uint32_t i = 0; i < monitorCount && i < kMaxMonitors; ++i) {
    MonitorRecord& monitor = monitors[i];
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
    for (uint32_t i = 0; i < outputCount; ++i) {
      const int32_t m = outputs[i].monitorIndex;
      if (m < 0 || static_cast<uint32_t>(m) >= monitorCount || m >= int32_t{kMaxMonitors}) {
        continue;
      }
      UnionRect(&targetRect, &targetRect, &monitors[m].screenRect);
    }
  }

  if (!errorPending) {
    EnterSceneCall();
    for (uint32_t i = 0; i < outputCount; ++i) {
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

HRESULT SaverApp::CreateFullScreenDevice(ScreenOutput& output) {
  const uint32_t a = output.adapterIndex;
  AdapterRecord* adapter = AdapterAt(adapters, adapterCount, a);
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
    D3DPRESENT_PARAMETERS& pp = output.presentParams;
    std::memset(&pp, 0, sizeof pp);
    pp.BackBufferWidth = mode.width;
    pp.BackBufferHeight = mode.height;
    pp.BackBufferFormat = mode.format;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.SwapEffect = fullScreenSwapEffect;
    pp.hDeviceWindow = adapter->deviceWindow;
    pp.Windowed = FALSE;
    pp.EnableAutoDepthStencil = useDepthBuffer ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = mode.depthStencilFormat;
    pp.Flags = 0;
    pp.FullScreen_RefreshRateInHz = 0;
    pp.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_ONE;

    // CreateDevice may adjust the parameters it is given; keep ours for Reset.
    D3DPRESENT_PARAMETERS given = pp;
    HRESULT hr = direct3d->CreateDevice(a, record.deviceType, mainWindow, mode.behavior, &given,
                                        &output.device);
    if (SUCCEEDED(hr) && output.device == nullptr) hr = E_FAIL;
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
    output.device.Reset();
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
  AdapterRecord* adapter = AdapterAt(adapters, adapterCount, a);
  if (adapter == nullptr || direct3d == nullptr) return E_FAIL;

  adapter->currentDevice = kNoChoice;
  const int chosen = ChooseDeviceRecord(*adapter, allowReference != 0, true);
  if (chosen < 0) return SAVER_E_NO_HARDWARE_DEVICE;
  adapter->currentDevice = static_cast<uint32_t>(chosen);
  const DeviceTypeRecord& record = adapter->devices[chosen];

  const D3DFORMAT desktopFormat = adapter->desktopMode.Format;
  const D3DFORMAT backBufferFormats[] = {desktopFormat, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,
                                         D3DFMT_A1R5G5B5, D3DFMT_R5G6B5};
  DWORD behavior = 0;
  D3DFORMAT depthFormat = D3DFMT_UNKNOWN;
  D3DFORMAT backBufferFormat = D3DFMT_UNKNOWN;
  for (D3DFORMAT candidate : backBufferFormats) {
    if (SUCCEEDED(CheckWindowedFormat(a, record.deviceType, desktopFormat, candidate, &behavior,
                                      &depthFormat))) {
      backBufferFormat = candidate;
      break;
    }
  }
  if (backBufferFormat == D3DFMT_UNKNOWN) return E_FAIL;

  output.monitorIndex = adapter->monitorIndex;
  output.deviceType = record.deviceType;
  output.behavior = behavior;
  D3DPRESENT_PARAMETERS& pp = output.presentParams;
  std::memset(&pp, 0, sizeof pp);
  pp.BackBufferWidth = 0;  // the window's size
  pp.BackBufferHeight = 0;
  pp.BackBufferFormat = backBufferFormat;
  pp.BackBufferCount = 1;
  pp.MultiSampleType = D3DMULTISAMPLE_NONE;
  pp.SwapEffect = windowedSwapEffect;
  pp.hDeviceWindow = adapter->deviceWindow;
  pp.Windowed = TRUE;
  pp.EnableAutoDepthStencil = useDepthBuffer ? TRUE : FALSE;
  pp.AutoDepthStencilFormat = depthFormat;
  pp.Flags = 0;
  pp.FullScreen_RefreshRateInHz = 0;
  pp.FullScreen_PresentationInterval = 0;

  D3DPRESENT_PARAMETERS given = pp;
  HRESULT hr = direct3d->CreateDevice(a, record.deviceType, mainWindow, behavior, &given,
                                      &output.device);
  if (SUCCEEDED(hr) && output.device == nullptr) hr = E_FAIL;
  if (FAILED(hr)) {
    output.device.Reset();
    return hr;
  }
  return S_OK;
}

HRESULT SaverApp::CheckWindowedFormat(UINT adapter, D3DDEVTYPE deviceType,
                                      D3DFORMAT desktopFormat, D3DFORMAT backBufferFormat,
                                      DWORD* behavior, D3DFORMAT* depthFormat) {
  if (direct3d == nullptr) return E_FAIL;
  HRESULT hr = direct3d->CheckDeviceType(adapter, deviceType, desktopFormat, backBufferFormat,
                                         TRUE);
  if (FAILED(hr)) return hr;

  AdapterRecord* record = AdapterAt(adapters, adapterCount, adapter);
  D3DCAPS8* caps = nullptr;
  if (record != nullptr) {
    for (uint32_t d = 0; d < record->deviceCount && d < kMaxDeviceTypes; ++d) {
      if (record->devices[d].deviceType == deviceType) caps = &record->devices[d].caps;
    }
  }
  if (caps == nullptr) return E_FAIL;

  DWORD candidates[kMaxBehaviors];
  const uint32_t count =
      BehaviorCandidates((caps->DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0, candidates);
  bool accepted = false;
  for (uint32_t b = 0; b < count && !accepted; ++b) {
    if (SUCCEEDED(AcceptDevice(caps, candidates[b], backBufferFormat))) {
      *behavior = candidates[b];
      accepted = true;
    }
  }
  if (!accepted) return E_FAIL;
  if (multithreaded) *behavior |= D3DCREATE_MULTITHREADED;
  *depthFormat = D3DFMT_UNKNOWN;
  if (useDepthBuffer && !ChooseDepthFormat(adapter, deviceType, backBufferFormat, depthFormat)) {
    return E_FAIL;
  }
  return S_OK;
}

HRESULT SaverApp::MakeOutputCurrent(UINT index) {
  if (index >= outputCount || index >= kMaxOutputs) return E_INVALIDARG;
  ScreenOutput& output = outputs[index];
  currentDevice = output.device.Get();
  if (!windowed && output.monitorIndex >= 0 &&
      static_cast<uint32_t>(output.monitorIndex) < kMaxMonitors) {
    currentOutputRect = monitors[output.monitorIndex].screenRect;
  }
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
  for (UINT i = 0; i < outputCount && i < kMaxOutputs; ++i) {
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
  outputCount = 0;
  direct3d.Reset();
}
