// TGA reader. The header is checked field by field, the colour map and every packet against the
// end of the buffer; RLE packets may cross scan lines.
#include "image/tga_decoder.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace imaging {
namespace {

constexpr size_t kHeaderSize = 18;

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

struct TgaHeader {
  uint32_t imageType = 0;
  bool rle = false;
  bool mapped = false;
  bool grey = false;
  uint32_t mapFirst = 0, mapLength = 0, mapEntryBits = 0;
  uint32_t width = 0, height = 0, depth = 0, alphaBits = 0;
  bool topOrigin = false, rightOrigin = false;
  size_t mapOffset = 0, dataOffset = 0;
};

bool ValidDepth(const TgaHeader& h) {
  if (h.mapped) return h.depth == 8 || h.depth == 16;
  if (h.grey) return h.depth == 8 || h.depth == 16;
  return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
}

ImageResult ParseHeader(const uint8_t* data, size_t size, TgaHeader& h) {
  if (data == nullptr || size < kHeaderSize) return kImageInvalid;
  const uint32_t idLength = data[0];
  const uint32_t mapType = data[1];
  h.imageType = data[2];
  h.rle = h.imageType >= 9;
  const uint32_t base = h.rle ? h.imageType - 8 : h.imageType;
  if (mapType > 1 || base < 1 || base > 3 || (h.imageType > 3 && !h.rle) || h.imageType > 11) {
    return kImageInvalid;
  }
  h.mapped = base == 1;
  h.grey = base == 3;
  h.mapFirst = Le16(data + 3);
  h.mapLength = Le16(data + 5);
  h.mapEntryBits = data[7];
  h.width = Le16(data + 12);
  h.height = Le16(data + 14);
  h.depth = data[16];
  const uint32_t descriptor = data[17];
  h.alphaBits = descriptor & 0x0F;
  h.rightOrigin = (descriptor & 0x10) != 0;
  h.topOrigin = (descriptor & 0x20) != 0;
  if ((descriptor & 0xC0) != 0 || h.width == 0 || h.height == 0 || !ValidDepth(h)) {
    return kImageInvalid;
  }
  if (h.mapped && (mapType != 1 || h.mapLength == 0)) return kImageInvalid;
  const uint32_t entryBytes = (h.mapEntryBits + 7) / 8;
  if (mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
      h.mapEntryBits != 32) {
    return kImageInvalid;
  }
  h.mapOffset = kHeaderSize + idLength;
  h.dataOffset = h.mapOffset + (mapType == 1 ? size_t(h.mapLength) * entryBytes : 0);
  if (h.dataOffset > size) return kImageTruncated;
  if (uint64_t(h.width) * h.height > kMaxImagePixels) return kImageTooLarge;
  return kImageOk;
}

// A 15/16-bit value as stored in TGA: 5 bits each of red, green, blue, and the top attribute bit.
uint32_t Texel16(uint32_t v, bool alpha) {
  const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
  const uint32_t a = alpha ? ((v & 0x8000) ? 255 : 0) : 255;
  return MakeTexel((r * 255 + 15) / 31, (g * 255 + 15) / 31, (b * 255 + 15) / 31, a);
}

uint32_t TrueColour(const uint8_t* p, uint32_t bits, bool alpha) {
  switch (bits) {
    case 15: case 16: return Texel16(Le16(p), alpha && bits == 16);
    case 24: return MakeTexel(p[2], p[1], p[0]);
    default: return MakeTexel(p[2], p[1], p[0], p[3]);
  }
}

void FillInfo(const TgaHeader& h, SourceInfo& info) {
  info = SourceInfo();
  info.width = h.width;
  info.height = h.height;
  info.fileFormat = FileFormat::Tga;
  if (h.mapped) {
    info.format = PixelFormat::P8;
    info.hasAlpha = h.mapEntryBits == 32 || (h.mapEntryBits == 16 && h.alphaBits > 0);
  } else if (h.grey) {
    info.format = h.depth == 16 ? PixelFormat::A8L8 : PixelFormat::L8;
    info.hasAlpha = h.depth == 16;
  } else if (h.depth == 24) {
    info.format = PixelFormat::R8G8B8;
  } else if (h.depth == 32) {
    info.format = PixelFormat::A8R8G8B8;
    info.hasAlpha = true;
  } else {
    info.hasAlpha = h.depth == 16 && h.alphaBits > 0;
    info.format = info.hasAlpha ? PixelFormat::A1R5G5B5 : PixelFormat::X1R5G5B5;
  }
}

// Where a stored row starts in an RLE stream: its packet, and how many of that packet's texels
// the rows before took.
struct RowStart {
  const uint8_t* packet = nullptr;
  uint32_t taken = 0;
};

// Checks every packet against the end of the data and notes where each stored row starts.
ImageResult FindRowStarts(const uint8_t* p, const uint8_t* end, const TgaHeader& h,
                          uint32_t pixelBytes, std::vector<RowStart>& starts) {
  const size_t total = size_t(h.width) * h.height;
  size_t i = 0;
  while (i < total) {
    if (p >= end) return kImageTruncated;
    const uint8_t* packet = p++;
    const size_t count = std::min<size_t>((*packet & 0x7F) + 1, total - i);
    const uint64_t bytes = (*packet & 0x80) ? pixelBytes : uint64_t(count) * pixelBytes;
    if (bytes > uint64_t(end - p)) return kImageTruncated;
    for (size_t row = (i + h.width - 1) / h.width; row * h.width < i + count; ++row) {
      starts[row] = RowStart{packet, uint32_t(row * h.width - i)};
    }
    p += bytes;
    i += count;
  }
  return kImageOk;
}

}  // namespace

