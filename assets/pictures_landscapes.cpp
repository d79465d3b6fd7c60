// Daylight landscapes: mountains at dawn, a lake at dusk, green hills, dunes and a beach.
#include <algorithm>
#include <cmath>

#include "assets/pictures.h"
#include "assets/scenery.h"

namespace assets {

Canvas PaintAlpineDawn(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.78f;
  const ColourStop sky[] = {{0.0f, Hex(0x24457a)}, {0.35f, Hex(0x7197c4)},
                            {0.62f, Hex(0xf0c7a4)}, {0.78f, Hex(0xf6dcc0)}};
  FillVertical(c, sky, 4, 0, static_cast<int>(horizon) + 1);
  const float sunX = w * 0.68f, sunY = h * 0.27f;
  AddGlow(c, sunX, sunY, h * 0.18f, Hex(0xffc98a), 0.45f);
  PaintClouds(c, h * 0.05f, h * 0.42f, 0.42f, Hex(0xfbe3d6), Hex(0xb89cb2), h * 0.35f, 11);
  AddGlow(c, sunX, sunY, h * 0.04f, Hex(0xfff4e0), 0.9f);
  FillDisc(c, sunX, sunY, h * 0.022f, Hex(0xfffaf0));

  // Ranges from far to near: hazier and lighter in the distance, snow on the high ones.
  struct Range {
    float base, amplitude, scale;
    uint32_t colour;
    float snow;
  };
  const Range ranges[] = {{0.60f, 0.30f, 0.30f, 0xa8b6cf, 0.22f},
                          {0.66f, 0.26f, 0.22f, 0x8193b4, 0.14f},
                          {0.72f, 0.20f, 0.18f, 0x5b6d90, 0.0f},
                          {0.78f, 0.12f, 0.12f, 0x34465f, 0.0f}};
  Rgb haze = Hex(0xe9d3c4);
  std::vector<std::vector<float>> ridges;
  for (int i = 0; i < 4; ++i) {
    const Range& r = ranges[i];
    ridges.push_back(RidgeLine(w, h * r.base, h * r.amplitude, w * r.scale, 5, 100 + i, i < 3));
  }
  for (int i = 0; i < 4; ++i) {
    const Range& r = ranges[i];
    const std::vector<float>& ridge = ridges[i];
    float snowLine = h * (r.base - r.amplitude * (1.0f - r.snow));
    Rgb base = Hex(r.colour);
    const float grain = w * 0.02f;
    FillRidge(c, ridge, [&](int x, int y, float depth) {
      // Rock lit from the sun's side: the noise field embossed towards the upper right, plus
      // the ridge's own slope near the top.
      float n = Fbm(x / grain, y / grain, 4, 300 + i);
      float towardsSun = Fbm((x + 4.0f) / grain, (y - 4.0f) / grain, 4, 300 + i);
      int xl = std::max(0, x - 10), xr = std::min(w - 1, x + 10);
      float slope = (ridge[xr] - ridge[xl]) / (xr - xl);
      float light = std::clamp(-slope * 0.5f, -0.25f, 0.25f) * std::exp(-depth / (h * 0.06f)) +
                    (towardsSun - n) * 3.5f;
      Rgb col = base * (0.95f + std::clamp(light, -0.3f, 0.3f));
      float edge = snowLine + (n - 0.5f) * h * 0.07f;
      if (r.snow > 0.0f && y < edge) {
        Rgb snow = Mix(Hex(0xf6f3f2), Hex(0xb9c0d8), Clamp01(0.45f - light * 2.5f));
        col = Mix(col, snow, Smoothstep(0.0f, h * 0.015f, edge - y));
      }
      return Mix(col, haze, 0.35f * Smoothstep(0.0f, h * 0.2f, depth) * (1.0f - 0.25f * i));
    }, i < 3 ? &ridges[i + 1] : nullptr);
  }
  // Lake with the mountains mirrored in it, and dark pines on the shores.
  ReflectBelow(c, static_cast<int>(horizon), Hex(0x3a5778), 0.35f, 0.25f, 17);
  Random random(5);
  const Rgb pine = Hex(0x142019);
  std::vector<float> shore = RidgeLine(w, horizon + h * 0.01f, h * 0.02f, w * 0.1f, 3, 40, false);
  for (int i = 0; i < 26; ++i) {
    bool left = i < 14;
    float x = left ? random.Range(-0.02f, 0.22f) * w : random.Range(0.8f, 1.02f) * w;
    int xi = std::clamp(static_cast<int>(x), 0, w - 1);
    float size = h * random.Range(0.12f, 0.3f) * (left ? 1.0f : 0.8f);
    DrawPine(c, x, shore[xi] + h * 0.005f, size, pine, random);
  }
  Vignette(c, 0.35f);
  AddGrain(c, 0.015f, 21);
  return c;
}

Canvas PaintLakeAtDusk(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.6f;
  const ColourStop sky[] = {{0.0f, Hex(0x1b1f4b)}, {0.35f, Hex(0x5b3a78)}, {0.65f, Hex(0xd8645a)},
                            {0.88f, Hex(0xf6a04f)}, {1.0f, Hex(0xffd27a)}};
  FillVertical(c, sky, 5, 0, static_cast<int>(horizon));
  const float sunX = w * 0.42f;
  AddGlow(c, sunX, horizon, h * 0.25f, Hex(0xff9a4a), 0.5f);
  PaintClouds(c, h * 0.1f, h * 0.45f, 0.35f, Hex(0xf7a88a), Hex(0x52305e), h * 0.4f, 23);
  AddGlow(c, sunX, horizon, h * 0.06f, Hex(0xffe6a0), 0.8f);
  FillDisc(c, sunX, horizon, h * 0.05f, Hex(0xfff0c0));
  // Far hills cut the sun in half.
  std::vector<float> hills = RidgeLine(w, horizon + 1.0f, h * 0.07f, w * 0.25f, 4, 31, false);
  for (int x = 0; x < w; ++x) {
    float t = std::fabs(x - sunX) / w;
    hills[x] = std::min(horizon + 1.0f, hills[x] + h * 0.06f * Smoothstep(0.25f, 0.0f, t));
  }
  FillRidge(c, hills, [&](int, int, float d) {
    return Mix(Hex(0x3a2548), Hex(0x24162e), Clamp01(d / (h * 0.1f)));
  });
  ReflectBelow(c, static_cast<int>(horizon), Hex(0x2a1c3a), 0.3f, 1.0f, 37);
  // Glitter on the water along the sun's path.
  Random random(41);
  for (int i = 0; i < 900; ++i) {
    float depth = random.Next();
    float y = horizon + 4.0f + depth * depth * (h - horizon);
    float spread = (0.02f + 0.25f * depth * depth) * w;
    float x = sunX + (random.Next() + random.Next() - 1.0f) * spread;
    float len = (2.0f + 20.0f * depth) * w / 1800.0f;
    FillRect(c, x - len, y, x + len, y + 1.0f + depth * 2.0f, Hex(0xffd9a0),
             0.25f + 0.5f * random.Next());
  }
  // Reeds at the front left.
  const Rgb reed = Hex(0x120a14);
  for (int i = 0; i < 70; ++i) {
    float x = random.Range(-0.02f, 0.3f) * w * (i < 50 ? 1.0f : 0.5f);
    float top = h * random.Range(0.62f, 0.86f);
    float lean = random.Range(-0.03f, 0.03f) * w;
    FillTriangle(c, x - 3.0f, static_cast<float>(h), x + 3.0f, static_cast<float>(h), x + lean,
                 top, reed);
    if (random.Next() < 0.3f) FillEllipse(c, x + lean * 0.9f, top + h * 0.03f, 3.5f, h * 0.025f, 0.0f, reed);
  }
  Vignette(c, 0.4f);
  AddGrain(c, 0.012f, 43);
  return c;
}

Canvas PaintGreenHills(int w, int h) {
  Canvas c(w, h);
  const ColourStop sky[] = {{0.0f, Hex(0x2d6fc0)}, {0.45f, Hex(0x87bde8)}, {0.6f, Hex(0xd4e8f4)}};
  FillVertical(c, sky, 3);
  PaintClouds(c, h * 0.02f, h * 0.5f, 0.45f, Hex(0xffffff), Hex(0x9fb0c6), h * 0.3f, 51);
  // Layers of hills, each with its own green and a patchwork of fields.
  struct Hill {
    float base, amplitude;
    uint32_t light, dark;
  };
  const Hill hillsDef[] = {{0.55f, 0.10f, 0x8fb37a, 0x6f946a},
                           {0.64f, 0.12f, 0x86b650, 0x5b8a3c},
                           {0.76f, 0.14f, 0x9cc548, 0x5f9530},
                           {0.92f, 0.16f, 0xb4d450, 0x6aa02c}};
  Random random(53);
  for (int i = 0; i < 4; ++i) {
    const Hill& hl = hillsDef[i];
    std::vector<float> ridge = RidgeLine(w, h * hl.base, h * hl.amplitude, w * 0.35f, 3, 60 + i, false);
    Rgb light = Hex(hl.light), dark = Hex(hl.dark);
    float field = w * (0.05f + 0.05f * i);
    FillRidge(c, ridge, [&](int x, int, float depth) {
      // Fields: cells of a skewed grid, each with its own shade of green or gold.
      float fx = (x + depth * 0.8f) / field, fy = depth / (field * 0.35f);
      uint32_t cell = HashU32(static_cast<uint32_t>(std::floor(fx)) * 7919u +
                              static_cast<uint32_t>(std::floor(fy)) * 104729u + i);
      float shade = (cell & 0xff) / 255.0f;
      Rgb col = Mix(dark, light, 0.35f + 0.5f * shade);
      if ((cell >> 8) % 7 == 0) col = Mix(col, Hex(0xd9c16a), 0.6f);  // a ripe field
      float edgeX = std::fabs(fx - std::floor(fx) - 0.5f), edgeY = std::fabs(fy - std::floor(fy) - 0.5f);
      float hedge = Smoothstep(0.47f, 0.5f, std::max(edgeX, edgeY));
      col = Mix(col, Hex(0x2f4a22), hedge * 0.7f);
      col = col * (1.05f - 0.25f * Clamp01(depth / (h * 0.25f)));
      return Mix(col, Hex(0xc8dcea), 0.35f * (3 - i) / 3.0f);  // aerial haze
    });
    // Trees along the ridge.
    for (int t = 0; t < 10 + i * 5; ++t) {
      float x = random.Range(0.0f, static_cast<float>(w));
      float r = h * (0.006f + 0.006f * i) * random.Range(0.7f, 1.3f);
      float y = ridge[std::clamp(static_cast<int>(x), 0, w - 1)];
      Rgb tree = Mix(Hex(0x2c4a24), Hex(0xc8dcea), 0.3f * (3 - i) / 3.0f);
      FillDisc(c, x, y - r * 0.8f, r, tree);
      FillDisc(c, x + r * 0.5f, y - r * 0.5f, r * 0.8f, tree * 0.9f);
    }
  }
  AddGlow(c, w * 0.85f, h * 0.05f, h * 0.3f, Hex(0xfff6d8), 0.25f);
  Vignette(c, 0.25f);
  AddGrain(c, 0.012f, 59);
  return c;
}

Canvas PaintDesertDunes(int w, int h) {
  Canvas c(w, h);
  const ColourStop sky[] = {{0.0f, Hex(0x1d3f7a)}, {0.5f, Hex(0x6f9ccc)}, {0.75f, Hex(0xe7d2b4)}};
  FillVertical(c, sky, 3);
  AddGlow(c, w * 0.1f, 0.0f, h * 0.35f, Hex(0xfff0d0), 0.35f);
  // Dunes: smooth crests, a lit and a shaded flank, and wind ripples.
  struct Dune {
    float base, amplitude;
    uint32_t lit, shade;
  };
  const Dune dunes[] = {{0.55f, 0.10f, 0xe2b07c, 0xb07a58},
                        {0.66f, 0.14f, 0xe9a865, 0xa86740},
                        {0.82f, 0.18f, 0xf0b26a, 0x9a5630},
                        {1.02f, 0.22f, 0xf4bf78, 0x8e4c28}};
  for (int i = 0; i < 4; ++i) {
    const Dune& d = dunes[i];
    std::vector<float> ridge(w);
    float phase = i * 1.7f, period = w * (0.55f - 0.08f * i);
    for (int x = 0; x < w; ++x) {
      float s = std::sin(x / period * 6.2832f + phase);
      // Asymmetric crest: a steep lee side and a long windward slope.
      float crest = std::pow(0.5f + 0.5f * s, 1.6f);
      ridge[x] = h * d.base - h * d.amplitude * (0.6f * crest + 0.4f * Fbm1(x / (w * 0.3f), 3, 80 + i));
    }
    Rgb lit = Hex(d.lit), shade = Hex(d.shade);
    FillRidge(c, ridge, [&](int x, int y, float depth) {
      // The flank's orientation is that of the crest above and to the right of the pixel,
      // so the edge between light and shade runs down the dune diagonally (sun on the left).
      int xs = std::clamp(static_cast<int>(x - depth * 0.9f), 3, w - 4);
      float slope = (ridge[xs + 3] - ridge[xs - 3]) / 6.0f;
      float side = Smoothstep(-0.05f, 0.15f, -slope);  // rising to the right faces the sun
      Rgb col = Mix(lit, shade, 1.0f - side);
      float ripple = std::sin((y + 0.35f * x + 6.0f * Fbm(x * 0.01f, y * 0.02f, 2, 90 + i)) * (0.35f + 0.1f * i) * 1000.0f / h);
      col = col * (1.0f + 0.04f * ripple * Clamp01(depth / (h * 0.02f)));
      return Mix(col, Hex(0xe7c9a8), 0.3f * (3 - i) / 3.0f * Clamp01(1.0f - depth / (h * 0.3f)));
    });
  }
  Vignette(c, 0.3f);
  AddGrain(c, 0.018f, 93);
  return c;
}

Canvas PaintTropicalBeach(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.45f;
  const ColourStop sky[] = {{0.0f, Hex(0x1f7fd1)}, {0.6f, Hex(0x8fcaf0)}, {1.0f, Hex(0xe6f4fa)}};
  FillVertical(c, sky, 3, 0, static_cast<int>(horizon));
  PaintClouds(c, h * 0.12f, horizon * 0.95f, 0.35f, Hex(0xffffff), Hex(0xb6cfe3), h * 0.25f, 101);
  AddGlow(c, w * 0.2f, h * 0.08f, h * 0.2f, Hex(0xffffff), 0.5f);
  // Sea, deep at the horizon and turquoise over the sand, then the beach.
  std::vector<float> shore = RidgeLine(w, h * 0.74f, h * 0.06f, w * 0.4f, 3, 103, false);
  for (int x = 0; x < w; ++x) shore[x] -= (x / static_cast<float>(w)) * h * 0.05f;
  const ColourStop seaStops[] = {{0.0f, Hex(0x0c4f8a)}, {0.45f, Hex(0x1a8fb0)},
                                 {0.85f, Hex(0x3fd0c8)}, {1.0f, Hex(0x9fe8d8)}};
  for (int y = static_cast<int>(horizon); y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float t = (y - horizon) / (shore[x] - horizon);
      Rgb sea = Ramp(seaStops, 4, t);
      float sparkle = Fbm(x * 0.05f, y * 0.3f, 2, 107);
      sea = sea * (0.93f + 0.14f * sparkle);
      c.At(x, y) = sea;
    }
  }
  // Foam where the waves run out, then wet and dry sand.
  FillRidge(c, shore, [&](int x, int y, float depth) {
    float foam = 1.0f - Smoothstep(0.0f, h * 0.012f, depth);
    float foamNoise = Fbm(x * 0.03f, y * 0.1f, 3, 109);
    Rgb sand = Mix(Hex(0xc9a877), Hex(0xf0dcb4), Smoothstep(0.0f, h * 0.08f, depth));
    sand = sand * (0.94f + 0.12f * Fbm(x * 0.2f, y * 0.2f, 2, 111));
    return Mix(sand, Hex(0xf8fbfb), foam * Smoothstep(0.3f, 0.6f, foamNoise + 0.2f));
  });
  // A leaning palm on the right: a curved trunk and drooping fronds.
  const Rgb trunk = Hex(0x4a3526), frond = Hex(0x1f4a2a);
  float bx = w * 0.86f, by = h * 1.02f, tx = w * 0.7f, ty = h * 0.18f;
  float crownX = 0.0f, crownY = 0.0f;
  for (int i = 0; i <= 60; ++i) {
    float t = i / 60.0f;
    float x = bx + (tx - bx) * t + std::sin(t * 3.1416f) * w * 0.06f;
    float y = by + (ty - by) * t;
    float r = h * (0.022f - 0.01f * t);
    FillDisc(c, x, y, r, trunk * (0.85f + 0.15f * (i % 3 == 0)));
    crownX = x, crownY = y;
  }
  Random random(113);
  for (int f = 0; f < 9; ++f) {
    float angle = -3.1416f * (0.05f + 0.9f * f / 8.0f) + random.Range(-0.1f, 0.1f);
    float len = h * random.Range(0.22f, 0.3f);
    // The spine arches out and droops under its weight; leaflets hang from both sides.
    auto spine = [&](float t, float& x, float& y) {
      x = crownX + std::cos(angle) * len * t;
      y = crownY + std::sin(angle) * len * t + len * 0.6f * t * t;
    };
    const int steps = 36;
    for (int s = 0; s < steps; ++s) {
      float t0 = static_cast<float>(s) / steps, t1 = static_cast<float>(s + 1) / steps;
      float x0, y0, x1, y1;
      spine(t0, x0, y0);
      spine(t1, x1, y1);
      float tx = x1 - x0, ty = y1 - y0, tl = std::sqrt(tx * tx + ty * ty);
      tx /= tl, ty /= tl;
      float width = h * 0.004f * (1.0f - t0) + 1.0f;
      FillTriangle(c, x0 - ty * width, y0 + tx * width, x0 + ty * width, y0 - tx * width, x1, y1, frond);
      float leaf = len * 0.3f * std::sin(3.1416f * (0.12f + 0.88f * t0));
      for (float side : {-1.0f, 1.0f}) {
        // Leaflets sweep towards the tip and fall away from the spine.
        float dx = -ty * side * 0.75f + tx * 0.55f, dy = tx * side * 0.75f + ty * 0.55f + 0.45f;
        float ex = x0 + dx * leaf, ey = y0 + dy * leaf;
        Rgb shade = frond * (side > 0 ? 1.0f : 1.25f);
        FillTriangle(c, x0 - tx * width * 1.5f, y0 - ty * width * 1.5f, x0 + tx * width * 1.5f,
                     y0 + ty * width * 1.5f, ex, ey, shade);
      }
    }
  }
  Vignette(c, 0.2f);
  AddGrain(c, 0.01f, 117);
  return c;
}

}  // namespace assets
