// Flowers and abstract pieces: a tulip field, a circle composition, paper waves, a daisy and
// a stained-glass window.
#include <algorithm>
#include <cmath>

#include "assets/pictures.h"
#include "assets/scenery.h"

namespace assets {
namespace {

const float kPi = 3.14159265f;

void DrawTulip(Canvas& c, float x, float y, float size, Rgb petal) {
  const Rgb stem = Hex(0x2e6b2a);
  FillRect(c, x - size * 0.06f, y, x + size * 0.06f, y + size * 1.6f, stem);
  FillEllipse(c, x + size * 0.25f, y + size * 1.1f, size * 0.12f, size * 0.5f, 0.35f, stem * 1.2f);
  // A cup of three petals, the middle one lighter.
  FillEllipse(c, x - size * 0.2f, y - size * 0.05f, size * 0.28f, size * 0.45f, -0.25f, petal * 0.8f);
  FillEllipse(c, x + size * 0.2f, y - size * 0.05f, size * 0.28f, size * 0.45f, 0.25f, petal * 0.8f);
  FillEllipse(c, x, y, size * 0.3f, size * 0.48f, 0.0f, petal);
  FillEllipse(c, x - size * 0.08f, y - size * 0.15f, size * 0.08f, size * 0.25f, 0.0f,
              Mix(petal, Hex(0xffffff), 0.35f), 0.6f);
}

}  // namespace

Canvas PaintTulipField(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.42f;
  const ColourStop sky[] = {{0.0f, Hex(0x3a7fd0)}, {0.7f, Hex(0x9fcaf0)}, {1.0f, Hex(0xe2eef6)}};
  FillVertical(c, sky, 3, 0, static_cast<int>(horizon) + 1);
  PaintClouds(c, h * 0.03f, horizon * 0.9f, 0.4f, Hex(0xffffff), Hex(0xa8b8cc), h * 0.2f, 301);
  // Tree line and a windmill on the horizon.
  std::vector<float> trees = RidgeLine(w, horizon + 2.0f, h * 0.025f, w * 0.04f, 3, 303, false);
  FillRidge(c, trees, [](int, int, float) { return Hex(0x36553a); });
  const Rgb mill = Hex(0x3a3030);
  float mx = w * 0.22f, my = horizon - h * 0.02f;
  FillTriangle(c, mx - w * 0.03f, horizon + 2.0f, mx + w * 0.03f, horizon + 2.0f, mx, my - h * 0.06f, mill);
  for (int blade = 0; blade < 4; ++blade) {
    float a = 0.4f + blade * kPi / 2;
    float ex = mx + std::cos(a) * h * 0.09f, ey = my - h * 0.05f + std::sin(a) * h * 0.09f;
    FillTriangle(c, mx, my - h * 0.05f, ex - std::sin(a) * 4.0f, ey + std::cos(a) * 4.0f,
                 ex + std::sin(a) * 10.0f, ey - std::cos(a) * 10.0f, mill);
  }
  // Rows of colour running to a vanishing point on the horizon.
  const Rgb rows[] = {Hex(0xd8262e), Hex(0xf2c12e), Hex(0xe85a9a), Hex(0x8a3ab8), Hex(0xf07a22)};
  const float vx = w * 0.55f;
  for (int y = static_cast<int>(horizon) + 3; y < h; ++y) {
    float depth = (y - horizon) / (h - horizon);
    for (int x = 0; x < w; ++x) {
      float u = (x - vx) / (y - horizon) * 6.0f;
      float fu = u - std::floor(u);
      int row = static_cast<int>(std::floor(u)) % 5;
      if (row < 0) row += 5;
      float leaves = Smoothstep(0.62f, 0.72f, fu) * (1.0f - Smoothstep(0.92f, 1.0f, fu));
      float n = Fbm(x * 0.02f / (0.1f + depth), y * 0.05f, 2, 307);
      Rgb bloom = rows[row] * (0.8f + 0.35f * n);
      Rgb green = Hex(0x2f6a2c) * (0.7f + 0.4f * n);
      Rgb col = Mix(bloom, green, leaves);
      c.At(x, y) = Mix(col, Hex(0xb8c8d0), 0.45f * (1.0f - Smoothstep(0.0f, 0.35f, depth)));
    }
  }
  // Individual tulips in the front rows.
  Random random(311);
  for (float y = horizon + (h - horizon) * 0.45f; y < h * 1.02f; y += h * 0.012f) {
    float depth = (y - horizon) / (h - horizon);
    float size = h * 0.03f * depth * depth;
    for (int k = -40; k < 40; ++k) {
      float u = k + random.Range(0.05f, 0.55f);
      float x = vx + u / 6.0f * (y - horizon);
      if (x < -size || x > w + size) continue;
      int row = ((k % 5) + 5) % 5;
      DrawTulip(c, x, y, size * random.Range(0.8f, 1.2f), rows[row] * random.Range(0.85f, 1.1f));
    }
  }
  Vignette(c, 0.25f);
  AddGrain(c, 0.012f, 313);
  return c;
}

Canvas PaintCircleComposition(int w, int h) {
  Canvas c(w, h);
  float s = std::min(w, h) / 1000.0f;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      c.At(x, y) = Hex(0xece2cf) * (0.97f + 0.05f * Fbm(x * 0.01f, y * 0.01f, 3, 401));
  // Overlapping shapes multiply where they meet, like printed inks.
  struct Shape {
    float x, y, r;
    uint32_t colour;
  };
  const Shape discs[] = {{380, 420, 260, 0xd8452f}, {640, 560, 200, 0x1f3a68}, {560, 300, 120, 0xe8b33a},
                         {300, 760, 140, 0x2a8c82}, {760, 800, 90, 0xe8b33a},  {820, 240, 60, 0x1a1a1a}};
  for (const Shape& d : discs) {
    Canvas layer(w, h);
    Rgb ink = Hex(d.colour);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) layer.At(x, y) = Rgb{1.0f, 1.0f, 1.0f};
    FillDisc(layer, d.x * s, d.y * s, d.r * s, ink, 0.92f);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) c.At(x, y) = c.At(x, y) * layer.At(x, y);
  }
  // A half disc, fine lines and a ring give the composition its rhythm.
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float dx = x - 700 * s, dy = y - 420 * s;
      float d = std::sqrt(dx * dx + dy * dy);
      if (dy < 0.0f && d < 170 * s) c.Blend(x, y, Hex(0xf4ede0), Clamp01(170 * s - d) * 0.85f);
      float ring = std::fabs(d - 230 * s) - 3.0f * s;
      c.Blend(x, y, Hex(0x1a1a1a), Clamp01(0.5f - ring));
    }
  }
  FillRect(c, 120 * s, 150 * s, 880 * s, 156 * s, Hex(0x1a1a1a));
  FillRect(c, 170 * s, 100 * s, 176 * s, 900 * s, Hex(0x1a1a1a));
  FillRect(c, 480 * s, 880 * s, 930 * s, 890 * s, Hex(0xd8452f));
  FillTriangle(c, 820 * s, 620 * s, 940 * s, 620 * s, 880 * s, 500 * s, Hex(0x1f3a68));
  AddGrain(c, 0.02f, 409);
  return c;
}

