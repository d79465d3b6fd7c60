// Resampling, EXIF orientation, colour key, format packing and the texture plan, on pictures
// made in the test.
#include <gtest/gtest.h>

#include <cmath>

#include <zlib.h>

#include "image/bmp_decoder.h"
#include "image/color_key.h"
#include "image/exif_orientation.h"
#include "image/image_decode.h"
#include "image/image_scale.h"
#include "image/jpeg_decoder.h"
#include "image/pixel_formats.h"
#include "image/png_decoder.h"
#include "image/tga_decoder.h"
#include "image/texture_plan.h"
#include "decoder_test_support.h"

using namespace imaging;
using namespace decoder_test;

namespace {

Image Filled(uint32_t w, uint32_t h, uint32_t (*texel)(uint32_t x, uint32_t y)) {
  Image image;
  EXPECT_EQ(AllocateImage(image, w, h), kImageOk);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) image.Row(y)[x] = texel(x, y);
  }
  return image;
}

uint32_t Checker(uint32_t x, uint32_t y) {
  return ((x + y) & 1) ? MakeTexel(255, 255, 255) : MakeTexel(0, 0, 0);
}

uint32_t Noise(uint32_t x, uint32_t y) {
  uint32_t v = x * 73856093u ^ y * 19349663u;
  v ^= v >> 13;
  v *= 0x5bd1e995u;
  return v | 0xFF000000u;
}

TEST(ImageScale, ReductionAveragesEveryCoveredTexel) {
  // One-texel checkerboard reduced by a non-integer factor: any sampling filter would alias into
  // black and white blotches; the area filter gives flat grey.
  const Image checker = Filled(1501, 1000, Checker);
  Image small;
  ASSERT_EQ(ScaleImage(checker, 256, 256, kFilterLinear, small), kImageOk);
  for (uint32_t t : small.texels) {
    ASSERT_NEAR(int((t >> 8) & 0xFF), 128, 3);
    ASSERT_EQ(t >> 24, 0xFFu);
  }
  const Image noise = Filled(97, 61, Noise);
  ASSERT_EQ(ScaleImage(noise, 40, 23, kFilterTriangle, small), kImageOk);
  EXPECT_LE(MaxChannelDifference(small, ReferenceResize(noise, 40, 23)), 1);
}

// A checker of soft squares (a sine across and down) reduced by ratios that are not whole: the
// linear reduction keeps the squares' contrast, which the area filter's wide texels flatten.
TEST(ImageScale, LinearReductionByARatioNotWholeKeepsContrast) {
  auto contrast = [](const Image& image) {  // standard deviation of red
    double sum = 0.0, squares = 0.0;
    for (uint32_t t : image.texels) sum += t >> 16 & 0xFF, squares += std::pow(t >> 16 & 0xFF, 2);
    return std::sqrt(squares / image.texels.size() - std::pow(sum / image.texels.size(), 2));
  };
  struct Case { uint32_t side, period; } cases[] = {{80, 6}, {64, 6}, {40, 12}};  // 1.2, 1.5, 2.4
  for (const Case& c : cases) {
    SCOPED_TRACE(c.side);
    Image checker = Filled(96, 96, Checker), sharp, area;
    for (uint32_t i = 0; i < 96 * 96; ++i) {
      const double w = 6.2832 / c.period, v = std::sin(w * (i % 96)) * std::sin(w * (i / 96));
      checker.texels[i] = MakeTexel(uint8_t(127.5 + 127.0 * v), 0, 0);
    }
    ASSERT_EQ(ScaleImage(checker, c.side, c.side, kFilterLinear, sharp), kImageOk);
    ASSERT_EQ(ScaleImage(checker, c.side, c.side, kFilterTriangle, area), kImageOk);
    EXPECT_GT(contrast(sharp), 1.1 * contrast(area));
  }
}

