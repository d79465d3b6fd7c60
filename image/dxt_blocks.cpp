// S3TC blocks: two 5:6:5 end colours and 2-bit indices, optionally preceded by an alpha block
// (explicit 4-bit in DXT2/3, interpolated in DXT4/5).
#include "image/dxt_blocks.h"

namespace imaging {
namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

void Expand565(uint32_t c, uint32_t rgb[3]) {
  rgb[0] = ((c >> 11) & 31) * 255 / 31;
  rgb[1] = ((c >> 5) & 63) * 255 / 63;
  rgb[2] = (c & 31) * 255 / 31;
}

// Colour part of a block into 16 texels (alpha 255, or 0 for DXT1's transparent index).
void DecodeColour(const uint8_t* block, bool dxt1, uint32_t out[16]) {
  const uint32_t c0 = Le16(block), c1 = Le16(block + 2);
  uint32_t e[4][3];
  Expand565(c0, e[0]);
  Expand565(c1, e[1]);
  uint32_t alpha3 = 255;
  for (int ch = 0; ch < 3; ++ch) {
    if (c0 > c1 || !dxt1) {
      e[2][ch] = (2 * e[0][ch] + e[1][ch] + 1) / 3;
      e[3][ch] = (e[0][ch] + 2 * e[1][ch] + 1) / 3;
    } else {
      e[2][ch] = (e[0][ch] + e[1][ch]) / 2;
      e[3][ch] = 0;
      alpha3 = 0;
    }
  }
  const uint32_t bits = uint32_t(block[4]) | (uint32_t(block[5]) << 8) |
                        (uint32_t(block[6]) << 16) | (uint32_t(block[7]) << 24);
  for (int i = 0; i < 16; ++i) {
    const uint32_t k = (bits >> (2 * i)) & 3;
    out[i] = MakeTexel(e[k][0], e[k][1], e[k][2], k == 3 ? alpha3 : 255);
  }
}

void DecodeExplicitAlpha(const uint8_t* block, uint32_t out[16]) {
  for (int i = 0; i < 16; ++i) {
    const uint32_t a = (block[i / 2] >> (4 * (i & 1))) & 15;
    out[i] = (out[i] & 0x00FFFFFFu) | ((a * 17) << 24);
  }
}

void DecodeInterpolatedAlpha(const uint8_t* block, uint32_t out[16]) {
  uint32_t a[8];
  a[0] = block[0];
  a[1] = block[1];
  if (a[0] > a[1]) {
    for (int i = 1; i < 7; ++i) a[i + 1] = ((7 - i) * a[0] + i * a[1] + 3) / 7;
  } else {
    for (int i = 1; i < 5; ++i) a[i + 1] = ((5 - i) * a[0] + i * a[1] + 2) / 5;
    a[6] = 0;
    a[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= uint64_t(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) {
    out[i] = (out[i] & 0x00FFFFFFu) | (a[(bits >> (3 * i)) & 7] << 24);
  }
}

}  // namespace

uint32_t DxtBlockBytes(PixelFormat format) { return format == PixelFormat::DXT1 ? 8 : 16; }

ImageResult DecodeDxtSurface(PixelFormat format, const uint8_t* data, size_t size, uint32_t width,
                             uint32_t height, Image& decoded, const std::atomic<bool>* keepGoing) {
  const uint32_t blockBytes = DxtBlockBytes(format);
  const uint32_t across = (width + 3) / 4, down = (height + 3) / 4;
  if (uint64_t(across) * down * blockBytes > size) return kImageTruncated;
  ImageResult r = AllocateImage(decoded, width, height);
  if (r != kImageOk) return r;
  const bool dxt1 = format == PixelFormat::DXT1;
  const bool interpolated = format == PixelFormat::DXT4 || format == PixelFormat::DXT5;
  uint32_t texels[16];
  for (uint32_t by = 0; by < down; ++by) {
    if (keepGoing != nullptr && !keepGoing->load()) return kImageCancelled;
    for (uint32_t bx = 0; bx < across; ++bx) {
      const uint8_t* block = data + (size_t(by) * across + bx) * blockBytes;
      DecodeColour(dxt1 ? block : block + 8, dxt1, texels);
      if (!dxt1) {
        if (interpolated) {
          DecodeInterpolatedAlpha(block, texels);
        } else {
          DecodeExplicitAlpha(block, texels);
        }
      }
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = bx * 4 + (i & 3), y = by * 4 + i / 4;
        if (x < width && y < height) decoded.Row(y)[x] = texels[i];
      }
    }
  }
  return kImageOk;
}

}  // namespace imaging
