#include "assets/scenery.h"

#include <algorithm>
#include <cmath>

namespace assets {

std::vector<float> RidgeLine(int width, float baseY, float amplitude, float scale, int octaves,
                             uint32_t seed, bool ridged) {
  std::vector<float> ridge(width);
  for (int x = 0; x < width; ++x) {
    float n = Fbm1(x / scale, octaves, seed);
    if (ridged) {
      // Fold around the middle: valleys stay round, peaks turn sharp.
      float folded = 1.0f - std::fabs(2.0f * Fbm1(x / (scale * 0.6f), octaves, seed + 7) - 1.0f);
      n = 0.45f * n + 0.55f * folded * folded;
    }
    ridge[x] = baseY - amplitude * n;
  }
  return ridge;
}

void FillRidge(Canvas& c, const std::vector<float>& ridge,
               const std::function<Rgb(int, int, float)>& colour,
               const std::vector<float>* until) {
  for (int x = 0; x < c.width(); ++x) {
    float top = ridge[x];
    int y0 = std::max(0, static_cast<int>(std::floor(top)));
    int y1 = until ? std::min(c.height(), static_cast<int>((*until)[x]) + 3) : c.height();
    for (int y = y0; y < y1; ++y) {
      float cover = Clamp01(y + 1.0f - top);
      c.Blend(x, y, colour(x, y, y - top), cover);
    }
  }
}

void DrawPine(Canvas& c, float x, float baseY, float height, Rgb colour, Random& random) {
  float trunk = height * 0.035f;
  FillRect(c, x - trunk, baseY - height * 0.15f, x + trunk, baseY, colour);
  // Tiers of branches, widest at the bottom, each slightly ragged.
  const int tiers = 6;
  for (int i = 0; i < tiers; ++i) {
    float t = static_cast<float>(i) / tiers;
    float tierBase = baseY - height * (0.06f + 0.8f * t);
    float tierTop = tierBase - height * (0.28f - 0.1f * t);
    float half = height * (0.24f - 0.19f * t) * random.Range(0.85f, 1.15f);
    float lean = random.Range(-0.08f, 0.08f) * half;
    FillTriangle(c, x - half, tierBase, x + half, tierBase + height * 0.02f, x + lean, tierTop,
                 colour);
  }
  FillTriangle(c, x - height * 0.04f, baseY - height * 0.82f, x + height * 0.04f,
               baseY - height * 0.82f, x, baseY - height, colour);
}

void DrawStars(Canvas& c, int count, float maxY, float brightness, Random& random) {
  for (int i = 0; i < count; ++i) {
    float x = random.Range(0.0f, static_cast<float>(c.width()));
    float y = random.Range(0.0f, maxY);
    float b = random.Next();
    b = b * b * b * brightness;
    Rgb tint = Mix(Rgb{0.8f, 0.87f, 1.0f}, Rgb{1.0f, 0.92f, 0.8f}, random.Next());
    float fade = 1.0f - Smoothstep(maxY * 0.6f, maxY, y);  // stars thin out near the horizon
    float size = 0.6f + 1.2f * b / (brightness > 0 ? brightness : 1.0f);
    FillDisc(c, x, y, size * c.height() / 1000.0f, tint, Clamp01(0.3f + b) * fade);
    if (b > 0.5f * brightness) AddGlow(c, x, y, 3.0f * c.height() / 1000.0f, tint, 0.25f * b * fade);
  }
}

void DrawMoon(Canvas& c, float cx, float cy, float r, Rgb colour, uint32_t seed) {
  AddGlow(c, cx, cy, r * 3.0f, colour * 0.35f, 0.6f);
  AddGlow(c, cx, cy, r * 1.4f, colour * 0.5f, 0.5f);
  int x0 = std::max(0, static_cast<int>(cx - r) - 1), x1 = std::min(c.width(), static_cast<int>(cx + r) + 2);
  int y0 = std::max(0, static_cast<int>(cy - r) - 1), y1 = std::min(c.height(), static_cast<int>(cy + r) + 2);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      float dx = (x + 0.5f - cx) / r, dy = (y + 0.5f - cy) / r;
      float d = std::sqrt(dx * dx + dy * dy);
      float cover = Clamp01((1.0f - d) * r + 0.5f);
      if (cover <= 0.0f) continue;
      float maria = Fbm(dx * 2.2f + 3.0f, dy * 2.2f, 4, seed);
      float shade = 0.78f + 0.22f * Smoothstep(0.35f, 0.65f, maria);
      float limb = 1.0f - 0.25f * d * d * d;
      c.Blend(x, y, colour * (shade * limb), cover);
    }
  }
}

void PaintClouds(Canvas& c, float y0, float y1, float coverage, Rgb lit, Rgb shade, float scale,
                 uint32_t seed) {
  int iy0 = std::max(0, static_cast<int>(y0)), iy1 = std::min(c.height(), static_cast<int>(y1));
  float threshold = 1.0f - coverage;
  for (int y = iy0; y < iy1; ++y) {
    float band = (y - y0) / (y1 - y0);
    float envelope = Smoothstep(0.0f, 0.3f, band) * (1.0f - Smoothstep(0.7f, 1.0f, band));
    for (int x = 0; x < c.width(); ++x) {
      // Stretched horizontally, like clouds seen at a distance.
      float n = Fbm(x / scale, y / (scale * 0.45f), 5, seed);
      float density = Smoothstep(threshold - 0.08f, threshold + 0.18f, n) * envelope;
      if (density <= 0.0f) continue;
      // Darker underneath: sample the noise a little higher up to fake self-shadowing.
      float above = Fbm(x / scale, (y - scale * 0.08f) / (scale * 0.45f), 5, seed);
      float light = Clamp01(0.55f + (n - above) * 4.0f + 0.3f * (1.0f - band));
      c.Blend(x, y, Mix(shade, lit, light), density * 0.95f);
    }
  }
}

}  // namespace assets
