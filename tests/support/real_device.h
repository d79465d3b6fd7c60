// A windowed Direct3D 8 device on a window of its own, with a depth buffer and a lockable back
// buffer, for tests and benchmarks that draw for real and read back what was drawn.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <wrl/client.h>

#include "support/pixels.h"

namespace testing_support {

class RealDevice {
 public:
  struct Options {
    bool shown = false;  // a visible window, so that presents reach the screen
    DWORD vertexProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  };

  RealDevice() = default;
  ~RealDevice();
  RealDevice(const RealDevice&) = delete;
  RealDevice& operator=(const RealDevice&) = delete;

  // False, with the reason in error(), when no device can be made here: tests then skip.
  bool Create(int width, int height, Options options);
  bool Create(int width, int height) { return Create(width, height, Options()); }
  bool Reset();
  Pixels ReadBackBuffer() const;
  D3DSURFACE_DESC BackBufferDesc() const;

  IDirect3DDevice8* get() const { return device_.Get(); }
  const char* error() const { return error_; }

 private:
  HMODULE library_ = nullptr;
  HWND window_ = nullptr;
  Microsoft::WRL::ComPtr<IDirect3D8> direct3d_;
  Microsoft::WRL::ComPtr<IDirect3DDevice8> device_;
  D3DPRESENT_PARAMETERS params_ = {};
  const char* error_ = "not created";
};

}  // namespace testing_support
