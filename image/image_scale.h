// Resampling of decoded pictures to the size a texture asks for. A reduction averages every
// source texel it covers (area filter), so a 6000-pixel photo reduced to 256 does not alias;
// a linear one by a ratio that is not whole, and below 4, uses a Lanczos window instead, which
// keeps fine contrast the box would blur. An enlargement interpolates (linear, triangle) or
// repeats texels (point, box). Decoders feed their rows to an ImageSink, which reduces them as
// they come.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "image/image.h"

namespace imaging {

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

// The size a decoder that can scale on the way (libwebp, WIC) is asked for: a reduction of
// width x height, kept in proportion, no smaller than want on either axis; the picture's own
// size when no reduction covers want. The area filter then takes it to the size wanted.
void ChooseCoveringSize(uint32_t width, uint32_t height, uint32_t wantWidth, uint32_t wantHeight,
                        uint32_t& scaledWidth, uint32_t& scaledHeight);

// One axis of a resampling: for every output index, the source indices it reads and their
// weights, taps[first[k] .. first[k + 1]) for output k, in increasing source order.
struct AxisTaps {
  struct Tap {
    uint32_t index;
    float weight;
  };
  std::vector<uint32_t> first;
  std::vector<Tap> taps;
};

// Resamples source rows as they arrive, top row first, so the source need never be held whole.
// Every horizontal filter streams; vertically, those whose output rows each read a run of rows
// that starts and ends no earlier than the previous one's: reductions (the windows of a sharp
// one overlap, so several output rows are summed at once), copies and repeated rows, not an
// interpolated enlargement (it reads on both sides and wraps round the picture). Each output
// sums its taps in the same order as ScaleImage, so the two agree to the bit.
class RowResampler {
 public:
  static bool Streams(uint32_t sourceHeight, uint32_t height, uint32_t filter);
  ImageResult Start(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width, uint32_t height,
                    uint32_t filter);
  // The next source row; rows must come in order, each exactly once.
  void Push(const uint32_t* row);
  Image& Result() { return result_; }

 private:
  uint32_t FirstRow(uint32_t k) const { return down_.taps[down_.first[k]].index; }
  uint32_t LastRow(uint32_t k) const { return down_.taps[down_.first[k + 1] - 1].index; }

  uint32_t sourceHeight_ = 0;
  uint32_t nextRow_ = 0;
  uint32_t nextOutput_ = 0;  // the first output row not finished
  uint32_t open_ = 1;        // output rows summed at once, in turn in sums_
  AxisTaps across_;
  AxisTaps down_;
  std::vector<float> resampled_;  // the current source row resampled across, 4 floats a texel
  std::vector<float> sums_;       // the output rows being summed
  Image result_;
};

// Where every picture decoder delivers its rows, top row first: written into NextRow() and
// handed over with CommitRow(), or all at once with PushImage() by a decoder that cannot give
// rows in order. The colour key is applied to each source row as it comes. A size the rows can
// be resampled to as they arrive (a reduction, above all) never holds the source whole; any
// other is collected and resampled at the end.
class ImageSink {
 public:
  ImageSink() = default;  // the picture at its own size, no colour key
  // width x height (0: the source's own) by `filter`, `colorKey` (0: none) applied first.
  ImageSink(uint32_t width, uint32_t height, uint32_t filter, uint32_t colorKey)
      : wantWidth_(width), wantHeight_(height), filter_(filter), colorKey_(colorKey) {}

  // The source's size, once the decoder knows it; refuses what AllocateImage would.
  ImageResult Begin(uint32_t sourceWidth, uint32_t sourceHeight);
  // Decoders stop between rows once this turns false (see DecodeOptions::keepGoing).
  void SetKeepGoing(const std::atomic<bool>* keepGoing) { keepGoing_ = keepGoing; }
  bool Cancelled() const { return keepGoing_ != nullptr && !keepGoing_->load(); }
  // Space for the next row (the source's width in texels), valid until CommitRow.
  uint32_t* NextRow() { return streaming_ ? row_.data() : whole_.Row(rowsIn_); }
  void CommitRow();
  // Instead of Begin and the rows: a source decoded whole. Its texels are taken.
  ImageResult PushImage(Image&& source);
  // The picture at the size asked for; fails unless every row came.
  ImageResult Finish(Image& result);

 private:
  ImageResult Plan(uint32_t sourceWidth, uint32_t sourceHeight);

  uint32_t wantWidth_ = 0;
  uint32_t wantHeight_ = 0;
  uint32_t filter_ = kFilterLinear;
  uint32_t colorKey_ = 0;
  const std::atomic<bool>* keepGoing_ = nullptr;
  uint32_t width_ = 0;  // resolved at Begin
  uint32_t height_ = 0;
  uint32_t sourceWidth_ = 0;
  uint32_t sourceHeight_ = 0;
  uint32_t rowsIn_ = 0;
  bool streaming_ = false;
  RowResampler resampler_;
  std::vector<uint32_t> row_;  // streaming: the row being written
  Image whole_;                // otherwise: the source, collected
};

}  // namespace imaging
