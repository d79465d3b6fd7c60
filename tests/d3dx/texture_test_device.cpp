#include "texture_test_device.h"

#include "base/safe_release.h"
#include "d3dx/pixel_formats.h"

namespace texture_test {
namespace {

LRESULT CALLBACK QuietWindow(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  return DefWindowProcA(hwnd, msg, w, l);
}

d3dx_image::Image ReadLocked(const D3DLOCKED_RECT& locked, const D3DSURFACE_DESC& desc) {
  using namespace d3dx_image;
  Image image;
  MaskLayout layout;
  uint32_t bytes = 4;
  switch (desc.Format) {
    case D3DFMT_A8R8G8B8: layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0xFF000000u); break;
    case D3DFMT_X8R8G8B8: layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0); break;
    case D3DFMT_R5G6B5: layout = MakeMaskLayout(0xF800, 0x07E0, 0x1F, 0); bytes = 2; break;
    case D3DFMT_X1R5G5B5: layout = MakeMaskLayout(0x7C00, 0x03E0, 0x1F, 0); bytes = 2; break;
    case D3DFMT_A1R5G5B5: layout = MakeMaskLayout(0x7C00, 0x03E0, 0x1F, 0x8000); bytes = 2; break;
    case D3DFMT_A4R4G4B4: layout = MakeMaskLayout(0xF00, 0xF0, 0xF, 0xF000); bytes = 2; break;
    default: return image;
  }
  AllocateImage(image, desc.Width, desc.Height);
  for (uint32_t y = 0; y < desc.Height; ++y) {
    const auto* row = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch;
    for (uint32_t x = 0; x < desc.Width; ++x) {
      uint32_t v = 0;
      for (uint32_t b = 0; b < bytes; ++b) v |= uint32_t(row[x * bytes + b]) << (8 * b);
      image.Row(y)[x] = UnpackMasked(v, layout);
    }
  }
  return image;
}

}  // namespace

TestDevice::TestDevice() {
  library_ = LoadLibraryA("d3d8.dll");
  if (library_ == nullptr) return;
  using CreateFn = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFn>(
      reinterpret_cast<void*>(GetProcAddress(library_, "Direct3DCreate8")));
  if (create == nullptr || (d3d_ = create(D3D_SDK_VERSION)) == nullptr) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = QuietWindow;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneTextureTest";
  RegisterClassA(&wc);
  window_ = CreateWindowA(wc.lpszClassName, "texture test", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                          nullptr, nullptr, wc.hInstance, nullptr);
  D3DDISPLAYMODE mode;
  if (window_ == nullptr || FAILED(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = mode.Format;
  pp.hDeviceWindow = window_;
  d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                     D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device_);
}

TestDevice::~TestDevice() {
  SafeRelease(device_);
  SafeRelease(d3d_);
  if (window_ != nullptr) DestroyWindow(window_);
  if (library_ != nullptr) FreeLibrary(library_);
}

d3dx_image::Image ReadLevel(IDirect3DTexture8* texture, UINT level) {
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (FAILED(texture->GetLevelDesc(level, &desc)) ||
      FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) {
    return d3dx_image::Image();
  }
  d3dx_image::Image image = ReadLocked(locked, desc);
  texture->UnlockRect(level);
  return image;
}

d3dx_image::Image ReadCubeLevel(IDirect3DCubeTexture8* cube, D3DCUBEMAP_FACES face, UINT level) {
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (FAILED(cube->GetLevelDesc(level, &desc)) ||
      FAILED(cube->LockRect(face, level, &locked, nullptr, D3DLOCK_READONLY))) {
    return d3dx_image::Image();
  }
  d3dx_image::Image image = ReadLocked(locked, desc);
  cube->UnlockRect(face, level);
  return image;
}

}  // namespace texture_test
