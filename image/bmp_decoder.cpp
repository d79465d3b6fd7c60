// Windows and OS/2 bitmaps: 1, 2, 4, 8 bpp with a palette, 16/32 bpp with or without bitfields,
// 24 bpp, RLE4 and RLE8, bottom-up and top-down. Every length is checked against the buffer
// before it is used.
#include "image/bmp_decoder.h"

#include <algorithm>
#include <cstring>

#include "image/pixel_formats.h"

namespace imaging {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }

struct BmpHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  bool topDown = false;
  uint32_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t dataOffset = 0;
  uint32_t paletteOffset = 0;
  uint32_t paletteEntries = 0;
  uint32_t paletteEntrySize = 4;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
};

ImageResult ParseHeader(const uint8_t* data, size_t size, BmpHeader& h) {
  if (data == nullptr || size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') {
    return kImageInvalid;
  }
  h.dataOffset = Le32(data + 10);
  uint32_t headerSize = Le32(data + 14);
  switch (headerSize) {
    case 12: case 16: case 40: case 52: case 56: case 64: case 108: case 124: break;
    default: return kImageInvalid;
  }
  if (kFileHeaderSize + headerSize > size) return kImageTruncated;
  const uint8_t* info = data + kFileHeaderSize;
  uint32_t planes;
  int64_t width, height;
  uint32_t colorsUsed = 0;
  if (headerSize == 12) {  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
    width = Le16(info + 4);
    height = int16_t(Le16(info + 6));
    planes = Le16(info + 8);
    h.bitCount = Le16(info + 10);
    h.paletteEntrySize = 3;
  } else {
    // Fields past the header's own size read as zero (OS/2 2.x headers may be short).
    uint8_t full[124] = {};
    std::memcpy(full, info, std::min<uint32_t>(headerSize, sizeof(full)));
    width = int32_t(Le32(full + 4));
    height = int32_t(Le32(full + 8));
    planes = Le16(full + 12);
    h.bitCount = Le16(full + 14);
    h.compression = Le32(full + 16);
    colorsUsed = Le32(full + 32);
    const bool os2 = headerSize != 40 && headerSize != 52 && headerSize != 56 &&
                     headerSize != 108 && headerSize != 124;
    // OS/2 2.x reuses 3 and 4 for Huffman 1D and RLE24, which we do not decode.
    if (os2 && h.compression >= 3) return kImageUnsupported;
    if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
      if (headerSize >= 52) {
        for (int i = 0; i < 4; ++i) h.masks[i] = Le32(full + 40 + 4 * i);
        if (headerSize < 56 && h.compression == kBitfields) h.masks[3] = 0;
      } else {
        const size_t count = h.compression == kAlphaBitfields ? 4 : 3;
        if (kFileHeaderSize + headerSize + count * 4 > size) return kImageTruncated;
        for (size_t i = 0; i < count; ++i) h.masks[i] = Le32(info + headerSize + 4 * i);
        headerSize += uint32_t(count * 4);
      }
    }
  }
  if (planes != 1 || width <= 0 || height == 0) return kImageInvalid;
  h.topDown = height < 0;
  h.width = uint32_t(width);
  h.height = uint32_t(height < 0 ? -height : height);
  if (h.width > kMaxImageSide || h.height > kMaxImageSide ||
      uint64_t(h.width) * h.height > kMaxImagePixels) {
    return kImageTooLarge;
  }
  switch (h.bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return kImageInvalid;
  }
  switch (h.compression) {
    case kRgb: break;
    case kRle8: if (h.bitCount != 8 || h.topDown) return kImageInvalid; break;
    case kRle4: if (h.bitCount != 4 || h.topDown) return kImageInvalid; break;
    case kBitfields:
    case kAlphaBitfields:
      if (h.bitCount != 16 && h.bitCount != 32) return kImageInvalid;
      break;
    default: return kImageUnsupported;  // embedded JPEG/PNG and the like
  }
  if (h.bitCount <= 8) {
    const uint32_t most = 1u << h.bitCount;
    if (colorsUsed > 65536) return kImageInvalid;
    h.paletteEntries = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
    h.paletteOffset = uint32_t(kFileHeaderSize) + headerSize;
    if (uint64_t(h.paletteOffset) + uint64_t(h.paletteEntries) * h.paletteEntrySize > size) {
      return kImageTruncated;
    }
  }
  if (h.dataOffset >= size) return kImageTruncated;
  if (h.dataOffset < kFileHeaderSize + 12) return kImageInvalid;
  return kImageOk;
}

