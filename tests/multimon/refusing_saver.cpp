// The saver with one change: Direct3D refuses full-screen devices at the desktop size on the
// last adapter, as a driver refuses a mode its monitor cannot show. Xorg's dummy outputs take
// every mode they list, so the refusal is made here, in front of the real Direct3D.
#include <windows.h>
#include <d3d8.h>

#include "base/com_ptr.h"
#include "config/config_dialog.h"
#include "host/direct3d_loader.h"
#include "show/show_app.h"

namespace {

class RefusingDirect3D : public IDirect3D8 {
 public:
  explicit RefusingDirect3D(IDirect3D8* real) : real_(AdoptComPtr(real)) {
    refused_ = real_->GetAdapterCount() - 1;
    real_->GetAdapterDisplayMode(refused_, &desktop_);
  }
  virtual ~RefusingDirect3D() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (id == IID_IUnknown || id == IID_IDirect3D8) {
      AddRef();
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behavior,
                                         D3DPRESENT_PARAMETERS* params,
                                         IDirect3DDevice8** device) override {
    if (adapter == refused_ && !params->Windowed && params->BackBufferWidth == desktop_.Width &&
        params->BackBufferHeight == desktop_.Height) {
      *device = nullptr;
      return D3DERR_NOTAVAILABLE;
    }
    return real_->CreateDevice(adapter, type, focus, behavior, params, device);
  }

  // The rest is the real Direct3D's.
  HRESULT STDMETHODCALLTYPE RegisterSoftwareDevice(void* initialize) override {
    return real_->RegisterSoftwareDevice(initialize);
  }
  UINT STDMETHODCALLTYPE GetAdapterCount() override { return real_->GetAdapterCount(); }
  HRESULT STDMETHODCALLTYPE GetAdapterIdentifier(UINT adapter, DWORD flags,
                                                 D3DADAPTER_IDENTIFIER8* identifier) override {
    return real_->GetAdapterIdentifier(adapter, flags, identifier);
  }
  UINT STDMETHODCALLTYPE GetAdapterModeCount(UINT adapter) override {
    return real_->GetAdapterModeCount(adapter);
  }
  HRESULT STDMETHODCALLTYPE EnumAdapterModes(UINT adapter, UINT mode,
                                             D3DDISPLAYMODE* out) override {
    return real_->EnumAdapterModes(adapter, mode, out);
  }
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override {
    return real_->GetAdapterDisplayMode(adapter, out);
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display,
                                            D3DFORMAT backBuffer, BOOL windowed) override {
    return real_->CheckDeviceType(adapter, type, display, backBuffer, windowed);
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT display,
                                              DWORD usage, D3DRESOURCETYPE resource,
                                              D3DFORMAT format) override {
    return real_->CheckDeviceFormat(adapter, type, display, usage, resource, format);
  }
  HRESULT STDMETHODCALLTYPE CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type,
                                                       D3DFORMAT format, BOOL windowed,
                                                       D3DMULTISAMPLE_TYPE samples) override {
    return real_->CheckDeviceMultiSampleType(adapter, type, format, windowed, samples);
  }
  HRESULT STDMETHODCALLTYPE CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type,
                                                   D3DFORMAT display, D3DFORMAT target,
                                                   D3DFORMAT depth) override {
    return real_->CheckDepthStencilMatch(adapter, type, display, target, depth);
  }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override {
    return real_->GetDeviceCaps(adapter, type, caps);
  }
  HMONITOR STDMETHODCALLTYPE GetAdapterMonitor(UINT adapter) override {
    return real_->GetAdapterMonitor(adapter);
  }

 private:
  Microsoft::WRL::ComPtr<IDirect3D8> real_;
  UINT refused_;
  D3DDISPLAYMODE desktop_ = {};  // of the refused adapter when the saver started
  ULONG refs_ = 1;
};

IDirect3D8* WINAPI CreateRefusingDirect3D(UINT sdkVersion) {
  IDirect3D8* real = LoadDirect3D(sdkVersion);
  return real != nullptr ? new RefusingDirect3D(real) : nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_createDirect3D = CreateRefusingDirect3D;
  ShowApp app(RunConfigurationDialog);
  app.StartUp(instance);
  app.Execute();
  return 0;
}
