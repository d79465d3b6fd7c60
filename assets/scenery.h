// Reusable scenery for the default pictures: ridges, trees, stars, moon and clouds.
#pragma once

#include <functional>
#include <vector>

#include "assets/painter.h"

namespace assets {

// Height of a ridge for every column: baseY minus noise of the given amplitude. `ridged`
// folds the noise into sharp peaks (mountains) instead of soft hills.
std::vector<float> RidgeLine(int width, float baseY, float amplitude, float scale, int octaves,
                             uint32_t seed, bool ridged);

// Fills below a precomputed ridge; colour gets the column, the row and the depth below the
// ridge in pixels. With `until`, rows hidden behind a nearer ridge (a few pixels below it)
// are not painted.
void FillRidge(Canvas& c, const std::vector<float>& ridge,
               const std::function<Rgb(int, int, float)>& colour,
               const std::vector<float>* until = nullptr);

// A conifer silhouette standing on (x, baseY).
void DrawPine(Canvas& c, float x, float baseY, float height, Rgb colour, Random& random);

// Scattered stars above maxY, brighter ones with a small glow.
void DrawStars(Canvas& c, int count, float maxY, float brightness, Random& random);

// A moon with soft maria and a halo.
void DrawMoon(Canvas& c, float cx, float cy, float r, Rgb colour, uint32_t seed);

// Soft clouds between rows y0 and y1: `coverage` 0..1, lit tops and shaded bases.
void PaintClouds(Canvas& c, float y0, float y1, float coverage, Rgb lit, Rgb shade, float scale,
                 uint32_t seed);

}  // namespace assets
