// A floating-point RGB raster the generator paints into, and its conversion to 8-bit pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

struct Rgb {
  float r, g, b;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }
// 0xRRGGBB to a colour in 0..1.
Rgb Hex(uint32_t rgb);

float Clamp01(float v);
float Smoothstep(float edge0, float edge1, float x);

// Colour at t along stops given as (position, colour) pairs in increasing position.
struct ColourStop {
  float at;
  Rgb colour;
};
Rgb Ramp(const ColourStop* stops, int count, float t);

class Canvas {
 public:
  Canvas(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Rgb& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // Blends `colour` over pixel (x, y) with `cover` (0..1); outside the raster does nothing.
  void Blend(int x, int y, Rgb colour, float cover);

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// 8-bit RGB, rows top-down. A tiny ordered dither keeps smooth gradients free of bands.
std::vector<uint8_t> ToRgb8(const Canvas& canvas);

}  // namespace assets
