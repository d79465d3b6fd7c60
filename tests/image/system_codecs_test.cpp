// WebP through libwebp; GIF and TIFF through the system's codecs; files nothing reads.
#include <gtest/gtest.h>
#include <webp/encode.h>
#include <windows.h>

#include <cstdio>

#include "decoder_test_support.h"
#include "image/image_scale.h"
#include "image/webp_decoder.h"
#include "image/wic_decoder.h"
#include "show/picture_decoder.h"

using namespace imaging;

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kTeal = 0xFF3366CC;

Image Halves(uint32_t width, uint32_t height, uint32_t top, uint32_t bottom) {
  Image image;
  AllocateImage(image, width, height);
  for (uint32_t y = 0; y < height; ++y) {
    std::fill_n(image.Row(y), width, y < height / 2 ? top : bottom);
  }
  return image;
}

std::vector<uint8_t> Webp(const Image& image, bool lossless) {
  uint8_t* out = nullptr;
  const auto* bgra = reinterpret_cast<const uint8_t*>(image.texels.data());
  const int w = int(image.width), h = int(image.height);
  const size_t n = lossless ? WebPEncodeLosslessBGRA(bgra, w, h, w * 4, &out)
                            : WebPEncodeBGRA(bgra, w, h, w * 4, 90, &out);
  std::vector<uint8_t> bytes(out, out + n);
  WebPFree(out);
  return bytes;
}

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
}
void Put32(std::vector<uint8_t>& b, uint32_t v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }

// The extended form of a simple WebP file, with an EXIF chunk saying how to turn it upright.
std::vector<uint8_t> WithExif(const std::vector<uint8_t>& simple, uint32_t width,
                              uint32_t height, int orientation) {
  std::vector<uint8_t> chunks = {'V', 'P', '8', 'X'};
  Put32(chunks, 10);
  Put32(chunks, 0x08);  // EXIF present; three reserved bytes
  Put16(chunks, (width - 1) & 0xFFFF); chunks.push_back(uint8_t((width - 1) >> 16));
  Put16(chunks, (height - 1) & 0xFFFF); chunks.push_back(uint8_t((height - 1) >> 16));
  chunks.insert(chunks.end(), simple.begin() + 12, simple.end());
  const std::vector<uint8_t> exif = decoder_test::ExifOrientationPayload(orientation, false);
  chunks.insert(chunks.end(), {'E', 'X', 'I', 'F'});
  Put32(chunks, uint32_t(exif.size()));
  chunks.insert(chunks.end(), exif.begin(), exif.end());
  if (exif.size() & 1) chunks.push_back(0);
  std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
  Put32(file, uint32_t(chunks.size() + 4));
  file.insert(file.end(), {'W', 'E', 'B', 'P'});
  file.insert(file.end(), chunks.begin(), chunks.end());
  return file;
}

// A one-colour GIF whose LZW data stays at 3-bit codes: a clear code before the table grows.
std::vector<uint8_t> Gif(uint16_t width, uint16_t height, uint32_t rgb) {
  std::vector<uint8_t> b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, width); Put16(b, height);
  b.insert(b.end(), {0x80, 0, 0, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 0, 0, 0});
  b.push_back(0x2C);
  Put32(b, 0); Put16(b, width); Put16(b, height);
  b.insert(b.end(), {0, 2});
  std::vector<uint8_t> data;
  uint32_t bits = 0, count = 0;
  auto code = [&](uint32_t c) {
    bits |= c << count;
    for (count += 3; count >= 8; count -= 8, bits >>= 8) data.push_back(uint8_t(bits));
  };
  for (uint32_t i = 0; i < uint32_t(width) * height; i += 2) { code(4); code(0); code(0); }
  code(5);
  if (count > 0) data.push_back(uint8_t(bits));
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    b.push_back(uint8_t(n));
    b.insert(b.end(), data.begin() + at, data.begin() + at + n);
  }
  b.insert(b.end(), {0, 0x3B});
  return b;
}

// An uncompressed RGB TIFF, top half `top` and bottom half `bottom`, with an Orientation tag.
std::vector<uint8_t> Tiff(uint16_t width, uint16_t height, uint32_t top, uint32_t bottom,
                          int orientation) {
  const uint16_t tags[][3] = {{256, 3, width}, {257, 3, height}, {258, 3, 0}, {259, 3, 1},
                              {262, 3, 2}, {273, 4, 0}, {274, 3, uint16_t(orientation)},
                              {277, 3, 3}, {278, 3, height}, {279, 4, 0}};
  const uint32_t ifdSize = 2 + 10 * 12 + 4, samples = 8 + ifdSize, pixels = samples + 6;
  std::vector<uint8_t> b = {'I', 'I', 42, 0};
  Put32(b, 8);
  Put16(b, 10);
  for (const auto& tag : tags) {
    Put16(b, tag[0]); Put16(b, tag[1]);
    Put32(b, tag[0] == 258 ? 3 : 1);
    Put32(b, tag[0] == 258 ? samples : tag[0] == 273 ? pixels
             : tag[0] == 279 ? uint32_t(width) * height * 3 : tag[2]);
  }
  Put32(b, 0);
  for (int i = 0; i < 3; ++i) Put16(b, 8);
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t c = y < height / 2u ? top : bottom;
    for (uint32_t x = 0; x < width; ++x) {
      b.insert(b.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }
  }
  return b;
}