// Every reader hands its rows to the same sink, which resamples them as they come: the result
// equals the picture decoded whole, keyed and then scaled, to the bit, however the file stores
// its rows (bottom-up, top-down, right to left, runs across rows, interlaced, 16-bit).
TEST(StreamedDecode, EqualsTheWholePictureScaled) {
  const char* const files[] = {
      "png/s39n3p04.png", "png/s35i3p04.png", "png/basn2c16.png", "png/basi6a16.png",
      "png/tbrn2c08.png", "bmp/g/pal8.bmp", "bmp/g/pal8topdown.bmp", "bmp/g/pal4rle.bmp",
      "bmp/g/pal8rle.bmp", "bmp/g/rgb16-565.bmp", "tga/200x32_rgb_bl_rle.tga",
      "tga/200x32_p_tl_rle.tga", "tga/cross_scan_line.tga", "tga/rgb32rle_top_right.tga",
      "tga/200x32_la_bl_raw.tga", "jpeg/testorig.jpg"};
  for (const char* file : files) {
    SCOPED_TRACE(file);
    const auto bytes = ReadBytes(TestDataPath(file));
    Image whole;
    SourceInfo info;
    ASSERT_EQ(DecodeImage(bytes.data(), bytes.size(), DecodeOptions(), whole, info), kImageOk);
    const uint32_t w = whole.width, h = whole.height;
    struct Ask { uint32_t width, height, filter; };
    const Ask asks[] = {{w / 2 + 1, h / 3 + 1, kFilterLinear},
                        {7, 5, kFilterTriangle | kFilterDither},
                        {w, 1, kFilterBox},
                        {1, h, kFilterLinear},
                        {2 * w + 1, h - 1, kFilterLinear | kFilterMirror},  // wider, shorter
                        {w / 3 + 1, h / 2 + 1, kFilterPoint},
                        {w - 1, 2 * h, kFilterBox}};  // rows repeated
    for (const Ask& ask : asks) {
      SCOPED_TRACE(testing::Message() << ask.width << "x" << ask.height << " by " << ask.filter);
      DecodeOptions options;
      options.width = ask.width;
      options.height = ask.height;
      options.filter = ask.filter;
      options.colorKey = whole.At(w / 2, h / 2);  // a colour the picture has
      options.allowDctScaling = false;
      Image streamed, keyed = whole, expected;
      ASSERT_EQ(DecodeImage(bytes.data(), bytes.size(), options, streamed, info), kImageOk);
      ApplyColorKey(keyed.texels.data(), keyed.texels.size(), options.colorKey);
      ASSERT_EQ(ScaleImage(keyed, ask.width, ask.height, ask.filter, expected), kImageOk);
      EXPECT_TRUE(streamed.texels == expected.texels);
    }
  }
}

TEST(StreamedDecode, StopsBetweenRowsWhenAskedTo) {
  const std::atomic<bool> stop{false};
  // Progressive JPEG scans, Adam7 passes and DDS surfaces included: each long step looks too.
  for (const char* file : {"png/basn2c16.png", "png/basi2c16.png", "bmp/g/pal8.bmp",
                           "bmp/g/pal8rle.bmp", "tga/200x32_rgb_bl_rle.tga", "jpeg/testorig.jpg",
                           "jpeg/testimgp.jpg", "dds/argb-32bpp_MipMaps-1.dds",
                           "dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds"}) {
    SCOPED_TRACE(file);
    const auto bytes = ReadBytes(TestDataPath(file));
    DecodeOptions options;
    options.width = options.height = 16;
    options.keepGoing = &stop;
    Image decoded;
    SourceInfo info;
    EXPECT_EQ(DecodeImage(bytes.data(), bytes.size(), options, decoded, info), kImageCancelled);
  }
}

TEST(ImageScale, EnlargementInterpolatesOrRepeats) {
  const Image noise = Filled(16, 9, Noise);
  Image big;
  ASSERT_EQ(ScaleImage(noise, 64, 40, kFilterLinear | kFilterMirror, big), kImageOk);
  EXPECT_LE(MaxChannelDifference(big, ReferenceResize(noise, 64, 40)), 1);
  // Without the mirror flags the edge texels wrap round to the far side, as D3DX filters.
  ASSERT_EQ(ScaleImage(noise, 64, 40, kFilterLinear, big), kImageOk);
  EXPECT_LE(MaxChannelDifference(big, ReferenceResize(noise, 64, 40), 2), 1);
  EXPECT_GT(MaxChannelDifference(big, ReferenceResize(noise, 64, 40)), 1);
  ASSERT_EQ(ScaleImage(noise, 64, 36, kFilterPoint, big), kImageOk);
  EXPECT_EQ(big.At(0, 0), noise.At(0, 0));
  EXPECT_EQ(big.At(63, 35), noise.At(15, 8));
  EXPECT_EQ(big.At(5, 5), noise.At(1, 1));
}

