// WebP through libwebp, lossy and lossless, with alpha and the EXIF orientation of the
// extended format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace imaging {

// "RIFF" <size> "WEBP": the container every WebP file has.
bool LooksLikeWebp(const uint8_t* data, size_t size);

ImageResult ReadWebpInfo(const uint8_t* data, size_t size, SourceInfo& info);

// The picture at options.width x options.height (0 = its own), upright. libwebp's own scaler
// takes a large picture down to the smallest size, in its proportions, that still covers the
// one asked for, so a 24-megapixel photo never exists at full size; the area filter does the
// rest. scaledWidth/Height (may be null) receive the size libwebp delivered.
ImageResult DecodeWebp(const uint8_t* data, size_t size, const DecodeOptions& options,
                       Image& decoded, SourceInfo& info, uint32_t* scaledWidth = nullptr,
                       uint32_t* scaledHeight = nullptr);

}  // namespace imaging
