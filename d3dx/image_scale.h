// Resampling of decoded pictures to the size a texture asks for. A reduction averages every
// source texel it covers (area filter), so a 6000-pixel photo reduced to 256 does not alias;
// an enlargement interpolates (linear, triangle) or repeats texels (point, box).
#pragma once

#include <cstdint>
#include <vector>

#include "d3dx/image.h"

namespace d3dx_image {

// The D3DX_FILTER_* values; the low byte selects the filter, the high bits are flags.
constexpr uint32_t kFilterNone = 1;
constexpr uint32_t kFilterPoint = 2;
constexpr uint32_t kFilterLinear = 3;
constexpr uint32_t kFilterTriangle = 4;
constexpr uint32_t kFilterBox = 5;
constexpr uint32_t kFilterMirrorU = 0x00010000;
constexpr uint32_t kFilterMirrorV = 0x00020000;
constexpr uint32_t kFilterMirrorW = 0x00040000;
constexpr uint32_t kFilterMirror = 0x00070000;
constexpr uint32_t kFilterDither = 0x00080000;
constexpr uint32_t kFilterDefault = 0xFFFFFFFF;  // D3DX_DEFAULT

// Whether a filter value is one we understand (a known low byte, only known flags).
bool IsValidFilter(uint32_t filter);

// Resamples `source` to width x height with `filter`. kFilterNone copies the overlapping corner
// and leaves the rest transparent black.
ImageResult ScaleImage(const Image& source, uint32_t width, uint32_t height, uint32_t filter,
                       Image& scaled);

// Streams source rows (top first) into a smaller image, so a large picture never needs to be
// held whole. Only reductions (or equal size) on both axes, with the area or point filter.
class RowReducer {
 public:
  // False when the sizes or the filter are not a reduction this class performs.
  static bool Supports(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width,
                       uint32_t height, uint32_t filter);
  ImageResult Start(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width, uint32_t height,
                    uint32_t filter);
  // Row `sourceY` of the source; rows must come in order, each exactly once.
  void PushRow(const uint32_t* row);
  bool Done() const { return nextSourceRow_ == sourceHeight_; }
  Image& Result() { return result_; }

 private:
  void StartTables(uint32_t width);
  void ReduceRow(const uint32_t* row, float* out) const;
  void EmitRow(uint32_t y, const float* acc, float scale);

  uint32_t sourceWidth_ = 0;
  uint32_t sourceHeight_ = 0;
  bool point_ = false;
  uint32_t nextSourceRow_ = 0;
  uint32_t pendingRow_ = 0;  // destination row being accumulated
  // Area filter: per source column, its destination column and the share that falls there.
  std::vector<uint32_t> columnTarget_;
  std::vector<float> columnShare_;
  std::vector<uint32_t> pointColumn_;  // point filter: source column of each destination column
  std::vector<float> reduced_;         // one source row reduced horizontally, 4 floats a texel
  std::vector<float> accCurrent_;
  std::vector<float> accNext_;
  Image result_;
};

}  // namespace d3dx_image
