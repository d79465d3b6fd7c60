// The saver as a user runs it, watched from outside.
//
//   idle_bench cpu <Solvane7.scr> <seconds>   /t with a still gallery: the CPU time the saver
//     spends over that many seconds after its first frame; prints "<cpu ms> -"
//   idle_bench key <Solvane7.scr> <picture> <runs>   /s showing four copies of a large picture
//     that change every 3 s: a key is pressed while a change is being decoded; prints
//     "<median ms from key to exit> - max=<ms>"
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

void SetPictureTimer(DWORD seconds) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "PictureTimer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seconds),
                 sizeof seconds);
  RegCloseKey(key);
}

std::string UserListPath() {
  char appData[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
  if (n == 0 || n >= sizeof appData) return "";
  const std::string folder = std::string(appData) + "\\Korrin Software";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\Solvane 7.0").c_str(), nullptr);
  return folder + "\\Solvane 7.0\\picsavelist.tsl";
}

int Cpu(const std::string& program, int seconds) {
  SetPictureTimer(60);
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
  std::printf("%.0f -\n", used);
  return 0;
}

int Key(const std::string& program, const std::string& picture, int runs) {
  SetPictureTimer(3);
  const std::string list = UserListPath();
  FILE* file = list.empty() ? nullptr : std::fopen(list.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "cannot write the picture list\n");
    return 1;
  }
  for (int i = 0; i < 4; ++i) std::fprintf(file, "large %d\n%s\n", i, picture.c_str());
  std::fclose(file);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    SaverProcess saver(program, "/s");
    const HWND window = saver.started() ? WaitForFirstFrame(saver, 60000.0) : nullptr;
    if (window == nullptr) {
      std::fprintf(stderr, "no frame from %s\n", program.c_str());
      DeleteFileA(list.c_str());
      return 1;
    }
    // The first change after the first arrangement falls due 3 s in; its four large pictures
    // take far longer than 150 ms to decode, so the key comes while they are decoded.
    Sleep(3150);
    const double pressed = NowMs();
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    const bool ended = saver.WaitForExit(10000) != STILL_ACTIVE;
    times.push_back(NowMs() - pressed);
    if (!ended) {
      std::fprintf(stderr, "the key did not end the saver\n");
      DeleteFileA(list.c_str());
      return 1;
    }
  }
  DeleteFileA(list.c_str());
  std::sort(times.begin(), times.end());
  std::printf("%.1f - max=%.1f\n", times[times.size() / 2], times.back());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (!(which == "cpu" && argc == 4) && !(which == "key" && argc == 5)) {
    std::fprintf(stderr,
                 "usage: idle_bench cpu <Solvane7.scr> <seconds> | "
                 "key <Solvane7.scr> <picture> <runs>\n");
    return 2;
  }
  const int n = std::max(1, std::atoi(argv[argc - 1]));
  return which == "cpu" ? Cpu(argv[2], n) : Key(argv[2], argv[3], n);
}
