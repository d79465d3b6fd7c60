// Small stand-ins for Direct3D 8 where a test must force a result: adapters with chosen modes
// and capabilities, refused CreateDevice calls, lost devices and failing resets. Both objects
// derive from the platform's interfaces, so the host calls them exactly as the real ones.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "support/null_device.h"

namespace fake_d3d {

// Only what the host calls on a device is more than a refusal.
class FakeDevice : public NullDevice {
 public:
  explicit FakeDevice(const D3DPRESENT_PARAMETERS& params) : createParams(params) {}

  HRESULT cooperativeLevel = D3D_OK;
  HRESULT resetResult = D3D_OK;
  bool resetRefusesMultiSample = false;
  int resets = 0;
  int presents = 0;
  D3DPRESENT_PARAMETERS createParams;
  D3DPRESENT_PARAMETERS resetParams = {};

  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override { return cooperativeLevel; }
  HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* params) override {
    ++resets;
    resetParams = *params;
    if (resetRefusesMultiSample && params->MultiSampleType != D3DMULTISAMPLE_NONE) {
      return D3DERR_INVALIDCALL;
    }
    return resetResult;
  }
  HRESULT STDMETHODCALLTYPE Present(const RECT*, const RECT*, HWND, const RGNDATA*) override {
    ++presents;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT, D3DBACKBUFFER_TYPE,
                                          IDirect3DSurface8** surface) override {
    *surface = nullptr;
    return E_NOTIMPL;
  }
};

struct FakeAdapter {
  D3DDISPLAYMODE desktop = {1024, 768, 60, D3DFMT_X8R8G8B8};
  std::vector<D3DDISPLAYMODE> modes;
  HMONITOR monitor = nullptr;
  GUID deviceId = {};
  const char* description = "Fake Adapter";
};

struct DeviceTypeSetup {
  bool available = false;  // CheckDeviceType succeeds for the adapter's formats
  DWORD devCaps = 0;
  DWORD caps2 = D3DCAPS2_CANRENDERWINDOWED;
};

struct CreateCall {
  UINT adapter;
  D3DDEVTYPE type;
  HWND focus;
  DWORD behavior;
  D3DPRESENT_PARAMETERS params;
};

class FakeDirect3D : public IDirect3D8 {
 public:
  FakeDirect3D() {
    hal.available = true;
    hal.devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  }
  virtual ~FakeDirect3D() = default;

  std::vector<FakeAdapter> adapters;
  DeviceTypeSetup hal, sw, ref;
  // Per (type, format) refusal of CheckDeviceType on top of `available`.
  std::function<bool(D3DDEVTYPE, D3DFORMAT display, D3DFORMAT back, BOOL windowed)>
      deviceTypeOk = [](D3DDEVTYPE, D3DFORMAT, D3DFORMAT, BOOL) { return true; };
  std::function<bool(D3DFORMAT depth)> depthOk = [](D3DFORMAT) { return true; };
  // Per (surface format, sample count) acceptance of multisampling; none by default.
  std::function<bool(D3DFORMAT, D3DMULTISAMPLE_TYPE)> multiSampleOk =
      [](D3DFORMAT, D3DMULTISAMPLE_TYPE) { return false; };
  // Decides each CreateDevice; the default accepts everything.
  std::function<HRESULT(const CreateCall&)> createResult = [](const CreateCall&) {
    return D3D_OK;
  };

  std::vector<CreateCall> createCalls;
  std::vector<D3DFORMAT> depthChecks;
  std::vector<std::unique_ptr<FakeDevice>> devices;
  ULONG refs = 1;

  const DeviceTypeSetup& Setup(D3DDEVTYPE type) const {
    return type == D3DDEVTYPE_HAL ? hal : type == D3DDEVTYPE_SW ? sw : ref;
  }
  int LiveDevices() const {
    int live = 0;
    for (const auto& device : devices) live += device->refs > 0 ? 1 : 0;
    return live;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return refs > 0 ? --refs : 0; }
  HRESULT STDMETHODCALLTYPE RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
  UINT STDMETHODCALLTYPE GetAdapterCount() override { return static_cast<UINT>(adapters.size()); }
  HRESULT STDMETHODCALLTYPE GetAdapterIdentifier(UINT a, DWORD,
                                                 D3DADAPTER_IDENTIFIER8* id) override {
    if (a >= adapters.size()) return D3DERR_INVALIDCALL;
    std::memset(id, 0, sizeof *id);
    std::strncpy(id->Description, adapters[a].description, sizeof id->Description - 1);
    id->DeviceIdentifier = adapters[a].deviceId;
    return D3D_OK;
  }
  UINT STDMETHODCALLTYPE GetAdapterModeCount(UINT a) override {
    return a < adapters.size() ? static_cast<UINT>(adapters[a].modes.size()) : 0;
  }
  HRESULT STDMETHODCALLTYPE EnumAdapterModes(UINT a, UINT m, D3DDISPLAYMODE* mode) override {
    if (a >= adapters.size() || m >= adapters[a].modes.size()) return D3DERR_INVALIDCALL;
    *mode = adapters[a].modes[m];
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* mode) override {
    if (a >= adapters.size()) return D3DERR_INVALIDCALL;
    *mode = adapters[a].desktop;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceType(UINT a, D3DDEVTYPE type, D3DFORMAT display,
                                            D3DFORMAT back, BOOL windowed) override {
    if (a >= adapters.size() || !Setup(type).available) return D3DERR_NOTAVAILABLE;
    return deviceTypeOk(type, display, back, windowed) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD usage,
                                              D3DRESOURCETYPE, D3DFORMAT format) override {
    if (usage != D3DUSAGE_DEPTHSTENCIL) return D3DERR_NOTAVAILABLE;
    depthChecks.push_back(format);
    return depthOk(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT format, BOOL,
                                                       D3DMULTISAMPLE_TYPE samples) override {
    return multiSampleOk(format, samples) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT,
                                                   D3DFORMAT depth) override {
    return depthOk(depth) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT a, D3DDEVTYPE type, D3DCAPS8* caps) override {
    std::memset(caps, 0, sizeof *caps);
    if (a >= adapters.size() || !Setup(type).available) return D3DERR_NOTAVAILABLE;
    caps->DeviceType = type;
    caps->AdapterOrdinal = a;
    caps->DevCaps = Setup(type).devCaps;
    caps->Caps2 = Setup(type).caps2;
    return D3D_OK;
  }
  HMONITOR STDMETHODCALLTYPE GetAdapterMonitor(UINT a) override {
    return a < adapters.size() ? adapters[a].monitor : nullptr;
  }
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT a, D3DDEVTYPE type, HWND focus, DWORD behavior,
                                         D3DPRESENT_PARAMETERS* params,
                                         IDirect3DDevice8** device) override {
    *device = nullptr;
    const CreateCall call = {a, type, focus, behavior, *params};
    createCalls.push_back(call);
    const HRESULT hr = createResult(call);
    if (FAILED(hr)) return hr;
    devices.push_back(std::make_unique<FakeDevice>(*params));
    *device = devices.back().get();
    return D3D_OK;
  }
};

inline D3DDISPLAYMODE Mode(UINT width, UINT height, D3DFORMAT format, UINT refresh = 60) {
  return {width, height, refresh, format};
}

}  // namespace fake_d3d
