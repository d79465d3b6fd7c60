// PNG through libpng: every colour type and bit depth, Adam7, tRNS, 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/image_scale.h"

namespace imaging {

ImageResult ReadPngInfo(const uint8_t* data, size_t size, SourceInfo& info);

// Decodes the picture into `sink`, row by row (an interlaced one whole, then its rows).
ImageResult DecodePng(const uint8_t* data, size_t size, ImageSink& sink, SourceInfo& info);
// The whole picture at its own size.
ImageResult DecodePng(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info);

}  // namespace imaging
