// The choices a texture load makes before touching the device: its size, its number of mip
// levels and the formats to try, in order.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"

namespace imaging {

constexpr uint32_t kDefaultValue = 0xFFFFFFFF;  // D3DX_DEFAULT

// What the device's caps allow.
struct TextureLimits {
  bool powerOfTwo = false;  // D3DPTEXTURECAPS_POW2
  bool squareOnly = false;  // D3DPTEXTURECAPS_SQUAREONLY
  uint32_t maxWidth = 4096;
  uint32_t maxHeight = 4096;
};

struct TextureSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

uint32_t NextPowerOfTwo(uint32_t value);

// A requested side of 0 or D3DX_DEFAULT takes the source's; the device may then round it up to a
// power of two, make it square, or halve it until it fits.
TextureSize ChooseTextureSize(uint32_t requestedWidth, uint32_t requestedHeight,
                              uint32_t sourceWidth, uint32_t sourceHeight,
                              const TextureLimits& limits);

// Levels of a full chain down to 1 x 1.
uint32_t FullMipChainLength(uint32_t width, uint32_t height);

// Levels to create: 0 or D3DX_DEFAULT mean the full chain; more than the full chain is capped.
uint32_t ChooseMipLevels(uint32_t requested, uint32_t width, uint32_t height);

// Formats to try in order. D3DFMT_UNKNOWN picks by the source: a format with alpha when the
// source has alpha or a colour key is given. A requested format comes first, then its family.
// Only formats the converter can write are listed.
std::vector<PixelFormat> FormatCandidates(PixelFormat requested, bool sourceHasAlpha,
                                          uint32_t colorKey);

}  // namespace imaging
