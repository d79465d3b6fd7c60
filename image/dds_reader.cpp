// DDS reader. Sizes are computed in 64 bits and checked against the buffer before any surface
// is taken; odd pixel formats and the DX10 extension are refused as unsupported.
#include "image/dds_reader.h"

#include <algorithm>
#include <cstring>

#include "image/dxt_blocks.h"

namespace imaging {
namespace {

constexpr size_t kHeaderSize = 4 + 124;
constexpr uint32_t kPfAlphaPixels = 0x1, kPfAlpha = 0x2, kPfFourCc = 0x4, kPfPalette8 = 0x20,
                   kPfRgb = 0x40, kPfLuminance = 0x20000;
constexpr uint32_t kFlagMipCount = 0x20000;
constexpr uint32_t kCaps2Cube = 0x200, kCaps2AllFaces = 0xFC00, kCaps2Volume = 0x200000;

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

constexpr uint32_t FourCc(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | (uint32_t(uint8_t(b)) << 8) | (uint32_t(uint8_t(c)) << 16) |
         (uint32_t(uint8_t(d)) << 24);
}

PixelFormat FormatFromMasks(uint32_t bits, const uint32_t m[4], bool alpha) {
  const uint32_t a = alpha ? m[3] : 0;
  if (bits == 32) return a ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8;
  if (bits == 24) return PixelFormat::R8G8B8;
  if (bits == 16) {
    if (m[1] == 0x07E0) return PixelFormat::R5G6B5;
    if (m[1] == 0x00F0) return a ? PixelFormat::A4R4G4B4 : PixelFormat::X4R4G4B4;
    return a ? PixelFormat::A1R5G5B5 : PixelFormat::X1R5G5B5;
  }
  return PixelFormat::Unknown;
}

ImageResult ReadPixelFormat(const uint8_t* pf, DdsFile& file) {
  if (Le32(pf) != 32) return kImageInvalid;
  const uint32_t flags = Le32(pf + 4);
  const uint32_t fourCc = Le32(pf + 8);
  const uint32_t bits = Le32(pf + 12);
  uint32_t masks[4];
  for (int i = 0; i < 4; ++i) masks[i] = Le32(pf + 16 + 4 * i);
  if (flags & kPfFourCc) {
    switch (fourCc) {
      case FourCc('D', 'X', 'T', '1'): file.format = PixelFormat::DXT1; break;
      case FourCc('D', 'X', 'T', '2'): file.format = PixelFormat::DXT2; break;
      case FourCc('D', 'X', 'T', '3'): file.format = PixelFormat::DXT3; break;
      case FourCc('D', 'X', 'T', '4'): file.format = PixelFormat::DXT4; break;
      case FourCc('D', 'X', 'T', '5'): file.format = PixelFormat::DXT5; break;
      case FourCc('D', 'X', '1', '0'): return kImageOk;  // the extension header decides
      default: return kImageUnsupported;  // float formats and the like
    }
    file.hasAlpha = file.format != PixelFormat::DXT1;
    return kImageOk;
  }
  if (flags & kPfPalette8) return kImageUnsupported;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return kImageUnsupported;
  const bool alpha = (flags & (kPfAlphaPixels | kPfAlpha)) != 0 && masks[3] != 0;
  file.bitCount = bits;
  file.hasAlpha = alpha;
  if (flags & kPfLuminance) {
    // Some writers put nonsense in the masks of 8-bit luminance; the layout is fixed anyway.
    if (bits == 8) {
      file.hasAlpha = false;
      file.layout = MakeMaskLayout(0xFF, 0xFF, 0xFF, 0);
      file.format = PixelFormat::L8;
    } else if (bits == 16 && (masks[0] | masks[3]) <= 0xFFFF && masks[0] != 0) {
      file.layout = MakeMaskLayout(masks[0], masks[0], masks[0], alpha ? masks[3] : 0);
      file.format = alpha ? PixelFormat::A8L8 : PixelFormat::L8;
    } else {
      return kImageUnsupported;
    }
    file.luminance = true;
    return kImageOk;
  }
  if ((flags & kPfRgb) == 0) {
    if ((flags & kPfAlpha) && masks[3] != 0 && bits == 8) {
      file.layout = MakeMaskLayout(0, 0, 0, masks[3]);
      file.format = PixelFormat::A8;
      return kImageOk;
    }
    return kImageUnsupported;
  }
  if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0) return kImageInvalid;
  if (bits < 32) {
    const uint32_t limit = (1u << bits) - 1;
    for (uint32_t m : masks) {
      if (m > limit) return kImageInvalid;
    }
  }
  file.layout = MakeMaskLayout(masks[0], masks[1], masks[2], alpha ? masks[3] : 0);
  file.format = FormatFromMasks(bits, masks, alpha);
  return file.format == PixelFormat::Unknown ? kImageUnsupported : kImageOk;
}

// The DX10 extension: only the DXGI formats that have a Direct3D 8 counterpart, 2D, one image
// (or one cube).
ImageResult ReadDx10Header(const uint8_t* x, DdsFile& file) {
  const uint32_t dxgi = Le32(x), dimension = Le32(x + 4), misc = Le32(x + 8),
                 arraySize = Le32(x + 12);
  if (dimension != 3 || arraySize != 1) return kImageUnsupported;
  if (misc & 0x4) {
    if (file.width != file.height) return kImageInvalid;
    file.faces = 6;
  }
  file.bitCount = 32;
  switch (dxgi) {
    case 71: case 72: file.format = PixelFormat::DXT1; break;
    case 74: case 75: file.format = PixelFormat::DXT3; break;
    case 77: case 78: file.format = PixelFormat::DXT5; break;
    case 87: case 91:
      file.layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
      file.format = PixelFormat::A8R8G8B8;
      break;
    case 88: case 93:
      file.layout = MakeMaskLayout(0xFF0000, 0xFF00, 0xFF, 0);
      file.format = PixelFormat::X8R8G8B8;
      break;
    case 28: case 29:  // R8G8B8A8: converted on load
      file.layout = MakeMaskLayout(0xFF, 0xFF00, 0xFF0000, 0xFF000000u);
      file.format = PixelFormat::A8R8G8B8;
      break;
    case 85:
      file.bitCount = 16;
      file.layout = MakeMaskLayout(0xF800, 0x07E0, 0x001F, 0);
      file.format = PixelFormat::R5G6B5;
      break;
    case 86:
      file.bitCount = 16;
      file.layout = MakeMaskLayout(0x7C00, 0x03E0, 0x001F, 0x8000);
      file.format = PixelFormat::A1R5G5B5;
      break;
    default:
      return kImageUnsupported;
  }
  file.hasAlpha = file.format != PixelFormat::DXT1 && file.format != PixelFormat::X8R8G8B8 &&
                  file.format != PixelFormat::R5G6B5;
  return kImageOk;
}

uint64_t SurfaceBytes(const DdsFile& file, uint32_t w, uint32_t h) {
  if (IsBlockCompressed(file.format)) {
    return uint64_t((w + 3) / 4) * ((h + 3) / 4) * (file.format == PixelFormat::DXT1 ? 8 : 16);
  }
  return uint64_t(w) * h * (file.bitCount / 8);
}

}  // namespace

