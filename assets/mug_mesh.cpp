// The coffee mug: a lathed body (outer wall, rounded rim, inner wall, floor) and a strap handle.
#include <cmath>
#include <vector>

#include "assets/scene_meshes.h"

namespace assets {
namespace {

const float kPi = 3.14159265358979f;

// Body proportions, in object units; the body spans exactly y = -0.4 .. 0.4.
const float kBottom = -0.4f;
const float kOuterRadius = 0.32f;
const float kWall = 0.03f;
const float kRimCentreY = 0.4f - kWall * 0.5f;
const float kFloorY = -0.37f;

struct ProfilePoint {
  float r, y;    // position in the lathe's half-plane
  float nr, ny;  // unit normal, pointing out of the material
};

void AddLine(std::vector<ProfilePoint>& p, float r0, float y0, float r1, float y1, float nr,
             float ny, int steps) {
  for (int i = p.empty() ? 0 : 1; i <= steps; ++i) {
    float t = static_cast<float>(i) / steps;
    p.push_back({r0 + (r1 - r0) * t, y0 + (y1 - y0) * t, nr, ny});
  }
}

// Arc around (cr, cy); `inward` flips the normal for concave corners.
void AddArc(std::vector<ProfilePoint>& p, float cr, float cy, float radius, float a0, float a1,
            bool inward, int steps) {
  for (int i = 1; i <= steps; ++i) {
    float a = a0 + (a1 - a0) * static_cast<float>(i) / steps;
    float c = std::cos(a), s = std::sin(a);
    float sign = inward ? -1.0f : 1.0f;
    p.push_back({cr + radius * c, cy + radius * s, sign * c, sign * s});
  }
}

std::vector<ProfilePoint> BodyProfile() {
  std::vector<ProfilePoint> p;
  const float foot = 0.05f, innerCorner = 0.04f;
  const float innerRadius = kOuterRadius - kWall;
  AddLine(p, 0.0f, kBottom, kOuterRadius - foot, kBottom, 0.0f, -1.0f, 3);
  AddArc(p, kOuterRadius - foot, kBottom + foot, foot, -kPi / 2, 0.0f, false, 6);
  // The straight walls need few rings: their normal is constant and the highlight and the
  // reflection change slowly along them, so more rings only add vertices (and, with the
  // environment map, per-vertex work) without changing a pixel to speak of.
  AddLine(p, kOuterRadius, kBottom + foot, kOuterRadius, kRimCentreY, 1.0f, 0.0f, 4);
  AddArc(p, kOuterRadius - kWall * 0.5f, kRimCentreY, kWall * 0.5f, 0.0f, kPi, false, 8);
  AddLine(p, innerRadius, kRimCentreY, innerRadius, kFloorY + innerCorner, -1.0f, 0.0f, 4);
  AddArc(p, innerRadius - innerCorner, kFloorY + innerCorner, innerCorner, 0.0f, -kPi / 2, true,
         6);
  AddLine(p, innerRadius - innerCorner, kFloorY, 0.0f, kFloorY, 0.0f, 1.0f, 3);
  return p;
}

void AddBody(MeshData& m, int segments) {
  std::vector<ProfilePoint> profile = BodyProfile();
  const uint32_t base = static_cast<uint32_t>(m.vertices.size());
  const uint32_t stride = static_cast<uint32_t>(segments + 1);
  for (size_t i = 0; i < profile.size(); ++i) {
    const ProfilePoint& p = profile[i];
    float v = static_cast<float>(i) / (profile.size() - 1);
    for (int s = 0; s <= segments; ++s) {
      float phi = 2.0f * kPi * s / segments;
      float c = std::cos(phi), sn = std::sin(phi);
      m.AddVertex({p.r * c, p.y, p.r * sn}, {p.nr * c, p.ny, p.nr * sn},
                  static_cast<float>(s) / segments, v);
    }
  }
  for (uint32_t i = 0; i + 1 < profile.size(); ++i) {
    for (uint32_t s = 0; s < static_cast<uint32_t>(segments); ++s) {
      uint32_t a = base + i * stride + s, b = a + 1, c = a + stride + 1, d = a + stride;
      Vec3 out = m.vertices[a].normal + m.vertices[b].normal + m.vertices[c].normal +
                 m.vertices[d].normal;
      m.AddQuad(a, b, c, d, out, 0);
    }
  }
}

// The handle is a flattened tube along a half ellipse on the -x side; both ends are buried in
// the wall and capped, so the handle is a closed surface of its own.
void AddHandle(MeshData& m, int pathSteps, int crossSteps) {
  const float cx = -(kOuterRadius - kWall * 0.5f), cy = 0.01f;
  const float ax = 0.19f, ay = 0.20f;  // reach out of the wall, half height
  const float thick = 0.032f, wide = 0.045f;
  const Vec3 across{0.0f, 0.0f, 1.0f};
  std::vector<uint32_t> ring0, ringLast;
  uint32_t base = static_cast<uint32_t>(m.vertices.size());
  const uint32_t stride = static_cast<uint32_t>(crossSteps + 1);
  Vec3 firstCentre{}, lastCentre{}, firstTangent{}, lastTangent{};
  for (int i = 0; i <= pathSteps; ++i) {
    float t = -kPi / 2 + kPi * i / pathSteps;
    Vec3 centre{cx - ax * std::cos(t), cy + ay * std::sin(t), 0.0f};
    Vec3 tangent = Normalize({ax * std::sin(t), ay * std::cos(t), 0.0f});
    Vec3 side{-tangent.y, tangent.x, 0.0f};
    if (i == 0) firstCentre = centre, firstTangent = tangent;
    if (i == pathSteps) lastCentre = centre, lastTangent = tangent;
    for (int k = 0; k <= crossSteps; ++k) {
      float s = 2.0f * kPi * k / crossSteps;
      Vec3 p = centre + side * (thick * std::cos(s)) + across * (wide * std::sin(s));
      Vec3 n = side * (wide * std::cos(s)) + across * (thick * std::sin(s));
      m.AddVertex(p, n, static_cast<float>(i) / pathSteps, static_cast<float>(k) / crossSteps);
    }
  }
  for (uint32_t i = 0; i < static_cast<uint32_t>(pathSteps); ++i) {
    for (uint32_t k = 0; k < static_cast<uint32_t>(crossSteps); ++k) {
      uint32_t a = base + i * stride + k, b = a + 1, c = a + stride + 1, d = a + stride;
      Vec3 out = m.vertices[a].normal + m.vertices[b].normal + m.vertices[c].normal +
                 m.vertices[d].normal;
      m.AddQuad(a, b, c, d, out, 0);
    }
  }
  // End caps, flat, facing along the path.
  auto cap = [&](uint32_t ringStart, Vec3 centre, Vec3 out) {
    uint32_t hub = m.AddVertex(centre, out, 0.5f, 0.5f);
    uint32_t first = static_cast<uint32_t>(m.vertices.size());
    for (int k = 0; k <= crossSteps; ++k) {
      const MeshVertex& v = m.vertices[ringStart + k];
      m.AddVertex(v.position, out, v.u, v.v);
    }
    for (uint32_t k = 0; k < static_cast<uint32_t>(crossSteps); ++k)
      m.AddTriangle(hub, first + k, first + k + 1, out, 0);
  };
  cap(base, firstCentre, firstTangent * -1.0f);
  cap(base + pathSteps * stride, lastCentre, lastTangent);
}

}  // namespace

MeshData BuildMugMesh(float alpha) {
  MeshData m;
  m.name = "Mug";
  // Glazed ceramic: the scene replaces diffuse and ambient with the object colour; the
  // specular colour and power make the highlight.
  m.materials.push_back(MakeMaterial(0.9f, 0.9f, 0.9f, alpha, 40.0f, 0.85f));
  AddBody(m, 64);
  AddHandle(m, 32, 20);
  return m;
}

}  // namespace assets
