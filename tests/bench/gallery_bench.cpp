// Cost of the gallery: one picture change (four pictures and the backdrop decoded and filled
// into textures), and the steady frame time of the full scene beside an empty
// clear-and-present loop on the same device.
//
//   gallery_bench change <install folder> <picture> <runs>   four copies of one picture,
//     decoded ahead as the saver does between changes: the time from the change falling due
//     to the first frame of the new arrangement; the note is that frame over the median steady
//     frame
//   gallery_bench fade <install folder> <runs>   1920x1080: a frame during a fade; the note is
//     its time over a still frame's
//   gallery_bench still <install folder> <runs>   1920x1080: a frame of the still gallery
//   gallery_bench fade-fps <install folder> <runs>   1920x1080: frames per second of a whole
//     1.5 s fade, paced to 60 Hz as the saver paces them
//   gallery_bench change-sync <install folder> <picture> <runs>   the same pictures decoded
//     and filled one after the other on the frame loop's thread, as one frame did before
//   gallery_bench frame <install folder> <runs>              the gallery, default pictures
//   gallery_bench frame-busy <install folder> <runs>         the gallery while another thread
//     keeps one processor busy at idle priority, as a decoding worker does
//   gallery_bench empty <install folder> <runs>              clear, begin, end, present
//   gallery_bench sharpness <install folder> <picture> <runs>   four copies of the picture on a
//     1920x1080 back buffer; the note is the fine contrast left on screen: the standard
//     deviation of (red - green) / 255 over the best 32-pixel tile (1.0 for a red/cyan checker
//     drawn texel for pixel); SOLVANE_BENCH_SAVE=<folder> keeps the frame as sharpness.bmp
//   gallery_bench parts <install folder> <runs>              the frame split by mesh: each
//     part drawn alone (same planned steps, states and textures) after clear and camera
// prints "<median ms> <peak MB above the start>"; frame and empty time one frame, as the mean
// of a batch of frames.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "render/full_scene.h"
#include "render/scene_plan.h"
#include "show/backgrounds.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/show_settings.h"
#include "show/slideshow.h"
#include "support/real_device.h"
#include "support/safe_release.h"
#include "support/saver_process.h"
#include "support/show_frames.h"

namespace {

using testing_support::NowMs;

constexpr int kWidth = 1024, kHeight = 768, kBatch = 40;
// Long enough for the process clock's 10 ms ticks.
constexpr int kPartBatch = 80;

// CPU time of the whole process (every renderer thread included): less disturbed than the
// wall clock by other work on a shared machine.
double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
  auto ms = [](const FILETIME& t) {
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}


// One frame of the gallery drawing only the planned steps that pass the filter.
template <typename Filter>
void DrawPart(Exposed<ShowApp>& app, IDirect3DDevice8* device, const std::vector<DrawStep>& plan,
              Filter keep) {
  std::vector<DrawStep> steps;
  for (const DrawStep& step : plan) {
    if (keep(step)) steps.push_back(step);
  }
  OutputResources& resources = app.CurrentResources();
  const SceneTextures textures = {resources.slotTextures, kPictureSlotCount,
                                  resources.backdropTexture.Get(),
                                  resources.environmentMap.Get()};
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                static_cast<D3DCOLOR>(app.State().settings.backGndColor), 1.0f, 0);
  if (SUCCEEDED(device->BeginScene())) {
    app.SetShowCamera();
    DrawFullScene(device, steps, resources.sceneMeshes, textures, app.AmbientColor(),
                  SceneMeshPaint(app.State().settings));
    device->EndScene();
  }
  device->Present(nullptr, nullptr, nullptr, nullptr);
}