Canvas PaintPaperWaves(int w, int h) {
  Canvas c(w, h);
  const uint32_t palette[] = {0x2b1b4a, 0x4a2463, 0x7a2f6e, 0xb33f62, 0xe0645a,
                              0xf39a5b, 0xf7c873, 0xf9e3a8};
  const int layers = 8;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.At(x, y) = Hex(palette[0]);
  // Each layer is a wavy sheet laid over the one behind, casting a soft shadow on it.
  for (int i = 1; i < layers; ++i) {
    std::vector<float> edge(w);
    for (int x = 0; x < w; ++x) {
      float u = x / static_cast<float>(w);
      edge[x] = h * (0.08f + 0.12f * i) + h * 0.05f * std::sin(u * (4.0f + i * 0.7f) + i * 1.3f) +
                h * 0.025f * std::sin(u * 11.0f - i);
    }
    for (int x = 0; x < w; ++x) {
      for (int y = std::max(0, static_cast<int>(edge[x] - h * 0.04f)); y < static_cast<int>(edge[x]); ++y) {
        float shadow = std::exp(-(edge[x] - y) / (h * 0.012f));
        c.At(x, y) = c.At(x, y) * (1.0f - 0.45f * shadow);
      }
    }
    Rgb colour = Hex(palette[i]);
    FillRidge(c, edge, [&](int x, int y, float depth) {
      float lit = 1.0f + 0.12f * (1.0f - Clamp01(depth / (h * 0.06f)));
      float fibre = 0.97f + 0.05f * Fbm(x * 0.02f, y * 0.02f, 2, 500 + i);
      return colour * (lit * fibre);
    });
  }
  // A low sun between the sheets.
  AddGlow(c, w * 0.7f, h * 0.2f, h * 0.12f, Hex(0xffd080), 0.4f);
  FillDisc(c, w * 0.7f, h * 0.2f, h * 0.07f, Hex(0xfbe6b0));
  AddGrain(c, 0.012f, 509);
  return c;
}

