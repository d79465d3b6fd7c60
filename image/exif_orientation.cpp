// EXIF lives in an APP1 segment holding a small TIFF file; only IFD0's Orientation is read.
#include "image/exif_orientation.h"

#include <cstring>
#include <utility>

namespace imaging {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTiffShort = 3;

uint16_t Read16(const uint8_t* p, bool bigEndian) {
  return bigEndian ? uint16_t((p[0] << 8) | p[1]) : uint16_t(p[0] | (p[1] << 8));
}

uint32_t Read32(const uint8_t* p, bool bigEndian) {
  return bigEndian ? (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]
                   : uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                         (uint32_t(p[3]) << 24);
}

}  // namespace

int OrientationFromTiff(const uint8_t* tiff, size_t size) {
  if (tiff == nullptr || size < 8) return 1;
  bool bigEndian;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    bigEndian = false;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    bigEndian = true;
  } else {
    return 1;
  }
  if (Read16(tiff + 2, bigEndian) != 42) return 1;
  const uint32_t ifd = Read32(tiff + 4, bigEndian);
  if (ifd < 8 || ifd > size - 2) return 1;
  const uint32_t count = Read16(tiff + ifd, bigEndian);
  if (uint64_t(count) * 12 > size - ifd - 2) return 1;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = tiff + ifd + 2 + size_t(i) * 12;
    if (Read16(entry, bigEndian) != kOrientationTag) continue;
    if (Read16(entry + 2, bigEndian) != kTiffShort || Read32(entry + 4, bigEndian) != 1) return 1;
    const int value = Read16(entry + 8, bigEndian);
    return value >= 1 && value <= 8 ? value : 1;
  }
  return 1;
}

int ReadJpegOrientation(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return 1;
  size_t pos = 2;
  while (pos + 4 <= size) {
    if (data[pos] != 0xFF) return 1;
    const uint8_t marker = data[pos + 1];
    if (marker == 0xFF) {  // fill byte
      ++pos;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length field
      pos += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return 1;  // image data starts: no EXIF before it
    const size_t length = (size_t(data[pos + 2]) << 8) | data[pos + 3];
    if (length < 2 || length > size - pos - 2) return 1;
    const uint8_t* payload = data + pos + 4;
    const size_t payloadSize = length - 2;
    if (marker == 0xE1 && payloadSize >= 6 && std::memcmp(payload, "Exif\0\0", 6) == 0) {
      return OrientationFromTiff(payload + 6, payloadSize - 6);
    }
    pos += 2 + length;
  }
  return 1;
}

ImageResult TurnUpright(Image&& stored, int orientation, Image& upright) {
  if (orientation != 1) return ApplyOrientation(stored, orientation, upright);
  upright = std::move(stored);
  return kImageOk;
}

ImageResult ApplyOrientation(const Image& stored, int orientation, Image& upright) {
  const uint32_t w = stored.width;
  const uint32_t h = stored.height;
  if (orientation < 1 || orientation > 8) orientation = 1;
  const bool swap = OrientationSwapsAxes(orientation);
  ImageResult r = AllocateImage(upright, swap ? h : w, swap ? w : h);
  if (r != kImageOk) return r;
  for (uint32_t y = 0; y < upright.height; ++y) {
    uint32_t* out = upright.Row(y);
    for (uint32_t x = 0; x < upright.width; ++x) {
      uint32_t sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;                      // mirrored left-right
        case 3: sx = w - 1 - x; sy = h - 1 - y; break;      // turned half round
        case 4: sy = h - 1 - y; break;                      // mirrored top-bottom
        case 5: sx = y; sy = x; break;                      // transposed
        case 6: sx = y; sy = h - 1 - x; break;              // needs a quarter turn clockwise
        case 7: sx = w - 1 - y; sy = h - 1 - x; break;      // transversed
        case 8: sx = w - 1 - y; sy = x; break;              // needs a quarter turn anticlockwise
        default: break;
      }
      out[x] = stored.At(sx, sy);
    }
  }
  return kImageOk;
}

}  // namespace imaging
