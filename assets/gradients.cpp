// The ten backdrop gradients: vertical ramps with a soft glow at the horizon, which is where
// the pictures stand.
#include <cmath>

#include "assets/backdrops.h"

namespace assets {
namespace {

struct GradientStyle {
  ColourStop stops[5];
  int count;
  Rgb glow;         // added around the horizon, behind the pictures
  float glowWidth;  // vertical extent of the glow, in texture heights
};

// Top (0) .. horizon (0.5) .. bottom (1).
const GradientStyle kStyles[kGradientCount] = {
    // Midnight blue with a cool horizon.
    {{{0.0f, Hex(0x070b1c)}, {0.3f, Hex(0x17244a)}, {0.5f, Hex(0x4b5f92)}, {0.62f, Hex(0x1c2747)},
      {1.0f, Hex(0x080a14)}}, 5, Hex(0x1a2238), 0.10f},
    // Dusk: violet sky over an orange horizon.
    {{{0.0f, Hex(0x1f1540)}, {0.3f, Hex(0x6a3466)}, {0.5f, Hex(0xe0844f)}, {0.6f, Hex(0x5a2a3a)},
      {1.0f, Hex(0x1a0f18)}}, 5, Hex(0x3a1a08), 0.08f},
    // Graphite studio sweep.
    {{{0.0f, Hex(0x151517)}, {0.32f, Hex(0x3b3c42)}, {0.5f, Hex(0x85868c)}, {0.64f, Hex(0x2b2c30)},
      {1.0f, Hex(0x0c0c0e)}}, 5, Hex(0x141416), 0.12f},
    // Ocean teal.
    {{{0.0f, Hex(0x021c24)}, {0.3f, Hex(0x0a4d58)}, {0.5f, Hex(0x5aa9a8)}, {0.6f, Hex(0x0d3f48)},
      {1.0f, Hex(0x03161c)}}, 5, Hex(0x0c2a2a), 0.10f},
    // Rose dawn.
    {{{0.0f, Hex(0x2e2142)}, {0.28f, Hex(0x8d5a82)}, {0.5f, Hex(0xf0bfa0)}, {0.62f, Hex(0x8a5a68)},
      {1.0f, Hex(0x2b1c26)}}, 5, Hex(0x2a1a14), 0.10f},
    // Forest green.
    {{{0.0f, Hex(0x08160e)}, {0.3f, Hex(0x1e4129)}, {0.5f, Hex(0x86a86e)}, {0.6f, Hex(0x203822)},
      {1.0f, Hex(0x070f09)}}, 5, Hex(0x1a2410), 0.10f},
    // Burgundy velvet.
    {{{0.0f, Hex(0x140307)}, {0.32f, Hex(0x460c1a)}, {0.5f, Hex(0x9a4246)}, {0.62f, Hex(0x3a0a14)},
      {1.0f, Hex(0x0e0204)}}, 5, Hex(0x2a0a08), 0.10f},
    // Warm ivory gallery wall.
    {{{0.0f, Hex(0x6f675c)}, {0.3f, Hex(0xb8ae9c)}, {0.5f, Hex(0xe6dcc8)}, {0.62f, Hex(0xa89e8c)},
      {1.0f, Hex(0x4a443c)}}, 5, Hex(0x101008), 0.12f},
    // Night sky with a green and violet aurora band (painted on top below).
    {{{0.0f, Hex(0x03060f)}, {0.35f, Hex(0x0a1830)}, {0.5f, Hex(0x1a3a4a)}, {0.6f, Hex(0x0a1420)},
      {1.0f, Hex(0x020408)}}, 5, Hex(0x051810), 0.08f},
    // Daylight sky.
    {{{0.0f, Hex(0x1f5fa8)}, {0.3f, Hex(0x79afe0)}, {0.5f, Hex(0xd7e6f0)}, {0.6f, Hex(0x8896a4)},
      {1.0f, Hex(0x3c4450)}}, 5, Hex(0x101418), 0.10f},
};

}  // namespace

std::vector<uint8_t> PaintGradient(int index, int size) {
  const GradientStyle& style = kStyles[index];
  Canvas canvas(size, size);
  for (int y = 0; y < size; ++y) {
    float v = (y + 0.5f) / size;
    Rgb row = Ramp(style.stops, style.count, v);
    for (int x = 0; x < size; ++x) {
      float u = (x + 0.5f) / size;
      // u = 0.5 is straight ahead of the viewer.
      float du = (u - 0.5f) * 2.0f, dv = (v - 0.5f) / style.glowWidth;
      float glow = std::exp(-(du * du * 2.0f + dv * dv));
      Rgb c = row + style.glow * glow;
      if (index == 8) {
        // Aurora curtain: a wavy band in the upper half.
        float centre = 0.33f + 0.04f * std::sin(u * 18.0f) + 0.02f * std::sin(u * 41.0f + 1.0f);
        float band = std::exp(-std::pow((v - centre) / 0.05f, 2.0f));
        float upper = std::exp(-std::pow((v - centre + 0.07f) / 0.06f, 2.0f));
        c = c + Hex(0x2fd58e) * (0.55f * band) + Hex(0x7a3fb8) * (0.35f * upper);
      }
      canvas.At(x, y) = c;
    }
  }
  std::vector<uint8_t> rgb = ToRgb8(canvas);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb[i] == 240 && rgb[i + 1] == 240 && rgb[i + 2] == 240) rgb[i + 2] = 241;
  }
  return rgb;
}

}  // namespace assets