class SystemCodecs : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(SystemCodecs, PicturesOfEveryFamilyComeOutUprightInTheirColours) {
  const Image lossless = Halves(64, 48, kRed, kBlue);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    FileFormat format;
    uint32_t width, height;    // upright
    uint32_t topLeft, bottomLeft;  // upright
  } cases[] = {
      {"gif", Gif(8, 6, 0x3366CC), FileFormat::System, 8, 6, kTeal, kTeal},
      {"tiff", Tiff(6, 4, kRed, kBlue, 1), FileFormat::System, 6, 4, kRed, kBlue},
      {"tiff turned", Tiff(6, 4, kRed, kBlue, 6), FileFormat::System, 4, 6, kBlue, kBlue},
      {"webp lossless", Webp(lossless, true), FileFormat::Webp, 64, 48, kRed, kBlue},
      {"webp turned", WithExif(Webp(lossless, true), 64, 48, 8), FileFormat::Webp, 48, 64, kRed,
       kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SourceInfo probed, info;
    ASSERT_EQ(ProbeAnyPicture(c.bytes.data(), c.bytes.size(), probed), S_OK);
    Image own;
    ASSERT_EQ(DecodeAnyPicture(c.bytes.data(), c.bytes.size(), DecodeOptions(), own, info), S_OK);
    EXPECT_EQ(info.fileFormat, c.format);
    EXPECT_EQ(probed.width, c.width);
    EXPECT_EQ(own.width, c.width);
    EXPECT_EQ(own.height, c.height);
    EXPECT_EQ(own.At(0, 0), c.topLeft);
    EXPECT_EQ(own.At(0, c.height - 1), c.bottomLeft);
  }
}

TEST_F(SystemCodecs, ALargeWebpIsScaledByLibwebpAndTheRestByTheAreaFilter) {
  const std::vector<uint8_t> bytes = Webp(Halves(640, 480, kRed, kBlue), false);
  DecodeOptions options;
  options.width = options.height = 256;
  Image decoded;
  SourceInfo info;
  uint32_t scaledWidth = 0, scaledHeight = 0;
  ASSERT_EQ(DecodeWebp(bytes.data(), bytes.size(), options, decoded, info, &scaledWidth,
                       &scaledHeight),
            S_OK);
  EXPECT_EQ(scaledWidth, 342u);  // 640 x 480 in proportion, 256 high
  EXPECT_EQ(scaledHeight, 256u);
  EXPECT_EQ(info.width, 640u);
  ASSERT_EQ(decoded.width, 256u);
  for (const auto& [y, expected] : {std::pair{10u, kRed}, std::pair{245u, kBlue}}) {
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR(int(decoded.At(128, y) >> shift & 0xFF), int(expected >> shift & 0xFF), 12);
    }
  }
}

TEST_F(SystemCodecs, FilesNothingReadsFailCleanlyOnTheSlideshowsWorkers) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string gif = std::string(folder) + "solvane-codec.gif";
  const std::string noise = std::string(folder) + "solvane-codec.webp";
  std::vector<uint8_t> random(4096);
  for (size_t i = 0; i < random.size(); ++i) random[i] = uint8_t(i * 2654435761u >> 13);
  std::vector<uint8_t> cut = Webp(Halves(64, 48, kRed, kBlue), false);
  cut.resize(cut.size() / 2);
  Image image;
  SourceInfo info;
  for (const auto& bytes : {random, cut}) {
    EXPECT_TRUE(FAILED(DecodeAnyPicture(bytes.data(), bytes.size(), DecodeOptions(), image, info)));
  }
  EXPECT_EQ(DecodeAnyPicture(random.data(), random.size(), DecodeOptions(), image, info),
            WINCODEC_ERR_COMPONENTNOTFOUND);
  const std::vector<uint8_t> gifBytes = Gif(8, 6, 0x3366CC);
  testing_support::WriteFileBytes(gif, std::string(gifBytes.begin(), gifBytes.end()));
  testing_support::WriteFileBytes(noise, std::string(random.begin(), random.end()));
  PictureDecoder decoder;
  ASSERT_TRUE(decoder.Start({DecodeJob{gif, 16, 0}, DecodeJob{noise, 16, 0}}));
  decoder.WaitFinished();
  const std::vector<PictureImage> pictures = decoder.Take();
  ASSERT_EQ(pictures.size(), 2u);
  ASSERT_EQ(pictures[0].image.width, 16u);
  EXPECT_EQ(pictures[0].image.At(8, 8), kTeal);
  EXPECT_EQ(pictures[0].info.Width, 8u);
  EXPECT_TRUE(pictures[1].image.texels.empty());  // an empty frame, as any unreadable picture
  DeleteFileA(gif.c_str());
  DeleteFileA(noise.c_str());
}
