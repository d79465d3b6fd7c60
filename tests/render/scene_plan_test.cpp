#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/scene_plan.h"
#include "show/slideshow_layout.h"

namespace {

struct Gallery {
  std::vector<SceneItem> slots;
  std::vector<DrawOrderEntry> order;
  std::vector<bool> loaded = {true, true, true, true};
  explicit Gallery(int layout) {
    PlaceSlots(layout, slots, order);
    FitAspect(slots[0], 400, 300);
    FitAspect(slots[1], 400, 300);
    FitAspect(slots[2], 300, 400);
    FitAspect(slots[3], 500, 500);
  }
};

constexpr SceneSwitches kAllOn = {false, true, true};

TEST(ScenePlanTest, BackdropObjectThenEachSlotInDrawOrder) {
  Gallery gallery(0);
  const std::vector<DrawStep> steps =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, kAllOn);
  ASSERT_EQ(steps.size(), 3u + 16u);
  EXPECT_EQ(steps[0].mesh, BackdropMesh);
  EXPECT_EQ(steps[0].texture, StageTexture::Backdrop);
  EXPECT_EQ(steps[0].states, StateSet::Picture);
  EXPECT_EQ(steps[0].drawingObject, 0);
  EXPECT_EQ(steps[1].mesh, ObjectMesh);
  EXPECT_EQ(steps[1].states, StateSet::Object);
  EXPECT_EQ(steps[1].drawingObject, 1);
  EXPECT_EQ(steps[2].mesh, MirrorObjectMesh);
  EXPECT_EQ(steps[2].states, StateSet::MirrorObject);
  EXPECT_EQ(steps[2].drawingObject, 1);
  EXPECT_FLOAT_EQ(steps[1].world._42, -1.0f);
  EXPECT_FLOAT_EQ(steps[2].world._42, -1.8f);
  EXPECT_FLOAT_EQ(steps[2].world._22, -1.0f);

  const int slotOrder[4] = {0, 2, 3, 1};
  const SceneMeshId meshes[4] = {FrameMesh, PictureMesh, MirrorFrameMesh, MirrorPictureMesh};
  for (int k = 0; k < 4; ++k) {
    for (int j = 0; j < 4; ++j) {
      const DrawStep& step = steps[3 + k * 4 + j];
      EXPECT_EQ(step.slot, slotOrder[k]);
      EXPECT_EQ(step.mesh, meshes[j]);
      EXPECT_EQ(step.drawingObject, 0);
      const bool picture = j % 2 == 1;
      EXPECT_EQ(step.zBias, picture ? 1u : 0u);
      EXPECT_EQ(step.states, picture ? StateSet::Picture : StateSet::Frame);
      EXPECT_EQ(step.texture, picture ? StageTexture::Slot : StageTexture::None);
    }
  }
}

TEST(ScenePlanTest, LargeSlotPictureIsInsetInsideItsFrame) {
  Gallery gallery(1);
  const std::vector<DrawStep> steps =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, kAllOn);
  // Slot 1 (size 2.0, landscape 4:3) is drawn last; slot 3 (size 1.1, square) third.
  const DrawStep* large = &steps[3 + 3 * 4];
  const DrawStep* small = &steps[3 + 2 * 4];
  ASSERT_EQ(large->slot, 1);
  ASSERT_EQ(small->slot, 3);
  // Unturned axes: the world's scale shows in the row lengths.
  auto width = [](const DrawStep& s) {
    return std::sqrt(s.world._11 * s.world._11 + s.world._13 * s.world._13);
  };
  EXPECT_NEAR(width(large[0]), 2.1f, 1e-5f);
  EXPECT_NEAR(width(large[1]), 1.9f, 1e-5f);
  EXPECT_NEAR(large[0].world._22, 2.1f * 0.75f, 1e-5f);
  EXPECT_NEAR(large[1].world._22, 1.9f * 0.75f, 1e-5f);
  EXPECT_NEAR(large[3].world._22, -1.9f * 0.75f, 1e-5f);
  EXPECT_NEAR(width(small[0]), 1.2f, 1e-5f);
  EXPECT_NEAR(width(small[1]), 1.1f, 1e-5f);
  EXPECT_NEAR(small[3].world._22, -1.1f, 1e-5f);
  // Slot 0's picture (size 1.0) is not inset either.
  EXPECT_NEAR(width(steps[4]), 1.0f, 1e-5f);
}

