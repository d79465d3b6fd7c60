// Decoding of DXT1-5 blocks, for devices without compressed textures and for resizing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace imaging {

// Bytes of one 4x4 block: 8 for DXT1, 16 for DXT2-5.
uint32_t DxtBlockBytes(PixelFormat format);

// Decodes a width x height surface of `format` blocks; `size` must cover every block. Stops
// between rows of blocks once `keepGoing` turns false.
ImageResult DecodeDxtSurface(PixelFormat format, const uint8_t* data, size_t size, uint32_t width,
                             uint32_t height, Image& decoded,
                             const std::atomic<bool>* keepGoing = nullptr);

}  // namespace imaging
