// A windowed HAL device on a hidden 128 x 128 window with a depth buffer and a back buffer
// the test can read.
#pragma once

#include <windows.h>

#include <d3d8.h>

class DisplayDevice {
 public:
  DisplayDevice();
  ~DisplayDevice();
  DisplayDevice(const DisplayDevice&) = delete;
  DisplayDevice& operator=(const DisplayDevice&) = delete;
  IDirect3DDevice8* get() const { return device_; }

  // 0x00RRGGBB of a back-buffer pixel (X8R8G8B8 / A8R8G8B8 back buffers), or 0xFFFFFFFF.
  DWORD Pixel(int x, int y) const;

 private:
  HMODULE library_ = nullptr;
  HWND window_ = nullptr;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
};
