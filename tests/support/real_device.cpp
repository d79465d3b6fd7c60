#include "support/real_device.h"

namespace testing_support {

using Microsoft::WRL::ComPtr;

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

RealDevice::~RealDevice() {
  device_.Reset();
  direct3d_.Reset();
  if (window_ != nullptr) DestroyWindow(window_);
  if (library_ != nullptr) FreeLibrary(library_);
}

bool RealDevice::Create(int width, int height, Options options) {
  // Loaded at run time as the saver does: no import library, and a missing DLL is a skip.
  library_ = LoadLibraryA("d3d8.dll");
  if (library_ == nullptr) return error_ = "no d3d8.dll", false;
  using CreateFn = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFn>(
      reinterpret_cast<void*>(GetProcAddress(library_, "Direct3DCreate8")));
  if (create == nullptr) return error_ = "no Direct3DCreate8", false;
  direct3d_.Attach(create(D3D_SDK_VERSION));
  if (direct3d_ == nullptr) return error_ = "Direct3DCreate8 failed", false;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneRealDevice";
  RegisterClassA(&wc);
  window_ = CreateWindowA(wc.lpszClassName, "Solvane test", WS_POPUP | (options.shown ? WS_VISIBLE : 0),
                          0, 0, width, height, nullptr, nullptr, wc.hInstance, nullptr);
  if (window_ == nullptr) return error_ = "no window", false;
  D3DDISPLAYMODE mode;
  if (FAILED(direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
    return error_ = "no display mode", false;
  }
  params_.Windowed = TRUE;
  // Copy keeps the back buffer as drawn after a present, so a test can still read it.
  params_.SwapEffect = D3DSWAPEFFECT_COPY;
  params_.BackBufferFormat = mode.Format;
  params_.BackBufferWidth = width;
  params_.BackBufferHeight = height;
  params_.BackBufferCount = 1;
  params_.EnableAutoDepthStencil = TRUE;
  params_.AutoDepthStencilFormat = D3DFMT_D16;
  params_.hDeviceWindow = window_;
  params_.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  D3DPRESENT_PARAMETERS params = params_;
  if (FAILED(direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                     options.vertexProcessing, &params, &device_))) {
    return error_ = "CreateDevice failed", false;
  }
  error_ = "";
  return true;
}

bool RealDevice::Reset() {
  D3DPRESENT_PARAMETERS params = params_;
  return device_ != nullptr && SUCCEEDED(device_->Reset(&params));
}

D3DSURFACE_DESC RealDevice::BackBufferDesc() const {
  D3DSURFACE_DESC desc = {};
  ComPtr<IDirect3DSurface8> surface;
  if (device_ != nullptr &&
      SUCCEEDED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
    surface->GetDesc(&desc);
  }
  return desc;
}

Pixels RealDevice::ReadBackBuffer() const {
  Pixels read;
  ComPtr<IDirect3DSurface8> surface;
  if (device_ == nullptr || FAILED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
    return read;
  }
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (FAILED(surface->GetDesc(&desc)) ||
      (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) ||
      FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    return read;
  }
  read.width = int(desc.Width);
  read.height = int(desc.Height);
  read.pixels.resize(size_t(desc.Width) * desc.Height);
  for (UINT y = 0; y < desc.Height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(locked.pBits) +
                                                         size_t(y) * locked.Pitch);
    for (UINT x = 0; x < desc.Width; ++x) read.pixels[size_t(y) * desc.Width + x] = row[x] & 0x00FFFFFF;
  }
  surface->UnlockRect();
  return read;
}

}  // namespace testing_support
