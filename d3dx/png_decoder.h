// PNG through libpng: every colour type and bit depth, Adam7, tRNS, 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>

#include "d3dx/image.h"

namespace d3dx_image {

ImageResult ReadPngInfo(const uint8_t* data, size_t size, SourceInfo& info);

// Decodes the whole picture at its own size.
ImageResult DecodePng(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info);

}  // namespace d3dx_image