TEST(ImageScale, NoFilterCopiesTheCornerAndClearsTheRest) {
  const Image noise = Filled(10, 10, Noise);
  Image out;
  ASSERT_EQ(ScaleImage(noise, 16, 4, kFilterNone, out), kImageOk);
  EXPECT_EQ(out.At(9, 3), noise.At(9, 3));
  EXPECT_EQ(out.At(10, 0), 0u);
  EXPECT_EQ(ScaleImage(noise, 16, 4, 9, out), kImageBadArgument);
  EXPECT_EQ(ScaleImage(noise, 16, 4, kFilterLinear | 0x100, out), kImageBadArgument);
}

TEST(ImageScale, RefusesAbsurdSizesBeforeAllocating) {
  Image image;
  EXPECT_EQ(AllocateImage(image, 65536, 1), kImageTooLarge);
  EXPECT_EQ(AllocateImage(image, 60000, 60000), kImageTooLarge);
  EXPECT_EQ(AllocateImage(image, 0, 5), kImageInvalid);
  EXPECT_TRUE(image.texels.empty());
}

// A 16x8 picture of four 8x8 blocks (stored layout): red, green / blue, white. Blocks of one
// colour survive JPEG well enough to tell corners apart.
Image Quadrants() {
  return Filled(16, 8, [](uint32_t x, uint32_t y) {
    (void)y;
    return x < 8 ? MakeTexel(255, 0, 0) : MakeTexel(0, 0, 255);
  });
}

// Colour name of a texel: 'r', 'b', or '?' for anything else.
char Tint(uint32_t t) {
  const int r = (t >> 16) & 0xFF, g = (t >> 8) & 0xFF, b = t & 0xFF;
  if (r > 180 && g < 80 && b < 80) return 'r';
  if (b > 180 && r < 80 && g < 80) return 'b';
  return '?';
}

TEST(ExifOrientation, AllEightOrientationsStandUpright) {
  // Stored: red left half, blue right half, 16x8. For each orientation, where red must be once
  // the picture is upright: which corners (top-left, top-right, bottom-left, bottom-right).
  struct Case { int orientation; uint32_t w, h; const char* corners; };
  const Case cases[] = {
      {1, 16, 8, "rbrb"}, {2, 16, 8, "brbr"}, {3, 16, 8, "brbr"}, {4, 16, 8, "rbrb"},
      {5, 8, 16, "rrbb"}, {6, 8, 16, "rrbb"}, {7, 8, 16, "bbrr"}, {8, 8, 16, "bbrr"},
  };
  for (const Case& c : cases) {
    for (bool bigEndian : {false, true}) {
      SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " be " << bigEndian);
      const auto app1 = ExifOrientationPayload(c.orientation, bigEndian);
      const auto jpeg = EncodeJpeg(Quadrants(), 95, &app1);
      EXPECT_EQ(ReadJpegOrientation(jpeg.data(), jpeg.size()), c.orientation);
      Image upright;
      SourceInfo info;
      DecodeOptions options;
      ASSERT_EQ(DecodeImage(jpeg.data(), jpeg.size(), options, upright, info), kImageOk);
      EXPECT_EQ(info.width, c.w);
      EXPECT_EQ(info.height, c.h);
      ASSERT_EQ(upright.width, c.w);
      const std::string corners = {Tint(upright.At(1, 1)), Tint(upright.At(c.w - 2, 1)),
                                   Tint(upright.At(1, c.h - 2)),
                                   Tint(upright.At(c.w - 2, c.h - 2))};
      EXPECT_EQ(corners, c.corners);
    }
  }
}

TEST(ExifOrientation, TurnsTexelsExactly) {
  const Image stored = Filled(3, 2, [](uint32_t x, uint32_t y) { return y * 3 + x + 1; });
  Image out;
  // 1 2 3 / 4 5 6 turned a quarter clockwise is 4 1 / 5 2 / 6 3.
  ASSERT_EQ(ApplyOrientation(stored, 6, out), kImageOk);
  EXPECT_EQ(out.texels, (std::vector<uint32_t>{4, 1, 5, 2, 6, 3}));
  ASSERT_EQ(ApplyOrientation(stored, 8, out), kImageOk);
  EXPECT_EQ(out.texels, (std::vector<uint32_t>{3, 6, 2, 5, 1, 4}));
  ASSERT_EQ(ApplyOrientation(stored, 5, out), kImageOk);
  EXPECT_EQ(out.texels, (std::vector<uint32_t>{1, 4, 2, 5, 3, 6}));
  ASSERT_EQ(ApplyOrientation(stored, 7, out), kImageOk);
  EXPECT_EQ(out.texels, (std::vector<uint32_t>{6, 3, 5, 2, 4, 1}));
  ASSERT_EQ(ApplyOrientation(stored, 3, out), kImageOk);
  EXPECT_EQ(out.texels, (std::vector<uint32_t>{6, 5, 4, 3, 2, 1}));
}

