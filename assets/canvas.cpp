#include "assets/canvas.h"

#include <cmath>

namespace assets {

Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f};
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float Smoothstep(float edge0, float edge1, float x) {
  float t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

Rgb Ramp(const ColourStop* stops, int count, float t) {
  if (t <= stops[0].at) return stops[0].colour;
  for (int i = 1; i < count; ++i) {
    if (t <= stops[i].at) {
      float span = stops[i].at - stops[i - 1].at;
      float k = span > 0.0f ? (t - stops[i - 1].at) / span : 1.0f;
      return Mix(stops[i - 1].colour, stops[i].colour, Smoothstep(0.0f, 1.0f, k));
    }
  }
  return stops[count - 1].colour;
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, Rgb{0, 0, 0}) {}

void Canvas::Blend(int x, int y, Rgb colour, float cover) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || cover <= 0.0f) return;
  Rgb& p = At(x, y);
  p = Mix(p, colour, cover > 1.0f ? 1.0f : cover);
}

std::vector<uint8_t> ToRgb8(const Canvas& canvas) {
  // 4x4 Bayer matrix, centred on zero, in units of one 8-bit step.
  static const float kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  std::vector<uint8_t> out(static_cast<size_t>(canvas.width()) * canvas.height() * 3);
  size_t o = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      float d = (kBayer[y & 3][x & 3] + 0.5f) / 16.0f;
      const Rgb& p = canvas.At(x, y);
      for (float c : {p.r, p.g, p.b}) {
        float v = std::floor(Clamp01(c) * 255.0f + d);
        out[o++] = static_cast<uint8_t>(v > 255.0f ? 255.0f : v);
      }
    }
  }
  return out;
}

}  // namespace assets
