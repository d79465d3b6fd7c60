// JPEG through libjpeg-turbo: baseline, progressive, arithmetic, greyscale, CMYK/YCCK.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace imaging {

// Reads the header (and the EXIF orientation) only; width and height come out upright.
ImageResult ReadJpegInfo(const uint8_t* data, size_t size, SourceInfo& info);

// Decodes to exactly options.width x options.height (upright; 0 = the picture's size). When that
// is smaller than the picture, libjpeg's DCT scaling does most of the reduction and the rows are
// streamed through the area filter, so the full-size picture is never held.
// `dctScale` (optional) receives the scale used, in eighths.
ImageResult DecodeJpeg(const uint8_t* data, size_t size, const DecodeOptions& options,
                       Image& decoded, SourceInfo& info, int* dctScale = nullptr);

// The smallest DCT scale (in eighths, 1..8) whose output still covers want x want (stored
// orientation); 8 when the picture is not larger than wanted.
int ChooseDctScale(uint32_t width, uint32_t height, uint32_t wantWidth, uint32_t wantHeight);

}  // namespace imaging
