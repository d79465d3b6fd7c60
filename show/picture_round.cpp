#include "show/picture_round.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "base/data_paths.h"
#include "base/whole_file.h"

namespace {

constexpr char kMagic[8] = {'S', 'v', 'R', 'o', 'u', 'n', 'd', '1'};
constexpr size_t kFixedBytes = sizeof kMagic + 8 + 4 * 4;  // magic, key, four counts
constexpr size_t kChecksumBytes = 8;
// A change every frame must not write a file every frame.
constexpr uint32_t kSaveIntervalMs = 2000;

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

uint64_t Fnv(uint64_t hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * kFnvPrime;
  return hash;
}

// The shuffle's own generator, so that a seed gives the same order in every run and build.
uint64_t SplitMix(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void Put(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t Get(const std::vector<uint8_t>& in, size_t at, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | in[at + static_cast<size_t>(i)];
  return value;
}

DataFilePlace RoundPlace() {
  // The user's folder only: the round is the user's, not the machine's.
  return DataFilePlace{{}, "", kPictureRoundFileName};
}

uint32_t ListSize(const std::vector<PictureEntry>& list) {
  return list.size() > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<uint32_t>(list.size());
}

uint32_t RandomSeed(RandomFn random) {
  const uint32_t range = static_cast<uint32_t>(RAND_MAX) + 1;
  uint32_t seed = 0;
  for (int i = 0; i < 3; ++i) seed = seed * range + static_cast<uint32_t>(random());
  return seed;
}

}  // namespace

uint64_t PictureListKey(const std::vector<PictureEntry>& list, size_t count) {
  uint64_t hash = kFnvOffset;
  for (size_t i = 0; i < count && i < list.size(); ++i) {
    // With its terminator, so that moving a character from one path to the next changes it.
    hash = Fnv(hash, list[i].path, strnlen(list[i].path, sizeof list[i].path) + 1);
  }
  return hash;
}

std::vector<uint32_t> RoundOrder(const PictureRoundState& state) {
  std::vector<uint32_t> order(state.count);
  std::iota(order.begin(), order.end(), 0u);
  uint64_t generator = state.seed;
  for (size_t i = order.size(); i > 1; --i) {
    std::swap(order[i - 1], order[SplitMix(generator) % i]);
  }
  if (!state.heldBack.empty()) {
    std::vector<bool> held(state.count, false);
    for (uint32_t index : state.heldBack) {
      if (index < state.count) held[index] = true;
    }
    std::stable_partition(order.begin(), order.end(),
                          [&held](uint32_t index) { return !held[index]; });
  }
  return order;
}

std::string EncodeRound(const PictureRoundState& state) {
  std::string out(kMagic, sizeof kMagic);
  Put(out, state.key, 8);
  Put(out, state.count, 4);
  Put(out, state.seed, 4);
  Put(out, state.position, 4);
  Put(out, state.heldBack.size(), 4);
  for (uint32_t index : state.heldBack) Put(out, index, 4);
  Put(out, Fnv(kFnvOffset, out.data(), out.size()), 8);
  return out;
}

bool DecodeRound(const std::vector<uint8_t>& bytes, PictureRoundState& state) {
  if (bytes.size() < kFixedBytes + kChecksumBytes ||
      std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return false;
  }
  const uint64_t heldCount = Get(bytes, kFixedBytes - 4, 4);
  if (heldCount > kMaxRoundTake ||
      bytes.size() != kFixedBytes + 4 * heldCount + kChecksumBytes ||
      Get(bytes, bytes.size() - kChecksumBytes, 8) !=
          Fnv(kFnvOffset, bytes.data(), bytes.size() - kChecksumBytes)) {
    return false;
  }
  PictureRoundState read;
  read.key = Get(bytes, 8, 8);
  read.count = static_cast<uint32_t>(Get(bytes, 16, 4));
  read.seed = static_cast<uint32_t>(Get(bytes, 20, 4));
  read.position = static_cast<uint32_t>(Get(bytes, 24, 4));
  if (read.count == 0 || read.position > read.count) return false;
  for (size_t i = 0; i < heldCount; ++i) {
    const uint32_t index = static_cast<uint32_t>(Get(bytes, kFixedBytes + 4 * i, 4));
    if (index >= read.count) return false;
    read.heldBack.push_back(index);
  }
  state = std::move(read);
  return true;
}

PictureRound::~PictureRound() {
  if (unsaved_) Save();
}

bool PictureRound::Save() {
  unsaved_ = false;
  savedTick_ = GetTickCount();
  return state_.count != 0 && WriteDataFile(RoundPlace(), EncodeRound(state_));
}

void PictureRound::Resume(const std::vector<PictureEntry>& list) {
  if (!loaded_) {
    loaded_ = true;
    char path[MAX_PATH * 2];
    std::vector<uint8_t> bytes;
    if (!DataFileToRead(RoundPlace(), path, sizeof path) ||
        FAILED(ReadWholeFile(path, 4096, bytes)) || !DecodeRound(bytes, state_)) {
      state_ = PictureRoundState();
    }
  }
  checkedSize_ = list.size();
  if (state_.count > ListSize(list) || PictureListKey(list, state_.count) != state_.key) {
    state_ = PictureRoundState();
  }
  order_ = RoundOrder(state_);
}

void PictureRound::Start(const std::vector<PictureEntry>& list, std::vector<uint32_t> heldBack,
                         RandomFn random) {
  state_.count = ListSize(list);
  state_.key = PictureListKey(list, state_.count);
  state_.seed = RandomSeed(random);
  state_.position = 0;
  state_.heldBack = std::move(heldBack);
  order_ = RoundOrder(state_);
}

bool PictureRound::Take(const std::vector<PictureEntry>& list, int count, int* out,
                        RandomFn random) {
  if (count <= 0 || count > kMaxRoundTake || static_cast<uint32_t>(count) > ListSize(list)) {
    return false;
  }
  if (!loaded_ || list.size() != checkedSize_) Resume(list);
  std::vector<uint32_t> taken;
  while (taken.size() < static_cast<size_t>(count)) {
    // The pictures taken so far end the old round; the new one keeps them for its end.
    if (state_.position >= state_.count) Start(list, taken, random);
    taken.push_back(order_[state_.position++]);
  }
  for (size_t i = 0; i < taken.size(); ++i) out[i] = static_cast<int>(taken[i]);
  unsaved_ = true;
  if (GetTickCount() - savedTick_ >= kSaveIntervalMs) Save();
  return true;
}

void ChooseGalleryPictures(PictureRound* round, const std::vector<PictureEntry>& list,
                           int outputs, PictureChoiceState* states, int (*indices)[4],
                           RandomFn random) {
  int taken[kMaxRoundTake];
  // Four or more per gallery only: with fewer, the rules for one to three pictures hold, and
  // pictures too few to fill every slot once are all shown at every change anyway.
  if (round != nullptr && list.size() >= 4 && round->Take(list, 4 * outputs, taken, random)) {
    for (int k = 0; k < outputs; ++k) std::copy(taken + 4 * k, taken + 4 * k + 4, indices[k]);
    return;
  }
  const int n = static_cast<int>(ListSize(list));
  ChoosePicturesForOutputs(n, outputs, states, indices, random);
}

void ChooseFallbackFromRound(PictureRound* round, const std::vector<PictureEntry>& list,
                             int outputs, int* indices, RandomFn random) {
  if (round == nullptr || !round->Take(list, outputs, indices, random)) {
    ChooseFallbackPictures(static_cast<int>(ListSize(list)), outputs, indices, random);
  }
}
