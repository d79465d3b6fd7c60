// Every picture once before any repeats, across runs: pictures are taken in turn from a
// shuffled round of the whole list, and where the round stands is kept in a small file in the
// user's data folder. Only the shuffle's seed and the position go to disk, whatever the length
// of the list; the order is rebuilt from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "show/picture_list.h"
#include "show/slideshow_choice.h"

constexpr const char* kPictureRoundFileName = "pictureround.dat";
// The most pictures one change takes: four on each of nine monitors, with room to spare.
constexpr int kMaxRoundTake = 64;

struct PictureRoundState {
  uint64_t key = 0;    // PictureListKey of the list's first `count` paths
  uint32_t count = 0;  // pictures in the round; 0: none started
  uint32_t seed = 0;   // of the shuffle
  uint32_t position = 0;  // pictures of the round taken so far
  // The last pictures of the previous round, taken in the change that began this one: they
  // come last in this round, so that no change shows a picture twice.
  std::vector<uint32_t> heldBack;
};

// FNV-1a 64 of the first `count` paths, in order.
uint64_t PictureListKey(const std::vector<PictureEntry>& list, size_t count);
// 0 .. count-1 shuffled by seed, the held-back pictures moved to the end.
std::vector<uint32_t> RoundOrder(const PictureRoundState& state);
// The file's bytes, and back. Decoding refuses anything but a whole, consistent round.
std::string EncodeRound(const PictureRoundState& state);
bool DecodeRound(const std::vector<uint8_t>& bytes, PictureRoundState& state);

class PictureRound {
 public:
  PictureRound() = default;
  // Writes a position that a recent change left unwritten.
  ~PictureRound();
  PictureRound(const PictureRound&) = delete;
  PictureRound& operator=(const PictureRound&) = delete;

  // The next `count` pictures of the round, all different, into out; a new round, shuffled
  // with a seed from `random`, starts where one ends. On first use the round of the user's
  // file goes on if it was made for this list or for the start of it (pictures added at the
  // end join the next round); any other list starts afresh. False, with nothing taken, when
  // the list has fewer than `count` pictures or count is above kMaxRoundTake.
  bool Take(const std::vector<PictureEntry>& list, int count, int* out, RandomFn random);
  // Writes the round to the user's file now; false when it could not be written.
  bool Save();
  const PictureRoundState& State() const { return state_; }

 private:
  void Resume(const std::vector<PictureEntry>& list);
  void Start(const std::vector<PictureEntry>& list, std::vector<uint32_t> heldBack,
             RandomFn random);

  PictureRoundState state_;
  std::vector<uint32_t> order_;
  bool loaded_ = false;
  size_t checkedSize_ = 0;  // list size the round was last checked against
  bool unsaved_ = false;
  uint32_t savedTick_ = 0;  // GetTickCount of the last write
};

// The pictures of `outputs` galleries at one change. With a round and enough pictures for
// every slot of every gallery to differ they come from the round; otherwise (round null: the
// user wants the plain draw) by ChoosePicturesForOutputs.
void ChooseGalleryPictures(PictureRound* round, const std::vector<PictureEntry>& list,
                           int outputs, PictureChoiceState* states, int (*indices)[4],
                           RandomFn random);
// The fallback scene's picture for each output, from the round in the same way.
void ChooseFallbackFromRound(PictureRound* round, const std::vector<PictureEntry>& list,
                             int outputs, int* indices, RandomFn random);