Canvas PaintDaisy(int w, int h) {
  Canvas c(w, h);
  // Soft green garden background with out-of-focus lights.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float n = Fbm(x * 0.002f, y * 0.002f, 3, 601);
      c.At(x, y) = Mix(Hex(0x1f3d1c), Hex(0x7a9c48), Smoothstep(0.3f, 0.75f, n));
    }
  Random random(603);
  for (int i = 0; i < 40; ++i) {
    float r = w * random.Range(0.02f, 0.07f);
    Rgb col = Mix(Hex(0xd8f0a0), Hex(0xfff2c8), random.Next());
    FillDisc(c, random.Range(0.0f, static_cast<float>(w)), random.Range(0.0f, static_cast<float>(h)), r, col,
             random.Range(0.08f, 0.22f));
  }
  const float cx = w * 0.5f, cy = h * 0.4f, R = w * 0.36f;
  // Stem and a leaf.
  for (int i = 0; i <= 80; ++i) {
    float t = i / 80.0f;
    float x = cx + std::sin(t * 2.0f) * w * 0.06f, y = cy + t * (h - cy);
    FillDisc(c, x, y, w * 0.018f, Hex(0x3f7a2a) * (0.9f + 0.1f * t));
  }
  FillEllipse(c, cx + w * 0.15f, h * 0.8f, w * 0.16f, w * 0.04f, -0.5f, Hex(0x4a8a30));
  // Two rings of petals, pink at the base to white at the tip.
  for (int ring = 0; ring < 2; ++ring) {
    int count = ring == 0 ? 22 : 18;
    for (int p = 0; p < count; ++p) {
      float a = (p + 0.5f * ring) * 2.0f * kPi / count + random.Range(-0.04f, 0.04f);
      float len = R * (ring == 0 ? 1.0f : 0.78f) * random.Range(0.92f, 1.05f);
      for (int k = 6; k >= 0; --k) {
        float t = k / 6.0f;
        float px = cx + std::cos(a) * len * (0.25f + 0.5f * t), py = cy + std::sin(a) * len * (0.25f + 0.5f * t);
        Rgb col = Mix(Hex(0xd8487a), Hex(0xfbeef2), Smoothstep(0.0f, 1.0f, t));
        if (ring == 1) col = col * 0.92f;
        FillEllipse(c, px, py, len * (0.5f - 0.3f * t), len * 0.085f, a, col);
      }
    }
  }
  // Centre: seeds in a golden-angle spiral.
  FillDisc(c, cx, cy, R * 0.24f, Hex(0x6a3e10));
  for (int i = 0; i < 420; ++i) {
    float r = R * 0.23f * std::sqrt(i / 420.0f);
    float a = i * 2.39996f;
    Rgb col = Mix(Hex(0xf6c02a), Hex(0x8a4a10), i / 420.0f);
    FillDisc(c, cx + std::cos(a) * r, cy + std::sin(a) * r, R * 0.011f, col);
  }
  AddGlow(c, cx - R * 0.08f, cy - R * 0.08f, R * 0.12f, Hex(0xfff0b0), 0.25f);
  Vignette(c, 0.4f);
  AddGrain(c, 0.01f, 607);
  return c;
}

