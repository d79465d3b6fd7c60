// Every file of the shared conformance sets: good files decode like a reference decoder, bad
// files fail with an error code (a crash or an exit would end the whole test program).
#include <gtest/gtest.h>

#include "image/bmp_decoder.h"
#include "image/dds_reader.h"
#include "image/image_decode.h"
#include "image/jpeg_decoder.h"
#include "image/png_decoder.h"
#include "image/tga_decoder.h"
#include "decoder_test_support.h"

using namespace imaging;
using namespace decoder_test;

namespace {

ImageResult DecodeFile(const std::string& relative, Image& image, SourceInfo& info) {
  const std::vector<uint8_t> bytes = ReadBytes(TestDataPath(relative));
  DecodeOptions options;
  return DecodeImage(bytes.data(), bytes.size(), options, image, info);
}

TEST(PngConformance, EveryValidSuiteFileMatchesLibpngsOwnRead) {
  const auto names = ListFiles("png", "*.png");
  ASSERT_GT(names.size(), 170u);
  int valid = 0;
  for (const std::string& name : names) {
    if (name[0] == 'x') continue;
    SCOPED_TRACE(name);
    const auto bytes = ReadBytes(TestDataPath("png/" + name));
    Image ours, reference;
    SourceInfo info;
    ASSERT_EQ(DecodePng(bytes.data(), bytes.size(), ours, info), kImageOk);
    ASSERT_TRUE(ReferencePng(bytes, reference));
    // libpng's strip and our rounding of 16-bit samples differ by at most one step.
    EXPECT_LE(MaxChannelDifference(ours, reference), 1);
    EXPECT_EQ(info.width, reference.width);
    EXPECT_EQ(info.fileFormat, FileFormat::Png);
    ++valid;
  }
  EXPECT_EQ(valid, 161);
}

TEST(PngConformance, CorruptSuiteFilesFailCleanly) {
  for (const std::string& name : ListFiles("png", "x*.png")) {
    SCOPED_TRACE(name);
    Image image;
    SourceInfo info;
    const ImageResult r = DecodeFile("png/" + name, image, info);
    EXPECT_NE(r, kImageOk);
    EXPECT_TRUE(image.texels.empty());
  }
}

TEST(PngConformance, TransparencyAndAlphaAreReported) {
  Image image;
  SourceInfo info;
  ASSERT_EQ(DecodeFile("png/tbrn2c08.png", image, info), kImageOk);  // RGB with tRNS
  EXPECT_TRUE(info.hasAlpha);
  ASSERT_EQ(DecodeFile("png/basn2c08.png", image, info), kImageOk);
  EXPECT_FALSE(info.hasAlpha);
  EXPECT_EQ(image.At(0, 0) >> 24, 0xFFu);
}

TEST(JpegConformance, CodingProcessesDecodeLikeLibjpeg) {
  for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgfst100.jpg", "testimgp.jpg",
                           "testimgari.jpg", "testimggray.jpg", "testimgcrop.jpg", "hopper.jpg"}) {
    SCOPED_TRACE(name);
    const auto bytes = ReadBytes(TestDataPath(std::string("jpeg/") + name));
    Image ours, reference;
    SourceInfo info;
    DecodeOptions options;
    ASSERT_EQ(DecodeJpeg(bytes.data(), bytes.size(), options, ours, info), kImageOk);
    ASSERT_TRUE(ReferenceJpeg(bytes, reference));
    EXPECT_LE(MaxChannelDifference(ours, reference), 0);
    EXPECT_EQ(info.fileFormat, FileFormat::Jpg);
  }
}

TEST(JpegConformance, ProgressiveFileGivesTheSamePixelsAsItsBaselineTwin) {
  Image progressive, baseline;
  SourceInfo info;
  ASSERT_EQ(DecodeFile("jpeg/testimgp.jpg", progressive, info), kImageOk);
  ASSERT_EQ(DecodeFile("jpeg/testimgint.jpg", baseline, info), kImageOk);
  EXPECT_EQ(progressive.texels, baseline.texels);
  EXPECT_EQ(info.width, 227u);
  EXPECT_EQ(info.height, 149u);
}

TEST(JpegConformance, GreyscaleAndCmykComeOutAsColourTexels) {
  Image grey, cmyk;
  SourceInfo info;
  ASSERT_EQ(DecodeFile("jpeg/testimggray.jpg", grey, info), kImageOk);
  EXPECT_EQ(info.format, PixelFormat::L8);
  const uint32_t t = grey.At(100, 70);
  EXPECT_EQ((t >> 16) & 0xFF, t & 0xFF);
  ASSERT_EQ(DecodeFile("jpeg/pil_sample_cmyk.jpg", cmyk, info), kImageOk);
  EXPECT_EQ(cmyk.width, 100u);
  // Its top-left corner is printed with magenta and yellow ink only, so it shows red; read
  // without Adobe's inversion it would come out cyan.
  const uint32_t corner = cmyk.At(0, 0);
  EXPECT_GT((corner >> 16) & 0xFF, 200u);
  EXPECT_LT((corner >> 8) & 0xFF, 60u);
  EXPECT_LT(corner & 0xFF, 60u);
}

