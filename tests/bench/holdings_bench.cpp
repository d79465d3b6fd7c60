// What the gallery holds after many picture changes: the scene runs in this process on a
// device of its own with "PictureTimer" 0, so that a change falls due at every frame (advance,
// draw, present) and the next starts as soon as the previous one is decoded; the process's
// private bytes and GDI, USER and kernel handle counts are read after a given number of
// changes.
//
//   holdings_bench <install folder> <changes> [<picture list file>]
// prints "<ms per change> <private MB> gdi=<n>,user=<n>,kernel=<n>,+<MB since change 10>",
// the figures read right after the last change. Without a list file the default pictures.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/holdings.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/show_settings.h"
#include "support/real_device.h"
#include "support/safe_release.h"
#include "support/saver_process.h"

using namespace holdings;
using testing_support::NowMs;

namespace {

constexpr int kWidth = 1024, kHeight = 768;


}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: holdings_bench <install folder> <changes> [<list file>]\n");
    return 2;
  }
  const uint32_t changes = static_cast<uint32_t>(std::max(1, std::atoi(argv[2])));
  testing_support::RealDevice screen;
  if (!screen.Create(kWidth, kHeight, {true, D3DCREATE_HARDWARE_VERTEXPROCESSING})) {
    std::fprintf(stderr, "no Direct3D device: %s\n", screen.error());
    return 1;
  }
  IDirect3DDevice8* device = screen.get();
  Exposed<ShowApp> app;
  ShowState& state = app.State();
  std::snprintf(state.InstallDir, sizeof state.InstallDir, "%s", argv[1]);
  state.settings.pictureTimer = 0;
  RecomputeRgb(state.settings);
  state.settingsLoaded = 1;
  if (argc == 4) LoadPictureList(state.InstallDir, argv[3], state.PictureList);
  if (state.PictureList.empty()) AddDefaultPictures(state.InstallDir, state.PictureList);
  app.currentDevice = device;
  app.backBufferDesc.Width = kWidth;
  app.backBufferDesc.Height = kHeight;
  app.SelectOutput(0);
  app.RestoreDeviceResources();

  const uint32_t firstMark = std::min<uint32_t>(10, changes);
  Holdings atFirstMark;
  const double start = NowMs();
  while (app.PictureGeneration() < changes) {
    testing_support::Pump(0);
    const uint32_t before = app.PictureGeneration();
    app.elapsedTime = 0.016f;
    app.AdvanceScene();
    app.DrawScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    // The decode runs on workers; the next frame shows it.
    if (app.PictureGeneration() == before) app.Decoder().WaitFinished();
    if (app.PictureGeneration() == firstMark) atFirstMark = ReadHoldings(GetCurrentProcess());
  }
  const double perChange = (NowMs() - start) / changes;
  const Holdings last = ReadHoldings(GetCurrentProcess());
  std::printf("%.2f %.1f gdi=%lu,user=%lu,kernel=%lu,%+.1fMB\n", perChange, last.privateMB,
              static_cast<unsigned long>(last.gdiObjects),
              static_cast<unsigned long>(last.userObjects),
              static_cast<unsigned long>(last.kernelHandles),
              last.privateMB - atFirstMark.privateMB);
  app.ReleaseDeviceResources();
  app.DestroyDeviceResources();
  app.currentDevice = nullptr;
  return 0;
}
