#include "render/test_device.h"

#include <cstdlib>
#include <cstring>

#include "base/safe_release.h"

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int ColorDistance(uint32_t a, uint32_t b) {
  const int r = std::abs(Red(a) - Red(b)), g = std::abs(Green(a) - Green(b)),
            bl = std::abs(Blue(a) - Blue(b));
  return r > g ? (r > bl ? r : bl) : (g > bl ? g : bl);
}

TestDevice::~TestDevice() {
  SafeRelease(device_);
  SafeRelease(direct3d_);
  if (window_ != nullptr) DestroyWindow(window_);
  if (library_ != nullptr) FreeLibrary(library_);
}

bool TestDevice::Create(int width, int height) {
  width_ = width;
  height_ = height;
  library_ = LoadLibraryA("d3d8.dll");
  if (library_ == nullptr) return error_ = "no d3d8.dll", false;
  using CreateFn = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFn>(
      reinterpret_cast<void*>(GetProcAddress(library_, "Direct3DCreate8")));
  if (create == nullptr || (direct3d_ = create(D3D_SDK_VERSION)) == nullptr) {
    return error_ = "Direct3DCreate8 failed", false;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneTestDevice";
  RegisterClassA(&wc);
  RECT rect = {0, 0, width, height};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  window_ = CreateWindowA("SolvaneTestDevice", "Solvane test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          0, 0, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                          wc.hInstance, nullptr);
  if (window_ == nullptr) return error_ = "no window", false;

  D3DDISPLAYMODE mode;
  if (FAILED(direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
    return error_ = "no display mode", false;
  }
  params_.Windowed = TRUE;
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
                                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device_))) {
    return error_ = "CreateDevice failed", false;
  }
  return true;
}

bool TestDevice::Reset() {
  D3DPRESENT_PARAMETERS params = params_;
  return device_ != nullptr && SUCCEEDED(device_->Reset(&params));
}

D3DSURFACE_DESC TestDevice::BackBufferDesc() const {
  D3DSURFACE_DESC desc = {};
  IDirect3DSurface8* surface = nullptr;
  if (device_ != nullptr &&
      SUCCEEDED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
    surface->GetDesc(&desc);
  }
  SafeRelease(surface);
  return desc;
}

bool TestDevice::ReadBackBuffer(std::vector<uint32_t>& pixels) const {
  IDirect3DSurface8* surface = nullptr;
  if (device_ == nullptr ||
      FAILED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
    return false;
  }
  D3DSURFACE_DESC desc;
  surface->GetDesc(&desc);
  D3DLOCKED_RECT locked;
  bool ok = (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) &&
            SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
  if (ok) {
    pixels.assign(static_cast<size_t>(desc.Width) * desc.Height, 0);
    for (UINT y = 0; y < desc.Height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(locked.pBits) +
                                                           static_cast<size_t>(y) * locked.Pitch);
      for (UINT x = 0; x < desc.Width; ++x) pixels[y * desc.Width + x] = row[x] & 0x00FFFFFF;
    }
    surface->UnlockRect();
  }
  SafeRelease(surface);
  return ok;
}
