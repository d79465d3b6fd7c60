// The soak run's two halves, each for a given number of seconds with "PictureTimer" 0:
//
//   soak_driver outside <Solvane7.scr> <seconds> <reset seconds> <shots folder>
//     Runs the saver's /t as a user would and watches it: its window must keep showing new
//     frames. Every <reset seconds> the window is minimised and restored, the nearest a
//     windowed saver comes to a device reset under Wine (a windowed Direct3D 8 device there
//     is never lost). Its private memory is sampled and must stay flat (scripts/soak adds
//     its open files and threads from the Linux side).
//   soak_driver inside <install folder> <picture list> <seconds> <reset seconds> <shots folder>
//     Runs the host and the gallery in this process, the way the saver starts /t, and makes
//     the device report itself lost and then not reset every <reset seconds>, so that the
//     host's release, Reset and restore run for real. Private memory and GDI, USER and kernel
//     handle counts are sampled here and must stay flat.
//
// Prints one line per sample; the exit status is 0 when every check held.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "bench/holdings.h"
#include "show/picture_list.h"
#include "host/direct3d_loader.h"
#include "host/host_clock.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/show_settings.h"
#include "support/pixels.h"
#include "support/saver_process.h"

using namespace holdings;
using namespace testing_support;

namespace {

constexpr DWORD kSampleMs = 5000;
// With a picture change every frame two samples showing the same picture mean it stopped.
constexpr int kSameFramesTolerated = 1;

// Growth allowed between the end of the warm-up and the end of the run.
constexpr double kMemoryNoiseMB = 8.0;
constexpr long kHandleNoise = 4;
// A frame that loads both 8000x8000 pictures on a busy two-core machine can take this long.
constexpr double kRedrawBoundMs = 45000.0;

// Frames keep coming: consecutive samples differ and are mostly drawn.
class DrawingCheck {
 public:
  explicit DrawingCheck(std::string folder) : folder_(std::move(folder)) {}
  bool Sample(const Pixels& shot, int index) {
    const uint64_t hash = shot.Hash();
    const double drawn = shot.DrawnShare();
    same_ = hash == lastHash_ ? same_ + 1 : 0;
    lastHash_ = hash;
    char name[32];
    std::snprintf(name, sizeof name, "soak_%03d", index);
    if (index % 12 == 0 || same_ > kSameFramesTolerated || drawn < 0.5) SaveBmp(shot, folder_, name);
    if (same_ > kSameFramesTolerated) {
      std::printf("FAIL: the window showed the same frame %d samples running\n", same_ + 1);
      return false;
    }
    if (drawn < 0.5) {
      std::printf("FAIL: only %.0f%% of the window drawn\n", drawn * 100.0);
      return false;
    }
    return true;
  }

