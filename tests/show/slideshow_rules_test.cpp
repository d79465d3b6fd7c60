#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <cstdlib>
#include <set>
#include <vector>

#include "base/data_paths.h"
#include "host/host_clock.h"
#include "show/picture_round.h"
#include "show/slideshow_choice.h"
#include "show/slideshow_layout.h"
#include "show/texture_sizing.h"
#include "support/test_support.h"

namespace {

// A scripted random source.
std::vector<int> g_script;
size_t g_next = 0;
int ScriptedRandom() { return g_next < g_script.size() ? g_script[g_next++] : 0; }
void Script(std::vector<int> values) {
  g_script = std::move(values);
  g_next = 0;
}

TEST(SlotLayoutTest, LayoutZeroAndItsMirror) {
  const float expected[4][5] = {
      {0.0f, 4.0f, 5.0f, 1.0f}, {-1.0f, 5.0f, -10.0f, 2.0f},
      {-1.5f, 4.0f, -25.0f, 1.0f}, {1.5f, 4.0f, 25.0f, 1.1f}};
  for (int slot = 0; slot < 4; ++slot) {
    for (int layout = 0; layout < 2; ++layout) {
      const float sign = layout == 0 ? 1.0f : -1.0f;
      const SlotPlacement row = SlotLayout(layout, slot);
      EXPECT_FLOAT_EQ(row.position[0], sign * expected[slot][0]) << layout << " " << slot;
      EXPECT_FLOAT_EQ(row.position[1], -1.0f);
      EXPECT_FLOAT_EQ(row.position[2], expected[slot][1]);
      EXPECT_FLOAT_EQ(row.rotationDeg[0], 0.0f);
      EXPECT_FLOAT_EQ(row.rotationDeg[1], sign * expected[slot][2]);
      EXPECT_FLOAT_EQ(row.rotationDeg[2], 0.0f);
      EXPECT_FLOAT_EQ(row.size, expected[slot][3]);
    }
  }
}

TEST(SlotLayoutTest, PlacedSlotsAreDrawnZeroTwoThreeOne) {
  for (int layout = 0; layout < 2; ++layout) {
    std::vector<SceneItem> slots;
    std::vector<DrawOrderEntry> order;
    slots.emplace_back();  // left over from an earlier change
    order.push_back({0.0f, 3});
    PlaceSlots(layout, slots, order);
    ASSERT_EQ(slots.size(), 4u);
    ASSERT_EQ(order.size(), 4u);
    const int drawn[4] = {order[0].slotIndex, order[1].slotIndex, order[2].slotIndex,
                          order[3].slotIndex};
    EXPECT_EQ(drawn[0], 0);
    EXPECT_EQ(drawn[1], 2);
    EXPECT_EQ(drawn[2], 3);
    EXPECT_EQ(drawn[3], 1);
    for (const SceneItem& item : slots) {
      EXPECT_EQ(item.pictureIndex, -1);
      EXPECT_EQ(item.texture, nullptr);
      EXPECT_FLOAT_EQ(item.outward[1], 0.0f);
      EXPECT_NEAR(item.outward[0] * item.outward[0] + item.outward[2] * item.outward[2], 1.0f,
                  1e-5f);
      EXPECT_FLOAT_EQ(item.across[0], -item.outward[2]);
      EXPECT_FLOAT_EQ(item.across[2], item.outward[0]);
    }
    EXPECT_NEAR(order[0].distance, 4.1231056f, 1e-5f);
    EXPECT_NEAR(order[3].distance, 5.1961524f, 1e-5f);
    EXPECT_FLOAT_EQ(slots[1].itemSize, 2.0f);
    EXPECT_FLOAT_EQ(slots[3].position[0], layout == 0 ? 1.5f : -1.5f);
  }
}

TEST(SlotLayoutTest, SortKeepsEqualDistancesInOrder) {
  std::vector<DrawOrderEntry> order = {{3.0f, 0}, {1.0f, 1}, {2.0f, 2}, {1.0f, 3}, {2.0f, 4}};
  SortDrawOrder(order);
  const int expected[] = {1, 3, 2, 4, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(order[i].slotIndex, expected[i]);
}

TEST(AspectFitTest, LandscapePortraitSquareAndUnknown) {
  auto fitted = [](float size, unsigned w, unsigned h) {
    const float at[3] = {0.0f, -1.0f, 5.0f};
    SceneItem item(at);
    item.itemSize = size;
    FitAspect(item, w, h);
    return item;
  };
  SceneItem landscape = fitted(2.0f, 400, 300);
  EXPECT_FLOAT_EQ(landscape.widthFactor, 1.0f);
  EXPECT_FLOAT_EQ(landscape.heightFactor, 0.75f);
  EXPECT_FLOAT_EQ(landscape.position[1], -0.25f);

  SceneItem portrait = fitted(2.0f, 300, 400);
  EXPECT_FLOAT_EQ(portrait.widthFactor, 0.75f);
  EXPECT_FLOAT_EQ(portrait.heightFactor, 1.0f);
  EXPECT_FLOAT_EQ(portrait.position[1], 0.0f);

  SceneItem square = fitted(1.1f, 512, 512);
  EXPECT_FLOAT_EQ(square.widthFactor, 1.0f);
  EXPECT_FLOAT_EQ(square.heightFactor, 1.0f);
  EXPECT_FLOAT_EQ(square.position[1], -1.0f + 0.55f);

  // A picture that failed to load has no size; its empty frame stands like a square one.
  SceneItem failed = fitted(1.0f, 0, 0);
  EXPECT_FLOAT_EQ(failed.widthFactor, 1.0f);
  EXPECT_FLOAT_EQ(failed.heightFactor, 1.0f);
  EXPECT_FLOAT_EQ(failed.position[1], -0.5f);
}

TEST(PictureChoiceTest, OnePictureFillsEverySlot) {
  PictureChoiceState state;
  int indices[4];
  for (int change = 0; change < 3; ++change) {
    ChoosePictures(1, state, indices, ScriptedRandom);
    for (int index : indices) EXPECT_EQ(index, 0);
  }
}

TEST(PictureChoiceTest, TwoPicturesAlternateStartingWithZero) {
  PictureChoiceState state;
  int indices[4];
  for (int change = 0; change < 5; ++change) {
    ChoosePictures(2, state, indices, ScriptedRandom);
    const int first = change % 2 == 0 ? 0 : 1;
    EXPECT_EQ(indices[0], first);
    EXPECT_EQ(indices[1], 1 - first);
    EXPECT_EQ(indices[2], first);
    EXPECT_EQ(indices[3], 1 - first);
  }
}

TEST(PictureChoiceTest, ThreePicturesCycleThroughFourSteps) {
  const int expected[4][4] = {{2, 1, 0, 1}, {1, 0, 1, 2}, {0, 1, 0, 2}, {2, 1, 1, 0}};
  PictureChoiceState state;
  int indices[4];
  for (int change = 0; change < 9; ++change) {
    ChoosePictures(3, state, indices, ScriptedRandom);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(indices[i], expected[change % 4][i]) << change;
  }
}

TEST(PictureChoiceTest, FourOrMoreShowDistinctPictures) {
  PictureChoiceState state;
  int indices[4];
  // Draws that repeat slot 0's choice must be redrawn.
  Script({5, 5, 5, 2, 2, 7, 5, 2, 7, 1});
  ChoosePictures(8, state, indices, ScriptedRandom);
  EXPECT_EQ(indices[0], 5);
  EXPECT_EQ(indices[1], 2);
  EXPECT_EQ(indices[2], 7);
  EXPECT_EQ(indices[3], 1);
  EXPECT_EQ(state.twoPictureToggle, 0);
  EXPECT_EQ(state.threePictureStep, 0);

  std::srand(17);
  std::set<int> seen;
  for (int change = 0; change < 200; ++change) {
    for (int n : {4, 5, 14}) {
      ChoosePictures(n, state, indices, std::rand);
      std::set<int> distinct(indices, indices + 4);
      EXPECT_EQ(distinct.size(), 4u);
      for (int index : indices) {
        EXPECT_GE(index, 0);
        EXPECT_LT(index, n);
        if (n == 14) seen.insert(index);
      }
    }
  }
  EXPECT_EQ(seen.size(), 14u);  // no memory of earlier changes: every picture comes up
}

TEST(PictureChoiceTest, OutputsShareNoPictureWhileTheListHoldsEnough) {
  int indices[4][4];
  PictureChoiceState states[4];
  std::srand(23);
  for (int change = 0; change < 100; ++change) {
    for (const auto& list : {std::pair<int, int>{8, 2}, {14, 3}, {6, 2}, {4, 3}, {9, 4}}) {
      ChoosePicturesForOutputs(list.first, list.second, states, indices, std::rand);
      std::set<int> all;
      for (int k = 0; k < list.second; ++k) {
        EXPECT_EQ(std::set<int>(indices[k], indices[k] + 4).size(), 4u);
        all.insert(indices[k], indices[k] + 4);
      }
      // Enough pictures: none twice; too few: every one shown before any repeats.
      EXPECT_EQ(all.size(), static_cast<size_t>(std::min(list.first, 4 * list.second)));
      EXPECT_TRUE(*all.begin() >= 0 && *all.rbegin() < list.first);
    }
  }
  // One output draws exactly as before.
  int alone[4];
  std::srand(5);
  ChoosePictures(30, states[0], alone, std::rand);
  std::srand(5);
  ChoosePicturesForOutputs(30, 1, states, indices, std::rand);
  EXPECT_TRUE(std::equal(alone, alone + 4, indices[0]));
}

TEST(PictureChoiceTest, FewPicturesFollowTheirRuleOnEachOutputAStepApart) {
  PictureChoiceState states[2] = {FirstChoiceState(0), FirstChoiceState(1)};
  const int three[4][4] = {{2, 1, 0, 1}, {1, 0, 1, 2}, {0, 1, 0, 2}, {2, 1, 1, 0}};
  int indices[2][4];
  for (int change = 0; change < 5; ++change) {
    ChoosePicturesForOutputs(2, 2, states, indices, ScriptedRandom);
    EXPECT_EQ(indices[0][0], change % 2);
    EXPECT_EQ(indices[1][0], 1 - change % 2);
    ChoosePicturesForOutputs(3, 2, states, indices, ScriptedRandom);
    for (int k = 0; k < 2; ++k) {
      EXPECT_TRUE(std::equal(indices[k], indices[k] + 4, three[(change + k) % 4]));
    }
  }
  // The fallback pictures differ while the list allows.
  Script({1, 1, 0, 1});
  ChooseFallbackPictures(2, 3, indices[0], ScriptedRandom);
  EXPECT_EQ(indices[0][0], 1);
  EXPECT_EQ(indices[0][1], 0);
  EXPECT_EQ(indices[0][2], 1);
}

TEST(PictureChoiceTest, EmptyListLeavesSlotsWithoutPicture) {
  PictureChoiceState state;
  int indices[4] = {3, 3, 3, 3};
  ChoosePictures(0, state, indices, ScriptedRandom);
  for (int index : indices) EXPECT_EQ(index, -1);
}

TEST(PictureChoiceTest, LongListsReachEveryEntry) {
  // Up to RAND_MAX + 1 entries: exactly one draw modulo n.
  Script({RAND_MAX, 9});
  EXPECT_EQ(RandomIndex(RAND_MAX + 1, ScriptedRandom), RAND_MAX);
  EXPECT_EQ(g_next, 1u);
  Script({10});
  EXPECT_EQ(RandomIndex(7, ScriptedRandom), 3);
  // Beyond that, two draws reach entries above RAND_MAX.
  const int n = 3 * (RAND_MAX + 1);
  Script({2, 5});
  EXPECT_EQ(RandomIndex(n, ScriptedRandom), 2 * (RAND_MAX + 1) + 5);
  EXPECT_EQ(g_next, 2u);
}

// An hour into a long timer a frame's milliseconds still count, and the last fraction of a
// millisecond is waited for rather than spun on.
TEST(SlideshowTimerTest, AnHourLongTimerFiresWhenLittleIsLeft) {
  SlideshowTimers timers;
  AdvanceChangeTimer(timers, 0.0f, 3600);
  timers.changeElapsed = 3600 - 0.0004;
  bool fired = false;
  for (int turn = 0; turn < 1000 && !fired; ++turn) {
    // A turn of the loop takes what it waited and a few microseconds more.
    const double waited = HostClock::WaitMilliseconds(3600 - timers.changeElapsed) / 1000.0;
    fired = AdvanceChangeTimer(timers, static_cast<float>(waited + 0.00002), 3600);
  }
  EXPECT_TRUE(fired);
}

TEST(SlideshowTimerTest, FirstCallChangesThenEveryPictureTimerSeconds) {
  SlideshowTimers timers;
  EXPECT_TRUE(AdvanceChangeTimer(timers, 0.0f, 5));
  EXPECT_FALSE(AdvanceChangeTimer(timers, 2.0f, 5));
  EXPECT_FALSE(AdvanceChangeTimer(timers, 2.9f, 5));
  EXPECT_TRUE(AdvanceChangeTimer(timers, 0.2f, 5));
  EXPECT_FLOAT_EQ(timers.changeElapsed, 0.0f);
  EXPECT_FALSE(AdvanceChangeTimer(timers, 4.0f, 5));

  SlideshowTimers zero;
  for (int frame = 0; frame < 4; ++frame) EXPECT_TRUE(AdvanceChangeTimer(zero, 0.0f, 0));
  SlideshowTimers negative;
  for (int frame = 0; frame < 4; ++frame) EXPECT_TRUE(AdvanceChangeTimer(negative, 0.01f, -3));
}

TEST(SlideshowTimerTest, FallbackPictureChangesAtOnceThenEveryTwoSeconds) {
  SlideshowTimers timers;
  EXPECT_TRUE(AdvanceFallbackTimer(timers, 0.0f));
  EXPECT_FALSE(AdvanceFallbackTimer(timers, 1.5f));
  EXPECT_TRUE(AdvanceFallbackTimer(timers, 0.5f));
  EXPECT_FALSE(AdvanceFallbackTimer(timers, 1.99f));
}

}  // namespace

TEST(TextureSizingTest, EachSlotGetsThePowerOfTwoItsLargestExtentNeeds) {
  for (const auto& screen : {std::pair<uint32_t, uint32_t>{1024, 768}, {1920, 1080},
                             {2560, 1440}, {3840, 2160}}) {
    for (int slot = 0; slot < 4; ++slot) {
      const float extent = SlotScreenExtent(slot, screen.first, screen.second);
      const uint32_t edge = SlotTextureEdge(slot, screen.first, screen.second, 4096, 4096);
      EXPECT_EQ(edge & (edge - 1), 0u);
      EXPECT_GE(edge, 256u);
      EXPECT_LE(edge, 2048u);
      if (edge > 256 && edge < 2048) {
        EXPECT_GE(static_cast<float>(edge), extent);
        EXPECT_LT(static_cast<float>(edge) / 2, extent);
      }
    }
  }
  // The large picture stands about 540 px wide at 1920x1080: no longer magnified.
  EXPECT_NEAR(SlotScreenExtent(1, 1920, 1080), 540.0f, 60.0f);
  EXPECT_EQ(SlotTextureEdge(1, 1920, 1080, 4096, 4096), 512u);
  EXPECT_EQ(SlotTextureEdge(1, 3840, 2160, 4096, 4096), 1024u);
  // The device's largest texture and the 2048 ceiling hold; small windows keep 256.
  EXPECT_EQ(SlotTextureEdge(1, 3840, 2160, 512, 1024), 512u);
  EXPECT_EQ(SlotTextureEdge(1, 7680, 4320, 16384, 16384), 2048u);
  EXPECT_EQ(SlotTextureEdge(1, 152, 112, 4096, 4096), 256u);
  EXPECT_EQ(SlotTextureEdge(1, 0, 0, 4096, 4096), 256u);
}

namespace {

std::string g_roundFolder;

std::vector<PictureEntry> Pictures(int n) {
  std::vector<PictureEntry> list;
  for (int i = 0; i < n; ++i) list.push_back(MakePictureEntry("", std::to_string(i).c_str()));
  return list;
}

class PictureRoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_roundFolder = folder_.File("user");
    g_userDataFolder = [](char* out, size_t size) {
      return FormatPath(out, size, "%s", g_roundFolder.c_str());
    };
    std::srand(11);
  }
  void TearDown() override { g_userDataFolder = SystemUserDataFolder; }
  testing_support::TempFolder folder_;
};

