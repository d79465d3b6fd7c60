// Night and twilight scenes: a harbour city, a moonlit forest, northern lights, a lighthouse.
#include <algorithm>
#include <cmath>

#include "assets/pictures.h"
#include "assets/scenery.h"

namespace assets {
namespace {

// One row of buildings along the horizon; lit windows when `windows` is set.
void DrawSkyline(Canvas& c, float horizon, float minH, float maxH, Rgb body, bool windows,
                 Random& random) {
  const int w = c.width(), h = c.height();
  float x = -random.Range(0.0f, 0.03f) * w;
  while (x < w) {
    float bw = w * random.Range(0.025f, 0.07f);
    float bh = h * random.Range(minH, maxH);
    if (random.Next() < 0.12f) bh *= 1.6f;  // an occasional tower
    float top = horizon - bh;
    Rgb shade = body * random.Range(0.85f, 1.1f);
    FillRect(c, x, top, x + bw, horizon, shade);
    if (random.Next() < 0.2f) {  // a spire with a warning light
      FillTriangle(c, x + bw * 0.3f, top, x + bw * 0.7f, top, x + bw * 0.5f, top - bh * 0.25f, shade);
      FillRect(c, x + bw * 0.5f - 1.0f, top - bh * 0.4f, x + bw * 0.5f + 1.0f, top - bh * 0.2f, shade);
      AddGlow(c, x + bw * 0.5f, top - bh * 0.4f, h * 0.004f, Hex(0xff3020), 1.2f);
    }
    if (windows) {
      float cell = h * 0.011f;
      for (float wy = top + cell; wy < horizon - cell; wy += cell * 1.8f) {
        for (float wx = x + cell * 0.7f; wx < x + bw - cell; wx += cell * 1.5f) {
          if (random.Next() < 0.38f) {
            Rgb lamp = Mix(Hex(0xffcf7a), Hex(0xf6f0d8), random.Next());
            FillRect(c, wx, wy, wx + cell * 0.75f, wy + cell, lamp, random.Range(0.5f, 1.0f));
          }
        }
      }
    }
    x += bw + w * random.Range(0.0f, 0.01f);
  }
}

}  // namespace

Canvas PaintHarbourNight(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.64f;
  const ColourStop sky[] = {{0.0f, Hex(0x050a1e)}, {0.55f, Hex(0x14234a)}, {0.85f, Hex(0x3a3560)},
                            {1.0f, Hex(0x8a5a5a)}};
  FillVertical(c, sky, 4, 0, static_cast<int>(horizon));
  Random random(131);
  DrawStars(c, 500, horizon * 0.7f, 1.0f, random);
  DrawMoon(c, w * 0.8f, h * 0.16f, h * 0.05f, Hex(0xf4ecd8), 133);
  AddGlow(c, w * 0.5f, horizon, h * 0.3f, Hex(0xff9a50), 0.18f);  // the city's glow
  DrawSkyline(c, horizon, 0.08f, 0.16f, Hex(0x262a4a), false, random);
  DrawSkyline(c, horizon, 0.05f, 0.2f, Hex(0x141830), true, random);
  DrawSkyline(c, horizon, 0.03f, 0.1f, Hex(0x0a0c18), true, random);
  FillRect(c, 0.0f, horizon - h * 0.006f, static_cast<float>(w), horizon, Hex(0x07080f));  // quay
  ReflectBelow(c, static_cast<int>(horizon), Hex(0x081028), 0.25f, 1.6f, 137);
  // Moonlight on the water.
  for (int i = 0; i < 400; ++i) {
    float depth = random.Next();
    float y = horizon + 5.0f + depth * (h - horizon - 5.0f);
    float x = w * 0.8f + (random.Next() + random.Next() - 1.0f) * w * (0.02f + 0.12f * depth);
    float len = (3.0f + 18.0f * depth) * w / 1920.0f;
    FillRect(c, x - len, y, x + len, y + 1.5f, Hex(0xe8e4d8), 0.2f + 0.4f * random.Next());
  }
  Vignette(c, 0.35f);
  AddGrain(c, 0.015f, 139);
  return c;
}

Canvas PaintMoonlitForest(int w, int h) {
  Canvas c(w, h);
  const ColourStop sky[] = {{0.0f, Hex(0x040816)}, {0.5f, Hex(0x16284a)}, {1.0f, Hex(0x4a6a8a)}};
  FillVertical(c, sky, 3);
  Random random(151);
  DrawStars(c, 450, h * 0.5f, 1.0f, random);
  DrawMoon(c, w * 0.55f, h * 0.22f, w * 0.11f, Hex(0xf1efe6), 153);
  // Rows of pines, pale and misty in the distance, black at the front.
  const uint32_t colours[] = {0x3e5676, 0x2a3c58, 0x18243a, 0x080c14};
  for (int row = 0; row < 4; ++row) {
    float base = h * (0.62f + 0.11f * row);
    std::vector<float> ground = RidgeLine(w, base, h * 0.04f, w * 0.5f, 3, 160 + row, false);
    Rgb col = Hex(colours[row]);
    FillRidge(c, ground, [&](int, int, float) { return col; });
    int trees = 28 - row * 4;
    for (int i = 0; i < trees; ++i) {
      float x = (i + random.Range(-0.4f, 0.4f)) * w / (trees - 1);
      float size = h * (0.12f + 0.07f * row) * random.Range(0.7f, 1.25f);
      DrawPine(c, x, ground[std::clamp(static_cast<int>(x), 0, w - 1)] + h * 0.01f, size, col, random);
    }
    // Mist settles in front of each row except the last.
    if (row < 3) {
      for (int y = 0; y < h; ++y) {
        float m = std::exp(-std::pow((y - base) / (h * 0.035f), 2.0f)) * 0.45f;
        if (m < 0.01f) continue;
        for (int x = 0; x < w; ++x) {
          float n = Fbm(x * 0.004f, y * 0.02f, 3, 170 + row);
          c.At(x, y) = Mix(c.At(x, y), Hex(0x7d95b0), m * (0.5f + n));
        }
      }
    }
  }
  Vignette(c, 0.45f);
  AddGrain(c, 0.015f, 177);
  return c;
}

Canvas PaintNorthernLights(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.68f;
  const ColourStop sky[] = {{0.0f, Hex(0x02040c)}, {0.6f, Hex(0x081a2c)}, {1.0f, Hex(0x17344a)}};
  FillVertical(c, sky, 3, 0, static_cast<int>(horizon) + 2);
  Random random(191);
  DrawStars(c, 700, horizon, 1.0f, random);
  // Curtains: a wavy lower edge, rays fading upwards, green below and violet above.
  for (int layer = 0; layer < 2; ++layer) {
    for (int x = 0; x < w; ++x) {
      float u = x / static_cast<float>(w);
      float edge = h * (0.42f + 0.1f * layer) + h * 0.12f * std::sin(u * 5.0f + layer * 2.0f) +
                   h * 0.06f * (Fbm1(u * 4.0f, 3, 200 + layer) - 0.5f);
      float rays = 0.35f + 0.65f * Fbm1(u * 90.0f, 3, 210 + layer);
      float strength = (layer == 0 ? 0.9f : 0.55f) * rays;
      float height = h * (0.25f + 0.1f * Fbm1(u * 6.0f, 2, 220 + layer));
      for (int y = std::max(0, static_cast<int>(edge - height * 2.5f)); y < std::min(static_cast<int>(edge + h * 0.03f), static_cast<int>(horizon)); ++y) {
        float above = (edge - y) / height;  // 0 at the edge, 1 a curtain height up
        float glow = above < 0.0f ? std::exp(above * 25.0f) : std::exp(-above * 1.4f);
        Rgb col = Mix(Hex(0x3dff9a), Hex(0xa04cd8), Smoothstep(0.4f, 1.6f, above));
        c.At(x, y) = c.At(x, y) + col * (glow * strength * 0.6f);
      }
    }
  }
  // Snowy hills catching the green light.
  for (int row = 0; row < 2; ++row) {
    std::vector<float> ridge = RidgeLine(w, horizon + h * 0.12f * row, h * 0.1f, w * 0.35f, 4, 230 + row, false);
    FillRidge(c, ridge, [&](int x, int y, float depth) {
      float n = Fbm(x * 0.01f, y * 0.03f, 3, 240 + row);
      Rgb snow = Mix(Hex(0x8fb8c8), Hex(0x2a4660), Clamp01(depth / (h * 0.25f) + 0.3f * n));
      return snow + Hex(0x0a3020) * (1.0f - Clamp01(depth / (h * 0.1f)));
    });
    for (int i = 0; i < 12; ++i) {
      float x = random.Range(0.0f, static_cast<float>(w));
      float size = h * (0.06f + 0.06f * row) * random.Range(0.7f, 1.3f);
      DrawPine(c, x, ridge[std::clamp(static_cast<int>(x), 0, w - 1)] + 2.0f, size, Hex(0x050a10), random);
    }
  }
  // A cabin with a lit window.
  float cx = w * 0.3f, cy = h * 0.86f, cw = w * 0.05f;
  FillRect(c, cx - cw, cy - cw * 0.7f, cx + cw, cy, Hex(0x120c0a));
  FillTriangle(c, cx - cw * 1.2f, cy - cw * 0.7f, cx + cw * 1.2f, cy - cw * 0.7f, cx, cy - cw * 1.4f, Hex(0xcfd8e0));
  FillRect(c, cx - cw * 0.5f, cy - cw * 0.45f, cx - cw * 0.15f, cy - cw * 0.15f, Hex(0xffc060));
  AddGlow(c, cx - cw * 0.32f, cy - cw * 0.3f, cw * 0.6f, Hex(0xff9a40), 0.35f);
  Vignette(c, 0.35f);
  AddGrain(c, 0.015f, 251);
  return c;
}

Canvas PaintLighthouse(int w, int h) {
  Canvas c(w, h);
  const float horizon = h * 0.68f;
  const ColourStop sky[] = {{0.0f, Hex(0x0e1a3e)}, {0.45f, Hex(0x3c4a86)}, {0.8f, Hex(0xc0708a)},
                            {1.0f, Hex(0xf2a878)}};
  FillVertical(c, sky, 4, 0, static_cast<int>(horizon) + 1);
  Random random(271);
  DrawStars(c, 220, horizon * 0.45f, 0.8f, random);
  PaintClouds(c, h * 0.35f, h * 0.6f, 0.3f, Hex(0xf0a0a0), Hex(0x4a3a6a), h * 0.25f, 273);
  ReflectBelow(c, static_cast<int>(horizon), Hex(0x1a2040), 0.4f, 1.2f, 277);
  // A headland on the right: its top rises from the water line, and its foot runs towards
  // the viewer along a shore with a line of surf.
  std::vector<float> cliff(w);
  for (int x = 0; x < w; ++x) {
    float u = x / static_cast<float>(w);
    float rise = Smoothstep(0.3f, 0.55f, u);
    cliff[x] = horizon - h * 0.2f * rise + h * 0.03f * rise * (Fbm1(u * 8.0f, 4, 280) - 0.5f);
  }
  for (int y = 0; y < h; ++y) {
    float below = Clamp01((y - horizon) / (h - horizon));
    float shore = w * (0.3f + 0.3f * below * (2.0f - below));
    for (int x = 0; x < w; ++x) {
      float cover = Clamp01(y + 1.0f - cliff[x]) * Clamp01(x + 1.0f - shore);
      if (cover <= 0.0f) continue;
      float depth = y - cliff[x];
      float n = Fbm(x * 0.02f, y * 0.01f, 3, 281);
      Rgb rock = Mix(Hex(0x2a2030), Hex(0x120e18), Clamp01(depth / (h * 0.2f) + 0.3f * n));
      c.Blend(x, y, rock, cover);
      if (y > horizon) {
        float surf = std::exp(-(x - shore) / (w * 0.006f)) * (0.6f + 0.4f * n);
        c.Blend(x, y, Hex(0xd8d0e0), surf * 0.5f);
      }
    }
  }
  // The lighthouse: a tapering white tower with red bands, a gallery and the lamp room.
  float lx = w * 0.72f, base = cliff[static_cast<int>(lx)] + h * 0.01f, top = base - h * 0.3f;
  float bottomHalf = w * 0.055f, topHalf = w * 0.035f;
  for (int band = 0; band < 5; ++band) {
    float y0 = base - (base - top) * band / 5.0f, y1 = base - (base - top) * (band + 1) / 5.0f;
    float hw0 = bottomHalf + (topHalf - bottomHalf) * band / 5.0f;
    float hw1 = bottomHalf + (topHalf - bottomHalf) * (band + 1) / 5.0f;
    Rgb col = (band % 2 == 0) ? Hex(0xe8e2dc) : Hex(0xb8303a);
    FillTriangle(c, lx - hw0, y0, lx + hw0, y0, lx + hw1, y1, col);
    FillTriangle(c, lx - hw0, y0, lx + hw1, y1, lx - hw1, y1, col);
    // Shade the side away from the sunset.
    FillTriangle(c, lx + hw0 * 0.3f, y0, lx + hw0, y0, lx + hw1, y1, Hex(0x000000), 0.25f);
    FillTriangle(c, lx + hw0 * 0.3f, y0, lx + hw1, y1, lx + hw1 * 0.3f, y1, Hex(0x000000), 0.25f);
  }
  FillRect(c, lx - topHalf * 1.4f, top - h * 0.008f, lx + topHalf * 1.4f, top, Hex(0x1a1a22));
  FillRect(c, lx - topHalf * 0.8f, top - h * 0.05f, lx + topHalf * 0.8f, top - h * 0.008f, Hex(0xfff2b0));
  FillTriangle(c, lx - topHalf * 1.1f, top - h * 0.05f, lx + topHalf * 1.1f, top - h * 0.05f, lx,
               top - h * 0.085f, Hex(0x1a1a22));
  float lampY = top - h * 0.03f;
  // A beam sweeping out over the sea to the left.
  for (int i = 0; i < 12; ++i) {
    float spread = h * (0.01f + 0.012f * i);
    FillTriangle(c, lx, lampY, -w * 0.2f, lampY - h * 0.04f - spread, -w * 0.2f,
                 lampY - h * 0.04f + spread, Hex(0xfff0c0), 0.035f);
  }
  AddGlow(c, lx, lampY, h * 0.05f, Hex(0xffe8a0), 0.8f);
  Vignette(c, 0.35f);
  AddGrain(c, 0.012f, 291);
  return c;
}

}  // namespace assets
