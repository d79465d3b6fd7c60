// What every picture target does with an input: the header probe, a decode at the slideshow's
// size with its colour key, and one at the picture's own size when that is small. A decode
// that succeeds must agree with the probe and fill the size asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/image.h"
#include "image/image_scale.h"

namespace native_fuzz {

// Aborts (a finding for libFuzzer) when a decoder breaks its own promise.
inline void Expect(bool condition) {
  if (!condition) std::abort();
}

using ProbeFn = imaging::ImageResult (*)(const uint8_t*, size_t, imaging::SourceInfo&);
using DecodeFn = imaging::ImageResult (*)(const uint8_t*, size_t,
                                             const imaging::DecodeOptions&, imaging::Image&,
                                             imaging::SourceInfo&);

using SinkDecodeFn = imaging::ImageResult (*)(const uint8_t*, size_t, imaging::ImageSink&,
                                                 imaging::SourceInfo&);

// A decoder that delivers rows to a sink, as DecodeImage drives it.
template <SinkDecodeFn Decode>
imaging::ImageResult DecodeThroughSink(const uint8_t* data, size_t size,
                                          const imaging::DecodeOptions& options,
                                          imaging::Image& decoded,
                                          imaging::SourceInfo& info) {
  imaging::ImageSink sink(options.width, options.height, options.filter, options.colorKey);
  const imaging::ImageResult r = Decode(data, size, sink, info);
  return r == imaging::kImageOk ? sink.Finish(decoded) : r;
}

inline void CheckDecoded(const imaging::Image& image, uint32_t width, uint32_t height) {
  Expect(image.width == width && image.height == height);
  Expect(image.texels.size() == size_t(width) * height);
}

inline void RunImageCase(const uint8_t* data, size_t size, ProbeFn probe, DecodeFn decode) {
  using namespace imaging;
  SourceInfo probed;
  const bool probeOk = probe(data, size, probed) == kImageOk;
  // A header may ask for up to 64 M texels, which a decoder must then fill even from a short
  // file: legitimate, but seconds a case under the sanitizers. The Wine tests keep those.
  const uint64_t texels = uint64_t(probed.width) * probed.height;
  if (probeOk && texels > (1u << 20)) return;

  DecodeOptions slideshow;
  slideshow.width = slideshow.height = 256;
  slideshow.colorKey = 0xFFF0F0F0;
  Image decoded;
  SourceInfo info;
  if (decode(data, size, slideshow, decoded, info) == kImageOk) {
    Expect(probeOk && info.width == probed.width && info.height == probed.height);
    CheckDecoded(decoded, 256, 256);
  }
  if (probeOk && texels <= (1u << 18)) {
    DecodeOptions own;
    own.filter = kFilterTriangle;
    Image whole;
    SourceInfo wholeInfo;
    if (decode(data, size, own, whole, wholeInfo) == kImageOk) {
      CheckDecoded(whole, wholeInfo.width, wholeInfo.height);
    }
  }
}

}  // namespace native_fuzz