TEST(JpegConformance, UnsupportedAndCorruptFilesFailWithDistinctCodes) {
  Image image;
  SourceInfo info;
  EXPECT_EQ(DecodeFile("jpeg/testorig12.jpg", image, info), kImageUnsupported);
  EXPECT_EQ(DecodeFile("jpeg/truncated_jpeg.jpg", image, info), kImageTruncated);
  auto bytes = ReadBytes(TestDataPath("jpeg/testorig.jpg"));
  bytes.resize(bytes.size() / 2);
  DecodeOptions options;
  EXPECT_EQ(DecodeJpeg(bytes.data(), bytes.size(), options, image, info), kImageTruncated);
  bytes.resize(300);  // inside the tables, before the frame header
  EXPECT_NE(DecodeJpeg(bytes.data(), bytes.size(), options, image, info), kImageOk);
  const uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0xD9, 0x00, 0x00};  // ends before any frame
  EXPECT_EQ(DecodeJpeg(junk, sizeof(junk), options, image, info), kImageInvalid);
}

TEST(BmpConformance, UncompressedGoodFilesMatchAPlainReader) {
  int checked = 0;
  for (const std::string& name : ListFiles("bmp/g", "*.bmp")) {
    const auto bytes = ReadBytes(TestDataPath("bmp/g/" + name));
    Image reference;
    if (!ReferenceBmp(bytes, reference)) continue;
    SCOPED_TRACE(name);
    Image ours;
    SourceInfo info;
    ASSERT_EQ(DecodeBmp(bytes.data(), bytes.size(), ours, info), kImageOk);
    EXPECT_EQ(MaxChannelDifference(ours, reference), 0);
    ++checked;
  }
  EXPECT_GE(checked, 15);
}

TEST(BmpConformance, EncodedVariantsMatchTheirPlainTwins) {
  struct Pair { const char* file; const char* twin; int tolerance; };
  const Pair pairs[] = {
      {"pal4rle.bmp", "pal4.bmp", 0},      {"pal8rle.bmp", "pal8.bmp", 0},
      {"pal8os2.bmp", "pal8.bmp", 0},      {"pal8topdown.bmp", "pal8.bmp", 0},
      {"pal8v4.bmp", "pal8.bmp", 0},       {"pal8v5.bmp", "pal8.bmp", 0},
      {"rgb32bf.bmp", "rgb24.bmp", 0},     {"rgb32bfdef.bmp", "rgb24.bmp", 0},
      {"rgb16.bmp", "rgb24.bmp", 8},       {"rgb16bfdef.bmp", "rgb24.bmp", 8},
      {"rgb16-565.bmp", "rgb24.bmp", 8},   {"rgb16-565pal.bmp", "rgb24.bmp", 8},
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.file);
    Image a, b;
    SourceInfo info;
    ASSERT_EQ(DecodeFile(std::string("bmp/g/") + p.file, a, info), kImageOk);
    ASSERT_EQ(DecodeFile(std::string("bmp/g/") + p.twin, b, info), kImageOk);
    EXPECT_LE(MaxChannelDifference(a, b), p.tolerance);
  }
}

TEST(BmpConformance, BadFilesFailAndQuestionableOnesDoNotCrash) {
  int failed = 0;
  const auto bad = ListFiles("bmp/b", "*.bmp");
  for (const std::string& name : bad) {
    SCOPED_TRACE(name);
    Image image;
    SourceInfo info;
    if (DecodeFile("bmp/b/" + name, image, info) != kImageOk) {
      ++failed;
    } else {
      EXPECT_LE(uint64_t(image.width) * image.height, 1u << 20);
    }
  }
  // Only the "unreasonable but readable" files may give a picture: odd densities, size fields
  // we never rely on, an index past the palette, an 8-8-0 bitfield.
  EXPECT_GE(failed, int(bad.size()) - 6);
  for (const char* name : {"badrle.bmp", "badrle4.bmp", "badrle4bis.bmp", "badrle4ter.bmp",
                           "badrlebis.bmp", "badrleter.bmp", "badpalettesize.bmp",
                           "badheadersize.bmp", "badbitcount.bmp", "badplanes.bmp",
                           "badwidth.bmp", "rletopdown.bmp"}) {
    SCOPED_TRACE(name);
    Image image;
    SourceInfo info;
    EXPECT_EQ(DecodeFile(std::string("bmp/b/") + name, image, info), kImageInvalid);
  }
  for (const char* folder : {"bmp/q", "bmp/x"}) {
    for (const std::string& name : ListFiles(folder, "*.bmp")) {
      Image image;
      SourceInfo info;
      DecodeFile(std::string(folder) + "/" + name, image, info);
    }
  }
  Image image;
  SourceInfo info;
  EXPECT_EQ(DecodeFile("bmp/b/reallybig.bmp", image, info), kImageTooLarge);
  EXPECT_EQ(DecodeFile("bmp/b/shortfile.bmp", image, info), kImageTruncated);
}

