// One entry for every picture format: recognise the file, read its header, decode it to the
// size a texture wants.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace imaging {

enum class DetectedFormat { Unknown, Jpeg, Png, Bmp, Dds, Tga, Webp };

// By signature; TGA, which has none, when its header is consistent.
DetectedFormat DetectFormat(const uint8_t* data, size_t size);

// Header only: the source's upright size, format and file format.
ImageResult ProbeImage(const uint8_t* data, size_t size, SourceInfo& info);

// The picture at options.width x options.height (0 = its own size) with the colour key applied
// to the source texels before filtering. A DDS file gives its first surface.
ImageResult DecodeImage(const uint8_t* data, size_t size, const DecodeOptions& options,
                        Image& decoded, SourceInfo& info);

// Colour key and resampling for a picture already decoded at its own size; takes its texels.
ImageResult FinishImage(Image& source, const DecodeOptions& options, Image& finished);

}  // namespace imaging