ImageResult ReadDds(const uint8_t* data, size_t size, DdsFile& file) {
  file = DdsFile();
  if (data == nullptr || size < 4 || std::memcmp(data, "DDS ", 4) != 0) return kImageInvalid;
  if (size < kHeaderSize) return kImageTruncated;
  const uint8_t* h = data + 4;
  if (Le32(h) != 124) return kImageInvalid;
  const uint32_t flags = Le32(h + 4);
  file.height = Le32(h + 8);
  file.width = Le32(h + 12);
  const uint32_t mips = Le32(h + 24);
  const uint32_t caps2 = Le32(h + 108);
  if (file.width == 0 || file.height == 0) return kImageInvalid;
  if (file.width > kMaxImageSide || file.height > kMaxImageSide ||
      uint64_t(file.width) * file.height > kMaxImagePixels) {
    return kImageTooLarge;
  }
  if (caps2 & kCaps2Volume) return kImageUnsupported;
  if (caps2 & kCaps2Cube) {
    if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces) return kImageUnsupported;
    if (file.width != file.height) return kImageInvalid;
    file.faces = 6;
  }
  uint32_t fullChain = 1;
  while ((std::max(file.width, file.height) >> (fullChain - 1)) > 1) ++fullChain;
  file.mipLevels = (flags & kFlagMipCount) && mips > 0 ? mips : 1;
  if (file.mipLevels > fullChain) return kImageInvalid;
  ImageResult r = ReadPixelFormat(h + 72, file);
  if (r != kImageOk) return r;
  size_t pos = kHeaderSize;
  if (file.format == PixelFormat::Unknown) {  // DX10 extension header follows
    if (size - pos < 20) return kImageTruncated;
    r = ReadDx10Header(data + pos, file);
    if (r != kImageOk) return r;
    pos += 20;
  }
  file.surfaces.reserve(size_t(file.faces) * file.mipLevels);
  for (uint32_t face = 0; face < file.faces; ++face) {
    for (uint32_t level = 0; level < file.mipLevels; ++level) {
      const uint32_t w = std::max(1u, file.width >> level);
      const uint32_t hgt = std::max(1u, file.height >> level);
      const uint64_t bytes = SurfaceBytes(file, w, hgt);
      if (bytes > size - pos) return kImageTruncated;
      file.surfaces.push_back(DdsSurface{data + pos, size_t(bytes), w, hgt});
      pos += size_t(bytes);
    }
  }
  return kImageOk;
}

ImageResult ReadDdsInfo(const uint8_t* data, size_t size, SourceInfo& info) {
  DdsFile file;
  ImageResult r = ReadDds(data, size, file);
  if (r != kImageOk) return r;
  info = SourceInfo();
  info.width = file.width;
  info.height = file.height;
  info.mipLevels = file.mipLevels;
  info.format = file.format;
  info.fileFormat = FileFormat::Dds;
  info.hasAlpha = file.hasAlpha;
  info.isCube = file.faces == 6;
  return kImageOk;
}

ImageResult DecodeDdsSurface(const DdsFile& file, const DdsSurface& surface, Image& decoded,
                             const std::atomic<bool>* keepGoing) {
  if (IsBlockCompressed(file.format)) {
    return DecodeDxtSurface(file.format, surface.data, surface.size, surface.width,
                            surface.height, decoded, keepGoing);
  }
  const uint32_t bytes = file.bitCount / 8;
  if (uint64_t(surface.width) * surface.height * bytes > surface.size) return kImageTruncated;
  ImageResult r = AllocateImage(decoded, surface.width, surface.height);
  if (r != kImageOk) return r;
  const uint8_t* p = surface.data;
  for (uint32_t y = 0; y < surface.height; ++y) {
    if (keepGoing != nullptr && !keepGoing->load()) return kImageCancelled;
    uint32_t* row = decoded.Row(y);
    for (uint32_t x = 0; x < surface.width; ++x, p += bytes) {
      uint32_t v = 0;
      for (uint32_t b = 0; b < bytes; ++b) v |= uint32_t(p[b]) << (8 * b);
      row[x] = UnpackMasked(v, file.layout);
    }
  }
  return kImageOk;
}

}  // namespace imaging