// Prints the median and the fastest frame time of every part and its median CPU time per
// frame, rounds interleaved so that load drift on a shared machine spreads over all of them.
void TimeParts(Exposed<ShowApp>& app, IDirect3DDevice8* device, int runs) {
  OutputResources& resources = app.CurrentResources();
  std::vector<bool> loaded(app.GalleryAt(0).PictureSlots.size(), false);
  for (size_t i = 0; i < loaded.size() && i < kPictureSlotCount; ++i) {
    loaded[i] = resources.slotTextures[i] != nullptr;
  }
  const SceneSwitches switches = {app.State().settings.invertPicture == 1, true, true};
  const Gallery& gallery = app.GalleryAt(0);
  const std::vector<DrawStep> plan =
      PlanFullScene(gallery.PictureSlots, gallery.DrawOrder, loaded, switches);
  struct Part {
    const char* name;
    int mesh;  // -1: nothing, -2: everything
    int reflection;  // RenderReflection while drawing
  };
  const Part parts[] = {
      {"clear, camera, present", -1, 1},
      {"whole scene", -2, 1},
      {"whole scene, RenderReflection 0", -2, 0},
      {"backdrop sphere", BackdropMesh, 1},
      {"mug, environment map", ObjectMesh, 1},
      {"mug, no environment map", ObjectMesh, 0},
      {"mug reflection, environment map", MirrorObjectMesh, 1},
      {"frames", FrameMesh, 1},
      {"pictures", PictureMesh, 1},
      {"frame reflections", MirrorFrameMesh, 1},
      {"picture reflections", MirrorPictureMesh, 1},
  };
  constexpr size_t kParts = sizeof parts / sizeof parts[0];
  std::vector<double> times[kParts], cpu[kParts];
  const int32_t reflection = app.State().settings.renderReflection;
  for (int run = 0; run < runs; ++run) {
    for (size_t p = 0; p < kParts; ++p) {
      app.State().settings.renderReflection = parts[p].reflection;
      const int mesh = parts[p].mesh;
      auto keep = [mesh](const DrawStep& step) { return mesh == -2 || step.mesh == mesh; };
      testing_support::Pump(0);
      DrawPart(app, device, plan, keep);  // warm-up, keeps state changes of the last part out
      const double start = NowMs(), cpuStart = ProcessCpuMs();
      for (int frame = 0; frame < kPartBatch; ++frame) DrawPart(app, device, plan, keep);
      times[p].push_back((NowMs() - start) / kPartBatch);
      cpu[p].push_back((ProcessCpuMs() - cpuStart) / kPartBatch);
    }
  }
  app.State().settings.renderReflection = reflection;
  for (size_t p = 0; p < kParts; ++p) {
    std::sort(times[p].begin(), times[p].end());
    std::sort(cpu[p].begin(), cpu[p].end());
    std::printf("%-34s median %6.2f ms, fastest %6.2f ms, cpu %6.2f ms\n", parts[p].name,
                times[p][times[p].size() / 2], times[p].front(), cpu[p][cpu[p].size() / 2]);
  }
}

// The fine contrast the screen shows: the best of the 32x32 tiles of the standard deviation of
// (red - green) / 255.
double BestTileContrast(const testing_support::Pixels& screen) {
  constexpr int kTile = 32;
  double best = 0.0;
  for (int ty = 0; ty + kTile <= screen.height; ty += kTile) {
    for (int tx = 0; tx + kTile <= screen.width; tx += kTile) {
      double sum = 0.0, squares = 0.0;
      for (int y = ty; y < ty + kTile; ++y) {
        for (int x = tx; x < tx + kTile; ++x) {
          const uint32_t p = screen.At(x, y);
          const double d = (testing_support::Red(p) - testing_support::Green(p)) / 255.0;
          sum += d;
          squares += d * d;
        }
      }
      const double n = kTile * kTile, mean = sum / n;
      best = std::max(best, std::sqrt(std::max(0.0, squares / n - mean * mean)));
    }
  }
  return best;
}

}  // namespace

struct ChangeTiming {
  double dueToScreenMs;
  double longestFrameMs;
  double steadyFrameMs;
};

double DrawOneFrame(Exposed<ShowApp>& app, IDirect3DDevice8* device) {
  const double start = NowMs();
  app.elapsedTime = 0.016f;
  app.AdvanceScene();
  app.DrawScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
  return NowMs() - start;
}

// The next arrangement is decoded while the one before stands; a frame is drawn every loop
// turn until the change shows, the frame that fills the new textures included.
ChangeTiming TimeChange(Exposed<ShowApp>& app, IDirect3DDevice8* device) {
  std::vector<double> steady;
  for (int frame = 0; frame < 30; ++frame) steady.push_back(DrawOneFrame(app, device));
  std::sort(steady.begin(), steady.end());
  app.Decoder().WaitFinished();
  const uint32_t before = app.PictureGeneration();
  app.Timers().changeElapsed = static_cast<float>(app.State().settings.pictureTimer);
  const double start = NowMs();
  double longest = 0.0;
  do {
    longest = std::max(longest, DrawOneFrame(app, device));
  } while (app.PictureGeneration() == before);
  const ChangeTiming timing = {NowMs() - start, longest, steady[steady.size() / 2]};
  // The fade runs out before the next run.
  while (app.Fading()) DrawOneFrame(app, device);
  DrawOneFrame(app, device);
  return timing;
}

