#include "assets/painter.h"

#include <algorithm>
#include <cmath>

namespace assets {

uint32_t Random::NextU32() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

float Random::Next() { return (NextU32() >> 8) * (1.0f / 16777216.0f); }

uint32_t HashU32(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7feb352du;
  v ^= v >> 15;
  v *= 0x846ca68bu;
  v ^= v >> 16;
  return v;
}

namespace {

float Lattice(int x, int y, uint32_t seed) {
  uint32_t h = HashU32(static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                       seed * 0xcb1ab31fu);
  return (h >> 8) * (1.0f / 16777216.0f);
}

float Fade(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

float ValueNoise(float x, float y, uint32_t seed) {
  float fx = std::floor(x), fy = std::floor(y);
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = Fade(x - fx), ty = Fade(y - fy);
  float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * ValueNoise(x, y, seed + i * 101u);
    total += amplitude;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f + 5.3f;
    amplitude *= 0.5f;
  }
  return sum / total;
}

float Fbm1(float x, int octaves, uint32_t seed) { return Fbm(x, 0.5f, octaves, seed); }

void FillVertical(Canvas& c, const ColourStop* stops, int count) {
  FillVertical(c, stops, count, 0, c.height());
}

void FillVertical(Canvas& c, const ColourStop* stops, int count, int y0, int y1) {
  for (int y = std::max(0, y0); y < std::min(c.height(), y1); ++y) {
    Rgb row = Ramp(stops, count, (y + 0.5f - y0) / static_cast<float>(y1 - y0));
    for (int x = 0; x < c.width(); ++x) c.At(x, y) = row;
  }
}

void AddGlow(Canvas& c, float cx, float cy, float radius, Rgb colour, float strength) {
  int x0 = std::max(0, static_cast<int>(cx - 3 * radius)),
      x1 = std::min(c.width(), static_cast<int>(cx + 3 * radius) + 1);
  int y0 = std::max(0, static_cast<int>(cy - 3 * radius)),
      y1 = std::min(c.height(), static_cast<int>(cy + 3 * radius) + 1);
  float k = 1.0f / (radius * radius);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float g = strength * std::exp(-(dx * dx + dy * dy) * k);
      c.At(x, y) = c.At(x, y) + colour * g;
    }
  }
}

namespace {

// Paints the pixels of a box with coverage from a signed distance (pixels, negative inside).
template <typename Sdf>
void FillSdf(Canvas& c, float x0, float y0, float x1, float y1, Sdf sdf, Rgb colour,
             float opacity) {
  int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
  int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
  int ix1 = std::min(c.width(), static_cast<int>(std::ceil(x1)) + 2);
  int iy1 = std::min(c.height(), static_cast<int>(std::ceil(y1)) + 2);
  for (int y = iy0; y < iy1; ++y) {
    for (int x = ix0; x < ix1; ++x) {
      float cover = Clamp01(0.5f - sdf(x + 0.5f, y + 0.5f));
      if (cover > 0.0f) c.Blend(x, y, colour, cover * opacity);
    }
  }
}

}  // namespace

void FillDisc(Canvas& c, float cx, float cy, float r, Rgb colour, float opacity) {
  FillSdf(
      c, cx - r, cy - r, cx + r, cy + r,
      [&](float x, float y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r; },
      colour, opacity);
}

void FillEllipse(Canvas& c, float cx, float cy, float rx, float ry, float angle, Rgb colour,
                 float opacity) {
  float ca = std::cos(angle), sa = std::sin(angle), rmax = std::max(rx, ry);
  float rmin = std::min(rx, ry);
  FillSdf(
      c, cx - rmax, cy - rmax, cx + rmax, cy + rmax,
      [&](float x, float y) {
        float dx = x - cx, dy = y - cy;
        float u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
        return (std::sqrt(u * u + v * v) - 1.0f) * rmin;
      },
      colour, opacity);
}

void FillRect(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour, float opacity) {
  FillSdf(
      c, x0, y0, x1, y1,
      [&](float x, float y) {
        return std::max(std::max(x0 - x, x - x1), std::max(y0 - y, y - y1));
      },
      colour, opacity);
}

void FillTriangle(Canvas& c, float ax, float ay, float bx, float by, float px, float py,
                  Rgb colour, float opacity) {
  // Orient counter-clockwise in screen space so "inside" is the same side for each edge.
  if ((bx - ax) * (py - ay) - (by - ay) * (px - ax) < 0.0f) {
    std::swap(bx, px);
    std::swap(by, py);
  }
  auto edge = [](float x0, float y0, float x1, float y1, float x, float y) {
    float ex = x1 - x0, ey = y1 - y0, len = std::sqrt(ex * ex + ey * ey);
    return -((ex * (y - y0) - ey * (x - x0)) / len);
  };
  FillSdf(
      c, std::min({ax, bx, px}), std::min({ay, by, py}), std::max({ax, bx, px}),
      std::max({ay, by, py}),
      [&](float x, float y) {
        return std::max({edge(ax, ay, bx, by, x, y), edge(bx, by, px, py, x, y),
                         edge(px, py, ax, ay, x, y)});
      },
      colour, opacity);
}

void FillBelow(Canvas& c, const std::function<float(float)>& ridge,
               const std::function<Rgb(int, int)>& colour) {
  for (int x = 0; x < c.width(); ++x) {
    float top = ridge(x + 0.5f);
    int y0 = std::max(0, static_cast<int>(std::floor(top)));
    for (int y = y0; y < c.height(); ++y) {
      float cover = Clamp01(y + 1.0f - top);
      c.Blend(x, y, colour(x, y), cover);
    }
  }
}

void ReflectBelow(Canvas& c, int horizon, Rgb tint, float tintAmount, float ripple,
                  uint32_t seed) {
  for (int y = horizon; y < c.height(); ++y) {
    float depth = static_cast<float>(y - horizon) / std::max(1, c.height() - horizon);
    for (int x = 0; x < c.width(); ++x) {
      // Ripples grow towards the viewer.
      float wobble = (ValueNoise(x * 0.01f, y * 0.35f / (0.2f + depth), seed) - 0.5f) * ripple *
                     (0.3f + depth) * c.width() * 0.02f;
      int sx = std::clamp(static_cast<int>(x + wobble), 0, c.width() - 1);
      int sy = std::clamp(2 * horizon - y - 1, 0, c.height() - 1);
      Rgb mirrored = c.At(sx, sy);
      c.At(x, y) = Mix(mirrored * 0.85f, tint, tintAmount * (0.4f + 0.6f * depth));
    }
  }
}

void Vignette(Canvas& c, float strength) {
  float cx = c.width() * 0.5f, cy = c.height() * 0.5f;
  float norm = 1.0f / (cx * cx + cy * cy);
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      float dx = x - cx, dy = y - cy;
      float d = (dx * dx + dy * dy) * norm;
      c.At(x, y) = c.At(x, y) * (1.0f - strength * d * d);
    }
  }
}

void AddGrain(Canvas& c, float amount, uint32_t seed) {
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      uint32_t h = HashU32(static_cast<uint32_t>(y) * 73856093u ^ static_cast<uint32_t>(x) * 19349663u ^ seed);
      float n = ((h & 0xffff) / 65535.0f - 0.5f) * amount;
      Rgb& p = c.At(x, y);
      p = {p.r + n, p.g + n, p.b + n};
    }
  }
}

}  // namespace assets