 private:
  std::string folder_;
  uint64_t lastHash_ = 0;
  int same_ = 0;
};

// Flat after the warm-up: the last samples hold no more than the warm-up's end plus noise.
bool CheckFlat(const std::vector<Holdings>& samples) {
  if (samples.size() < 4) return true;
  const size_t warm = samples.size() / 4;
  const Holdings& base = samples[warm];
  double lowestLateMB = 1e30;
  long lowestLateGdi = 1L << 30, lowestLateUser = 1L << 30, lowestLateKernel = 1L << 30;
  // The lowest of the last quarter: a leak raises the floor, a passing peak does not.
  for (size_t i = samples.size() - samples.size() / 4 - 1; i < samples.size(); ++i) {
    lowestLateMB = std::min(lowestLateMB, samples[i].privateMB);
    lowestLateGdi = std::min<long>(lowestLateGdi, long(samples[i].gdiObjects));
    lowestLateUser = std::min<long>(lowestLateUser, long(samples[i].userObjects));
    lowestLateKernel = std::min<long>(lowestLateKernel, long(samples[i].kernelHandles));
  }
  bool ok = true;
  if (lowestLateMB > base.privateMB * 1.05 + kMemoryNoiseMB) {
    std::printf("FAIL: private memory grew from %.1f MB to %.1f MB\n", base.privateMB,
                lowestLateMB);
    ok = false;
  }
  const struct {
    const char* what;
    long from, to;
  } counts[] = {{"GDI objects", long(base.gdiObjects), lowestLateGdi},
                {"USER objects", long(base.userObjects), lowestLateUser},
                {"kernel handles", long(base.kernelHandles), lowestLateKernel}};
  for (const auto& c : counts) {
    if (c.to > c.from + kHandleNoise) {
      std::printf("FAIL: %s grew from %ld to %ld\n", c.what, c.from, c.to);
      ok = false;
    }
  }
  return ok;
}

void PrintSample(double seconds, const Holdings& h, const char* extra) {
  std::printf("%7.1f s  private %7.1f MB  gdi %4lu  user %3lu  kernel %4lu  %s\n", seconds,
              h.privateMB, static_cast<unsigned long>(h.gdiObjects),
              static_cast<unsigned long>(h.userObjects),
              static_cast<unsigned long>(h.kernelHandles), extra);
  std::fflush(stdout);
}

// Milliseconds until the window shows a drawn frame, kRedrawBoundMs when none came.
double WaitUntilDrawn(HWND window) {
  const double start = NowMs();
  while (CaptureScreen(ClientOnScreen(window, 1)).DrawnShare() < 0.5) {
    if (NowMs() - start >= kRedrawBoundMs) return kRedrawBoundMs;
    Pump(50);
  }
  return NowMs() - start;
}

int RunOutside(const std::string& program, double seconds, double resetSeconds,
               const std::string& shots) {
  SaverProcess saver(program, "/t");
  if (!saver.started()) {
    std::printf("FAIL: %s did not start\n", program.c_str());
    return 1;
  }
  const HWND window = saver.FindTopLevel(kSaverWindowClass, 60000);
  if (window == nullptr) {
    std::printf("FAIL: no saver window\n");
    return 1;
  }
  Sleep(3000);  // the first frames load everything
  std::printf("(Wine reads 0 for another process's GDI, USER and kernel handle counts)\n");
  std::vector<Holdings> samples;
  DrawingCheck drawing(shots);
  const double start = NowMs();
  double nextReset = resetSeconds;
  int resets = 0;
  bool ok = true;
  // A failed sample is recorded and the run goes on: later samples tell whether it recovers.
  for (int index = 0; (NowMs() - start) / 1000.0 < seconds; ++index) {
    Pump(kSampleMs);
    const double now = (NowMs() - start) / 1000.0;
    if (!saver.Running()) {
      std::printf("FAIL: the saver ended after %.0f s\n", now);
      return 1;
    }
    if (resetSeconds > 0 && now >= nextReset) {
      ShowWindow(window, SW_MINIMIZE);
      Sleep(1000);
      ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
      // The restored window is black until the next present.
      Sleep(500);
      const double redraw = WaitUntilDrawn(window);
      std::printf("restored; drawn again after %.0f ms\n", redraw);
      ++resets;
      nextReset += resetSeconds;
    }
    const Holdings h = ReadHoldings(saver.process());
    samples.push_back(h);
    char note[64];
    std::snprintf(note, sizeof note, "windows minimised and restored: %d", resets);
    PrintSample(now, h, note);
    // A frame that loads an 8000x8000 picture takes seconds; a window that stays black for
    // longer than the bound has stopped drawing.
    if (WaitUntilDrawn(window) >= kRedrawBoundMs) {
      std::printf("FAIL: not drawn for %.0f s\n", kRedrawBoundMs / 1000);
      ok = false;
    }
    if (!drawing.Sample(CaptureScreen(ClientOnScreen(window)), index)) ok = false;
  }
  if (!CheckFlat(samples)) ok = false;
  DWORD code = 0;
  if (!saver.Close(20000, &code)) {
    std::printf("FAIL: the saver did not end when its window was closed\n");
    return 1;
  }
  if (code != 0) {
    std::printf("FAIL: exit code %lu\n", static_cast<unsigned long>(code));
    return 1;
  }
  return ok ? 0 : 1;
}

// A device that reports itself lost on request. The real device keeps its object; only its
// method table is replaced by a copy with TestCooperativeLevel and Reset wrapped, so every
// other call reaches Direct3D unchanged.
struct LossSchedule {
  int lostFramesLeft = 0;   // frames that still see D3DERR_DEVICELOST
  bool awaitingReset = false;
  int resets = 0;
  int failedResets = 0;
};
LossSchedule g_loss;
using TestCooperativeLevelFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice8*);
using ResetFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice8*, D3DPRESENT_PARAMETERS*);
TestCooperativeLevelFn g_realTestCooperativeLevel = nullptr;
ResetFn g_realReset = nullptr;
void* g_patchedTable[128];

HRESULT STDMETHODCALLTYPE LossyTestCooperativeLevel(IDirect3DDevice8* device) {
  if (g_loss.lostFramesLeft > 0) {
    --g_loss.lostFramesLeft;
    return D3DERR_DEVICELOST;
  }
  if (g_loss.awaitingReset) return D3DERR_DEVICENOTRESET;
  return g_realTestCooperativeLevel(device);
}

HRESULT STDMETHODCALLTYPE CountedReset(IDirect3DDevice8* device, D3DPRESENT_PARAMETERS* params) {
  const HRESULT hr = g_realReset(device, params);
  if (SUCCEEDED(hr)) {
    g_loss.awaitingReset = false;
    ++g_loss.resets;
  } else {
    ++g_loss.failedResets;
  }
  return hr;
}

