// BMP by our own reader (Windows and OS/2 headers).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/image_scale.h"

namespace imaging {

ImageResult ReadBmpInfo(const uint8_t* data, size_t size, SourceInfo& info);
// Rows go to `sink` top first, whichever way the file stores them.
ImageResult DecodeBmp(const uint8_t* data, size_t size, ImageSink& sink, SourceInfo& info);
// The whole picture at its own size.
ImageResult DecodeBmp(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info);

}  // namespace imaging
