// The picture surface and its frame.
#include <cmath>

#include "assets/scene_meshes.h"

namespace assets {
namespace {

const Vec3 kTowardsCamera{0.0f, 0.0f, -1.0f};

// Cross-section of the moulding from its inner edge to the outer edge: (half-extent, z).
// Negative z is towards the camera. An inner lip, a rounded crown and a short outer wall.
struct ProfilePoint {
  float r, z;
};
const ProfilePoint kMoulding[] = {
    {kFrameBandInner, 0.0f}, {0.468f, -0.016f}, {0.473f, -0.024f}, {0.479f, -0.027f},
    {0.486f, -0.034f},       {0.491f, -0.036f}, {0.496f, -0.033f}, {0.499f, -0.026f},
    {0.500f, -0.018f},       {0.500f, 0.0f},
};

// Outward direction and the axis along each side of the square.
struct Side {
  Vec3 out, along;
};
const Side kSides[4] = {
    {{1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {-1, 0, 0}}, {{-1, 0, 0}, {0, -1, 0}}, {{0, -1, 0}, {1, 0, 0}}};

uint32_t AddPlanarVertex(MeshData& m, Vec3 p, Vec3 n) {
  return m.AddVertex(p, n, p.x + 0.5f, 0.5f - p.y);
}

}  // namespace

MeshData BuildPictureMesh(float alpha) {
  MeshData m;
  m.name = "Picture";
  m.materials.push_back(MakeMaterial(1.0f, 1.0f, 1.0f, alpha));
  uint32_t tl = AddPlanarVertex(m, {-0.5f, 0.5f, 0.0f}, kTowardsCamera);
  uint32_t tr = AddPlanarVertex(m, {0.5f, 0.5f, 0.0f}, kTowardsCamera);
  uint32_t br = AddPlanarVertex(m, {0.5f, -0.5f, 0.0f}, kTowardsCamera);
  uint32_t bl = AddPlanarVertex(m, {-0.5f, -0.5f, 0.0f}, kTowardsCamera);
  m.AddQuad(tl, tr, br, bl, kTowardsCamera, 0);
  return m;
}

MeshData BuildFrameMesh(float alpha) {
  MeshData m;
  m.name = "Frame";
  m.materials.push_back(MakeMaterial(0.55f, 0.55f, 0.55f, alpha));  // backing plate
  m.materials.push_back(MakeMaterial(0.80f, 0.80f, 0.80f, alpha));  // moulding

  uint32_t tl = AddPlanarVertex(m, {-0.5f, 0.5f, 0.0f}, kTowardsCamera);
  uint32_t tr = AddPlanarVertex(m, {0.5f, 0.5f, 0.0f}, kTowardsCamera);
  uint32_t br = AddPlanarVertex(m, {0.5f, -0.5f, 0.0f}, kTowardsCamera);
  uint32_t bl = AddPlanarVertex(m, {-0.5f, -0.5f, 0.0f}, kTowardsCamera);
  m.AddQuad(tl, tr, br, bl, kTowardsCamera, 0);

  // Each side is a strip of flat facets between two square rings of the profile; the rings'
  // corners give the mitres.
  const int count = sizeof(kMoulding) / sizeof(kMoulding[0]);
  for (const Side& side : kSides) {
    for (int i = 0; i + 1 < count; ++i) {
      ProfilePoint p0 = kMoulding[i], p1 = kMoulding[i + 1];
      float dr = p1.r - p0.r, dz = p1.z - p0.z;
      Vec3 normal = Normalize(side.out * dz + Vec3{0.0f, 0.0f, -dr});
      auto corner = [&](ProfilePoint p, float sign) {
        return side.out * p.r + side.along * (p.r * sign) + Vec3{0.0f, 0.0f, p.z};
      };
      uint32_t a = AddPlanarVertex(m, corner(p0, -1.0f), normal);
      uint32_t b = AddPlanarVertex(m, corner(p0, 1.0f), normal);
      uint32_t c = AddPlanarVertex(m, corner(p1, 1.0f), normal);
      uint32_t d = AddPlanarVertex(m, corner(p1, -1.0f), normal);
      m.AddQuad(a, b, c, d, normal, 1);
    }
  }
  return m;
}

}  // namespace assets
