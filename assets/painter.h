// Small painting toolkit for the default pictures: noise, ramps, soft shapes and glows.
// Coordinates are in pixels; shapes are anti-aliased over about one pixel.
#pragma once

#include <cstdint>
#include <functional>

#include "assets/canvas.h"

namespace assets {

// Deterministic generator (xorshift), so every build paints the same pictures.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
  uint32_t NextU32();
  float Next();                       // 0 .. 1
  float Range(float lo, float hi) { return lo + (hi - lo) * Next(); }

 private:
  uint32_t state_;
};

uint32_t HashU32(uint32_t v);
// Smooth value noise in 0..1 and its fractal sum (also 0..1).
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, int octaves, uint32_t seed);
// One-dimensional fractal noise for ridges and shorelines, 0..1.
float Fbm1(float x, int octaves, uint32_t seed);

// Vertical ramp over the whole canvas, or over rows y0..y1.
void FillVertical(Canvas& c, const ColourStop* stops, int count);
void FillVertical(Canvas& c, const ColourStop* stops, int count, int y0, int y1);

// Adds a soft gaussian light of the given radius (pixels) around (cx, cy).
void AddGlow(Canvas& c, float cx, float cy, float radius, Rgb colour, float strength);

void FillDisc(Canvas& c, float cx, float cy, float r, Rgb colour, float opacity = 1.0f);
void FillEllipse(Canvas& c, float cx, float cy, float rx, float ry, float angle, Rgb colour,
                 float opacity = 1.0f);
void FillRect(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour,
              float opacity = 1.0f);
// Triangle with anti-aliased edges.
void FillTriangle(Canvas& c, float ax, float ay, float bx, float by, float px, float py,
                  Rgb colour, float opacity = 1.0f);

// Fills every pixel below the ridge line y = ridge(x); colour(x, y) gives the fill.
void FillBelow(Canvas& c, const std::function<float(float)>& ridge,
               const std::function<Rgb(int, int)>& colour);

// Mirrors the rows above `horizon` into the rows below it, with ripples and a tint.
void ReflectBelow(Canvas& c, int horizon, Rgb tint, float tintAmount, float ripple,
                  uint32_t seed);

// Darkens the corners.
void Vignette(Canvas& c, float strength);

// Fine grain, like film, so large flat areas do not look synthetic.
void AddGrain(Canvas& c, float amount, uint32_t seed);

}  // namespace assets
