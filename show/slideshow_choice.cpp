#include "show/slideshow_choice.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

int RandomIndex(int n, RandomFn random) {
  if (n <= 0) return -1;
  const uint64_t range = static_cast<uint64_t>(RAND_MAX) + 1;
  if (static_cast<uint64_t>(n) <= range) return random() % n;
  const uint64_t wide = static_cast<uint64_t>(random()) * range + static_cast<uint64_t>(random());
  return static_cast<int>(wide % static_cast<uint64_t>(n));
}

int PickUnlike(int candidate, const int (&values)[4], int n, RandomFn random) {
  if (n <= 0) return candidate;
  for (;;) {
    bool taken = false;
    for (int value : values) taken = taken || value == candidate;
    if (!taken) return candidate;
    candidate = RandomIndex(n, random);
  }
}

namespace {

// A random index below n that this output does not show yet (`shown` from `ownFrom` on), nor,
// while some index is on no output yet, any other output (all of `shown`).
int PickUnshown(int n, const std::vector<int>& shown, size_t ownFrom, RandomFn random) {
  std::vector<int> distinct(shown);
  std::sort(distinct.begin(), distinct.end());
  const bool fresh =
      std::unique(distinct.begin(), distinct.end()) - distinct.begin() < static_cast<ptrdiff_t>(n);
  const auto from = shown.begin() + static_cast<ptrdiff_t>(fresh ? 0 : ownFrom);
  for (;;) {
    const int candidate = RandomIndex(n, random);
    if (std::find(from, shown.end(), candidate) == shown.end()) return candidate;
  }
}

}  // namespace

PictureChoiceState FirstChoiceState(int gallery) {
  PictureChoiceState state;
  state.twoPictureToggle = gallery & 1;
  state.threePictureStep = gallery & 3;
  return state;
}

void ChoosePicturesForOutputs(int n, int outputs, PictureChoiceState* states, int (*indices)[4],
                              RandomFn random) {
  if (n < 4) {
    for (int k = 0; k < outputs; ++k) ChoosePictures(n, states[k], indices[k], random);
    return;
  }
  std::vector<int> shown;
  for (int k = 0; k < outputs; ++k) {
    const size_t own = shown.size();
    for (int& index : indices[k]) {
      index = PickUnshown(n, shown, own, random);
      shown.push_back(index);
    }
  }
}

void ChooseFallbackPictures(int n, int outputs, int* indices, RandomFn random) {
  std::vector<int> shown;
  for (int k = 0; k < outputs; ++k) {
    indices[k] = n > 0 ? PickUnshown(n, shown, shown.size(), random) : -1;
    shown.push_back(indices[k]);
  }
}

void ChoosePictures(int n, PictureChoiceState& state, int (&indices)[4], RandomFn random) {
  static constexpr int kTwo[2][4] = {{0, 1, 0, 1}, {1, 0, 1, 0}};
  static constexpr int kThree[4][4] = {{2, 1, 0, 1}, {1, 0, 1, 2}, {0, 1, 0, 2}, {2, 1, 1, 0}};
  for (int& index : indices) index = -1;
  if (n <= 0) return;
  if (n == 1) {
    for (int& index : indices) index = 0;
  } else if (n == 2) {
    const int row = state.twoPictureToggle != 0 ? 1 : 0;
    for (int i = 0; i < 4; ++i) indices[i] = kTwo[row][i];
    state.twoPictureToggle = 1 - row;
  } else if (n == 3) {
    const int step = state.threePictureStep & 3;
    for (int i = 0; i < 4; ++i) indices[i] = kThree[step][i];
    state.threePictureStep = (step + 1) & 3;
  } else {
    for (int i = 0; i < 4; ++i) indices[i] = PickUnlike(indices[i], indices, n, random);
  }
}

bool AdvanceChangeTimer(SlideshowTimers& timers, float elapsed, int32_t pictureTimer) {
  const double period = pictureTimer;
  if (!timers.started) {
    timers.started = true;
    timers.changeElapsed = period;
  }
  timers.changeElapsed += elapsed;
  if (timers.changeElapsed < period) return false;
  timers.changeElapsed = 0.0;
  return true;
}

bool AdvanceFallbackTimer(SlideshowTimers& timers, float elapsed) {
  timers.fallbackElapsed += elapsed;
  if (timers.fallbackElapsed < 2.0) return false;
  timers.fallbackElapsed = 0.0;
  return true;
}
