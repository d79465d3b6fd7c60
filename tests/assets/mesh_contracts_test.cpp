// Geometry contracts the scene's matrices rely on: unit extents, the frame band clear of the
// picture, the sphere's texture layout, and the mug's size, winding and normals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "assets/scene_meshes.h"

namespace assets {
namespace {

struct Bounds {
  Vec3 min{1e9f, 1e9f, 1e9f}, max{-1e9f, -1e9f, -1e9f};
};

Bounds BoundsOf(const MeshData& m) {
  Bounds b;
  for (const MeshVertex& v : m.vertices) {
    b.min = {std::min(b.min.x, v.position.x), std::min(b.min.y, v.position.y),
             std::min(b.min.z, v.position.z)};
    b.max = {std::max(b.max.x, v.position.x), std::max(b.max.y, v.position.y),
             std::max(b.max.z, v.position.z)};
  }
  return b;
}

Vec3 FaceCross(const MeshData& m, size_t f) {
  Vec3 a = m.vertices[m.indices[f * 3]].position, b = m.vertices[m.indices[f * 3 + 1]].position,
       c = m.vertices[m.indices[f * 3 + 2]].position;
  return Cross(b - a, c - a);
}

Vec3 FaceNormalSum(const MeshData& m, size_t f) {
  return m.vertices[m.indices[f * 3]].normal + m.vertices[m.indices[f * 3 + 1]].normal +
         m.vertices[m.indices[f * 3 + 2]].normal;
}

// Checks shared by every mesh: consistent arrays, unit normals, valid indices.
void ExpectWellFormed(const MeshData& m) {
  ASSERT_EQ(m.indices.size() % 3, 0u);
  ASSERT_EQ(m.faceMaterials.size(), m.FaceCount());
  ASSERT_FALSE(m.materials.empty());
  for (uint32_t i : m.indices) ASSERT_LT(i, m.vertices.size());
  for (uint32_t mat : m.faceMaterials) ASSERT_LT(mat, m.materials.size());
  for (const MeshVertex& v : m.vertices) EXPECT_NEAR(Length(v.normal), 1.0f, 1e-4f);
  // Direct3D meshes use 16-bit indices.
  EXPECT_LT(m.vertices.size(), 65535u);
}

// The front side of a face (clockwise seen from it) is where its vertex normals point.
void ExpectFacesAgreeWithNormals(const MeshData& m) {
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    ASSERT_GT(Dot(FaceCross(m, f), FaceNormalSum(m, f)), 0.0f) << "face " << f;
  }
}

TEST(PictureMeshTest, UnitSquareFacingTheCameraWithTopLeftOrigin) {
  MeshData m = BuildPictureMesh(1.0f);
  ExpectWellFormed(m);
  Bounds b = BoundsOf(m);
  EXPECT_FLOAT_EQ(b.min.x, -0.5f);
  EXPECT_FLOAT_EQ(b.max.x, 0.5f);
  EXPECT_FLOAT_EQ(b.min.y, -0.5f);
  EXPECT_FLOAT_EQ(b.max.y, 0.5f);
  EXPECT_FLOAT_EQ(b.min.z, 0.0f);
  EXPECT_FLOAT_EQ(b.max.z, 0.0f);
  for (const MeshVertex& v : m.vertices) {
    EXPECT_FLOAT_EQ(v.u, v.position.x + 0.5f);  // (0,0) top left, (1,1) bottom right
    EXPECT_FLOAT_EQ(v.v, 0.5f - v.position.y);
    EXPECT_FLOAT_EQ(v.normal.z, -1.0f);
  }
  ASSERT_EQ(m.FaceCount(), 2u);
  for (size_t f = 0; f < m.FaceCount(); ++f) EXPECT_LT(FaceCross(m, f).z, 0.0f);
  ASSERT_EQ(m.materials.size(), 1u);
  EXPECT_FLOAT_EQ(m.materials[0].diffuse[3], 1.0f);
}

TEST(PictureMeshTest, ReflectionMaterialsAreFaint) {
  for (const MeshData& m : {BuildPictureMesh(kReflectionAlpha), BuildFrameMesh(kReflectionAlpha),
                            BuildMugMesh(kReflectionAlpha)}) {
    for (const MeshMaterial& mat : m.materials) {
      EXPECT_LT(mat.diffuse[3], 1.0f);
      EXPECT_GT(mat.diffuse[3], 0.2f);
    }
  }
  MeshData renamed = WithAlpha(BuildFrameMesh(1.0f), 0.35f, "Mirror");
  EXPECT_EQ(renamed.name, "Mirror");
  for (const MeshMaterial& mat : renamed.materials) EXPECT_FLOAT_EQ(mat.diffuse[3], 0.35f);
}

TEST(FrameMeshTest, OuterExtentAndBackingPlate) {
  MeshData m = BuildFrameMesh(1.0f);
  ExpectWellFormed(m);
  ExpectFacesAgreeWithNormals(m);
  Bounds b = BoundsOf(m);
  EXPECT_FLOAT_EQ(b.min.x, -0.5f);
  EXPECT_FLOAT_EQ(b.max.x, 0.5f);
  EXPECT_FLOAT_EQ(b.min.y, -0.5f);
  EXPECT_FLOAT_EQ(b.max.y, 0.5f);
  EXPECT_FLOAT_EQ(b.max.z, 0.0f);
  EXPECT_LT(b.min.z, -0.02f) << "the moulding is raised towards the camera";
  // A plate at z = 0 covers the whole square behind the picture.
  double plateArea = 0.0;
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    bool flat = true;
    for (int k = 0; k < 3; ++k) flat = flat && m.vertices[m.indices[f * 3 + k]].position.z == 0.0f;
    if (flat) plateArea += 0.5 * Length(FaceCross(m, f));
  }
  EXPECT_NEAR(plateArea, 1.0, 1e-4);
  for (const MeshMaterial& mat : m.materials) EXPECT_FLOAT_EQ(mat.diffuse[3], 1.0f);
}

