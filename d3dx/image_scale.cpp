// Resampling: separable passes driven by a table of (source index, weight) per output index.
#include "d3dx/image_scale.h"

#include <algorithm>
#include <cmath>

namespace d3dx_image {
namespace {

enum class AxisMode { Copy, Area, Nearest, Linear };

struct Tap {
  uint32_t index;
  float weight;
};

// For every output index, its taps; taps[first[k] .. first[k + 1]).
struct Contributions {
  std::vector<uint32_t> first;
  std::vector<Tap> taps;
};

uint32_t FilterKind(uint32_t filter) { return filter & 0xFF; }

AxisMode ChooseMode(uint32_t from, uint32_t to, uint32_t filter) {
  const uint32_t kind = FilterKind(filter);
  if (from == to) return AxisMode::Copy;
  if (kind == kFilterPoint) return AxisMode::Nearest;
  if (to < from) return AxisMode::Area;
  return kind == kFilterBox ? AxisMode::Nearest : AxisMode::Linear;
}

// Address of a tap outside the line: mirrored when asked, otherwise wrapped (D3DX's rule).
uint32_t Address(int64_t i, uint32_t n, bool mirror) {
  if (i >= 0 && i < int64_t(n)) return uint32_t(i);
  if (mirror) {
    const int64_t period = 2 * int64_t(n);
    int64_t m = ((i % period) + period) % period;
    return uint32_t(m < int64_t(n) ? m : period - 1 - m);
  }
  return uint32_t(((i % int64_t(n)) + int64_t(n)) % int64_t(n));
}

Contributions BuildContributions(uint32_t from, uint32_t to, AxisMode mode, bool mirror) {
  Contributions c;
  c.first.reserve(size_t(to) + 1);
  for (uint32_t k = 0; k < to; ++k) {
    c.first.push_back(uint32_t(c.taps.size()));
    switch (mode) {
      case AxisMode::Copy:
        c.taps.push_back({k, 1.0f});
        break;
      case AxisMode::Nearest:
        c.taps.push_back({uint32_t((uint64_t(2 * k + 1) * from) / (uint64_t(2) * to)), 1.0f});
        break;
      case AxisMode::Area: {
        // Output k covers [k*from, (k+1)*from) in units of 1/to source texels.
        const uint64_t begin = uint64_t(k) * from;
        const uint64_t end = begin + from;
        for (uint64_t i = begin / to; i * to < end; ++i) {
          const uint64_t lo = std::max(begin, i * to);
          const uint64_t hi = std::min(end, (i + 1) * to);
          c.taps.push_back({uint32_t(i), float(double(hi - lo) / double(from))});
        }
        break;
      }
      case AxisMode::Linear: {
        const double x = (k + 0.5) * double(from) / double(to) - 0.5;
        const double x0 = std::floor(x);
        const float f = float(x - x0);
        c.taps.push_back({Address(int64_t(x0), from, mirror), 1.0f - f});
        c.taps.push_back({Address(int64_t(x0) + 1, from, mirror), f});
        break;
      }
    }
  }
  c.first.push_back(uint32_t(c.taps.size()));
  return c;
}

inline uint32_t PackFloats(const float* v) {
  uint32_t out = 0;
  for (int ch = 0; ch < 4; ++ch) {
    const float clamped = std::min(255.0f, std::max(0.0f, v[ch] + 0.5f));
    out |= uint32_t(clamped) << (8 * ch);
  }
  return out;
}

inline void AddTexel(float* acc, uint32_t texel, float w) {
  acc[0] += w * float(texel & 0xFF);
  acc[1] += w * float((texel >> 8) & 0xFF);
  acc[2] += w * float((texel >> 16) & 0xFF);
  acc[3] += w * float(texel >> 24);
}

void CopyCorner(const Image& source, Image& scaled) {
  const uint32_t w = std::min(source.width, scaled.width);
  const uint32_t h = std::min(source.height, scaled.height);
  for (uint32_t y = 0; y < h; ++y) std::copy(source.Row(y), source.Row(y) + w, scaled.Row(y));
}

}  // namespace

bool IsValidFilter(uint32_t filter) {
  const uint32_t kind = FilterKind(filter);
  if (kind < kFilterNone || kind > kFilterBox) return false;
  return (filter & ~uint32_t(0xFF | kFilterMirror | kFilterDither)) == 0;
}

ImageResult ScaleImage(const Image& source, uint32_t width, uint32_t height, uint32_t filter,
                       Image& scaled) {
  if (source.width == 0 || source.height == 0 || !IsValidFilter(filter)) {
    return kImageBadArgument;
  }
  ImageResult r = AllocateImage(scaled, width, height);
  if (r != kImageOk) return r;
  if (FilterKind(filter) == kFilterNone) {
    std::fill(scaled.texels.begin(), scaled.texels.end(), 0u);
    CopyCorner(source, scaled);
    return kImageOk;
  }
  const Contributions cx = BuildContributions(
      source.width, width, ChooseMode(source.width, width, filter), (filter & kFilterMirrorU) != 0);
  const Contributions cy = BuildContributions(source.height, height,
                                              ChooseMode(source.height, height, filter),
                                              (filter & kFilterMirrorV) != 0);
  // Horizontal pass into floats, one row of `width` texels per source row.
  std::vector<float> across;
  try {
    across.assign(size_t(width) * source.height * 4, 0.0f);
  } catch (...) {
    return kImageOutOfMemory;
  }
  for (uint32_t y = 0; y < source.height; ++y) {
    const uint32_t* in = source.Row(y);
    float* out = across.data() + size_t(y) * width * 4;
    for (uint32_t k = 0; k < width; ++k) {
      for (uint32_t t = cx.first[k]; t < cx.first[k + 1]; ++t) {
        AddTexel(out + size_t(k) * 4, in[cx.taps[t].index], cx.taps[t].weight);
      }
    }
  }
  std::vector<float> row(size_t(width) * 4);
  for (uint32_t k = 0; k < height; ++k) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (uint32_t t = cy.first[k]; t < cy.first[k + 1]; ++t) {
      const float* in = across.data() + size_t(cy.taps[t].index) * width * 4;
      const float w = cy.taps[t].weight;
      for (size_t i = 0; i < row.size(); ++i) row[i] += w * in[i];
    }
    uint32_t* out = scaled.Row(k);
    for (uint32_t x = 0; x < width; ++x) out[x] = PackFloats(row.data() + size_t(x) * 4);
  }
  return kImageOk;
}

