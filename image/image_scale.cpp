// Resampling: separable passes driven by a table of (source index, weight) per output index.
#include "image/image_scale.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <emmintrin.h>

#include "image/color_key.h"

namespace imaging {
namespace {

enum class AxisMode { Copy, Area, Sharp, Nearest, Linear };

constexpr uint32_t kSharpRatio = 4;

uint32_t FilterKind(uint32_t filter) { return filter & 0xFF; }

// A linear reduction by a whole ratio is a box, which keeps the contrast of detail the new size
// can still show; by any other ratio a box's texels straddle the output's edges and blur it, so
// a windowed sinc takes over there. Beyond kSharpRatio the straddled share of a box is small and
// the sinc's window would be wide: the box stays.
AxisMode ChooseMode(uint32_t from, uint32_t to, uint32_t filter) {
  const uint32_t kind = FilterKind(filter);
  if (from == to) return AxisMode::Copy;
  if (kind == kFilterPoint) return AxisMode::Nearest;
  if (to < from) {
    const bool sharp = kind == kFilterLinear && from % to != 0 && from < kSharpRatio * uint64_t(to);
    return sharp ? AxisMode::Sharp : AxisMode::Area;
  }
  return kind == kFilterBox ? AxisMode::Nearest : AxisMode::Linear;
}

// Lobes of the Lanczos window of the sharp reduction, in output texels on either side.
constexpr int kLobes = 3;

double Lanczos(double x) {
  constexpr double kPi = 3.14159265358979323846;
  if (x == 0.0) return 1.0;
  if (x <= -kLobes || x >= kLobes) return 0.0;
  return double(kLobes) * std::sin(kPi * x) * std::sin(kPi * x / kLobes) / (kPi * kPi * x * x);
}

// Output k's taps of the sharp reduction: the source texels within the window, weights scaled
// to sum to one (the window is cut at the picture's edges).
void AddSharpTaps(uint32_t k, uint32_t from, uint32_t to, AxisTaps& c) {
  const double scale = double(from) / double(to);
  const double center = (k + 0.5) * scale - 0.5;
  const double reach = kLobes * scale;
  const int64_t lo = std::max<int64_t>(0, int64_t(std::ceil(center - reach)));
  const int64_t hi = std::min<int64_t>(int64_t(from) - 1, int64_t(std::floor(center + reach)));
  double weights[2 * kLobes * kSharpRatio + 1];  // the window's widest below kSharpRatio
  double total = 0.0;
  for (int64_t i = lo; i <= hi; ++i) total += weights[i - lo] = Lanczos((i - center) / scale);
  for (int64_t i = lo; i <= hi; ++i) {
    c.taps.push_back({uint32_t(i), float(weights[i - lo] / total)});
  }
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

AxisTaps BuildTaps(uint32_t from, uint32_t to, AxisMode mode, bool mirror) {
  AxisTaps c;
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
      case AxisMode::Sharp:
        AddSharpTaps(k, from, to, c);
        break;
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

// One source row resampled across into 4 floats per output texel (blue, green, red, alpha).
// SSE2 is part of every x86-64 processor; lane by lane it does the same multiply and add as
// scalar code, in the same order, so the sums are the same to the bit.
void ResampleAcross(const uint32_t* in, const AxisTaps& across, float* out) {
  const __m128i zero = _mm_setzero_si128();
  const AxisTaps::Tap* taps = across.taps.data();
  const size_t outputs = across.first.size() - 1;
  for (size_t k = 0; k < outputs; ++k) {
    __m128 sum = _mm_setzero_ps();
    for (uint32_t t = across.first[k]; t < across.first[k + 1]; ++t) {
      const __m128i bytes = _mm_cvtsi32_si128(int(in[taps[t].index]));
      const __m128i channels = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
      sum = _mm_add_ps(sum, _mm_mul_ps(_mm_cvtepi32_ps(channels), _mm_set1_ps(taps[t].weight)));
    }
    _mm_storeu_ps(out + 4 * k, sum);
  }
}

void PackRow(const float* sums, uint32_t width, uint32_t* out) {
  for (uint32_t x = 0; x < width; ++x) out[x] = PackFloats(sums + size_t(x) * 4);
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
  // Every row resampled across, then the columns down.
  AxisTaps cx, cy;
  std::vector<float> across;
  try {
    cx = BuildTaps(source.width, width, ChooseMode(source.width, width, filter),
                   (filter & kFilterMirrorU) != 0);
    cy = BuildTaps(source.height, height, ChooseMode(source.height, height, filter),
                   (filter & kFilterMirrorV) != 0);
    across.assign(size_t(width) * source.height * 4, 0.0f);
  } catch (...) {
    return kImageOutOfMemory;
  }
  for (uint32_t y = 0; y < source.height; ++y) {
    ResampleAcross(source.Row(y), cx, across.data() + size_t(y) * width * 4);
  }
  std::vector<float> row(size_t(width) * 4);
  for (uint32_t k = 0; k < height; ++k) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (uint32_t t = cy.first[k]; t < cy.first[k + 1]; ++t) {
      const float* in = across.data() + size_t(cy.taps[t].index) * width * 4;
      const float w = cy.taps[t].weight;
      for (size_t i = 0; i < row.size(); ++i) row[i] += w * in[i];
    }
    PackRow(row.data(), width, scaled.Row(k));
  }
  return kImageOk;
}

bool RowResampler::Streams(uint32_t sourceHeight, uint32_t height, uint32_t filter) {
  if (!IsValidFilter(filter) || FilterKind(filter) == kFilterNone) return false;
  return ChooseMode(sourceHeight, height, filter) != AxisMode::Linear;
}

ImageResult RowResampler::Start(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width,
                                uint32_t height, uint32_t filter) {
  if (sourceWidth == 0 || sourceHeight == 0 || !Streams(sourceHeight, height, filter)) {
    return kImageBadArgument;
  }
  ImageResult r = AllocateImage(result_, width, height);
  if (r != kImageOk) return r;
  sourceHeight_ = sourceHeight;
  nextRow_ = 0;
  nextOutput_ = 0;
  try {
    across_ = BuildTaps(sourceWidth, width, ChooseMode(sourceWidth, width, filter),
                        (filter & kFilterMirrorU) != 0);
    down_ = BuildTaps(sourceHeight, height, ChooseMode(sourceHeight, height, filter),
                      (filter & kFilterMirrorV) != 0);
    // Output rows whose windows overlap are summed side by side: as many as are unfinished at
    // once (an output is finished with its last row, before the next one adds that row).
    open_ = 1;
    for (uint32_t k = 0, j = 1; k < height; ++k) {
      j = std::max(j, k + 1);
      while (j < height && FirstRow(j) < LastRow(k)) ++j;
      open_ = std::max(open_, j - k);
    }
    resampled_.assign(size_t(width) * 4, 0.0f);
    sums_.assign(size_t(open_) * width * 4, 0.0f);
  } catch (...) {
    return kImageOutOfMemory;
  }
  return kImageOk;
}

// The vertical taps of every output row read consecutive source rows, and each row's window
// starts and ends no earlier than the one before: a row is added to the sums of the outputs
// whose windows hold it, and an output is finished with the last row of its window. A row that
// no window holds (a point filter's reduction) costs nothing.
void RowResampler::Push(const uint32_t* row) {
  if (nextRow_ >= sourceHeight_) return;
  const uint32_t y = nextRow_++;
  const size_t stride = size_t(result_.width) * 4;
  bool resampled = false;
  for (uint32_t k = nextOutput_; k < result_.height && FirstRow(k) <= y; ++k) {
    const uint32_t t = down_.first[k] + (y - FirstRow(k));
    if (t >= down_.first[k + 1]) continue;
    if (!resampled) {
      ResampleAcross(row, across_, resampled_.data());
      resampled = true;
    }
    float* sum = sums_.data() + (k % open_) * stride;
    const float w = down_.taps[t].weight;
    for (size_t i = 0; i < stride; ++i) sum[i] += w * resampled_[i];
    if (LastRow(k) == y) {  // the windows end in order: k is nextOutput_
      PackRow(sum, result_.width, result_.Row(nextOutput_++));
      std::fill(sum, sum + stride, 0.0f);
    }
  }
}

ImageResult ImageSink::Plan(uint32_t sourceWidth, uint32_t sourceHeight) {
  if (sourceWidth == 0 || sourceHeight == 0) return kImageInvalid;
  if (sourceWidth > kMaxImageSide || sourceHeight > kMaxImageSide ||
      uint64_t(sourceWidth) * sourceHeight > kMaxImagePixels) {
    return kImageTooLarge;
  }
  sourceWidth_ = sourceWidth;
  sourceHeight_ = sourceHeight;
  rowsIn_ = 0;
  width_ = wantWidth_ ? wantWidth_ : sourceWidth;
  height_ = wantHeight_ ? wantHeight_ : sourceHeight;
  whole_ = Image();
  streaming_ = (width_ != sourceWidth || height_ != sourceHeight) &&
               RowResampler::Streams(sourceHeight, height_, filter_);
  if (!streaming_) return kImageOk;
  ImageResult r = resampler_.Start(sourceWidth, sourceHeight, width_, height_, filter_);
  if (r != kImageOk) return r;
  try {
    row_.assign(sourceWidth, 0u);
  } catch (...) {
    return kImageOutOfMemory;
  }
  return kImageOk;
}

ImageResult ImageSink::Begin(uint32_t sourceWidth, uint32_t sourceHeight) {
  ImageResult r = Plan(sourceWidth, sourceHeight);
  if (r != kImageOk || streaming_) return r;
  return AllocateImage(whole_, sourceWidth, sourceHeight);
}

void ImageSink::CommitRow() {
  if (rowsIn_ >= sourceHeight_) return;
  uint32_t* row = NextRow();
  ApplyColorKey(row, sourceWidth_, colorKey_);
  if (streaming_) resampler_.Push(row);
  ++rowsIn_;
}

ImageResult ImageSink::PushImage(Image&& source) {
  ImageResult r = Plan(source.width, source.height);
  if (r != kImageOk) return r;
  ApplyColorKey(source.texels.data(), source.texels.size(), colorKey_);
  if (streaming_) {
    for (uint32_t y = 0; y < sourceHeight_; ++y) resampler_.Push(source.Row(y));
  } else {
    whole_ = std::move(source);
  }
  rowsIn_ = sourceHeight_;
  return kImageOk;
}

ImageResult ImageSink::Finish(Image& result) {
  if (sourceHeight_ == 0 || rowsIn_ != sourceHeight_) return kImageInvalid;
  if (streaming_) {
    result = std::move(resampler_.Result());
    return kImageOk;
  }
  if (width_ == sourceWidth_ && height_ == sourceHeight_) {
    result = std::move(whole_);
    return kImageOk;
  }
  return ScaleImage(whole_, width_, height_, filter_, result);
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

void ChooseCoveringSize(uint32_t width, uint32_t height, uint32_t wantWidth, uint32_t wantHeight,
                        uint32_t& scaledWidth, uint32_t& scaledHeight) {
  scaledWidth = width;
  scaledHeight = height;
  if (wantWidth == 0 || wantHeight == 0 || wantWidth >= width || wantHeight >= height) return;
  uint64_t w, h;
  if (uint64_t(width) * wantHeight >= uint64_t(height) * wantWidth) {  // height decides
    h = wantHeight;
    w = (uint64_t(width) * wantHeight + height - 1) / height;
  } else {
    w = wantWidth;
    h = (uint64_t(height) * wantWidth + width - 1) / width;
  }
  if (w < width && h < height) {
    scaledWidth = uint32_t(w);
    scaledHeight = uint32_t(h);
  }
}

}  // namespace imaging
