// A decoded picture as the texture loaders pass it around: 32-bit texels 0xAARRGGBB (the
// Direct3D colour layout, so a texel compares directly with a colour key), rows top-down.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// Results of the image code, HRESULT values so the Direct3D glue can return them as they are.
using ImageResult = int32_t;
constexpr ImageResult kImageOk = 0;
// The file is not a picture we know, or its header contradicts itself (D3DXERR_INVALIDDATA).
constexpr ImageResult kImageInvalid = static_cast<int32_t>(0x88760B59u);
// A valid file in a variant we do not decode (12-bit JPEG, DX10 DDS, ...): ERROR_NOT_SUPPORTED.
constexpr ImageResult kImageUnsupported = static_cast<int32_t>(0x80070032u);
// The data ends before the header says it should: ERROR_HANDLE_EOF.
constexpr ImageResult kImageTruncated = static_cast<int32_t>(0x80070026u);
// Dimensions beyond what we are willing to allocate: ERROR_ARITHMETIC_OVERFLOW.
constexpr ImageResult kImageTooLarge = static_cast<int32_t>(0x80070216u);
// E_OUTOFMEMORY.
constexpr ImageResult kImageOutOfMemory = static_cast<int32_t>(0x8007000Eu);
// E_ABORT: the caller asked the decode to stop before it was done.
constexpr ImageResult kImageCancelled = static_cast<int32_t>(0x80004004u);
// E_INVALIDARG, for calls with impossible arguments.
constexpr ImageResult kImageBadArgument = static_cast<int32_t>(0x80070057u);

// Limits checked before any allocation that a header's dimensions decide.
constexpr uint32_t kMaxImageSide = 65535;
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 26;  // 64 M texels, 256 MB decoded

// Formats, numbered as D3DFORMAT so the glue can cast; the pure code needs no Direct3D header.
enum class PixelFormat : uint32_t {
  Unknown = 0,
  R8G8B8 = 20,
  A8R8G8B8 = 21,
  X8R8G8B8 = 22,
  R5G6B5 = 23,
  X1R5G5B5 = 24,
  A1R5G5B5 = 25,
  A4R4G4B4 = 26,
  A8 = 28,
  X4R4G4B4 = 30,
  P8 = 41,
  L8 = 50,
  A8L8 = 51,
  DXT1 = 0x31545844,  // MAKEFOURCC('D','X','T','1')
  DXT2 = 0x32545844,
  DXT3 = 0x33545844,
  DXT4 = 0x34545844,
  DXT5 = 0x35545844,
};

// Numbered as D3DXIMAGE_FILEFORMAT; the formats D3DX never read are numbered well past its own.
enum class FileFormat : uint32_t {
  Bmp = 0,
  Jpg = 1,
  Tga = 2,
  Png = 3,
  Dds = 4,
  Webp = 0x100,
  System = 0x101,  // read by the system's codecs (WIC)
};

struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> texels;  // width * height, row-major, top row first

  uint32_t* Row(uint32_t y) { return texels.data() + size_t(y) * width; }
  const uint32_t* Row(uint32_t y) const { return texels.data() + size_t(y) * width; }
  uint32_t At(uint32_t x, uint32_t y) const { return texels[size_t(y) * width + x]; }
};

// Allocates width x height texels, refusing sizes beyond the limits above.
ImageResult AllocateImage(Image& image, uint32_t width, uint32_t height);

// What a decoder learnt about the source file, before or while decoding it.
struct SourceInfo {
  uint32_t width = 0;   // as displayed (after EXIF orientation)
  uint32_t height = 0;
  uint32_t mipLevels = 1;
  PixelFormat format = PixelFormat::Unknown;
  FileFormat fileFormat = FileFormat::Bmp;
  bool hasAlpha = false;  // the texels carry alpha that is not all opaque by construction
  bool isCube = false;
};

// What a caller wants from a decode: the upright size (0 = the source's own), the filter that
// gets it there, and the colour key (0 = none) applied to source texels before filtering.
struct DecodeOptions {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t filter = 3;  // linear
  uint32_t colorKey = 0;
  bool allowDctScaling = true;  // JPEG: decode at a reduced DCT scale when that is enough
  // Checked between rows: false asks the decode to stop (kImageCancelled). Null: run to the end.
  const std::atomic<bool>* keepGoing = nullptr;
};

inline uint32_t MakeTexel(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace imaging