TEST(ExifOrientation, BrokenExifBlocksMeanUpright) {
  auto app1 = ExifOrientationPayload(6, false);
  app1[10] = 0xF0;  // IFD0 offset far past the block
  auto jpeg = EncodeJpeg(Quadrants(), 90, &app1);
  EXPECT_EQ(ReadJpegOrientation(jpeg.data(), jpeg.size()), 1);
  app1 = ExifOrientationPayload(9, true);  // no such orientation
  jpeg = EncodeJpeg(Quadrants(), 90, &app1);
  EXPECT_EQ(ReadJpegOrientation(jpeg.data(), jpeg.size()), 1);
  app1 = ExifOrientationPayload(6, true);
  jpeg = EncodeJpeg(Quadrants(), 90, &app1);
  EXPECT_EQ(ReadJpegOrientation(jpeg.data(), 30), 1);  // segment runs past the data
}

TEST(ExifOrientation, PhotoSetMatchesTheUprightReference) {
  Image reference;
  SourceInfo info;
  DecodeOptions options;
  const auto upright = ReadBytes(TestDataPath("jpeg/hopper.jpg"));
  ASSERT_EQ(DecodeImage(upright.data(), upright.size(), options, reference, info), kImageOk);
  for (int o = 2; o <= 8; ++o) {
    SCOPED_TRACE(o);
    const auto bytes = ReadBytes(TestDataPath("jpeg/hopper_orientation_" + std::to_string(o) + ".jpg"));
    Image turned;
    ASSERT_EQ(DecodeImage(bytes.data(), bytes.size(), options, turned, info), kImageOk);
    // Stored sideways and re-encoded: close, not identical.
    EXPECT_LT(MeanChannelDifference(turned, reference), 6.0);
  }
}

TEST(JpegScaledDecode, UsesTheSmallestDctScaleThatStillCoversTheTarget) {
  EXPECT_EQ(ChooseDctScale(6000, 4000, 256, 256), 1);
  EXPECT_EQ(ChooseDctScale(1600, 1200, 256, 256), 2);   // 1/8 gives 200x150
  EXPECT_EQ(ChooseDctScale(1000, 1000, 256, 256), 3);   // 2/8 gives 250
  EXPECT_EQ(ChooseDctScale(300, 200, 256, 256), 8);
  EXPECT_EQ(ChooseDctScale(4000, 6000, 256, 1024), 2);  // 1/8 gives 750 tall, short of 1024
}

TEST(JpegScaledDecode, ReducedDecodeMatchesFullDecodeThenAreaFilter) {
  const Image source = Filled(1600, 1000, [](uint32_t x, uint32_t y) {
    return MakeTexel((x / 7) % 256, (y / 5) % 256, ((x + y) / 11) % 256);
  });
  const auto jpeg = EncodeJpeg(source, 92);
  Image full, ours;
  ASSERT_TRUE(ReferenceJpeg(jpeg, full));
  SourceInfo info;
  DecodeOptions options;
  options.width = 256;
  options.height = 256;
  int scale = 0;
  ASSERT_EQ(DecodeJpeg(jpeg.data(), jpeg.size(), options, ours, info, &scale), kImageOk);
  EXPECT_EQ(scale, 3);  // 2/8 would give 400x250, short of 256 rows
  EXPECT_EQ(info.width, 1600u);  // the file's own size, not the texture's
  EXPECT_LT(MeanChannelDifference(ours, ReferenceResize(full, 256, 256)), 2.0);
}