Canvas PaintStainedGlass(int w, int h) {
  Canvas c(w, h);
  const int grid = 14;
  const float cell = static_cast<float>(std::max(w, h)) / grid;
  auto site = [&](int gx, int gy, float& sx, float& sy) {
    uint32_t k = HashU32(static_cast<uint32_t>(gx + 64) * 131u + static_cast<uint32_t>(gy + 64) * 7477u);
    sx = (gx + 0.15f + 0.7f * ((k & 0xffff) / 65535.0f)) * cell;
    sy = (gy + 0.15f + 0.7f * ((k >> 16) / 65535.0f)) * cell;
  };
  const float cx = w * 0.5f, cy = h * 0.5f;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int gx = static_cast<int>(x / cell), gy = static_cast<int>(y / cell);
      float best = 1e30f, second = 1e30f, bx = 0, by = 0;
      for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
          float sx, sy;
          site(gx + i, gy + j, sx, sy);
          float d = (x - sx) * (x - sx) + (y - sy) * (y - sy);
          if (d < best) {
            second = best;
            best = d;
            bx = sx, by = sy;
          } else if (d < second) {
            second = d;
          }
        }
      }
      // A rose window: a gold centre, twelve petals of warm glass and a pale ring, set in
      // blue panes. The circles and the petal spokes are leaded like the pane edges.
      float px = x + 0.5f - cx, py = y + 0.5f - cy;
      float r = std::sqrt(px * px + py * py) / (0.5f * w);
      float sector = (std::atan2(py, px) + kPi) / (2 * kPi) * 12.0f;
      uint32_t k = HashU32(static_cast<uint32_t>(bx) * 31u + static_cast<uint32_t>(by) * 17u);
      float jitter = (k & 0xff) / 255.0f;
      Rgb glass;
      float spoke = 1e9f;  // distance to a petal spoke, pixels
      if (r < 0.12f) {
        glass = Hex(0xf2c23a);
      } else if (r < 0.38f) {
        const Rgb rose[] = {Hex(0xc8202e), Hex(0xd8602a), Hex(0x9a1a48)};
        glass = rose[(static_cast<int>(sector) + (k >> 8) % 2) % 3];
        float fs = sector - std::floor(sector);
        spoke = std::min(fs, 1.0f - fs) * 2.0f * kPi / 12.0f * r * 0.5f * w;  // pixels to a spoke
      } else if (r < 0.46f) {
        glass = Hex(0xf0d890);
      } else {
        const Rgb sea[] = {Hex(0x1a3a8a), Hex(0x2a6ab0), Hex(0x1a7a6a), Hex(0x3a2a7a)};
        glass = sea[(k >> 8) % 4];
      }
      glass = glass * (0.75f + 0.4f * jitter);
      // Light through the glass: brighter in the middle of each pane, with ripples.
      float gap = std::sqrt(second) - std::sqrt(best);
      float pane = Clamp01(gap / (cell * 0.35f));
      float ripple = Fbm(x * 0.03f, y * 0.03f, 3, 701);
      glass = glass * (0.7f + 0.4f * pane + 0.2f * ripple);
      float ringDist = std::min({std::fabs(r - 0.12f), std::fabs(r - 0.38f), std::fabs(r - 0.46f)}) * 0.5f * w;
      float leadDist = std::min({gap * 0.5f, ringDist, spoke});
      float lead = 1.0f - Smoothstep(cell * 0.02f, cell * 0.035f, leadDist);
      c.At(x, y) = Mix(glass, Hex(0x141414), lead);
    }
  }
  AddGlow(c, w * 0.35f, h * 0.3f, w * 0.25f, Hex(0xfff4d0), 0.18f);
  Vignette(c, 0.3f);
  return c;
}

}  // namespace assets
