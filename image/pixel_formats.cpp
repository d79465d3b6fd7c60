// Conversions between 0xAARRGGBB texels and device texture formats.
#include "image/pixel_formats.h"

#include <cstring>

namespace imaging {
namespace {

// 4x4 ordered-dither thresholds, 0..15.
constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// An 8-bit channel reduced to `bits` bits, rounded or dithered by `offset` (0..254, mean 127).
inline uint32_t Reduce(uint32_t value, uint32_t bits, uint32_t offset) {
  const uint32_t max = (1u << bits) - 1;
  return (value * max + offset) / 255;
}

inline void Put16(uint8_t* out, uint32_t v) {
  out[0] = uint8_t(v);
  out[1] = uint8_t(v >> 8);
}

}  // namespace

ChannelMask MakeChannelMask(uint32_t mask) {
  ChannelMask m;
  if (mask == 0) return m;
  m.mask = mask;
  while (((mask >> m.shift) & 1u) == 0) ++m.shift;
  m.max = mask >> m.shift;
  return m;
}

MaskLayout MakeMaskLayout(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
  return MaskLayout{MakeChannelMask(red), MakeChannelMask(green), MakeChannelMask(blue),
                    MakeChannelMask(alpha)};
}

uint32_t BytesPerTexel(PixelFormat format) {
  switch (format) {
    case PixelFormat::A8R8G8B8:
    case PixelFormat::X8R8G8B8: return 4;
    case PixelFormat::R8G8B8: return 3;
    case PixelFormat::R5G6B5:
    case PixelFormat::X1R5G5B5:
    case PixelFormat::A1R5G5B5:
    case PixelFormat::A4R4G4B4:
    case PixelFormat::X4R4G4B4:
    case PixelFormat::A8L8: return 2;
    case PixelFormat::A8:
    case PixelFormat::L8: return 1;
    default: return 0;
  }
}

bool HasAlphaChannel(PixelFormat format) {
  switch (format) {
    case PixelFormat::A8R8G8B8:
    case PixelFormat::A1R5G5B5:
    case PixelFormat::A4R4G4B4:
    case PixelFormat::A8:
    case PixelFormat::A8L8:
    case PixelFormat::DXT2:
    case PixelFormat::DXT3:
    case PixelFormat::DXT4:
    case PixelFormat::DXT5: return true;
    default: return false;
  }
}

bool IsBlockCompressed(PixelFormat format) {
  switch (format) {
    case PixelFormat::DXT1:
    case PixelFormat::DXT2:
    case PixelFormat::DXT3:
    case PixelFormat::DXT4:
    case PixelFormat::DXT5: return true;
    default: return false;
  }
}

void PackRow(const uint32_t* texels, uint32_t count, uint32_t y, PixelFormat format, bool dither,
             uint8_t* out) {
  if (format == PixelFormat::A8R8G8B8) {
    std::memcpy(out, texels, size_t(count) * 4);
    return;
  }
  for (uint32_t x = 0; x < count; ++x) {
    const uint32_t t = texels[x];
    const uint32_t a = t >> 24, r = (t >> 16) & 0xFF, g = (t >> 8) & 0xFF, b = t & 0xFF;
    const uint32_t offset = dither ? kBayer[y & 3][x & 3] * 16 + 7 : 127;
    const uint32_t luma = (r * 77 + g * 150 + b * 29 + 128) >> 8;
    switch (format) {
      case PixelFormat::X8R8G8B8: {
        const uint32_t v = t | 0xFF000000u;
        std::memcpy(out + size_t(x) * 4, &v, 4);
        break;
      }
      case PixelFormat::R8G8B8:
        out[x * 3] = uint8_t(b);
        out[x * 3 + 1] = uint8_t(g);
        out[x * 3 + 2] = uint8_t(r);
        break;
      case PixelFormat::R5G6B5:
        Put16(out + x * 2, (Reduce(r, 5, offset) << 11) | (Reduce(g, 6, offset) << 5) |
                               Reduce(b, 5, offset));
        break;
      case PixelFormat::X1R5G5B5:
      case PixelFormat::A1R5G5B5: {
        const uint32_t top = (format == PixelFormat::X1R5G5B5 || a >= 128) ? 0x8000u : 0u;
        Put16(out + x * 2, top | (Reduce(r, 5, offset) << 10) | (Reduce(g, 5, offset) << 5) |
                               Reduce(b, 5, offset));
        break;
      }
      case PixelFormat::A4R4G4B4:
      case PixelFormat::X4R4G4B4: {
        const uint32_t alpha = format == PixelFormat::X4R4G4B4 ? 15u : Reduce(a, 4, offset);
        Put16(out + x * 2, (alpha << 12) | (Reduce(r, 4, offset) << 8) |
                               (Reduce(g, 4, offset) << 4) | Reduce(b, 4, offset));
        break;
      }
      case PixelFormat::A8L8:
        Put16(out + x * 2, (a << 8) | luma);
        break;
      case PixelFormat::L8:
        out[x] = uint8_t(luma);
        break;
      case PixelFormat::A8:
        out[x] = uint8_t(a);
        break;
      default:
        break;
    }
  }
}

}  // namespace imaging
