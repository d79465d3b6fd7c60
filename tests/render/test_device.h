// A windowed Direct3D 8 device on a window of its own, with a lockable back buffer so that
// tests can read back what was drawn.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include <cstdint>
#include <vector>

class TestDevice {
 public:
  TestDevice() = default;
  ~TestDevice();
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  // False (with the reason in error()) when no device can be made here.
  bool Create(int width, int height);
  bool Reset();
  // Back-buffer pixels as 0x00RRGGBB, row after row.
  bool ReadBackBuffer(std::vector<uint32_t>& pixels) const;
  D3DSURFACE_DESC BackBufferDesc() const;

  IDirect3DDevice8* device() const { return device_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const char* error() const { return error_; }

 private:
  HMODULE library_ = nullptr;
  HWND window_ = nullptr;
  IDirect3D8* direct3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  D3DPRESENT_PARAMETERS params_ = {};
  int width_ = 0;
  int height_ = 0;
  const char* error_ = "";
};

// Channels of a 0x00RRGGBB pixel.
inline int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Green(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }
// Largest channel difference.
int ColorDistance(uint32_t a, uint32_t b);