// Every n pictures taken are one whole round, with the within-change rules, while the saver is
// restarted (a new round reading the file) now and then.
TEST_F(PictureRoundTest, EveryPictureOncePerRoundAcrossRestarts) {
  std::vector<int> taken;
  for (int run = 0; run < 8; ++run) {
    PictureRound round;
    PictureChoiceState states[2];
    for (int change = 0; change < 5; ++change) {
      int indices[2][4];
      ChooseGalleryPictures(&round, Pictures(10), 2, states, indices, std::rand);
      EXPECT_EQ(std::set<int>(indices[0], indices[0] + 8).size(), 8u);
      taken.insert(taken.end(), indices[0], indices[0] + 8);
    }
  }
  for (auto from = taken.begin(); from != taken.end(); from += 10) {
    EXPECT_EQ(std::set<int>(from, from + 10).size(), 10u);
  }
}

TEST_F(PictureRoundTest, AddedPicturesJoinTheNextRoundAnEditedListStartsAfresh) {
  int taken[24];
  { PictureRound round; ASSERT_TRUE(round.Take(Pictures(10), 4, taken, std::rand)); }
  std::vector<PictureEntry> longer = Pictures(12);
  { PictureRound round;
    ASSERT_TRUE(round.Take(longer, 6, taken + 4, std::rand) &&
                round.Take(longer, 12, taken + 10, std::rand) &&
                round.Take(longer, 2, taken + 22, std::rand)); }
  const std::set<int> old(taken, taken + 10);
  EXPECT_EQ(old.size(), 10u);
  EXPECT_LT(*old.rbegin(), 10);
  EXPECT_EQ(std::set<int>(taken + 10, taken + 22).size(), 12u);
  longer[3] = MakePictureEntry("", "other");
  PictureRound edited;
  ASSERT_TRUE(edited.Take(longer, 4, taken, std::rand));
  EXPECT_EQ(edited.State().position, 4u);  // a resumed round would stand at 6
}

