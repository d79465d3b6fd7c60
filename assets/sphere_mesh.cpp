// The backdrop sphere: a latitude/longitude grid seen from inside.
#include <cmath>

#include "assets/scene_meshes.h"

namespace assets {

MeshData BuildBackdropSphere(int segments, int rings) {
  const float kPi = 3.14159265358979f;
  MeshData m;
  m.name = "Backdrop";
  m.materials.push_back(MakeMaterial(1.0f, 1.0f, 1.0f, 1.0f));

  // The seam column is doubled so u runs 0..1 without wrapping. u = 0.5 lies straight ahead
  // (+z), and u grows towards +x, to the right of a viewer at the centre looking ahead, so the
  // bitmap is not mirrored.
  for (int ring = 0; ring <= rings; ++ring) {
    float v = static_cast<float>(ring) / rings;
    float theta = kPi * v;
    for (int seg = 0; seg <= segments; ++seg) {
      float u = static_cast<float>(seg) / segments;
      float a = 2.0f * kPi * u;
      Vec3 p{-std::sin(a) * std::sin(theta), std::cos(theta), -std::cos(a) * std::sin(theta)};
      if (ring == 0 || ring == rings) p.x = p.z = 0.0f;  // exact poles
      m.AddVertex(p * kBackdropRadius, p * -1.0f, u, v);
    }
  }
  const uint32_t stride = static_cast<uint32_t>(segments + 1);
  for (int ring = 0; ring < rings; ++ring) {
    for (int seg = 0; seg < segments; ++seg) {
      uint32_t a = ring * stride + seg, b = a + 1, c = a + stride + 1, d = a + stride;
      Vec3 centre = (m.vertices[a].position + m.vertices[c].position) * 0.5f;
      if (ring == 0) centre = (m.vertices[c].position + m.vertices[d].position) * 0.5f;
      if (ring == rings - 1) centre = (m.vertices[a].position + m.vertices[b].position) * 0.5f;
      // AddTriangle drops the degenerate halves at the poles.
      m.AddQuad(a, b, c, d, centre * -1.0f, 0);
    }
  }
  return m;
}

}  // namespace assets