bool RowReducer::Supports(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width,
                          uint32_t height, uint32_t filter) {
  if (!IsValidFilter(filter) || FilterKind(filter) == kFilterNone) return false;
  return width > 0 && height > 0 && width <= sourceWidth && height <= sourceHeight;
}

ImageResult RowReducer::Start(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width,
                              uint32_t height, uint32_t filter) {
  if (!Supports(sourceWidth, sourceHeight, width, height, filter)) return kImageBadArgument;
  ImageResult r = AllocateImage(result_, width, height);
  if (r != kImageOk) return r;
  sourceWidth_ = sourceWidth;
  sourceHeight_ = sourceHeight;
  point_ = FilterKind(filter) == kFilterPoint;
  nextSourceRow_ = 0;
  pendingRow_ = 0;
  try {
    StartTables(width);
  } catch (...) {
    return kImageOutOfMemory;
  }
  return kImageOk;
}

void RowReducer::StartTables(uint32_t width) {
  if (point_) {
    pointColumn_.resize(width);
    for (uint32_t k = 0; k < width; ++k) {
      pointColumn_[k] = uint32_t((uint64_t(2 * k + 1) * sourceWidth_) / (uint64_t(2) * width));
    }
    return;
  }
  const uint32_t sourceWidth = sourceWidth_;
  columnTarget_.resize(sourceWidth);
  columnShare_.resize(sourceWidth);
  for (uint32_t i = 0; i < sourceWidth; ++i) {
    // Source column i spans [i*width, (i+1)*width); destination j spans [j*sw, (j+1)*sw).
    const uint64_t begin = uint64_t(i) * width;
    const uint64_t j = begin / sourceWidth;
    const uint64_t edge = (j + 1) * sourceWidth;
    columnTarget_[i] = uint32_t(j);
    columnShare_[i] = begin + width <= edge ? 1.0f : float(double(edge - begin) / width);
  }
  reduced_.assign(size_t(width) * 4, 0.0f);
  accCurrent_.assign(size_t(width) * 4, 0.0f);
  accNext_.assign(size_t(width) * 4, 0.0f);
}

void RowReducer::ReduceRow(const uint32_t* row, float* out) const {
  std::fill(out, out + size_t(result_.width) * 4, 0.0f);
  for (uint32_t i = 0; i < sourceWidth_; ++i) {
    float* acc = out + size_t(columnTarget_[i]) * 4;
    const float share = columnShare_[i];
    AddTexel(acc, row[i], share);
    if (share < 1.0f) AddTexel(acc + 4, row[i], 1.0f - share);
  }
}

void RowReducer::EmitRow(uint32_t y, const float* acc, float scale) {
  uint32_t* out = result_.Row(y);
  float v[4];
  for (uint32_t x = 0; x < result_.width; ++x) {
    for (int ch = 0; ch < 4; ++ch) v[ch] = acc[size_t(x) * 4 + ch] * scale;
    out[x] = PackFloats(v);
  }
}

void RowReducer::PushRow(const uint32_t* row) {
  if (nextSourceRow_ >= sourceHeight_) return;
  const uint32_t i = nextSourceRow_++;
  const uint32_t height = result_.height;
  if (point_) {
    while (pendingRow_ < height &&
           uint32_t((uint64_t(2 * pendingRow_ + 1) * sourceHeight_) / (uint64_t(2) * height)) ==
               i) {
      uint32_t* out = result_.Row(pendingRow_++);
      for (uint32_t k = 0; k < result_.width; ++k) out[k] = row[pointColumn_[k]];
    }
    return;
  }
  ReduceRow(row, reduced_.data());
  const uint64_t begin = uint64_t(i) * height;
  const uint64_t edge = (uint64_t(pendingRow_) + 1) * sourceHeight_;
  const float scale = float(double(result_.width) / sourceWidth_ * double(height) / sourceHeight_);
  const size_t n = reduced_.size();
  if (begin + height <= edge) {
    for (size_t t = 0; t < n; ++t) accCurrent_[t] += reduced_[t];
    if (begin + height < edge) return;
  } else {
    const float share = float(double(edge - begin) / height);
    for (size_t t = 0; t < n; ++t) {
      accCurrent_[t] += share * reduced_[t];
      accNext_[t] += (1.0f - share) * reduced_[t];
    }
  }
  EmitRow(pendingRow_++, accCurrent_.data(), scale);
  accCurrent_.swap(accNext_);
  std::fill(accNext_.begin(), accNext_.end(), 0.0f);
}

ImageResult AllocateImage(Image& image, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0) return kImageInvalid;
  if (width > kMaxImageSide || height > kMaxImageSide ||
      uint64_t(width) * height > kMaxImagePixels) {
    return kImageTooLarge;
  }
  try {
    image.texels.assign(size_t(width) * height, 0u);
  } catch (...) {
    image.texels.clear();
    return kImageOutOfMemory;
  }
  image.width = width;
  image.height = height;
  return kImageOk;
}

}  // namespace d3dx_image
