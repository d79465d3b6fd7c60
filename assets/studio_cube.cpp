// The studio the mug reflects: dim gradient walls, a dark floor and a few bright soft boxes.
// The scene adds this map to the lit object colour, so everything but the lights stays dark.
#include <cmath>

#include "assets/backdrops.h"

namespace assets {
namespace {

struct SoftBox {
  Vec3 centre;        // direction of the box's middle
  float halfW, halfH; // half extents on the plane one unit away
  Rgb colour;
};

float BoxLight(const SoftBox& box, Vec3 dir) {
  Vec3 c = Normalize(box.centre);
  float facing = Dot(dir, c);
  if (facing <= 0.05f) return 0.0f;
  Vec3 p = dir * (1.0f / facing) - c;
  Vec3 right = Normalize(Cross({0.0f, 1.0f, 0.0f}, c));
  if (Length(right) < 0.5f) right = {1.0f, 0.0f, 0.0f};
  Vec3 up = Cross(c, right);
  float s = std::fabs(Dot(p, right)) / box.halfW, t = std::fabs(Dot(p, up)) / box.halfH;
  // Bright inside, a soft falloff at the rim and a faint halo beyond.
  float core = (1.0f - Smoothstep(0.85f, 1.05f, s)) * (1.0f - Smoothstep(0.85f, 1.05f, t));
  float halo = std::exp(-2.5f * (std::fmax(s - 1.0f, 0.0f) + std::fmax(t - 1.0f, 0.0f)));
  return core + 0.12f * halo;
}

const SoftBox kBoxes[] = {
    {{-0.6f, 0.55f, -0.6f}, 0.42f, 0.32f, {1.0f, 0.96f, 0.90f}},   // key light, behind the camera
    {{1.0f, 0.12f, -0.25f}, 0.10f, 0.65f, {0.88f, 0.94f, 1.0f}},   // tall strip on the right
    {{0.0f, 1.0f, 0.0f}, 0.45f, 0.45f, {0.85f, 0.85f, 0.85f}},     // overhead
    {{-0.95f, 0.25f, 0.55f}, 0.12f, 0.55f, {0.80f, 0.82f, 0.85f}}, // rim on the left
    {{0.5f, 0.3f, 0.9f}, 0.28f, 0.22f, {0.55f, 0.52f, 0.50f}},     // fill behind the gallery
};

}  // namespace

Rgb StudioColour(Vec3 dir) {
  dir = Normalize(dir);
  Rgb c;
  if (dir.y < 0.0f) {
    float d = Smoothstep(0.0f, 0.6f, -dir.y);
    c = Mix(Hex(0x2a2622), Hex(0x0c0b0a), d);  // warm floor fading to dark
  } else {
    float h = Smoothstep(0.0f, 1.0f, dir.y);
    c = Mix(Hex(0x34373d), Hex(0x1c1e22), h);  // walls darkening upwards
  }
  // A light seam where the sweep meets the floor.
  c = c + Hex(0x2a2a2a) * std::exp(-std::pow(dir.y / 0.05f, 2.0f));
  for (const SoftBox& box : kBoxes) c = c + box.colour * BoxLight(box, dir);
  return c;
}

Vec3 CubeTexelDirection(int face, int x, int y, int size) {
  float s = 2.0f * (x + 0.5f) / size - 1.0f;
  float t = 2.0f * (y + 0.5f) / size - 1.0f;
  switch (face) {
    case 0: return {1.0f, -t, -s};
    case 1: return {-1.0f, -t, s};
    case 2: return {s, 1.0f, t};
    case 3: return {s, -1.0f, -t};
    case 4: return {s, -t, 1.0f};
    default: return {-s, -t, -1.0f};
  }
}

std::array<std::vector<uint32_t>, 6> PaintStudioCubeFaces(int size) {
  std::array<std::vector<uint32_t>, 6> faces;
  for (int face = 0; face < 6; ++face) {
    faces[face].resize(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        // 2x2 samples per texel keep the box edges clean.
        Rgb sum{0, 0, 0};
        for (int sy = 0; sy < 2; ++sy) {
          for (int sx = 0; sx < 2; ++sx) {
            Vec3 d = CubeTexelDirection(face, 2 * x + sx, 2 * y + sy, 2 * size);
            sum = sum + StudioColour(d);
          }
        }
        sum = sum * 0.25f;
        auto byte = [](float v) { return static_cast<uint32_t>(Clamp01(v) * 255.0f + 0.5f); };
        faces[face][static_cast<size_t>(y) * size + x] =
            0xff000000u | (byte(sum.r) << 16) | (byte(sum.g) << 8) | byte(sum.b);
      }
    }
  }
  return faces;
}

}  // namespace assets
