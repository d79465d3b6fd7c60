// Truevision TGA: colour-mapped, true-colour and greyscale, raw or run-length encoded.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/image_scale.h"

namespace imaging {

// TGA has no signature: the header must be consistent in every field to be taken as one.
ImageResult ReadTgaInfo(const uint8_t* data, size_t size, SourceInfo& info);
// Rows go to `sink` top first, whichever way the file stores them.
ImageResult DecodeTga(const uint8_t* data, size_t size, ImageSink& sink, SourceInfo& info);
// The whole picture at its own size.
ImageResult DecodeTga(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info);

}  // namespace imaging