TEST(ScenePlanTest, InvertFlipsOnlyTheBackdrop) {
  Gallery gallery(0);
  const std::vector<DrawStep> upright =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, kAllOn);
  const std::vector<DrawStep> inverted =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, {true, true, true});
  ASSERT_EQ(upright.size(), inverted.size());
  EXPECT_FLOAT_EQ(upright[0].world._22, 10.0f);
  EXPECT_FLOAT_EQ(inverted[0].world._22, -10.0f);
  EXPECT_FLOAT_EQ(inverted[0].world._11, 75.0f);
  EXPECT_FLOAT_EQ(inverted[0].world._43, 4.0f);
  for (size_t i = 1; i < upright.size(); ++i) {
    EXPECT_TRUE(upright[i].world == inverted[i].world) << i;
  }
}

TEST(ScenePlanTest, ObjectSwitchAndEnvironmentMapSwitch) {
  Gallery gallery(0);
  const std::vector<DrawStep> noObject =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, {false, false, true});
  ASSERT_EQ(noObject.size(), 1u + 16u);
  for (const DrawStep& step : noObject) {
    EXPECT_NE(step.mesh, ObjectMesh);
    EXPECT_NE(step.mesh, MirrorObjectMesh);
    EXPECT_EQ(step.drawingObject, 0);
  }
  const std::vector<DrawStep> plain =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, {false, true, false});
  const std::vector<DrawStep> mapped =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, kAllOn);
  ASSERT_EQ(plain.size(), mapped.size());
  for (int i : {1, 2}) {
    EXPECT_EQ(plain[i].texture, StageTexture::None);
    EXPECT_EQ(mapped[i].texture, StageTexture::Environment);
  }
  // The reflections of pictures and frames stay.
  for (size_t i = 3; i < plain.size(); ++i) EXPECT_EQ(plain[i].mesh, mapped[i].mesh);
}

TEST(ScenePlanTest, SlotWithoutPictureIsAnEmptyFrame) {
  Gallery gallery(0);
  gallery.loaded[2] = false;
  const std::vector<DrawStep> steps =
      PlanFullScene(gallery.slots, gallery.order, gallery.loaded, kAllOn);
  ASSERT_EQ(steps.size(), 3u + 14u);
  int frames = 0;
  for (const DrawStep& step : steps) {
    if (step.slot != 2) continue;
    EXPECT_TRUE(step.mesh == FrameMesh || step.mesh == MirrorFrameMesh);
    ++frames;
  }
  EXPECT_EQ(frames, 2);
}

TEST(ScenePlanTest, EmptyOrBadDrawOrderDrawsOnlyBackdropAndObject) {
  Gallery gallery(0);
  EXPECT_EQ(PlanFullScene(gallery.slots, {}, gallery.loaded, kAllOn).size(), 3u);
  const std::vector<DrawOrderEntry> bad = {{1.0f, 7}, {1.0f, -1}};
  EXPECT_EQ(PlanFullScene(gallery.slots, bad, gallery.loaded, kAllOn).size(), 3u);
}

TEST(SceneMeshFilesTest, LoadOrderAndRoles) {
  const char* expected[kSceneMeshCount] = {
      "data\\objects\\object2n.x",  "data\\objects\\object2nf.x", "data\\objects\\object2.x",
      "data\\objects\\object2f.x",  "data\\objects\\vrkrogla2.x", "data\\objects\\coffeemug.x",
      "data\\objects\\coffeemug2.x"};
  const SceneMeshId roles[kSceneMeshCount] = {PictureMesh,  FrameMesh,  MirrorPictureMesh,
                                              MirrorFrameMesh, BackdropMesh, ObjectMesh,
                                              MirrorObjectMesh};
  for (int i = 0; i < kSceneMeshCount; ++i) {
    EXPECT_STREQ(kSceneMeshFiles[i].relativePath, expected[i]);
    EXPECT_EQ(kSceneMeshFiles[i].id, roles[i]);
  }
}

}  // namespace
