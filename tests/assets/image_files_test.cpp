// The BMP, DDS and JPEG encoders: header fields, and decoding by the image library the saver
// uses.
#include <gtest/gtest.h>

#include <cstring>

#include "assets/image_files.h"
#include "image/bmp_decoder.h"
#include "image/dds_reader.h"
#include "image/jpeg_decoder.h"

namespace assets {
namespace {

uint32_t U32(const std::string& s, size_t at) {
  uint32_t v;
  std::memcpy(&v, s.data() + at, 4);
  return v;
}
uint16_t U16(const std::string& s, size_t at) {
  uint16_t v;
  std::memcpy(&v, s.data() + at, 2);
  return v;
}
const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::vector<uint8_t> TestPattern(int w, int h) {
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<uint8_t>(x * 40);
      p[1] = static_cast<uint8_t>(y * 30);
      p[2] = static_cast<uint8_t>(200 - x - y);
    }
  return rgb;
}

TEST(BmpEncoderTest, HeaderAndPaddedBottomUpRows) {
  const int w = 5, h = 3;  // 15 bytes a row, padded to 16
  std::string bmp = EncodeBmp24(w, h, TestPattern(w, h));
  ASSERT_EQ(bmp.size(), 54u + 16u * h);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 10), 54u);
  EXPECT_EQ(U32(bmp, 14), 40u);
  EXPECT_EQ(U32(bmp, 18), static_cast<uint32_t>(w));
  EXPECT_EQ(U32(bmp, 22), static_cast<uint32_t>(h));
  EXPECT_EQ(U16(bmp, 28), 24u);
  EXPECT_EQ(U32(bmp, 30), 0u);
  // The first stored row is the bottom one, in B, G, R order.
  EXPECT_EQ(static_cast<uint8_t>(bmp[54]), 200 - 0 - 2);
  EXPECT_EQ(static_cast<uint8_t>(bmp[55]), 2 * 30);

  imaging::Image image;
  imaging::SourceInfo info;
  ASSERT_EQ(imaging::DecodeBmp(Bytes(bmp), bmp.size(), image, info), imaging::kImageOk);
  ASSERT_EQ(image.width, 5u);
  ASSERT_EQ(image.height, 3u);
  EXPECT_EQ(image.At(4, 0) & 0xffffff, imaging::MakeTexel(160, 0, 196) & 0xffffff);
  EXPECT_EQ(image.At(1, 2) & 0xffffff, imaging::MakeTexel(40, 60, 197) & 0xffffff);
}

std::array<std::vector<uint32_t>, 6> Faces(int size) {
  std::array<std::vector<uint32_t>, 6> faces;
  for (int f = 0; f < 6; ++f) {
    faces[f].resize(static_cast<size_t>(size) * size);
    for (int i = 0; i < size * size; ++i)
      faces[f][i] = 0xff000000u | (static_cast<uint32_t>(f * 40) << 16) | (static_cast<uint32_t>(i % 7) * 30);
  }
  return faces;
}

TEST(DdsEncoderTest, CubeMapHeaderWithFullMipChain) {
  EXPECT_EQ(MipLevelCount(128), 8);
  EXPECT_EQ(MipLevelCount(1), 1);
  const int size = 16;
  std::string dds = EncodeCubeMapDds(size, Faces(size));
  const size_t chain = (256 + 64 + 16 + 4 + 1) * 4;
  ASSERT_EQ(dds.size(), 128u + 6 * chain);
  EXPECT_EQ(dds.substr(0, 4), "DDS ");
  EXPECT_EQ(U32(dds, 4), 124u);
  const uint32_t flags = U32(dds, 8);
  for (uint32_t bit : {0x1u, 0x2u, 0x4u, 0x1000u, 0x20000u}) EXPECT_TRUE(flags & bit) << bit;
  EXPECT_EQ(U32(dds, 12), 16u);
  EXPECT_EQ(U32(dds, 16), 16u);
  EXPECT_EQ(U32(dds, 28), 5u);      // mip levels 16 .. 1
  EXPECT_EQ(U32(dds, 76), 32u);     // pixel format size
  EXPECT_EQ(U32(dds, 88), 32u);     // bits per pixel
  EXPECT_EQ(U32(dds, 92), 0x00ff0000u);
  EXPECT_EQ(U32(dds, 104), 0xff000000u);
  EXPECT_EQ(U32(dds, 108), 0x401008u);  // complex, texture, mipmap
  EXPECT_EQ(U32(dds, 112), 0xfe00u);    // cube map with all six faces

  imaging::DdsFile file;
  ASSERT_EQ(imaging::ReadDds(Bytes(dds), dds.size(), file), imaging::kImageOk);
  EXPECT_EQ(file.faces, 6u);
  EXPECT_EQ(file.mipLevels, 5u);
  EXPECT_EQ(file.format, imaging::PixelFormat::A8R8G8B8);
  // Face 2's second level is the 2x2 average of its top level.
  imaging::Image top, half;
  ASSERT_EQ(imaging::DecodeDdsSurface(file, file.surfaces[2 * 5], top), imaging::kImageOk);
  ASSERT_EQ(imaging::DecodeDdsSurface(file, file.surfaces[2 * 5 + 1], half), imaging::kImageOk);
  ASSERT_EQ(half.width, 8u);
  uint32_t sum = 0;
  for (uint32_t t : {top.At(2, 2), top.At(3, 2), top.At(2, 3), top.At(3, 3)}) sum += t & 0xff;
  EXPECT_EQ(half.At(1, 1) & 0xff, (sum + 2) / 4);
  EXPECT_EQ((half.At(1, 1) >> 16) & 0xff, 80u);
  imaging::Image last;
  ASSERT_EQ(imaging::DecodeDdsSurface(file, file.surfaces[6 * 5 - 1], last), imaging::kImageOk);
  EXPECT_EQ(last.width, 1u);
  EXPECT_EQ(last.At(0, 0) >> 24, 0xffu);
}

TEST(JpegEncoderTest, SizeQualityAndDeterminism) {
  const int w = 120, h = 70;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<uint8_t>(x * 2), p[1] = static_cast<uint8_t>(y * 3), p[2] = 90;
    }
  std::string a = EncodeJpeg(w, h, rgb, 90), b = EncodeJpeg(w, h, rgb, 90);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
  imaging::SourceInfo info;
  ASSERT_EQ(imaging::ReadJpegInfo(Bytes(a), a.size(), info), imaging::kImageOk);
  EXPECT_EQ(info.width, 120u);
  EXPECT_EQ(info.height, 70u);
  imaging::Image image;
  imaging::DecodeOptions options;
  options.allowDctScaling = false;
  ASSERT_EQ(imaging::DecodeJpeg(Bytes(a), a.size(), options, image, info), imaging::kImageOk);
  // Quality 90 keeps a smooth ramp within a few levels.
  uint32_t t = image.At(60, 35);
  EXPECT_NEAR(static_cast<int>((t >> 16) & 0xff), 120, 6);
  EXPECT_NEAR(static_cast<int>((t >> 8) & 0xff), 105, 6);
  EXPECT_NEAR(static_cast<int>(t & 0xff), 90, 6);
}

TEST(JpegEncoderTest, RefusesMismatchedInput) {
  EXPECT_TRUE(EncodeJpeg(10, 10, std::vector<uint8_t>(10), 90).empty());
  EXPECT_TRUE(EncodeJpeg(0, 10, std::vector<uint8_t>(), 90).empty());
}

}  // namespace
}  // namespace assets
