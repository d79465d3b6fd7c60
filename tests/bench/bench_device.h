// A windowed device covering a screen-sized popup, with hardware vertex processing as the saver
// picks it wherever the device offers it: the device the gallery benchmarks draw on.
#pragma once

#include <windows.h>
#include <d3d8.h>

inline LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

inline IDirect3DDevice8* CreateScreenDevice(int width, int height) {
  HMODULE library = LoadLibraryA("d3d8.dll");
  if (library == nullptr) return nullptr;
  using CreateFn = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate8")));
  IDirect3D8* d3d = create ? create(D3D_SDK_VERSION) : nullptr;
  if (d3d == nullptr) return nullptr;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = BenchWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "SolvaneScreenBench";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA(windowClass.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0,
                              width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  D3DDISPLAYMODE mode;
  d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = mode.Format;
  pp.BackBufferWidth = width;
  pp.BackBufferHeight = height;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.hDeviceWindow = window;
  IDirect3DDevice8* device = nullptr;
  d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                    D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
  d3d->Release();
  return device;
}