ImageResult ReadTgaInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  TgaHeader h;
  ImageResult r = ParseHeader(data, size, h);
  if (r == kImageOk) FillInfo(h, info);
  return r;
}

ImageResult DecodeTga(const uint8_t* data, size_t size, ImageSink& sink, SourceInfo& info) {
  TgaHeader h;
  ImageResult r = ParseHeader(data, size, h);
  if (r != kImageOk) return r;
  FillInfo(h, info);
  std::vector<uint32_t> map;
  if (h.mapped) {
    const uint32_t entryBytes = (h.mapEntryBits + 7) / 8;
    map.resize(h.mapLength);
    for (uint32_t i = 0; i < h.mapLength; ++i) {
      map[i] = TrueColour(data + h.mapOffset + size_t(i) * entryBytes, h.mapEntryBits,
                          info.hasAlpha);
    }
  }
  const uint32_t pixelBytes = (h.depth + 7) / 8;
  auto texelAt = [&](const uint8_t* p) -> uint32_t {
    if (h.mapped) {
      const uint32_t index = (pixelBytes == 2 ? Le16(p) : p[0]) - h.mapFirst;
      return index < map.size() ? map[index] : MakeTexel(0, 0, 0);
    }
    if (h.grey) return MakeTexel(p[0], p[0], p[0], h.depth == 16 ? p[1] : 255);
    return TrueColour(p, h.depth, info.hasAlpha);
  };
  // One RLE packet of 1 + pixelBytes bytes covers at most 128 texels: a shorter file cannot
  // hold the picture its header claims.
  const size_t total = size_t(h.width) * h.height;
  const uint64_t minimumBytes =
      h.rle ? (uint64_t(total) + 127) / 128 * (1 + pixelBytes) : uint64_t(total) * pixelBytes;
  if (minimumBytes > size - h.dataOffset) return kImageTruncated;
  const uint8_t* pixels = data + h.dataOffset;
  // Rows go to the sink top first; stored rows run bottom-up unless the descriptor says top.
  // Raw rows are found by arithmetic, RLE rows (packets may cross them) by a first walk.
  std::vector<RowStart> starts;
  if (h.rle) {
    try {
      starts.resize(h.height);
    } catch (...) {
      return kImageOutOfMemory;
    }
    r = FindRowStarts(pixels, data + size, h, pixelBytes, starts);
    if (r != kImageOk) return r;
  }
  r = sink.Begin(h.width, h.height);
  if (r != kImageOk) return r;
  for (uint32_t y = 0; y < h.height; ++y) {
    if (sink.Cancelled()) return kImageCancelled;
    const uint32_t stored = h.topOrigin ? y : h.height - 1 - y;
    uint32_t* out = sink.NextRow();
    if (!h.rle) {
      const uint8_t* p = pixels + size_t(stored) * h.width * pixelBytes;
      for (uint32_t x = 0; x < h.width; ++x, p += pixelBytes) out[x] = texelAt(p);
    } else {
      const uint8_t* p = starts[stored].packet;
      uint32_t skip = starts[stored].taken;
      for (uint32_t x = 0; x < h.width; skip = 0) {
        const uint32_t header = *p++;
        const uint32_t count = (header & 0x7F) + 1;
        const uint32_t take = std::min(count - skip, h.width - x);
        const bool run = (header & 0x80) != 0;
        if (run) {
          std::fill(out + x, out + x + take, texelAt(p));
        } else {
          const uint8_t* texels = p + size_t(skip) * pixelBytes;
          for (uint32_t k = 0; k < take; ++k) out[x + k] = texelAt(texels + k * pixelBytes);
        }
        x += take;
        if (x < h.width) p += run ? pixelBytes : size_t(count) * pixelBytes;
      }
    }
    // Columns may run right-to-left.
    if (h.rightOrigin) std::reverse(out, out + h.width);
    sink.CommitRow();
  }
  return kImageOk;
}

ImageResult DecodeTga(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info) {
  ImageSink sink;
  const ImageResult r = DecodeTga(data, size, sink, info);
  return r == kImageOk ? sink.Finish(decoded) : r;
}

}  // namespace imaging