TEST(FrameMeshTest, MouldingNeverCoversThePicture) {
  // A picture fills at most 0.917 of the frame: half-extent 0.4585. Every raised face must lie
  // entirely beyond 0.46 on one side of the square (a separating axis).
  MeshData m = BuildFrameMesh(1.0f);
  int raised = 0;
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    Vec3 p[3];
    bool flat = true;
    for (int k = 0; k < 3; ++k) {
      p[k] = m.vertices[m.indices[f * 3 + k]].position;
      flat = flat && p[k].z == 0.0f;
    }
    if (flat) continue;
    ++raised;
    bool separated = false;
    for (float sign : {1.0f, -1.0f}) {
      bool allX = true, allY = true;
      for (const Vec3& q : p) {
        allX = allX && sign * q.x > 0.46f;
        allY = allY && sign * q.y > 0.46f;
      }
      separated = separated || allX || allY;
    }
    EXPECT_TRUE(separated) << "face " << f;
  }
  EXPECT_GT(raised, 8);
}

TEST(BackdropSphereTest, FitsInsideTheFarPlane) {
  // The scene draws the sphere scaled by (75, 10, 75) about (0, 0, 4) with the eye at
  // (0, 0.25, 0) and the far plane at 50: every point must be nearer than that, or the
  // backdrop is cut open along the horizon.
  MeshData m = BuildBackdropSphere(kBackdropSegments, kBackdropRings);
  float farthest = 0.0f;
  for (const MeshVertex& v : m.vertices) {
    Vec3 p{v.position.x * 75.0f, v.position.y * 10.0f - 0.25f, v.position.z * 75.0f + 4.0f};
    farthest = std::max(farthest, Length(p));
  }
  EXPECT_LT(farthest, 49.5f);
  EXPECT_GT(farthest, 40.0f);  // still far behind the pictures
}

TEST(BackdropSphereTest, SphereWithLatitudeLongitudeTexture) {
  MeshData m = BuildBackdropSphere(kBackdropSegments, kBackdropRings);
  ExpectWellFormed(m);
  float minU = 1, maxU = 0, minV = 1, maxV = 0;
  for (const MeshVertex& v : m.vertices) {
    EXPECT_NEAR(Length(v.position), kBackdropRadius, 1e-5f);
    Vec3 unit = v.position * (1.0f / kBackdropRadius);
    minU = std::min(minU, v.u), maxU = std::max(maxU, v.u);
    minV = std::min(minV, v.v), maxV = std::max(maxV, v.v);
    // v runs from the top to the bottom.
    EXPECT_NEAR(v.v, std::acos(std::clamp(unit.y, -1.0f, 1.0f)) / 3.14159265f, 1e-4f);
    // Seen from inside: normals point at the centre.
    EXPECT_NEAR(Dot(v.normal, unit), -1.0f, 1e-4f);
  }
  EXPECT_FLOAT_EQ(minU, 0.0f);
  EXPECT_FLOAT_EQ(maxU, 1.0f);
  EXPECT_FLOAT_EQ(minV, 0.0f);
  EXPECT_FLOAT_EQ(maxV, 1.0f);
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    Vec3 centroid = (m.vertices[m.indices[f * 3]].position + m.vertices[m.indices[f * 3 + 1]].position +
                     m.vertices[m.indices[f * 3 + 2]].position) * (1.0f / 3.0f);
    ASSERT_LT(Dot(FaceCross(m, f), centroid), 0.0f) << "face " << f << " is not front-facing inwards";
  }
}

