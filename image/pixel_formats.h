// Texel layouts: reading channels through bit masks (BMP bitfields, DDS, 16-bit TGA) and writing
// 0xAARRGGBB texels into the formats a device accepts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"

namespace imaging {

struct ChannelMask {
  uint32_t mask = 0;
  uint32_t shift = 0;
  uint32_t max = 0;  // mask >> shift; 0 for an absent channel
};

ChannelMask MakeChannelMask(uint32_t mask);

// A channel scaled to 0..255.
inline uint32_t ExpandChannel(uint32_t pixel, const ChannelMask& m) {
  if (m.max == 0) return 0;
  return uint32_t((uint64_t((pixel & m.mask) >> m.shift) * 255 + m.max / 2) / m.max);
}

struct MaskLayout {
  ChannelMask r, g, b, a;
};

MaskLayout MakeMaskLayout(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha);

// An opaque texel when the layout has no alpha mask.
inline uint32_t UnpackMasked(uint32_t pixel, const MaskLayout& layout) {
  const uint32_t a = layout.a.max ? ExpandChannel(pixel, layout.a) : 255;
  return MakeTexel(ExpandChannel(pixel, layout.r), ExpandChannel(pixel, layout.g),
                   ExpandChannel(pixel, layout.b), a);
}

// Bytes per texel of a format we can write; 0 for the others (block-compressed, palettised).
uint32_t BytesPerTexel(PixelFormat format);
bool HasAlphaChannel(PixelFormat format);
bool IsBlockCompressed(PixelFormat format);

// Writes `count` texels of row `y` in `format`. With `dither`, formats of fewer than 8 bits a
// channel get an ordered dither instead of plain rounding.
void PackRow(const uint32_t* texels, uint32_t count, uint32_t y, PixelFormat format, bool dither,
             uint8_t* out);

}  // namespace imaging
