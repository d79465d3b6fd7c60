// Start-up to the first presented frame: Solvane7.scr /t is started as a new process and its
// window is read back from the screen until Direct3D has drawn over the black the window
// starts with. Wine must already be running (wineserver -p), as it is for a user.
//
//   startup_bench <Solvane7.scr> <runs>
// prints "<median ms> -"; each run is timed from CreateProcess to the first drawn frame.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/pixels.h"
#include "support/saver_process.h"

using namespace testing_support;

namespace {

// The window is black until the first frame; the gallery's backdrop then fills most of it
// (pictures and frames leave dark patches, so not all of it).
constexpr double kDrawnShare = 0.5;
constexpr double kGiveUpMs = 60000.0;

// Milliseconds from start to first frame, or a negative value when none came.
double TimeOneStart(const std::string& program) {
  const double start = NowMs();
  SaverProcess saver(program, "/t");
  if (!saver.started()) return -1.0;
  double result = -1.0;
  while (saver.Running() && NowMs() - start < kGiveUpMs) {
    const HWND window = saver.FindTopLevel();
    // One row through the middle: reading more would take the machine from the saver.
    if (window != nullptr &&
        CaptureScreen(ClientOnScreen(window, 1)).DrawnShare() >= kDrawnShare) {
      result = NowMs() - start;
      break;
    }
    Sleep(5);
  }
  DWORD code = 0;
  if (!saver.Close(20000, &code) || code != 0) {
    std::fprintf(stderr, "the saver did not end cleanly (exit code %lu)\n",
                 static_cast<unsigned long>(code));
    return -1.0;
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: startup_bench <Solvane7.scr> <runs>\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[2]));
  // The first start after the server came up loads and maps every DLL cold: not what a user
  // waits for when the saver starts, so it is left out.
  if (TimeOneStart(argv[1]) < 0.0) {
    std::fprintf(stderr, "no frame from %s\n", argv[1]);
    return 1;
  }
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const double ms = TimeOneStart(argv[1]);
    if (ms < 0.0) {
      std::fprintf(stderr, "no frame from %s\n", argv[1]);
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f -\n", times[times.size() / 2]);
  return 0;
}
