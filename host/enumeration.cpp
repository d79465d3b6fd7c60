// Adapter, device and mode enumeration: once at start-up, every Direct3D adapter with the
// device types it can run and, per device type, the display modes that pass the checks.
#include "base/text_copy.h"
#include "host/mode_rules.h"
#include "host/saver_app.h"

#include <cstring>
#include <new>

namespace {

struct DeviceTypeToTry {
  D3DDEVTYPE type;
  const char* name;
};

constexpr DeviceTypeToTry kDeviceTypes[] = {
    {D3DDEVTYPE_HAL, "HAL"},
    {D3DDEVTYPE_SW, "SW"},
    {D3DDEVTYPE_REF, "REF"},
};

}  // namespace

HRESULT SaverApp::EnumerateAdapters() {
  if (direct3d == nullptr) return E_FAIL;
  const uint32_t typeCount = allowReference ? 3 : 2;

  adapters.clear();
  const UINT count = direct3d->GetAdapterCount();
  for (UINT a = 0; a < count && !adapters.full(); ++a) {
    // Value-initialised: every field starts at zero.
    std::unique_ptr<AdapterRecord> record(new (std::nothrow) AdapterRecord());
    if (record == nullptr) return E_OUTOFMEMORY;
    AdapterRecord* adapter = record.get();
    adapters.push_back(std::move(record));

    direct3d->GetAdapterIdentifier(a, D3DENUM_NO_WHQL_LEVEL, &adapter->identifier);
    direct3d->GetAdapterDisplayMode(a, &adapter->desktopMode);
    adapter->deviceCount = 0;
    adapter->currentDevice = 0;
    adapter->leaveBlack = 0;
    adapter->monitorIndex = -1;

    const HMONITOR monitor = direct3d->GetAdapterMonitor(a);
    if (monitor != nullptr) {
      for (uint32_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].monitorHandle == monitor) {
          adapter->monitorIndex = static_cast<int32_t>(i);
          monitors[i].adapterIndex = static_cast<int32_t>(a);
          break;
        }
      }
    }

    // The collection is large; one per pass is enough.
    static ModeCollection collection;
    StartModeCollection(collection, adapter->desktopMode.Format);
    const UINT modeCount = direct3d->GetAdapterModeCount(a);
    for (UINT m = 0; m < modeCount; ++m) {
      D3DDISPLAYMODE mode;
      if (FAILED(direct3d->EnumAdapterModes(a, m, &mode))) continue;
      CollectMode(collection, mode);
    }
    SortCollectedModes(collection);

    for (uint32_t t = 0; t < typeCount; ++t) {
      const D3DDEVTYPE type = kDeviceTypes[t].type;
      DeviceTypeRecord& record = adapter->devices[adapter->deviceCount];
      std::memset(&record, 0, sizeof record);
      record.deviceType = type;
      direct3d->GetDeviceCaps(a, type, &record.caps);
      record.typeName = kDeviceTypes[t].name;

      FormatChoice choices[kMaxFormats] = {};
      for (uint32_t f = 0; f < collection.formatCount; ++f) {
        const D3DFORMAT format = collection.formats[f];
        if (FAILED(direct3d->CheckDeviceType(a, type, format, format, FALSE))) continue;
        if (type == D3DDEVTYPE_SW) adapter->hasSoftware = 1;
        if (type == D3DDEVTYPE_HAL) adapter->hasHal = 1;

        if (!AcceptedBehavior(&record.caps, format, &choices[f].behavior)) continue;
        if (useDepthBuffer &&
            !ChooseDepthFormat(a, type, format, &choices[f].depthStencilFormat)) {
          continue;
        }
        choices[f].usable = true;
      }

      ListDeviceModes(collection, choices, record);
      record.currentMode = ChooseDefaultMode(record.modes, record.modeCount);
      if (choices[0].usable && (record.caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED)) {
        record.canDrawWindowed = 1;
      }
      if (record.modeCount > 0) {
        ++adapter->deviceCount;
        if (type == D3DDEVTYPE_SW) adapter->softwareUsable = 1;
        if (type == D3DDEVTYPE_HAL) adapter->halUsable = 1;
      }
    }
  }
  return S_OK;
}

bool SaverApp::AcceptedBehavior(D3DCAPS8* caps, D3DFORMAT format, DWORD* behavior) {
  DWORD candidates[kMaxBehaviors];
  const uint32_t count =
      BehaviorCandidates((caps->DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0, candidates);
  for (uint32_t b = 0; b < count; ++b) {
    if (SUCCEEDED(AcceptDevice(caps, candidates[b], format))) {
      *behavior = candidates[b] | (multithreaded ? D3DCREATE_MULTITHREADED : 0);
      return true;
    }
  }
  return false;
}

BOOL SaverApp::ChooseDepthFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                 D3DFORMAT* depthFormat) {
  if (direct3d == nullptr || depthFormat == nullptr) return FALSE;
  D3DFORMAT candidates[kMaxDepthCandidates];
  const uint32_t count = DepthFormatCandidates(minDepthBits, minStencilBits, candidates);
  for (uint32_t i = 0; i < count; ++i) {
    if (SUCCEEDED(direct3d->CheckDeviceFormat(adapter, deviceType, adapterFormat,
                                              D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                              candidates[i])) &&
        SUCCEEDED(direct3d->CheckDepthStencilMatch(adapter, deviceType, adapterFormat,
                                                   adapterFormat, candidates[i]))) {
      *depthFormat = candidates[i];
      return TRUE;
    }
  }
  return FALSE;
}

D3DMULTISAMPLE_TYPE SaverApp::ChooseMultiSample(UINT adapter, D3DDEVTYPE deviceType,
                                                D3DFORMAT backBufferFormat,
                                                D3DFORMAT depthFormat, bool inWindow) {
  if (direct3d == nullptr) return D3DMULTISAMPLE_NONE;
  const BOOL windowedCheck = inWindow ? TRUE : FALSE;
  const D3DMULTISAMPLE_TYPE wanted[] = {D3DMULTISAMPLE_4_SAMPLES, D3DMULTISAMPLE_2_SAMPLES};
  for (D3DMULTISAMPLE_TYPE samples : wanted) {
    if (FAILED(direct3d->CheckDeviceMultiSampleType(adapter, deviceType, backBufferFormat,
                                                    windowedCheck, samples))) {
      continue;
    }
    if (depthFormat == D3DFMT_UNKNOWN ||
        SUCCEEDED(direct3d->CheckDeviceMultiSampleType(adapter, deviceType, depthFormat,
                                                       windowedCheck, samples))) {
      return samples;
    }
  }
  return D3DMULTISAMPLE_NONE;
}

void SaverApp::DescribeDevices() {
  for (ScreenOutput& output : outputs) {
    const AdapterRecord* adapter = AdapterAt(output.adapterIndex);
    const char* description = adapter != nullptr ? adapter->identifier.Description : "";
    FormatDeviceText(output.deviceText, sizeof output.deviceText, output.deviceType,
                     output.behavior, description);
  }
}
