// BMP by our own reader (Windows and OS/2 headers).
#pragma once

#include <cstddef>
#include <cstdint>

#include "d3dx/image.h"

namespace d3dx_image {

ImageResult ReadBmpInfo(const uint8_t* data, size_t size, SourceInfo& info);
ImageResult DecodeBmp(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info);

}  // namespace d3dx_image
