// Gradients and the studio cube map.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/backdrops.h"

namespace assets {
namespace {

float Luma(Rgb c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

TEST(GradientTest, TenDistinctVerticalRampsWithoutTheColourKey) {
  std::vector<std::vector<uint8_t>> all;
  for (int i = 0; i < kGradientCount; ++i) {
    std::vector<uint8_t> rgb = PaintGradient(i, 256);
    ASSERT_EQ(rgb.size(), 256u * 256u * 3u);
    // RGB 240, 240, 240 would turn transparent in the backdrop texture.
    for (size_t p = 0; p < rgb.size(); p += 3)
      ASSERT_FALSE(rgb[p] == 240 && rgb[p + 1] == 240 && rgb[p + 2] == 240) << "gradient " << i;
    // Top and horizon differ clearly: it is a gradient, not a flat colour.
    auto at = [&](int x, int y) { return &rgb[(static_cast<size_t>(y) * 256 + x) * 3]; };
    int diff = 0;
    for (int k = 0; k < 3; ++k) diff += std::abs(at(128, 2)[k] - at(128, 128)[k]);
    EXPECT_GT(diff, 60) << "gradient " << i;
    all.push_back(rgb);
  }
  for (int i = 0; i < kGradientCount; ++i)
    for (int j = i + 1; j < kGradientCount; ++j) EXPECT_NE(all[i], all[j]);
  EXPECT_EQ(PaintGradient(3, 64), PaintGradient(3, 64));
}

TEST(StudioCubeTest, FaceDirectionsFollowCubeMapAddressing) {
  struct Case {
    int face;
    Vec3 centre;
  } cases[] = {{0, {1, 0, 0}}, {1, {-1, 0, 0}}, {2, {0, 1, 0}},
               {3, {0, -1, 0}}, {4, {0, 0, 1}}, {5, {0, 0, -1}}};
  for (const Case& c : cases) {
    // The centre of a face of even size lies between four texels; their mean is the axis.
    Vec3 sum = CubeTexelDirection(c.face, 7, 7, 16) + CubeTexelDirection(c.face, 8, 8, 16);
    Vec3 d = Normalize(sum);
    EXPECT_NEAR(Dot(d, c.centre), 1.0f, 1e-5f) << "face " << c.face;
  }
  // Top rows of the side faces look up; the +Y face's top row looks towards +z... away from -z.
  EXPECT_GT(CubeTexelDirection(0, 8, 0, 16).y, 0.9f);
  EXPECT_GT(CubeTexelDirection(4, 8, 0, 16).y, 0.9f);
  EXPECT_LT(CubeTexelDirection(2, 8, 0, 16).z, -0.9f);
  // +X face: left edge looks towards +z, right edge towards -z.
  EXPECT_GT(CubeTexelDirection(0, 0, 8, 16).z, 0.9f);
  EXPECT_LT(CubeTexelDirection(0, 15, 8, 16).z, -0.9f);
}

TEST(StudioCubeTest, BrightLightsOverDarkRoom) {
  // The map is added to the lit mug: the room stays dark, the soft boxes are bright.
  EXPECT_LT(Luma(StudioColour({0, -1, 0})), 0.1f);
  EXPECT_LT(Luma(StudioColour({-0.25f, 0.05f, 1.0f})), 0.35f);  // a wall between the lights
  EXPECT_GT(Luma(StudioColour({0, 1, 0})), 0.8f);
  EXPECT_GT(Luma(StudioColour({-0.6f, 0.55f, -0.6f})), 0.8f);
  std::array<std::vector<uint32_t>, 6> faces = PaintStudioCubeFaces(32);
  int bright = 0, total = 0;
  for (const std::vector<uint32_t>& f : faces) {
    ASSERT_EQ(f.size(), 32u * 32u);
    for (uint32_t t : f) {
      ASSERT_EQ(t >> 24, 0xffu);
      bright += ((t >> 8) & 0xff) > 200;
      ++total;
    }
  }
  EXPECT_GT(bright, total / 50);
  EXPECT_LT(bright, total / 4);
}

}  // namespace
}  // namespace assets