void FillInfo(const BmpHeader& h, SourceInfo& info) {
  info = SourceInfo();
  info.width = h.width;
  info.height = h.height;
  info.fileFormat = FileFormat::Bmp;
  const bool bitfields = h.compression == kBitfields || h.compression == kAlphaBitfields;
  info.hasAlpha = bitfields && h.masks[3] != 0;
  if (h.bitCount <= 8) {
    info.format = PixelFormat::P8;
  } else if (h.bitCount == 16) {
    info.format = !bitfields ? PixelFormat::X1R5G5B5
                  : h.masks[1] == 0x07E0 ? PixelFormat::R5G6B5
                  : info.hasAlpha ? PixelFormat::A1R5G5B5 : PixelFormat::X1R5G5B5;
  } else if (h.bitCount == 24) {
    info.format = PixelFormat::R8G8B8;
  } else {
    info.format = info.hasAlpha ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8;
  }
}

// Where an RLE stream enters a stored row: the code that follows, and the column.
struct RleEntry {
  const uint8_t* code = nullptr;  // none: the stream never reaches the row, which keeps index 0
  uint64_t x = 0;
};

// Walks an RLE stream from `p` at column x of stored row y (row 0 at the bottom). With `entries`
// it walks to the end, noting where it enters each row; with `row`, it writes that row's palette
// indices and stops where the stream leaves it. A run or a move that leaves the picture is a
// broken stream (RLE4 may pad a row by one nibble); the stream may end early.
ImageResult WalkRle(const uint8_t* p, const uint8_t* end, uint64_t x, uint64_t y,
                    const BmpHeader& h, std::vector<RleEntry>* entries, uint8_t* row) {
  const bool four = h.compression == kRle4;
  const uint64_t rowLimit = uint64_t(h.width) + (four ? 1 : 0);
  const uint64_t rowY = y;
  auto fits = [&](uint64_t count) { return x + count <= rowLimit && y < h.height; };
  auto put = [&](uint8_t index) {
    if (row != nullptr && x < h.width) row[x] = index;
    ++x;
  };
  auto enter = [&] {
    if (entries != nullptr && y < h.height) (*entries)[size_t(y)] = RleEntry{p, x};
  };
  while (end - p >= 2 && (row == nullptr || y == rowY)) {
    const uint32_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      if (!fits(count)) return kImageInvalid;
      for (uint32_t i = 0; i < count; ++i) {
        put(four ? uint8_t((i & 1) ? (value & 0x0F) : (value >> 4)) : uint8_t(value));
      }
    } else if (value == 0) {
      x = 0;
      ++y;
      enter();
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (end - p < 2) return kImageTruncated;
      const uint64_t down = p[1];
      x += p[0];
      y += down;
      p += 2;
      if (x > h.width || y > h.height) return kImageInvalid;
      if (down > 0) enter();
    } else {
      const size_t bytes = four ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t(1);
      if (size_t(end - p) < bytes) return kImageTruncated;
      if (!fits(value)) return kImageInvalid;
      for (uint32_t i = 0; i < value; ++i) {
        put(four ? uint8_t((i & 1) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4)) : p[i]);
      }
      p += std::min(padded, size_t(end - p));
    }
  }
  return kImageOk;
}

// RLE rows are stored bottom first in one stream, but go to the sink top first: a first walk
// checks the whole stream and notes where each row begins, then each row is decoded from there.
ImageResult DecodeRle(const uint8_t* p, const uint8_t* end, const BmpHeader& h,
                      const uint32_t* palette, ImageSink& sink) {
  std::vector<RleEntry> entries;
  std::vector<uint8_t> indices;
  try {
    entries.resize(h.height);
    indices.resize(h.width);
  } catch (...) {
    return kImageOutOfMemory;
  }
  entries[0] = RleEntry{p, 0};
  ImageResult r = WalkRle(p, end, 0, 0, h, &entries, nullptr);
  if (r == kImageOk) r = sink.Begin(h.width, h.height);
  for (uint32_t y = 0; r == kImageOk && y < h.height; ++y) {
    if (sink.Cancelled()) return kImageCancelled;
    const uint32_t stored = h.height - 1 - y;
    const RleEntry& entry = entries[stored];
    std::fill(indices.begin(), indices.end(), uint8_t(0));
    if (entry.code != nullptr) {
      r = WalkRle(entry.code, end, entry.x, stored, h, nullptr, indices.data());
    }
    uint32_t* out = sink.NextRow();
    for (uint32_t x = 0; x < h.width; ++x) out[x] = palette[indices[x]];
    sink.CommitRow();
  }
  return r;
}

}  // namespace