TEST(TgaConformance, OriginsAndEncodingsGiveTheSamePictureAsThePng) {
  for (const char* kind : {"l", "la", "p", "rgb", "rgba"}) {
    SCOPED_TRACE(kind);
    Image expected;
    SourceInfo info;
    const auto png = ReadBytes(TestDataPath(std::string("tga/200x32_") + kind + ".png"));
    ASSERT_TRUE(ReferencePng(png, expected));
    for (const char* variant : {"bl_raw", "bl_rle", "tl_raw", "tl_rle"}) {
      SCOPED_TRACE(variant);
      Image ours;
      ASSERT_EQ(DecodeFile(std::string("tga/200x32_") + kind + "_" + variant + ".tga", ours, info),
                kImageOk);
      EXPECT_EQ(info.fileFormat, FileFormat::Tga);
      EXPECT_EQ(MaxChannelDifference(ours, expected), 0);
    }
  }
}

TEST(TgaConformance, OddFilesLoadAndTruncatedOnesFail) {
  Image a, b;
  SourceInfo info;
  for (const char* name : {"cross_scan_line.tga", "rgb32rle.tga", "rgb32rle_top_right.tga",
                           "rgba16.tga", "tga_id_field.tga", "1x1_l_bl_rle.tga"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(DecodeFile(std::string("tga/") + name, a, info), kImageOk);
  }
  EXPECT_EQ(DecodeFile("tga/cross_scan_line_truncated.tga", a, info), kImageTruncated);
  // The same packets read as RLE crossing rows or as rows of their own differ; the crossing
  // file decodes to its PNG twin only when packets carry over.
  ASSERT_EQ(DecodeFile("tga/200x32_rgb_bl_rle.tga", a, info), kImageOk);
  EXPECT_EQ(a.width, 200u);
}

TEST(DdsConformance, Direct3D8FormatsLoadAndOthersFailQuickly) {
  for (const char* name : {"argb-32bpp_MipMaps-1.dds", "bgr15.dds", "dxt1-rgb-4bbp-noalpha_MipMaps-1.dds",
                           "dxt3-argb-8bbp-explicitalpha_MipMaps-1.dds",
                           "dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds", "hopper.dds",
                           "uncompressed_rgb.dds", "uncompressed_l.dds"}) {
    SCOPED_TRACE(name);
    Image image;
    SourceInfo info;
    EXPECT_EQ(DecodeFile(std::string("dds/") + name, image, info), kImageOk);
    EXPECT_EQ(info.fileFormat, FileFormat::Dds);
  }
  for (const std::string& name : {std::string("palette.dds"),
                                  std::string("unimplemented_pixel_format.dds"),
                                  std::string("unsupported_bitcount.dds"),
                                  std::string("zero_mask_totals.dds")}) {
    SCOPED_TRACE(name);
    Image image;
    SourceInfo info;
    EXPECT_NE(DecodeFile("dds/" + name, image, info), kImageOk);
  }
  for (const std::string& name : ListFiles("dds", "timeout-*.dds")) {
    Image image;
    SourceInfo info;
    DecodeFile("dds/" + name, image, info);
  }
}

TEST(DdsConformance, MipChainsAndFormatsAreReported) {
  DdsFile file;
  const auto argb = ReadBytes(TestDataPath("dds/argb-32bpp_MipMaps-1.dds"));
  ASSERT_EQ(ReadDds(argb.data(), argb.size(), file), kImageOk);  // R8G8B8A8 behind a DX10 header
  EXPECT_EQ(file.format, PixelFormat::A8R8G8B8);
  const auto bytes = ReadBytes(TestDataPath("dds/hopper.dds"));
  ASSERT_EQ(ReadDds(bytes.data(), bytes.size(), file), kImageOk);
  EXPECT_EQ(file.mipLevels, 8u);
  EXPECT_EQ(file.surfaces.size(), 8u);
  EXPECT_EQ(file.surfaces.back().width, 1u);
  EXPECT_EQ(file.surfaces.back().height, 1u);
  const auto dxt = ReadBytes(TestDataPath("dds/dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds"));
  ASSERT_EQ(ReadDds(dxt.data(), dxt.size(), file), kImageOk);
  EXPECT_EQ(file.format, PixelFormat::DXT5);
  // Cutting the last mip level off must be noticed.
  EXPECT_EQ(ReadDds(dxt.data(), dxt.size() - 1, file), kImageTruncated);
}

}  // namespace
