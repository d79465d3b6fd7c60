// Matrix and vector functions against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "d3dx/d3dx8_math.h"

namespace {

void ExpectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual,
                      float tolerance = 1e-5f) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(expected.m[r][c], actual.m[r][c], tolerance) << "row " << r << " col " << c;
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &v, &m);
  return out;
}

TEST(D3dxMath, RowVectorsApplyTheLeftMatrixFirst) {
  D3DXMATRIX translate, scale, both;
  D3DXMatrixTranslation(&translate, 1, 2, 3);
  D3DXMatrixScaling(&scale, 2, 3, 4);
  D3DXMatrixMultiply(&both, &translate, &scale);  // translate, then scale
  D3DXVECTOR3 p = Transform(D3DXVECTOR3(1, 1, 1), both);
  EXPECT_FLOAT_EQ(4.0f, p.x);
  EXPECT_FLOAT_EQ(9.0f, p.y);
  EXPECT_FLOAT_EQ(16.0f, p.z);
  D3DXMatrixMultiply(&both, &scale, &translate);
  p = Transform(D3DXVECTOR3(1, 1, 1), both);
  EXPECT_FLOAT_EQ(3.0f, p.x);
  EXPECT_FLOAT_EQ(5.0f, p.y);
  EXPECT_FLOAT_EQ(7.0f, p.z);
  // The output may be one of the inputs.
  D3DXMatrixMultiply(&translate, &translate, &scale);
  EXPECT_FLOAT_EQ(2.0f, translate._41);
  EXPECT_FLOAT_EQ(12.0f, translate._43);
}

TEST(D3dxMath, RotationsTurnAxesTheLeftHandedWay) {
  const float quarter = D3DX_PI / 2;
  D3DXMATRIX r;
  // Looking down each axis towards the origin, positive angles turn clockwise.
  D3DXVECTOR3 p = Transform(D3DXVECTOR3(0, 1, 0), *D3DXMatrixRotationX(&r, quarter));
  EXPECT_NEAR(0.0f, p.y, 1e-6f);
  EXPECT_NEAR(1.0f, p.z, 1e-6f);
  p = Transform(D3DXVECTOR3(0, 0, 1), *D3DXMatrixRotationY(&r, quarter));
  EXPECT_NEAR(1.0f, p.x, 1e-6f);
  EXPECT_NEAR(0.0f, p.z, 1e-6f);
  p = Transform(D3DXVECTOR3(1, 0, 0), *D3DXMatrixRotationZ(&r, quarter));
  EXPECT_NEAR(0.0f, p.x, 1e-6f);
  EXPECT_NEAR(1.0f, p.y, 1e-6f);
}

TEST(D3dxMath, YawPitchRollIsRollThenPitchThenYaw) {
  D3DXMATRIX ypr, x, y, z, expected;
  D3DXMatrixRotationYawPitchRoll(&ypr, 0.3f, -0.7f, 1.1f);
  D3DXMatrixRotationZ(&z, 1.1f);
  D3DXMatrixRotationX(&x, -0.7f);
  D3DXMatrixRotationY(&y, 0.3f);
  expected = z * x * y;
  ExpectMatrixNear(expected, ypr);
  // Yaw alone is a turn about Y.
  D3DXMatrixRotationYawPitchRoll(&ypr, 0.5f, 0, 0);
  ExpectMatrixNear(*D3DXMatrixRotationY(&y, 0.5f), ypr);
}

TEST(D3dxMath, LookAtOfTheSceneCamera) {
  D3DXVECTOR3 eye(0, 0.25f, 0), at(0, 0, 4), up(0, 1, 0);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  // z axis: (0, -0.25, 4) normalised; x axis: up x z; y axis: z x x.
  const float length = std::sqrt(0.0625f + 16.0f);
  const float zy = -0.25f / length, zz = 4.0f / length;
  ExpectMatrixNear(D3DXMATRIX(1, 0, 0, 0,                       //
                              0, zz, zy, 0,                     //
                              0, -zy, zz, 0,                    //
                              0, -0.25f * zz, -0.25f * zy, 1),  //
                   view);
  // The eye maps to the origin, the target onto the +z axis.
  D3DXVECTOR3 p = Transform(eye, view);
  EXPECT_NEAR(0.0f, D3DXVec3Length(&p), 1e-6f);
  p = Transform(at, view);
  EXPECT_NEAR(0.0f, p.x, 1e-6f);
  EXPECT_NEAR(0.0f, p.y, 1e-5f);
  EXPECT_NEAR(length, p.z, 1e-5f);
}

TEST(D3dxMath, PerspectiveFovMapsNearToZeroAndFarToOne) {
  D3DXMATRIX projection;
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 0.1f, 50.0f);
  const float yScale = 1.0f / std::tan(D3DX_PI / 8);
  EXPECT_NEAR(yScale, projection._22, 1e-5f);
  EXPECT_NEAR(yScale * 0.75f, projection._11, 1e-5f);
  EXPECT_NEAR(50.0f / 49.9f, projection._33, 1e-6f);
  EXPECT_FLOAT_EQ(1.0f, projection._34);
  EXPECT_NEAR(-0.1f * 50.0f / 49.9f, projection._43, 1e-6f);
  EXPECT_FLOAT_EQ(0.0f, projection._44);
  EXPECT_NEAR(0.0f, Transform(D3DXVECTOR3(0, 0, 0.1f), projection).z, 1e-6f);
  EXPECT_NEAR(1.0f, Transform(D3DXVECTOR3(0, 0, 50.0f), projection).z, 1e-5f);
}

TEST(D3dxMath, InverseUndoesAndRefusesSingularMatrices) {
  D3DXMATRIX r, t, s, m, inverse, product, identity;
  D3DXMatrixRotationYawPitchRoll(&r, 0.4f, 0.2f, -0.9f);
  D3DXMatrixTranslation(&t, 3, -2, 7);
  D3DXMatrixScaling(&s, 2, 0.5f, 4);
  m = s * r * t;
  float determinant = 0;
  ASSERT_NE(nullptr, D3DXMatrixInverse(&inverse, &determinant, &m));
  EXPECT_NEAR(4.0f, determinant, 1e-4f);
  product = m * inverse;
  ExpectMatrixNear(*D3DXMatrixIdentity(&identity), product);

  D3DXMATRIX singular;
  D3DXMatrixScaling(&singular, 1, 0, 1);
  D3DXMATRIX untouched = inverse;
  EXPECT_EQ(nullptr, D3DXMatrixInverse(&inverse, &determinant, &singular));
  EXPECT_FLOAT_EQ(0.0f, determinant);
  EXPECT_TRUE(untouched == inverse);
}

TEST(D3dxMath, NormalizeKeepsDirectionAndZeroStaysZero) {
  D3DXVECTOR3 v(3, 0, -4), n;
  D3DXVec3Normalize(&n, &v);
  EXPECT_FLOAT_EQ(0.6f, n.x);
  EXPECT_FLOAT_EQ(-0.8f, n.z);
  D3DXVECTOR3 zero(0, 0, 0);
  D3DXVec3Normalize(&n, &zero);
  EXPECT_TRUE(n == zero);
  D3DXVECTOR3 a(1, 0, 0), b(0, 1, 0), c;
  D3DXVec3Cross(&c, &a, &b);
  EXPECT_TRUE(c == D3DXVECTOR3(0, 0, 1));
}

}  // namespace
