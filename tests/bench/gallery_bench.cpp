// Cost of the gallery: one picture change (four pictures and the backdrop loaded as textures),
// and the steady frame time of the full scene beside an empty clear-and-present loop on the
// same device.
//
//   gallery_bench change <install folder> <picture> <runs>   four copies of one picture
//   gallery_bench frame <install folder> <runs>              the gallery, default pictures
//   gallery_bench empty <install folder> <runs>              clear, begin, end, present
// prints "<median ms> <peak MB above the start>"; frame and empty time one frame, as the mean
// of a batch of frames.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/picture_list.h"
#include "host/safe_release.h"
#include "show/show_app.h"
#include "show/show_settings.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768, kBatch = 40;

double NowMs() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

LRESULT CALLBACK QuietWindow(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  return DefWindowProcA(hwnd, msg, w, l);
}

// A windowed device filling the screen, with hardware vertex processing as the saver picks it
// wherever the device offers it.
IDirect3DDevice8* CreateDevice() {
  HMODULE library = LoadLibraryA("d3d8.dll");
  if (library == nullptr) return nullptr;
  using CreateFn = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate8")));
  IDirect3D8* d3d = create ? create(D3D_SDK_VERSION) : nullptr;
  if (d3d == nullptr) return nullptr;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = QuietWindow;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneGalleryBench";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                              kHeight, nullptr, nullptr, wc.hInstance, nullptr);
  D3DDISPLAYMODE mode;
  d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferFormat = mode.Format;
  pp.BackBufferWidth = kWidth;
  pp.BackBufferHeight = kHeight;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.hDeviceWindow = window;
  IDirect3DDevice8* device = nullptr;
  d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                    D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
  d3d->Release();
  return device;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  const bool change = which == "change" && argc == 5;
  if (!change && !((which == "frame" || which == "empty") && argc == 4)) {
    std::fprintf(stderr,
                 "usage: gallery_bench change <install> <picture> <runs> | "
                 "<frame|empty> <install> <runs>\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[argc - 1]));
  IDirect3DDevice8* device = CreateDevice();
  if (device == nullptr) {
    std::fprintf(stderr, "no Direct3D device\n");
    return 1;
  }
  ShowApp app;
  std::snprintf(g_settings.InstallDir, sizeof g_settings.InstallDir, "%s", argv[2]);
  g_settings.pictureTimer = change ? 0 : 60;
  RecomputeRgb(g_settings);
  settingsLoaded = 1;
  if (change) {
    for (int i = 0; i < 4; ++i) PictureList.push_back(MakePictureEntry("picture", argv[3]));
  } else {
    AddDefaultPictures();
  }
  app.currentDevice = device;
  app.backBufferDesc.Width = kWidth;
  app.backBufferDesc.Height = kHeight;
  app.SelectOutput(0);
  app.RestoreDeviceResources();

  // The first full frame prepares the scene and pays for driver set-up: keep it out.
  app.elapsedTime = 0.0f;
  app.AdvanceScene();
  app.DrawScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
  const SIZE_T before = PeakWorkingSet();

  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    PumpMessages();
    const double start = NowMs();
    if (change) {
      app.AdvanceSlideshow(0.0f);
      times.push_back(NowMs() - start);
      if (app.currentResources->slotTextures[0] == nullptr) {
        std::fprintf(stderr, "%s did not load\n", argv[3]);
        return 1;
      }
      continue;
    }
    for (int frame = 0; frame < kBatch; ++frame) {
      if (which == "frame") {
        app.elapsedTime = 0.016f;
        app.AdvanceScene();
        app.DrawScene();
      } else {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        if (SUCCEEDED(device->BeginScene())) device->EndScene();
      }
      device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    times.push_back((NowMs() - start) / kBatch);
  }
  std::sort(times.begin(), times.end());
  const SIZE_T peak = PeakWorkingSet();
  const double extra = peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0;
  std::printf("%.2f %.1f\n", times[times.size() / 2], extra);
  app.ReleaseDeviceResources();
  app.DestroyDeviceResources();
  app.currentDevice = nullptr;
  PictureList.clear();
  SafeRelease(device);
  return 0;
}