TEST(ColorKey, OnlyExactMatchesIncludingAlphaBecomeTransparentBlack) {
  std::vector<uint32_t> texels = {0xFFF0F0F0, 0xFFF0F0F1, 0x7FF0F0F0, 0xFFF0F0F0, 0xFF000000};
  ApplyColorKey(texels.data(), texels.size(), 0xFFF0F0F0);
  EXPECT_EQ(texels, (std::vector<uint32_t>{0, 0xFFF0F0F1, 0x7FF0F0F0, 0, 0xFF000000}));
  ApplyColorKey(texels.data(), texels.size(), 0);  // no key: nothing changes, black stays
  EXPECT_EQ(texels[4], 0xFF000000u);
}

TEST(ColorKey, KeyIsAppliedBeforeFiltering) {
  // A keyed 2x2 block reduced to one texel gives a quarter-opaque average, never the key colour.
  Image source = Filled(2, 2, [](uint32_t x, uint32_t y) {
    return x == 0 && y == 0 ? MakeTexel(200, 100, 40) : MakeTexel(240, 240, 240);
  });
  Image finished;
  DecodeOptions options;
  options.width = options.height = 1;
  options.colorKey = 0xFFF0F0F0;
  ASSERT_EQ(FinishImage(source, options, finished), kImageOk);
  EXPECT_EQ(finished.At(0, 0), MakeTexel(50, 25, 10, 64));
}

TEST(PixelFormats, PackingKeepsChannelsInTheirPlaces) {
  const uint32_t texels[2] = {0x80FF8000u, 0xFF0000FFu};
  uint8_t out[8] = {};
  PackRow(texels, 2, 0, PixelFormat::R5G6B5, false, out);
  EXPECT_EQ(out[0] | (out[1] << 8), (31 << 11) | (32 << 5) | 0);
  EXPECT_EQ(out[2] | (out[3] << 8), 31);
  PackRow(texels, 2, 0, PixelFormat::A1R5G5B5, false, out);
  EXPECT_EQ(out[0] | (out[1] << 8), 0x8000 | (31 << 10) | (16 << 5));
  PackRow(texels, 2, 0, PixelFormat::A4R4G4B4, false, out);
  EXPECT_EQ(out[0] | (out[1] << 8), (8 << 12) | (15 << 8) | (8 << 4));
  PackRow(texels, 2, 0, PixelFormat::X8R8G8B8, false, out);
  EXPECT_EQ(out[3], 0xFF);
  // Dithering a flat mid colour into 5 bits mixes neighbouring levels instead of one band.
  std::vector<uint32_t> flat(16, MakeTexel(100, 100, 100));
  std::vector<uint8_t> packed(32);
  PackRow(flat.data(), 16, 0, PixelFormat::R5G6B5, true, packed.data());
  bool mixed = false;
  for (int i = 1; i < 16; ++i) mixed |= packed[2 * i] != packed[0] || packed[2 * i + 1] != packed[1];
  EXPECT_TRUE(mixed);
}

TEST(TexturePlan, SizesFollowTheRequestTheSourceAndTheDevice) {
  TextureLimits free;
  TextureLimits pow2;
  pow2.powerOfTwo = true;
  auto size = ChooseTextureSize(256, 256, 6000, 4000, free);
  EXPECT_EQ(size.width, 256u);
  EXPECT_EQ(size.height, 256u);
  size = ChooseTextureSize(kDefaultValue, 0, 227, 149, free);
  EXPECT_EQ(size.width, 227u);
  EXPECT_EQ(size.height, 149u);
  size = ChooseTextureSize(kDefaultValue, kDefaultValue, 227, 149, pow2);
  EXPECT_EQ(size.width, 256u);
  EXPECT_EQ(size.height, 256u);
  pow2.maxWidth = pow2.maxHeight = 2048;
  size = ChooseTextureSize(kDefaultValue, kDefaultValue, 6000, 1000, pow2);
  EXPECT_EQ(size.width, 2048u);
  EXPECT_EQ(size.height, 256u);
  TextureLimits square;
  square.squareOnly = true;
  size = ChooseTextureSize(64, 16, 1, 1, square);
  EXPECT_EQ(size.width, 64u);
  EXPECT_EQ(size.height, 64u);
}

TEST(TexturePlan, FullMipChainRunsDownToOneByOne) {
  EXPECT_EQ(FullMipChainLength(256, 256), 9u);
  EXPECT_EQ(FullMipChainLength(256, 16), 9u);
  EXPECT_EQ(FullMipChainLength(227, 149), 8u);
  EXPECT_EQ(FullMipChainLength(1, 1), 1u);
  EXPECT_EQ(ChooseMipLevels(kDefaultValue, 256, 256), 9u);
  EXPECT_EQ(ChooseMipLevels(0, 256, 256), 9u);
  EXPECT_EQ(ChooseMipLevels(1, 256, 256), 1u);
  EXPECT_EQ(ChooseMipLevels(20, 4, 4), 3u);
}

