#include <gtest/gtest.h>

#include <cmath>

#include "render/drift_spin.h"
#include "render/scene_matrices.h"

namespace {

void ExpectMatrixNear(const D3DXMATRIX& actual, const float (&expected)[16]) {
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(actual.m[i / 4][i % 4], expected[i], 1e-5f) << "element _" << (i / 4 + 1)
                                                           << (i % 4 + 1);
  }
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, float x, float y, float z) {
  D3DXVECTOR3 in(x, y, z), out;
  D3DXVec3TransformCoord(&out, &in, &m);
  return out;
}

TEST(ItemWorldTest, ScalesThenRollsPitchesYawsThenMoves) {
  // Pitch 90 then yaw 90: local x -> -z, y -> x, z -> -y.
  const D3DXMATRIX world = ComposeItemWorld(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(2, 2, 2),
                                            D3DXVECTOR3(90, 90, 0), 0.5f, 1.0f);
  const float expected[16] = {0, 0, -1, 0,  //
                              2, 0, 0,  0,  //
                              0, -2, 0, 0,  //
                              1, 2, 3,  1};
  ExpectMatrixNear(world, expected);
}

TEST(ItemWorldTest, AspectFactorsScaleOnlyWidthAndHeight) {
  const D3DXMATRIX world = ComposeItemWorld(D3DXVECTOR3(-1, -0.25f, 5), D3DXVECTOR3(2.1f, 2.1f, 2.1f),
                                            D3DXVECTOR3(0, 0, 0), 1.0f, 0.75f);
  const float expected[16] = {2.1f, 0, 0, 0, 0, 1.575f, 0, 0, 0, 0, 2.1f, 0, -1, -0.25f, 5, 1};
  ExpectMatrixNear(world, expected);
}

TEST(ScaledWorldTest, BackdropSphereUprightAndUpsideDown) {
  const float upright[16] = {75, 0, 0, 0, 0, 10, 0, 0, 0, 0, 75, 0, 0, 0, 4, 1};
  ExpectMatrixNear(ComposeScaledWorld(D3DXVECTOR3(0, 0, 4), D3DXVECTOR3(75, 10, 75)), upright);
  const float inverted[16] = {75, 0, 0, 0, 0, -10, 0, 0, 0, 0, 75, 0, 0, 0, 4, 1};
  ExpectMatrixNear(ComposeScaledWorld(D3DXVECTOR3(0, 0, 4), D3DXVECTOR3(75, -10, 75)), inverted);
}

TEST(MirrorWorldTest, LandscapePictureTurnedAwayFromTheViewer) {
  // Slot 1 of layout 1 with a 4:3 picture: picture 1.9, yaw 10 degrees.
  const float c = std::cos(10.0f * 0.017453292f), s = std::sin(10.0f * 0.017453292f);
  const D3DXMATRIX world =
      ComposeMirrorWorld(MirrorPicture, D3DXVECTOR3(1, -0.25f, 5), D3DXVECTOR3(1.9f, 1.9f, 1.9f),
                         D3DXVECTOR3(0, 10, 0), 1.0f, 0.75f);
  // ty = -0.25 - 1.9 * 0.75 - 0.1 * 1.9 * 0.75
  const float expected[16] = {1.9f * c, 0,      -1.9f * s, 0,  //
                              0,        -1.425f, 0,        0,  //
                              1.9f * s, 0,      1.9f * c,  0,  //
                              1,        -1.8175f, 5,       1};
  ExpectMatrixNear(world, expected);
}

TEST(MirrorWorldTest, FrameOffsetsByHeightAndPortraitByFullSize) {
  const float landscape[16] = {2.1f, 0, 0, 0, 0, -1.575f, 0, 0, 0, 0, 2.1f, 0, 0, -1.825f, 4, 1};
  ExpectMatrixNear(ComposeMirrorWorld(MirrorFrame, D3DXVECTOR3(0, -0.25f, 4),
                                      D3DXVECTOR3(2.1f, 2.1f, 2.1f), D3DXVECTOR3(0, 0, 0), 1.0f,
                                      0.75f),
                   landscape);
  const float portrait[16] = {0.825f, 0, 0, 0, 0, -1.1f, 0, 0, 0, 0, 1.1f, 0, 0, -1.1f, 4, 1};
  ExpectMatrixNear(ComposeMirrorWorld(MirrorFrame, D3DXVECTOR3(0, 0, 4),
                                      D3DXVECTOR3(1.1f, 1.1f, 1.1f), D3DXVECTOR3(0, 0, 0), 0.75f,
                                      1.0f),
                   portrait);
  const float picture[16] = {0.75f, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, -1.1f, 4, 1};
  ExpectMatrixNear(ComposeMirrorWorld(MirrorPicture, D3DXVECTOR3(0, 0, 4),
                                      D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(0, 0, 0), 0.75f, 1.0f),
                   picture);
}

TEST(MirrorWorldTest, ObjectIgnoresAspectAndSitsBelowAtMinusOnePointEight) {
  const float expected[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, -1.2f, -1.8f, 3.8f, 1};
  ExpectMatrixNear(ComposeMirrorWorld(MirrorObject, D3DXVECTOR3(-1.2f, -1, 3.8f),
                                      D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(0, 0, 0), 0.5f, 0.25f),
                   expected);
}

