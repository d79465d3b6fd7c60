// Loading a large picture list file.
//
//   list_bench generate <file> <entries>   writes a list of that many entries
//   list_bench load <file> <runs>          prints "<median ms> <peak MB above the start>"
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/saver_process.h"
#include "show/picture_list.h"

using testing_support::NowMs;

namespace {

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize;
}

// Names and paths of the lengths a photo collection has.
int Generate(const char* file, long entries) {
  FILE* out = std::fopen(file, "w");
  if (out == nullptr) return 1;
  for (long i = 0; i < entries; ++i) {
    std::fprintf(out, "IMG_%06ld.jpg\nC:\\Users\\someone\\Pictures\\%04ld\\Holiday %ld\\IMG_%06ld.jpg\n",
                 i, 2000 + i % 25, i % 97, i);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: list_bench generate <file> <entries> | load <file> <runs>\n");
    return 2;
  }
  const std::string which = argv[1];
  if (which == "generate") return Generate(argv[2], std::atol(argv[3]));
  const int runs = std::max(1, std::atoi(argv[3]));
  const SIZE_T before = PeakWorkingSet();
  std::vector<double> times;
  size_t count = 0;
  for (int run = 0; run < runs; ++run) {
    std::vector<PictureEntry> list;
    const double start = NowMs();
    LoadPictureList(nullptr, argv[2], list);
    times.push_back(NowMs() - start);
    count = list.size();
  }
  if (count == 0) {
    std::fprintf(stderr, "%s holds no entries\n", argv[2]);
    return 1;
  }
  std::sort(times.begin(), times.end());
  const SIZE_T peak = PeakWorkingSet();
  const double extra = peak > before ? double(peak - before) / (1024.0 * 1024.0) : 0.0;
  std::printf("%.1f %.1f\n", times[times.size() / 2], extra);
  return 0;
}