TEST(TexturePlan, ColourKeyOrSourceAlphaAsksForAlphaFirst) {
  EXPECT_EQ(FormatCandidates(PixelFormat::Unknown, false, 0xFFF0F0F0).front(), PixelFormat::A8R8G8B8);
  EXPECT_EQ(FormatCandidates(PixelFormat::Unknown, true, 0).front(), PixelFormat::A8R8G8B8);
  const auto opaque = FormatCandidates(PixelFormat::Unknown, false, 0);
  EXPECT_EQ(opaque[0], PixelFormat::X8R8G8B8);
  EXPECT_EQ(opaque[1], PixelFormat::R5G6B5);
  const auto asked = FormatCandidates(PixelFormat::R5G6B5, true, 0);
  EXPECT_EQ(asked[0], PixelFormat::R5G6B5);
  EXPECT_EQ(asked[1], PixelFormat::X8R8G8B8);
  // Block-compressed formats cannot be written from texels: never offered for conversion.
  for (PixelFormat f : FormatCandidates(PixelFormat::DXT1, false, 0)) EXPECT_NE(BytesPerTexel(f), 0u);
}

// Headers that promise far more picture than the file could hold: refused before any
// allocation of that size (a 64K x 64K promise must not cost gigabytes), and quickly.
TEST(LyingHeaders, HugePromisesInSmallFilesAreRefused) {
  Image image;
  SourceInfo info;
  DecodeOptions options;
  // JPEG: patch the frame header of a small file to claim 8000 x 8000, then 65000 x 65000.
  auto jpeg = EncodeJpeg(Quadrants(), 90);
  size_t sof = 2;
  while (sof + 9 < jpeg.size() && !(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, jpeg.size());
  jpeg[sof + 5] = 8000 >> 8;
  jpeg[sof + 6] = 8000 & 0xFF;
  jpeg[sof + 7] = 8000 >> 8;
  jpeg[sof + 8] = 8000 & 0xFF;
  EXPECT_EQ(DecodeImage(jpeg.data(), jpeg.size(), options, image, info), kImageTruncated);
  jpeg[sof + 5] = jpeg[sof + 7] = 0xFD;
  EXPECT_EQ(DecodeImage(jpeg.data(), jpeg.size(), options, image, info), kImageTooLarge);
  EXPECT_TRUE(image.texels.empty());

  // PNG: an IHDR (with a correct CRC) claiming 9000 x 7000 over a few bytes of IDAT.
  auto png = ReadBytes(TestDataPath("png/basn2c08.png"));
  auto put32 = [&](size_t o, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[o + i] = uint8_t(v >> (24 - 8 * i));
  };
  put32(16, 9000);
  put32(20, 7000);
  put32(29, uint32_t(crc32(0, png.data() + 12, 17)));
  EXPECT_EQ(DecodePng(png.data(), png.size(), image, info), kImageTruncated);

  // BMP RLE8 and TGA RLE claiming 30000 x 2000 from a handful of bytes.
  std::vector<uint8_t> bmp = EncodeBmp24(Quadrants());
  bmp.resize(54 + 1024 + 8);
  auto le32 = [&](size_t o, uint32_t v) { for (int i = 0; i < 4; ++i) bmp[o + i] = uint8_t(v >> (8 * i)); };
  le32(10, 54 + 1024);
  le32(18, 30000);
  le32(22, 2000);
  bmp[28] = 8;
  le32(30, 1);  // RLE8
  EXPECT_EQ(DecodeBmp(bmp.data(), bmp.size(), image, info), kImageTruncated);
  std::vector<uint8_t> tga(18 + 8, 0);
  tga[2] = 10;  // RLE true colour
  tga[12] = 30000 & 0xFF;
  tga[13] = 30000 >> 8;
  tga[14] = 2000 & 0xFF;
  tga[15] = 2000 >> 8;
  tga[16] = 24;
  EXPECT_EQ(DecodeTga(tga.data(), tga.size(), image, info), kImageTruncated);
  EXPECT_TRUE(image.texels.empty());
}

}  // namespace
