// A windowed HAL device on a hidden window, for tests that create real textures.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include "d3dx/image.h"

namespace texture_test {

class TestDevice {
 public:
  TestDevice();
  ~TestDevice();
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;
  IDirect3DDevice8* get() const { return device_; }

 private:
  HMODULE library_ = nullptr;
  HWND window_ = nullptr;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
};

// Level `level` of a texture (A8R8G8B8, X8R8G8B8 as opaque, R5G6B5, A1R5G5B5, A4R4G4B4,
// X1R5G5B5) as 0xAARRGGBB texels; an empty image for other formats.
d3dx_image::Image ReadLevel(IDirect3DTexture8* texture, UINT level);
d3dx_image::Image ReadCubeLevel(IDirect3DCubeTexture8* cube, D3DCUBEMAP_FACES face, UINT level);

}  // namespace texture_test