TEST(MirrorWorldTest, FrameReflectionTouchesTheUprightFrameWhenTurned) {
  const D3DXVECTOR3 position(-1.5f, -0.5875f, 4), size(1.2f, 1.2f, 1.2f), turn(0, -25, 0);
  const D3DXMATRIX upright = ComposeItemWorld(position, size, turn, 1.0f, 0.75f);
  const D3DXMATRIX mirror = ComposeMirrorWorld(MirrorFrame, position, size, turn, 1.0f, 0.75f);
  for (float x : {-0.5f, 0.0f, 0.5f}) {
    const D3DXVECTOR3 a = Apply(upright, x, -0.5f, 0), b = Apply(mirror, x, -0.5f, 0);
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
    EXPECT_NEAR(a.y, -1.0375f, 1e-5f);
  }
  // The top of the upright frame appears as far below the floor as it stands above it.
  const float floor = Apply(upright, 0, -0.5f, 0).y;
  EXPECT_NEAR(Apply(mirror, 0, 0.5f, 0).y, 2 * floor - Apply(upright, 0, 0.5f, 0).y, 1e-5f);
}

TEST(PictureInsetTest, OnlyTheLargeSlotIsInset) {
  EXPECT_FLOAT_EQ(PictureInset(2.0f), 0.1f);
  EXPECT_FLOAT_EQ(PictureInset(1.1f), 0.0f);
  EXPECT_FLOAT_EQ(PictureInset(1.0f), 0.0f);
  EXPECT_FLOAT_EQ(PictureInset(2.0001f), 0.0f);
  EXPECT_FLOAT_EQ(PictureInset(1.9999f), 0.0f);
}

TEST(DriftSpinTest, BouncesPastAWallWithoutClamping) {
  DriftState drift;
  const float speed[3] = {0.5f, 0.75f, 1.0f};
  const float still[3] = {7500.0f, 7500.0f, 7500.0f};
  // One long frame carries every axis past its upper wall.
  D3DXMATRIX world = ComputeDriftSpin(drift, speed, still, 4.0f, 0);
  EXPECT_FLOAT_EQ(drift.driftPosition[0], 2.0f);
  EXPECT_FLOAT_EQ(drift.driftPosition[1], 3.0f);
  EXPECT_FLOAT_EQ(drift.driftPosition[2], 4.0f);
  for (int direction : drift.driftDirection) EXPECT_EQ(direction, -1);
  const float moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1};
  ExpectMatrixNear(world, moved);

  // Back inside, then on to the lower walls (z goes to -4).
  ComputeDriftSpin(drift, speed, still, 1.0f, 0);
  EXPECT_FLOAT_EQ(drift.driftPosition[0], 1.5f);
  for (int direction : drift.driftDirection) EXPECT_EQ(direction, -1);
  ComputeDriftSpin(drift, speed, still, 7.0f, 0);
  EXPECT_FLOAT_EQ(drift.driftPosition[0], -2.0f);
  EXPECT_FLOAT_EQ(drift.driftPosition[2], -4.0f);
  for (int direction : drift.driftDirection) EXPECT_EQ(direction, 1);
  // Exactly on a wall while moving away from it does not flip again.
  ComputeDriftSpin(drift, speed, still, 0.0f, 0);
  for (int direction : drift.driftDirection) EXPECT_EQ(direction, 1);
}

TEST(DriftSpinTest, SpinAngleByTimeBase) {
  EXPECT_FLOAT_EQ(SpinAngle(0.0f, 300), 3.0f);
  EXPECT_FLOAT_EQ(SpinAngle(7500.0f, 123456), 0.0f);
  EXPECT_FLOAT_EQ(SpinAngle(2000.0f, 1000), 0.5f);
  EXPECT_FLOAT_EQ(SpinAngle(1000.0f, 2500), 2.5f);
  // Late in a long uptime the angle still turns smoothly (whole turns dropped).
  const DWORD late = 4000000000u;
  const float a = SpinAngle(2000.0f, late), b = SpinAngle(2000.0f, late + 20);
  const double exact = std::fmod(late / 2000.0, 6.283185307179586);
  EXPECT_NEAR(std::cos(a), std::cos(exact), 1e-4);
  EXPECT_NEAR(std::sin(a), std::sin(exact), 1e-4);
  EXPECT_NEAR(std::fmod(b - a + 6.283185307f, 6.283185307f), 0.01f, 1e-4f);
}

TEST(DriftSpinTest, TurnsAboutAllThreeAxes) {
  DriftState drift;
  const float speed[3] = {0.5f, 0.75f, 1.0f};
  const float base[3] = {2000.0f, 2000.0f, 2000.0f};
  const D3DXMATRIX world = ComputeDriftSpin(drift, speed, base, 0.0f, 1000);
  D3DXMATRIX rotation;
  D3DXMatrixRotationYawPitchRoll(&rotation, 0.5f, 0.5f, 0.5f);
  const float* r = rotation;
  float expected[16];
  for (int i = 0; i < 16; ++i) expected[i] = r[i];
  ExpectMatrixNear(world, expected);
}

}  // namespace
