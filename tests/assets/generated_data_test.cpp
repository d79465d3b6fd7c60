// The whole data tree, generated into a scratch folder and read back with the program's own
// readers; the build's copy must be byte for byte the same (the generator is deterministic).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assets/generate_data.h"
#include "assets/pictures.h"
#include "assets/themes.h"
#include "image/bmp_decoder.h"
#include "image/dds_reader.h"
#include "image/jpeg_decoder.h"
#include "show/theme_file.h"
#include "support/test_support.h"

namespace assets {
namespace {

using testing_support::ReadFileBytes;

std::vector<std::string> ExpectedFiles() {
  std::vector<std::string> files = {"objects/object2n.x", "objects/object2nf.x", "objects/object2.x",
                                    "objects/object2f.x", "objects/vrkrogla2.x", "objects/coffeemug.x",
                                    "objects/coffeemug2.x", "env/env.dds", "tdef/app.thm"};
  for (int i = 1; i <= 10; ++i) files.push_back("grad/l" + std::to_string(i) + ".bmp");
  for (int i = 1; i <= 14; ++i) files.push_back("defpics/defpic" + std::to_string(i) + ".jpg");
  return files;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

class GeneratedDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing_support::TempFolder();
    std::string error;
    ok_ = GenerateInstallationData(folder_->File("data"), &error);
    error_ = error;
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(ok_) << error_; }
  static std::string Read(const std::string& relative) {
    return ReadFileBytes(folder_->File("data") + "/" + relative);
  }

  static testing_support::TempFolder* folder_;
  static bool ok_;
  static std::string error_;
};

testing_support::TempFolder* GeneratedDataTest::folder_ = nullptr;
bool GeneratedDataTest::ok_ = false;
std::string GeneratedDataTest::error_;

TEST_F(GeneratedDataTest, EveryFileIsThereAndTheMeshesAreBinaryXFiles) {
  for (const std::string& f : ExpectedFiles()) EXPECT_FALSE(Read(f).empty()) << f;
  for (const std::string& f : ExpectedFiles()) {
    if (f.compare(0, 8, "objects/") == 0) {
      EXPECT_EQ(Read(f).compare(0, 16, "xof 0303bin 0032"), 0) << f;
    }
  }
}

TEST_F(GeneratedDataTest, GradientsAndCubeMapDecode) {
  for (int i = 1; i <= 10; ++i) {
    std::string bmp = Read("grad/l" + std::to_string(i) + ".bmp");
    imaging::Image image;
    imaging::SourceInfo info;
    ASSERT_EQ(imaging::DecodeBmp(Bytes(bmp), bmp.size(), image, info), imaging::kImageOk);
    EXPECT_EQ(image.width, 256u);
    EXPECT_EQ(image.height, 256u);
  }
  std::string dds = Read("env/env.dds");
  imaging::DdsFile file;
  ASSERT_EQ(imaging::ReadDds(Bytes(dds), dds.size(), file), imaging::kImageOk);
  EXPECT_EQ(file.width, 128u);
  EXPECT_EQ(file.faces, 6u);
  EXPECT_EQ(file.mipLevels, 8u);
  EXPECT_EQ(dds.size(), 128u + 6u * 4u * (128 * 128 + 64 * 64 + 32 * 32 + 16 * 16 + 8 * 8 + 4 * 4 + 2 * 2 + 1));
}

TEST_F(GeneratedDataTest, DefaultPicturesHaveVariedShapesAndContent) {
  int landscape = 0, portrait = 0, square = 0;
  for (int i = 0; i < kDefaultPictureCount; ++i) {
    std::string jpeg = Read("defpics/defpic" + std::to_string(i + 1) + ".jpg");
    imaging::SourceInfo info;
    ASSERT_EQ(imaging::ReadJpegInfo(Bytes(jpeg), jpeg.size(), info), imaging::kImageOk);
    PictureSize size = DefaultPictureSize(i);
    EXPECT_EQ(info.width, static_cast<uint32_t>(size.width));
    EXPECT_EQ(info.height, static_cast<uint32_t>(size.height));
    EXPECT_LE(static_cast<uint64_t>(info.width) * info.height, 4000000u);
    EXPECT_GE(std::min(info.width, info.height), 1000u);
    landscape += info.width > info.height;
    portrait += info.width < info.height;
    square += info.width == info.height;
    // A painting, not a flat fill: the brightness varies across the picture.
    imaging::DecodeOptions options;
    options.width = info.width / 8;
    options.height = info.height / 8;
    imaging::Image image;
    ASSERT_EQ(imaging::DecodeJpeg(Bytes(jpeg), jpeg.size(), options, image, info), imaging::kImageOk);
    double sum = 0, sum2 = 0;
    for (uint32_t t : image.texels) {
      double l = 0.3 * ((t >> 16) & 0xff) + 0.59 * ((t >> 8) & 0xff) + 0.11 * (t & 0xff);
      sum += l;
      sum2 += l * l;
    }
    double n = static_cast<double>(image.texels.size());
    EXPECT_GT(std::sqrt(sum2 / n - (sum / n) * (sum / n)), 20.0) << "defpic" << i + 1;
  }
  EXPECT_GE(landscape, 3);
  EXPECT_GE(portrait, 3);
  EXPECT_GE(square, 2);
}

TEST_F(GeneratedDataTest, ThemeFileLoadsThroughTheProgramsReader) {
  std::string text = Read("tdef/app.thm");
  EXPECT_NE(text.find("}\r\n"), std::string::npos);
  std::vector<ThemeRecord> themes;
  LoadThemeFile(nullptr, (folder_->File("data") + "\\tdef\\app.thm").c_str(), "app.thm", themes);
  ASSERT_EQ(themes.size(), BuiltInThemes().size());
  for (size_t i = 0; i < themes.size(); ++i) {
    EXPECT_EQ(themes[i].backGndColor, BuiltInThemes()[i].backGndColor);
    EXPECT_EQ(themes[i].render3DObject, BuiltInThemes()[i].render3DObject);
  }
}

TEST_F(GeneratedDataTest, SameBytesEveryRun) {
  // Compare with the build's own data tree, or with a second run when there is none.
  std::string other = std::string(SOLVANE_BUILD_DIR) + "/install_root/data";
  testing_support::TempFolder second;
  if (ReadFileBytes(other + "/env/env.dds").empty()) {
    std::string error;
    ASSERT_TRUE(GenerateInstallationData(second.File("data"), &error)) << error;
    other = second.File("data");
  }
  for (const std::string& f : ExpectedFiles()) {
    EXPECT_TRUE(Read(f) == ReadFileBytes(other + "/" + f)) << f << " differs from " << other;
  }
}

TEST(GenerateInstallationDataTest, ReportsAFolderThatCannotBeCreated) {
  testing_support::TempFolder folder;
  folder.Write("blocker", "a file where the data folder should go");
  std::string error;
  EXPECT_FALSE(GenerateInstallationData(folder.File("blocker"), &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

}  // namespace
}  // namespace assets
