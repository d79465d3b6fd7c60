// Which pictures the four slots show: the rules for one, two, three and four or more pictures,
// and the change timers. Plain data; the random source is passed in.
#pragma once

#include <cstdint>

using RandomFn = int (*)();

struct PictureChoiceState {
  int twoPictureToggle = 0;
  int threePictureStep = 0;
};

// A random index in 0..n-1 (n > 0). Up to RAND_MAX + 1 entries this is one draw modulo n;
// longer lists combine two draws so that every entry can come up.
int RandomIndex(int n, RandomFn random);

// Replaces candidate by a random index below n for as long as it equals one of the values.
int PickUnlike(int candidate, const int (&values)[4], int n, RandomFn random);

// Gives each slot a picture index by the rule for n pictures (n = 0 leaves every slot at -1).
void ChoosePictures(int n, PictureChoiceState& state, int (&indices)[4], RandomFn random);

// Where gallery k's rules for two and three pictures start: k steps on, so that galleries
// differ from the first change on.
PictureChoiceState FirstChoiceState(int gallery);

// The pictures of `outputs` galleries at one change, each with its own choice state. Below four
// pictures every gallery follows the rule for n on its own state. From four on, every gallery
// shows four different pictures, and no picture is on two galleries while any picture is on
// none yet: with at least 4 x outputs pictures no monitor repeats another's. With one gallery
// this draws exactly as ChoosePictures.
void ChoosePicturesForOutputs(int n, int outputs, PictureChoiceState* states, int (*indices)[4],
                              RandomFn random);
// The fallback scene's picture for each of `outputs` outputs, all different while the list
// allows (n = 0 gives -1).
void ChooseFallbackPictures(int n, int outputs, int* indices, RandomFn random);

// Timers of the slideshow.
struct SlideshowTimers {
  bool started = false;         // the first change happens on the first call
  // Seconds since the last picture change and since the fallback picture changed; doubles, so
  // that a frame's few milliseconds still count an hour into a long timer.
  double changeElapsed = 0.0;
  double fallbackElapsed = 2.0;
};

// Adds the elapsed seconds; true when the pictures change now (the timer is then reset).
bool AdvanceChangeTimer(SlideshowTimers& timers, float elapsed, int32_t pictureTimer);
// The same for the fallback scene's single picture, every 2 seconds.
bool AdvanceFallbackTimer(SlideshowTimers& timers, float elapsed);
