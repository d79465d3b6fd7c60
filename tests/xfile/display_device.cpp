#include "tests/xfile/display_device.h"

#include <cstring>

#include "base/safe_release.h"

namespace {

LRESULT CALLBACK QuietWindow(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  return DefWindowProcA(hwnd, msg, w, l);
}

}  // namespace

DisplayDevice::DisplayDevice() {
  library_ = LoadLibraryA("d3d8.dll");
  if (library_ == nullptr) return;
  using CreateFn = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFn>(
      reinterpret_cast<void*>(GetProcAddress(library_, "Direct3DCreate8")));
  if (create == nullptr || (d3d_ = create(D3D_SDK_VERSION)) == nullptr) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = QuietWindow;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneMeshTest";
  RegisterClassA(&wc);
  window_ = CreateWindowA(wc.lpszClassName, "mesh test", WS_POPUP, 0, 0, 128, 128, nullptr, nullptr,
                          wc.hInstance, nullptr);
  D3DDISPLAYMODE mode;
  if (window_ == nullptr || FAILED(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = mode.Format;
  pp.BackBufferWidth = 128;
  pp.BackBufferHeight = 128;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  pp.hDeviceWindow = window_;
  d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device_);
}

DisplayDevice::~DisplayDevice() {
  SafeRelease(device_);
  SafeRelease(d3d_);
  if (window_ != nullptr) DestroyWindow(window_);
  if (library_ != nullptr) FreeLibrary(library_);
}

DWORD DisplayDevice::Pixel(int x, int y) const {
  IDirect3DSurface8* surface = nullptr;
  if (device_ == nullptr || FAILED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface)))
    return 0xFFFFFFFFu;
  DWORD value = 0xFFFFFFFFu;
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(surface->GetDesc(&desc)) &&
      (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) &&
      SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    std::memcpy(&value, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    value &= 0x00FFFFFFu;
    surface->UnlockRect();
  }
  surface->Release();
  return value;
}