double DrawFrames(Exposed<ShowApp>& app, IDirect3DDevice8* device, int frames) {
  const double start = NowMs();
  for (int frame = 0; frame < frames; ++frame) {
    app.elapsedTime = 0.0f;
    app.AdvanceScene();
    app.DrawScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  return (NowMs() - start) / frames;
}

// Brings on a change whose fade stands still half way (no time passes), for frame times.
void HoldAFade(Exposed<ShowApp>& app, IDirect3DDevice8* device) {
  app.Decoder().WaitFinished();
  app.Timers().changeElapsed = static_cast<float>(app.State().settings.pictureTimer);
  DrawOneFrame(app, device);
  app.elapsedTime = 0.75f;
  app.AdvanceScene();
}

// Frames of one whole fade with the clock running, each frame waiting out 1/60 s as the
// host's pacing does.
double FadeFramesPerSecond(Exposed<ShowApp>& app, IDirect3DDevice8* device) {
  app.Decoder().WaitFinished();
  app.Timers().changeElapsed = static_cast<float>(app.State().settings.pictureTimer);
  const double start = NowMs();
  double last = start;
  int frames = 0;
  do {
    const double now = NowMs();
    app.elapsedTime = static_cast<float>((now - last) / 1000.0);
    last = now;
    app.AdvanceScene();
    app.DrawScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frames;
    const double since = NowMs() - now;
    if (since < 1000.0 / 60) Sleep(static_cast<DWORD>(1000.0 / 60 - since));
  } while (app.Fading());
  return frames / ((NowMs() - start) / 1000.0);
}

// What one frame did before the decoding moved to worker threads.
double SynchronousChange(Exposed<ShowApp>& app, const char* picture) {
  const double start = NowMs();
  std::atomic<bool> keepGoing{true};
  std::vector<imaging::PictureImage> pictures(5);
  char gradient[1024];
  GradientFilePath(app.State().InstallDir, 0, gradient, sizeof gradient);
  for (int i = 0; i < 5; ++i) {
    const DecodeJob job = {i < 4 ? picture : gradient,
                           i < 4 ? app.SlotDecodeEdge(i, 0) : 256u, kPictureColorKey};
    DecodePictureJob(job, keepGoing, pictures[i]);
  }
  for (int i = 0; i < 4; ++i) {
    UploadPicture(app.currentDevice, pictures[i], 0, app.CurrentResources().slotTextures[i]);
  }
  UploadPicture(app.currentDevice, pictures[4], 0, app.CurrentResources().backdropTexture);
  return NowMs() - start;
}

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  const bool sync = which == "change-sync" && argc == 5;
  const bool change = (which == "change" || sync) && argc == 5;
  const bool parts = which == "parts" && argc == 4;
  const bool sharpness = which == "sharpness" && argc == 5;
  const bool busy = which == "frame-busy";
  const bool fade = (which == "fade" || which == "still" || which == "fade-fps") && argc == 4;
  if (!change && !parts && !sharpness && !fade &&
      !((which == "frame" || busy || which == "empty") && argc == 4)) {
    std::fprintf(stderr,
                 "usage: gallery_bench <change|change-sync|sharpness> <install> <picture> <runs> | "
                 "<frame|frame-busy|empty|parts|fade|still|fade-fps> <install> <runs>\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[argc - 1]));
  // Sharpness and fades are judged on a full-HD back buffer, larger than the test display; the
  // sharpness one is not shown.
  const bool fullHd = sharpness || fade;
  const int width = fullHd ? 1920 : kWidth, height = fullHd ? 1080 : kHeight;
  testing_support::RealDevice screen;
  if (!screen.Create(width, height, {!sharpness, D3DCREATE_HARDWARE_VERTEXPROCESSING})) {
    std::fprintf(stderr, "no Direct3D device: %s\n", screen.error());
    return 1;
  }
  IDirect3DDevice8* device = screen.get();
  Exposed<ShowApp> app;
  ShowState& state = app.State();
  std::snprintf(state.InstallDir, sizeof state.InstallDir, "%s", argv[2]);
  state.settings.pictureTimer = 60;
  RecomputeRgb(state.settings);
  state.settingsLoaded = 1;
  if (change || sharpness) {
    for (int i = 0; i < 4; ++i) state.PictureList.push_back(MakePictureEntry("picture", argv[3]));
  } else {
    AddDefaultPictures(state.InstallDir, state.PictureList);
  }
  // One output, as the saver has: what is made ahead is made for it.
  app.outputs.Append();
  app.outputs[0].device = device;
  app.currentDevice = device;
  app.backBufferDesc.Width = width;
  app.backBufferDesc.Height = height;
  // The pictures are decoded for the outputs' back buffers.
  ScreenOutput* output = app.outputs.Append();
  output->device = device;
  app.SelectOutput(0);
  app.RestoreDeviceResources();

  // The first full frame prepares the scene and pays for driver set-up: keep it out.
  app.elapsedTime = 0.0f;
  AdvanceShowingTheFirst(app);
  app.DrawScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
  const SIZE_T before = PeakWorkingSet();
  if (sharpness) {
    std::vector<double> times;
    double contrast = 0.0;
    for (int run = 0; run < runs; ++run) {
      times.push_back(TimeChange(app, device).dueToScreenMs);
      app.elapsedTime = 0.0f;
      app.DrawScene();
      contrast = BestTileContrast(screen.ReadBackBuffer());
      if (const char* folder = std::getenv("SOLVANE_BENCH_SAVE")) {
        testing_support::SaveBmp(screen.ReadBackBuffer(), folder, "sharpness");
      }
    }
    std::sort(times.begin(), times.end());
    const SIZE_T peak = PeakWorkingSet();
    std::printf("%.2f %.1f %.3f\n", times[times.size() / 2],
                peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0, contrast);
  }
  if (fade) {
    std::vector<double> times, ratios;
    for (int run = 0; run < runs; ++run) {
      testing_support::Pump(0);
      if (which == "fade-fps") {
        times.push_back(FadeFramesPerSecond(app, device));
        continue;
      }
      const double still = DrawFrames(app, device, kBatch);
      HoldAFade(app, device);
      const double fading = DrawFrames(app, device, kBatch);
      app.elapsedTime = 1.0f;  // the fade ends
      app.AdvanceScene();
      times.push_back(which == "still" ? still : fading);
      ratios.push_back(fading / still);
    }
    std::sort(times.begin(), times.end());
    std::sort(ratios.begin(), ratios.end());
    const double extra = double(PeakWorkingSet() - before) / (1024.0 * 1024.0);
    if (which == "fade") {
      std::printf("%.2f %.1f %.2fx\n", times[times.size() / 2], extra, ratios[ratios.size() / 2]);
    } else {
      std::printf("%.2f %.1f\n", times[times.size() / 2], extra);
    }
  }
  if (parts || sharpness || fade) {
    if (parts) TimeParts(app, device, runs);
    app.ReleaseDeviceResources();
    app.DestroyDeviceResources();
    app.currentDevice = nullptr;
    return 0;
  }

  std::atomic<bool> spinning{busy};
  std::thread spinner([&spinning] {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
    volatile uint64_t n = 0;
    while (spinning) ++n;
  });
  std::vector<double> times;
  double worstRatio = 0.0;
  for (int run = 0; run < runs; ++run) {
    testing_support::Pump(0);
    if (change) {
      if (app.CurrentResources().slotTextures[0] == nullptr) {
        std::fprintf(stderr, "%s did not load\n", argv[3]);
        return 1;
      }
      if (sync) {
        times.push_back(SynchronousChange(app, argv[3]));
        continue;
      }
      const ChangeTiming timing = TimeChange(app, device);
      times.push_back(timing.dueToScreenMs);
      worstRatio = std::max(worstRatio, timing.longestFrameMs / timing.steadyFrameMs);
      continue;
    }
    const double start = NowMs();
    for (int frame = 0; frame < kBatch; ++frame) {
      if (which == "frame" || busy) {
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
  spinning = false;
  spinner.join();
  std::sort(times.begin(), times.end());
  const SIZE_T peak = PeakWorkingSet();
  const double extra = peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0;
  if (change && !sync) {
    std::printf("%.2f %.1f %.2fx\n", times[times.size() / 2], extra, worstRatio);
  } else {
    std::printf("%.2f %.1f\n", times[times.size() / 2], extra);
  }
  app.ReleaseDeviceResources();
  app.DestroyDeviceResources();
  app.currentDevice = nullptr;
  return 0;
}
