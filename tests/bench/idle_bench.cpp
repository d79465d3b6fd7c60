// The saver as a user runs it, watched from outside.
//
//   idle_bench cpu <Solvane7.scr> <seconds> [PictureTimer]   /t: the CPU time the saver spends
//     over that many seconds after its first frame, by default with a still gallery
//     ("PictureTimer" 60, no change in the time), or changing and fading (TransitionTime 1500)
//     every PictureTimer seconds; prints "<cpu ms> - <share of one core>"
//   idle_bench key <Solvane7.scr> <runs> <picture>...   /s showing four list entries made of
//     the pictures given, changing every 3 s: a key is pressed while a change is being
//     decoded; prints "<median ms from key to windows gone> - exit=<median ms>,max=<ms>"
//   idle_bench key-early ...   the same, the key 1.5 s after the window shows, while the
//     first arrangement is still being read
// Each sets "PictureTimer" under the product's key (and the key run a per-user picture list,
// removed afterwards) in the Wine prefix it runs in.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/pixels.h"
#include "support/saver_process.h"

using namespace testing_support;

namespace {

constexpr double kDrawnShare = 0.5;

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0.0;
  auto ms = [](const FILETIME& t) {
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// The saver's window once Direct3D has drawn into it, or null.
HWND WaitForFirstFrame(const SaverProcess& saver, double giveUpMs) {
  const double start = NowMs();
  while (saver.Running() && NowMs() - start < giveUpMs) {
    const HWND window = saver.FindTopLevel();
    if (window != nullptr &&
        CaptureScreen(ClientOnScreen(window, 1)).DrawnShare() >= kDrawnShare) {
      return window;
    }
    Sleep(20);
  }
  return nullptr;
}

constexpr char kKeyPath[] = "Software\\Korrin Software\\Solvane 7.0";

void SetDword(const char* name, DWORD value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void SetPictureTimer(DWORD seconds) { SetDword("PictureTimer", seconds); }

std::string UserListPath() {
  char appData[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
  if (n == 0 || n >= sizeof appData) return "";
  const std::string folder = std::string(appData) + "\\Korrin Software";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\Solvane 7.0").c_str(), nullptr);
  return folder + "\\Solvane 7.0\\picsavelist.tsl";
}

int Cpu(const std::string& program, int seconds, DWORD pictureTimer) {
  SetPictureTimer(pictureTimer);
  SetDword("TransitionTime", 1500);
  SaverProcess saver(program, "/t");
  if (!saver.started() || WaitForFirstFrame(saver, 60000.0) == nullptr) {
    std::fprintf(stderr, "no frame from %s\n", program.c_str());
    return 1;
  }
  Sleep(500);  // start-up work still settling
  const double before = CpuMs(saver.process());
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double used = CpuMs(saver.process()) - before;
  saver.Close(20000);
  std::printf("%.0f - %.1f%%\n", used, used / (seconds * 10.0));
  return 0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Four list entries from the pictures given (in turn); "PictureTimer" 3. The key comes during
// the first change (3.15 s after the first frame) or, with `early`, 1.5 s after the window
// shows, while the first arrangement is still being read.
int Key(const std::string& program, const std::vector<std::string>& pictures, int runs,
        bool early) {
  SetPictureTimer(3);
  const std::string list = UserListPath();
  FILE* file = list.empty() ? nullptr : std::fopen(list.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "cannot write the picture list\n");
    return 1;
  }
  for (size_t i = 0; i < 4; ++i) {
    std::fprintf(file, "picture %zu\n%s\n", i, pictures[i % pictures.size()].c_str());
  }
  std::fclose(file);
  std::vector<double> gone, exited;
  for (int run = 0; run < runs; ++run) {
    SaverProcess saver(program, "/s");
    HWND window = nullptr;
    if (saver.started()) {
      window = early ? saver.FindTopLevel(kSaverWindowClass, 60000)
                     : WaitForFirstFrame(saver, 60000.0);
    }
    if (window == nullptr) {
      std::fprintf(stderr, "no frame from %s\n", program.c_str());
      DeleteFileA(list.c_str());
      return 1;
    }
    Sleep(early ? 1500 : 3150);
    const double pressed = NowMs();
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    while (!saver.TopLevels(kSaverWindowClass).empty() && NowMs() - pressed < 10000.0) Sleep(1);
    gone.push_back(NowMs() - pressed);
    const bool ended = saver.WaitForExit(10000) != STILL_ACTIVE;
    exited.push_back(NowMs() - pressed);
    if (!ended) {
      std::fprintf(stderr, "the key did not end the saver\n");
      DeleteFileA(list.c_str());
      return 1;
    }
  }
  DeleteFileA(list.c_str());
  const double slowest = *std::max_element(gone.begin(), gone.end());
  std::printf("%.1f - exit=%.0f,max=%.0f\n", Median(gone), Median(exited), slowest);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which == "cpu" && (argc == 4 || argc == 5)) {
    const int timer = argc == 5 ? std::atoi(argv[4]) : 60;
    return Cpu(argv[2], std::max(1, std::atoi(argv[3])), static_cast<DWORD>(std::max(0, timer)));
  }
  if ((which == "key" || which == "key-early") && argc >= 5) {
    const std::vector<std::string> pictures(argv + 4, argv + argc);
    return Key(argv[2], pictures, std::max(1, std::atoi(argv[3])), which == "key-early");
  }
  std::fprintf(stderr,
               "usage: idle_bench cpu <Solvane7.scr> <seconds> [PictureTimer] | "
               "key|key-early <Solvane7.scr> <runs> <picture>...\n");
  return 2;
}