ImageResult ReadBmpInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  BmpHeader h;
  ImageResult r = ParseHeader(data, size, h);
  if (r == kImageOk) FillInfo(h, info);
  return r;
}

ImageResult DecodeBmp(const uint8_t* data, size_t size, ImageSink& sink, SourceInfo& info) {
  BmpHeader h;
  ImageResult r = ParseHeader(data, size, h);
  if (r != kImageOk) return r;
  FillInfo(h, info);
  uint32_t palette[256];
  for (uint32_t i = 0; i < 256; ++i) palette[i] = MakeTexel(0, 0, 0);
  for (uint32_t i = 0; i < h.paletteEntries; ++i) {
    const uint8_t* e = data + h.paletteOffset + size_t(i) * h.paletteEntrySize;
    palette[i] = MakeTexel(e[2], e[1], e[0]);
  }
  const uint8_t* pixels = data + h.dataOffset;
  const size_t available = size - h.dataOffset;
  if (h.compression == kRle8 || h.compression == kRle4) {
    // A run covers at most 255 texels per two bytes; only moves skip more, and a picture made
    // mostly of moves is no picture. A short file claiming a huge one is refused up front.
    if (uint64_t(h.width) * h.height > uint64_t(available) * 1024 + h.width) {
      return kImageTruncated;
    }
    return DecodeRle(pixels, pixels + available, h, palette, sink);
  }
  const uint64_t stride = (uint64_t(h.width) * h.bitCount + 31) / 32 * 4;
  if (stride * h.height > available) return kImageTruncated;
  r = sink.Begin(h.width, h.height);
  if (r != kImageOk) return r;
  MaskLayout layout;
  if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
    layout = MakeMaskLayout(h.masks[0], h.masks[1], h.masks[2], h.masks[3]);
  } else if (h.bitCount == 16) {
    layout = MakeMaskLayout(0x7C00, 0x03E0, 0x001F, 0);
  } else {
    layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0);
  }
  for (uint32_t y = 0; y < h.height; ++y) {
    if (sink.Cancelled()) return kImageCancelled;
    const uint8_t* in = pixels + (h.topDown ? y : h.height - 1 - y) * stride;
    uint32_t* out = sink.NextRow();
    switch (h.bitCount) {
      case 1: case 2: case 4: case 8: {
        const uint32_t bits = h.bitCount, perByte = 8 / bits, mask = (1u << bits) - 1;
        for (uint32_t x = 0; x < h.width; ++x) {
          const uint32_t shift = 8 - bits * (x % perByte + 1);
          const uint32_t index = (in[x / perByte] >> shift) & mask;
          // Indices past the palette come out black.
          out[x] = index < h.paletteEntries ? palette[index] : MakeTexel(0, 0, 0);
        }
        break;
      }
      case 16:
        for (uint32_t x = 0; x < h.width; ++x) out[x] = UnpackMasked(Le16(in + 2 * x), layout);
        break;
      case 24:
        for (uint32_t x = 0; x < h.width; ++x) {
          out[x] = MakeTexel(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        }
        break;
      case 32:
        for (uint32_t x = 0; x < h.width; ++x) out[x] = UnpackMasked(Le32(in + 4 * x), layout);
        break;
    }
    sink.CommitRow();
  }
  return kImageOk;
}

ImageResult DecodeBmp(const uint8_t* data, size_t size, Image& decoded, SourceInfo& info) {
  ImageSink sink;
  const ImageResult r = DecodeBmp(data, size, sink, info);
  return r == kImageOk ? sink.Finish(decoded) : r;
}

}  // namespace imaging