TEST_F(PictureRoundTest, ABadFileGivesAFreshRound) {
  int taken[4];
  { PictureRound round; ASSERT_TRUE(round.Take(Pictures(10), 4, taken, std::rand)); }
  const std::string good = folder_.Read("user\\pictureround.dat");
  std::string flipped = good, hugeHeld = good;
  flipped[26] ^= 1, hugeHeld[28] = 100;  // position, held-back count
  for (const std::string& bad : {std::string(), good.substr(0, good.size() - 1), flipped,
                                 hugeHeld, std::string("name\r\npath\r\n"), good + "x"}) {
    folder_.Write("user\\pictureround.dat", bad);
    PictureRound round;
    ASSERT_TRUE(round.Take(Pictures(10), 4, taken, std::rand));
    EXPECT_EQ(round.State().position, 4u) << bad.size();  // a resumed round would stand at 8
  }
}

TEST_F(PictureRoundTest, UncheckedGivesThePlainDraw) {
  PictureChoiceState states[2];
  int plain[2][4], drawn[2][4];
  std::srand(3);
  ChoosePicturesForOutputs(12, 2, states, plain, std::rand);
  std::srand(3);
  ChooseGalleryPictures(nullptr, Pictures(12), 2, states, drawn, std::rand);
  EXPECT_TRUE(std::equal(plain[0], plain[0] + 8, drawn[0]));
}

}  // namespace