void MakeLossy(IDirect3DDevice8* device) {
  // Slots of IDirect3DDevice8: 3 TestCooperativeLevel, 14 Reset; the table has 97 entries.
  void** table = *reinterpret_cast<void***>(device);
  std::copy(table, table + 97, g_patchedTable);
  g_realTestCooperativeLevel = reinterpret_cast<TestCooperativeLevelFn>(table[3]);
  g_realReset = reinterpret_cast<ResetFn>(table[14]);
  g_patchedTable[3] = reinterpret_cast<void*>(LossyTestCooperativeLevel);
  g_patchedTable[14] = reinterpret_cast<void*>(CountedReset);
  *reinterpret_cast<void***>(device) = g_patchedTable;
}

int RunInside(const char* installDir, const char* listFile, double seconds, double resetSeconds,
              const std::string& shots) {
  Exposed<ShowApp> app;
  app.instance = GetModuleHandleA(nullptr);
  app.runMode = RunMode::Test;
  app.DiscoverMonitors();
  if (FAILED(app.CreateSaverWindows())) {
    std::printf("FAIL: no saver window\n");
    return 1;
  }
  app.direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  if (app.direct3d == nullptr || FAILED(app.PrepareEnumeration()) ||
      FAILED(app.EnumerateAdapters()) || !app.HasUsableDevice()) {
    std::printf("FAIL: no Direct3D device\n");
    return 1;
  }
  app.LoadSettings();
  ShowState& state = app.State();
  std::snprintf(state.InstallDir, sizeof state.InstallDir, "%s", installDir);
  state.settings.pictureTimer = 0;
  state.settingsLoaded = 1;
  LoadPictureList(state.InstallDir, listFile, state.PictureList);
  std::printf("%zu pictures in the list\n", state.PictureList.size());
  app.PreparePasswordCheck();
  HostClock::Start();
  if (FAILED(app.InitScene()) || FAILED(app.SetUpOutputs()) || app.outputs[0].device == nullptr) {
    std::printf("FAIL: the outputs were not set up\n");
    return 1;
  }
  MakeLossy(app.outputs[0].device.Get());

  DrawingCheck drawing(shots);
  std::vector<Holdings> samples;
  const double start = NowMs();
  double nextSample = 3.0, nextLoss = resetSeconds;
  int losses = 0, index = 0;
  uint32_t changesAtLastSample = 0;
  bool ok = true;
  while (ok) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (app.errorPending) {
      std::printf("FAIL: the saver recorded error 0x%08lx\n",
                  static_cast<unsigned long>(app.errorCode));
      ok = false;
      break;
    }
    app.RenderFrame();
    const double now = (NowMs() - start) / 1000.0;
    if (resetSeconds > 0 && now >= nextLoss) {
      g_loss.lostFramesLeft = 20;
      g_loss.awaitingReset = true;
      ++losses;
      nextLoss += resetSeconds;
    }
    if (now >= nextSample) {
      const Holdings h = ReadHoldings(GetCurrentProcess());
      samples.push_back(h);
      char note[96];
      std::snprintf(note, sizeof note, "picture changes %u (+%u), device losses %d, resets %d",
                    app.PictureGeneration(), app.PictureGeneration() - changesAtLastSample, losses,
                    g_loss.resets);
      changesAtLastSample = app.PictureGeneration();
      PrintSample(now, h, note);
      ok = drawing.Sample(CaptureScreen(ClientOnScreen(app.mainWindow)), index++);
      nextSample += kSampleMs / 1000.0;
    }
    if (now >= seconds) break;
  }
  if (ok && !CheckFlat(samples)) ok = false;
  if (g_loss.failedResets > 0) {
    std::printf("FAIL: %d resets failed\n", g_loss.failedResets);
    ok = false;
  }
  // A loss still pending at the end is not a failure; every earlier one must have ended.
  if (g_loss.resets < losses - (g_loss.awaitingReset ? 1 : 0)) {
    std::printf("FAIL: %d device losses but %d resets\n", losses, g_loss.resets);
    ok = false;
  }
  std::printf("%s: %u picture changes, %d device losses, %d resets\n", ok ? "ok" : "FAILED",
              app.PictureGeneration(), losses, g_loss.resets);
  app.ShutDown();
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "outside" && argc == 6) {
    return RunOutside(argv[2], std::atof(argv[3]), std::atof(argv[4]), argv[5]);
  }
  if (mode == "inside" && argc == 7) {
    return RunInside(argv[2], argv[3], std::atof(argv[4]), std::atof(argv[5]), argv[6]);
  }
  std::fprintf(stderr,
               "usage: soak_driver outside <Solvane7.scr> <seconds> <reset seconds> <shots>\n"
               "       soak_driver inside <install> <list> <seconds> <reset seconds> <shots>\n");
  return 2;
}
