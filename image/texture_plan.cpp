// Size, level and format choices for texture loads.
#include "image/texture_plan.h"

#include <algorithm>

#include "image/pixel_formats.h"

namespace imaging {

uint32_t NextPowerOfTwo(uint32_t value) {
  uint32_t p = 1;
  while (p < value && p < 0x80000000u) p <<= 1;
  return p;
}

TextureSize ChooseTextureSize(uint32_t requestedWidth, uint32_t requestedHeight,
                              uint32_t sourceWidth, uint32_t sourceHeight,
                              const TextureLimits& limits) {
  TextureSize size;
  const bool defaultWidth = requestedWidth == 0 || requestedWidth == kDefaultValue;
  const bool defaultHeight = requestedHeight == 0 || requestedHeight == kDefaultValue;
  size.width = std::max(1u, defaultWidth ? sourceWidth : requestedWidth);
  size.height = std::max(1u, defaultHeight ? sourceHeight : requestedHeight);
  if (limits.powerOfTwo) {
    size.width = NextPowerOfTwo(size.width);
    size.height = NextPowerOfTwo(size.height);
  }
  if (limits.squareOnly) size.width = size.height = std::max(size.width, size.height);
  const uint32_t maxWidth = std::max(1u, limits.maxWidth);
  const uint32_t maxHeight = std::max(1u, limits.maxHeight);
  // Halving keeps powers of two and the shape; a ragged size is simply clamped.
  while (size.width > maxWidth || size.height > maxHeight) {
    if (limits.powerOfTwo) {
      size.width = std::max(1u, size.width / 2);
      size.height = std::max(1u, size.height / 2);
    } else {
      size.width = std::min(size.width, maxWidth);
      size.height = std::min(size.height, maxHeight);
    }
  }
  return size;
}

uint32_t FullMipChainLength(uint32_t width, uint32_t height) {
  uint32_t levels = 1;
  uint32_t side = std::max(width, height);
  while (side > 1) {
    side >>= 1;
    ++levels;
  }
  return levels;
}

uint32_t ChooseMipLevels(uint32_t requested, uint32_t width, uint32_t height) {
  const uint32_t full = FullMipChainLength(width, height);
  if (requested == 0 || requested == kDefaultValue) return full;
  return std::min(requested, full);
}

std::vector<PixelFormat> FormatCandidates(PixelFormat requested, bool sourceHasAlpha,
                                          uint32_t colorKey) {
  static const PixelFormat kWithAlpha[] = {PixelFormat::A8R8G8B8, PixelFormat::A4R4G4B4,
                                           PixelFormat::A1R5G5B5, PixelFormat::X8R8G8B8,
                                           PixelFormat::R5G6B5,   PixelFormat::X1R5G5B5};
  static const PixelFormat kOpaque[] = {PixelFormat::X8R8G8B8, PixelFormat::R5G6B5,
                                        PixelFormat::X1R5G5B5, PixelFormat::A8R8G8B8,
                                        PixelFormat::A1R5G5B5, PixelFormat::A4R4G4B4};
  std::vector<PixelFormat> list;
  bool wantAlpha = sourceHasAlpha || colorKey != 0;
  if (requested != PixelFormat::Unknown) {
    if (BytesPerTexel(requested) != 0) list.push_back(requested);
    wantAlpha = HasAlphaChannel(requested);
  }
  for (PixelFormat f : wantAlpha ? kWithAlpha : kOpaque) {
    if (std::find(list.begin(), list.end(), f) == list.end()) list.push_back(f);
  }
  return list;
}

}  // namespace imaging
