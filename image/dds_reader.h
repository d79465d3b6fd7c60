// DirectDraw Surface files: the Direct3D 8 formats, mip chains and cube maps.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/image.h"
#include "image/pixel_formats.h"

namespace imaging {

struct DdsSurface {
  const uint8_t* data = nullptr;  // points into the caller's buffer
  size_t size = 0;
  uint32_t width = 0;
  uint32_t height = 0;
};

struct DdsFile {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t mipLevels = 1;
  uint32_t faces = 1;  // 6 for a cube map, in the order +X, -X, +Y, -Y, +Z, -Z
  PixelFormat format = PixelFormat::Unknown;
  bool hasAlpha = false;
  uint32_t bitCount = 0;  // uncompressed formats
  MaskLayout layout;      // uncompressed formats
  bool luminance = false;
  std::vector<DdsSurface> surfaces;  // face-major: surfaces[face * mipLevels + level]
};

// Checks the header and that every surface lies inside the buffer.
ImageResult ReadDds(const uint8_t* data, size_t size, DdsFile& file);
ImageResult ReadDdsInfo(const uint8_t* data, size_t size, SourceInfo& info);

// One surface as 0xAARRGGBB texels (block-compressed surfaces are decompressed).
ImageResult DecodeDdsSurface(const DdsFile& file, const DdsSurface& surface, Image& decoded,
                             const std::atomic<bool>* keepGoing = nullptr);

}  // namespace imaging