TEST(BackdropSphereTest, MiddleOfTheBitmapIsStraightAheadAndNotMirrored) {
  MeshData m = BuildBackdropSphere(kBackdropSegments, kBackdropRings);
  auto find = [&](float u, float v) -> Vec3 {
    for (const MeshVertex& x : m.vertices)
      if (std::fabs(x.u - u) < 1e-5f && std::fabs(x.v - v) < 1e-5f) return x.position;
    ADD_FAILURE() << "no vertex at " << u << ", " << v;
    return {};
  };
  Vec3 ahead = find(0.5f, 0.5f);
  EXPECT_NEAR(ahead.z, kBackdropRadius, 1e-5f);
  // Further along u is further to the right (+x) of a viewer looking ahead (+z).
  Vec3 right = find(0.75f, 0.5f);
  EXPECT_NEAR(right.x, kBackdropRadius, 1e-5f);
  EXPECT_NEAR(find(0.5f, 0.0f).y, kBackdropRadius, 1e-6f);
}

double SignedVolume(const MeshData& m) {
  double sum = 0.0;
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    Vec3 a = m.vertices[m.indices[f * 3]].position, b = m.vertices[m.indices[f * 3 + 1]].position,
         c = m.vertices[m.indices[f * 3 + 2]].position;
    sum += Dot(a, Cross(b, c));
  }
  return sum / 6.0;
}

TEST(MugMeshTest, HeightAndPlaceTouchTheReflection) {
  MeshData m = BuildMugMesh(1.0f);
  ExpectWellFormed(m);
  Bounds b = BoundsOf(m);
  EXPECT_NEAR(b.min.y, -0.4f, 1e-5f);
  EXPECT_NEAR(b.max.y, 0.4f, 1e-5f);
  // Round body about the y axis, handle sticking out on one side.
  EXPECT_NEAR(b.max.x, 0.32f, 1e-4f);
  EXPECT_NEAR(b.max.z, 0.32f, 1e-3f);
  EXPECT_LT(b.min.x, -0.45f);
  EXPECT_GT(b.min.x, -0.6f);
}

TEST(MugMeshTest, FrontFacesAreClockwiseSeenFromOutside) {
  MeshData m = BuildMugMesh(1.0f);
  // Closed surfaces whose faces' (b - a) x (c - a) points outwards enclose a positive volume;
  // that cross product points at a viewer who sees the face clockwise. The ceramic of a mug
  // this size is some 0.05 cubic units.
  double volume = SignedVolume(m);
  EXPECT_GT(volume, 0.03);
  EXPECT_LT(volume, 0.1);
  ExpectFacesAgreeWithNormals(m);
  // The outer wall's faces point away from the axis.
  int wall = 0;
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    Vec3 a = m.vertices[m.indices[f * 3]].position;
    float r = std::sqrt(a.x * a.x + a.z * a.z);
    if (std::fabs(r - 0.32f) < 1e-4f && std::fabs(a.y) < 0.3f && a.x > 0.0f) {
      Vec3 n = FaceCross(m, f);
      EXPECT_GT(n.x * a.x + n.z * a.z, 0.0f);
      ++wall;
    }
  }
  EXPECT_GT(wall, 10);
}

TEST(MugMeshTest, NormalsAreSmooth) {
  // Smooth shading: within a face the vertex normals differ little, and vertices at the same
  // place (the lathe's seam) share their normal.
  MeshData m = BuildMugMesh(1.0f);
  for (size_t f = 0; f < m.FaceCount(); ++f) {
    for (int k = 0; k < 3; ++k) {
      Vec3 n0 = m.vertices[m.indices[f * 3 + k]].normal;
      Vec3 n1 = m.vertices[m.indices[f * 3 + (k + 1) % 3]].normal;
      ASSERT_GT(Dot(n0, n1), std::cos(35.0f * 3.14159265f / 180.0f)) << "face " << f;
    }
  }
  const MeshVertex& first = m.vertices[0];
  int twins = 0;
  for (size_t i = 1; i < m.vertices.size(); ++i) {
    const MeshVertex& v = m.vertices[i];
    if (Length(v.position - first.position) < 1e-6f) {
      ++twins;
      EXPECT_GT(Dot(v.normal, first.normal), 0.9999f);
    }
  }
  EXPECT_GT(twins, 0);
}

TEST(MeshDataTest, AddTriangleOrientsTowardsOutwardAndDropsDegenerates) {
  MeshData m;
  uint32_t a = m.AddVertex({0, 0, 0}, {0, 0, -1}, 0, 0);
  uint32_t b = m.AddVertex({1, 0, 0}, {0, 0, -1}, 0, 0);
  uint32_t c = m.AddVertex({0, 1, 0}, {0, 0, -1}, 0, 0);
  m.AddTriangle(a, b, c, {0, 0, -1}, 0);
  m.AddTriangle(a, b, c, {0, 0, 1}, 0);
  m.AddTriangle(a, a, c, {0, 0, 1}, 0);
  ASSERT_EQ(m.FaceCount(), 2u);
  EXPECT_LT(FaceCross(m, 0).z, 0.0f);
  EXPECT_GT(FaceCross(m, 1).z, 0.0f);
}

}  // namespace
}  // namespace assets
