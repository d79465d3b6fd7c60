// Pictures far larger than the texture they become are reduced while they are decoded: an
// 8000 x 8000 picture would be 256 MB of texels, and the heap must never hold that.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <utility>

#include "image/image_decode.h"
#include "fuzz/fuzz_harness.h"

namespace fuzz {
namespace {

constexpr uint32_t kSide = 8000;

void Put(std::string& out, uint32_t value, int bytes, bool bigEndian) {
  for (int i = 0; i < bytes; ++i) {
    out += char(value >> (8 * (bigEndian ? bytes - 1 - i : i)));
  }
}

std::string PngChunk(const char* type, const std::string& data) {
  std::string chunk;
  Put(chunk, uint32_t(data.size()), 4, true);
  chunk += type;
  chunk += data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data() + 4),
                          uInt(chunk.size() - 4));
  Put(chunk, uint32_t(crc), 4, true);
  return chunk;
}

// Stripes in a 1-bit palette: a small file for a huge picture.
std::string StripedPng() {
  std::string raw;
  for (uint32_t y = 0; y < kSide; ++y) {
    raw += '\0';  // no filter
    raw.append(kSide / 8, (y / 3) % 2 ? '\x0F' : '\x33');
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
            reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), Z_BEST_SPEED);
  packed.resize(packedSize);
  std::string header;
  Put(header, kSide, 4, true);
  Put(header, kSide, 4, true);
  header += std::string("\x01\x03\x00\x00\x00", 5);  // 1 bit, palette, not interlaced
  return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) +
         PngChunk("PLTE", "\x20\x40\x60\xE0\xC0\xA0") + PngChunk("IDAT", packed) +
         PngChunk("IEND", "");
}

// RLE8, stored bottom row first: runs of 250 texels, another palette index on every row.
std::string RleBmp() {
  std::string codes;
  for (uint32_t y = 0; y < kSide; ++y) {
    for (uint32_t x = 0; x < kSide; x += 250) codes += {char(250), char(y % 4)};
    codes += std::string(2, '\0');  // end of row
  }
  codes += std::string("\0\1", 2);  // end of picture
  const uint32_t offset = 14 + 40 + 4 * 4;
  std::string bmp = "BM";
  for (uint32_t v : {offset + uint32_t(codes.size()), 0u, offset, 40u, kSide, kSide}) {
    Put(bmp, v, 4, false);
  }
  Put(bmp, 1, 2, false);  // planes
  Put(bmp, 8, 2, false);  // bits per texel
  for (uint32_t v : {1u, uint32_t(codes.size()), 0u, 0u, 4u, 0u}) Put(bmp, v, 4, false);
  bmp += std::string("\x10\x20\x30\0\x40\x50\x60\0\x70\x80\x90\0\xA0\xB0\xC0\0", 16);
  return bmp + codes;
}

// True-colour RLE, stored bottom row first: runs of 128 texels that cross rows.
std::string RleTga() {
  std::string tga(18, '\0');
  tga[2] = 10;
  tga[12] = char(kSide & 0xFF);
  tga[13] = char(kSide >> 8);
  tga[14] = char(kSide & 0xFF);
  tga[15] = char(kSide >> 8);
  tga[16] = 24;
  for (uint32_t i = 0; i < kSide * kSide / 128; ++i) {
    tga += {'\xFF', char(i), char(i >> 8), char(i * 7)};  // a run of 128
  }
  return tga;
}

TEST(HugePictures, AreReducedWhileDecodedNeverHeldWhole) {
  const std::pair<const char*, std::string> pictures[] = {
      {"png", StripedPng()}, {"bmp", RleBmp()}, {"tga", RleTga()}};
  for (const auto& [format, bytes] : pictures) {
    SCOPED_TRACE(format);
    imaging::DecodeOptions options;
    options.width = options.height = 256;
    options.colorKey = 0xFFF0F0F0;
    imaging::Image image;
    imaging::SourceInfo info;
    const uint64_t before = LiveHeapBytes();
    ResetPeakHeap();
    ASSERT_EQ(imaging::DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()),
                                      bytes.size(), options, image, info),
              imaging::kImageOk);
    EXPECT_EQ(info.width, kSide);
    EXPECT_EQ(image.width, 256u);
    // The 256 KB texture, a few rows of 32 KB and the readers' own state.
    EXPECT_LT(PeakHeapBytes() - before, 2u << 20);
  }
}

}  // namespace
}  // namespace fuzz
