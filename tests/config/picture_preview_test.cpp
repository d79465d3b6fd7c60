#include "config/picture_preview.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include "config/config_fixture.h"
#include "config/preview_loader.h"
#include "image/image_decode.h"
#include "image/image_scale.h"

using testing_support::TempFolder;
using testing_support::WriteBmp;

namespace {

// A window only for its client size, and a 32-bit DIB of that size to draw into.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    RECT rect = {0, 0, width, height};
    AdjustWindowRect(&rect, WS_POPUP, FALSE);
    window_ = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, rect.right - rect.left,
                            rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x00808080;  // grey: untouched
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    DestroyWindow(window_);
  }
  HWND window() const { return window_; }
  HDC dc() const { return dc_; }
  // 0x00RRGGBB at (x, y).
  uint32_t At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0x00ffffff;
  }

 private:
  int width_, height_;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  TempFolder folder;
};

}  // namespace

TEST_F(PreviewTest, LoadReportsThePixelSizeOfThePicture) {
  const std::string path = folder.File("small.bmp");
  WriteBmp(path, 40, 30, 0, 0, 0x00ff00);
  PreviewPicture preview;
  ASSERT_EQ(preview.Load(path.c_str()), S_OK);
  ASSERT_TRUE(preview.Held());
  EXPECT_EQ(preview.pixelWidth, 40);
  EXPECT_EQ(preview.pixelHeight, 30);
  EXPECT_EQ(preview.source, path);
  preview.Clear();
  EXPECT_FALSE(preview.Held());
  preview.Clear();  // a second clear does nothing
}

TEST_F(PreviewTest, AFileThatCannotBeDecodedLeavesTheHolderEmpty) {
  const std::string path = folder.File("broken.bmp");
  testing_support::WriteFileBytes(path, "BM not really a bitmap");
  PreviewPicture preview;
  EXPECT_TRUE(FAILED(preview.Load(path.c_str())));
  EXPECT_FALSE(preview.Held());
  EXPECT_TRUE(FAILED(preview.Load(folder.File("missing.jpg").c_str())));
  EXPECT_FALSE(preview.Held());
  Canvas canvas(20, 20);
  preview.DrawFitted(canvas.window(), canvas.dc());
  preview.DrawStretched(canvas.window(), canvas.dc(), 1);
  EXPECT_EQ(canvas.At(10, 10), 0x808080u);  // nothing drawn
}

TEST_F(PreviewTest, LandscapePictureIsFittedAndCentredOnBlack) {
  const std::string path = folder.File("wide.bmp");
  WriteBmp(path, 400, 300, 0, 0, 0x00ff00);
  PreviewPicture preview;
  ASSERT_EQ(preview.Load(path.c_str()), S_OK);
  Canvas canvas(124, 106);
  preview.DrawFitted(canvas.window(), canvas.dc());
  EXPECT_EQ(canvas.At(62, 5), 0x000000u);
  EXPECT_EQ(canvas.At(62, 13), 0x000000u);
  EXPECT_EQ(canvas.At(62, 15), 0x00ff00u);
  EXPECT_EQ(canvas.At(0, 50), 0x00ff00u);
  EXPECT_EQ(canvas.At(123, 91), 0x00ff00u);
  EXPECT_EQ(canvas.At(62, 94), 0x000000u);
}

std::string JpegPath(const std::string& name) {
  std::string path = "Z:" SOLVANE_TESTDATA "/jpeg/" + name;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}
std::string TestJpeg(const std::string& name) {
  return testing_support::ReadFileBytes(JpegPath(name));
}

TEST_F(PreviewTest, APhotoStoredSidewaysIsShownUprightWithItsUprightSize) {
  // The 227x149 test picture with the EXIF block of a photo that needs a quarter turn.
  const std::string turned = TestJpeg("hopper_orientation_6.jpg");
  const size_t exif = turned.find("\xff\xe1");
  ASSERT_NE(exif, std::string::npos);
  const size_t exifLength = 2 + ((static_cast<unsigned char>(turned[exif + 2]) << 8) |
                                 static_cast<unsigned char>(turned[exif + 3]));
  std::string wide = TestJpeg("testorig.jpg");
  wide.insert(20, turned.substr(exif, exifLength));  // after SOI and the JFIF segment
  testing_support::WriteFileBytes(folder.File("wide.jpg"), wide);
  PreviewPicture preview;
  ASSERT_EQ(preview.Load(folder.File("wide.jpg").c_str()), S_OK);
  EXPECT_EQ(preview.pixelWidth, 149);
  EXPECT_EQ(preview.pixelHeight, 227);

  // Every orientation of the same photo is drawn as the upright one is.
  Canvas upright(64, 64);
  ASSERT_EQ(preview.Load(JpegPath("hopper.jpg").c_str()), S_OK);
  preview.DrawFitted(upright.window(), upright.dc());
  for (int orientation = 2; orientation <= 8; ++orientation) {
    const std::string name = "hopper_orientation_" + std::to_string(orientation) + ".jpg";
    preview.Clear();
    ASSERT_EQ(preview.Load(JpegPath(name).c_str()), S_OK) << name;
    Canvas canvas(64, 64);
    preview.DrawFitted(canvas.window(), canvas.dc());
    long difference = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        for (int shift : {0, 8, 16}) {
          difference += std::abs(static_cast<int>((canvas.At(x, y) >> shift) & 0xff) -
                                 static_cast<int>((upright.At(x, y) >> shift) & 0xff));
        }
      }
    }
    EXPECT_LT(difference / (64 * 64 * 3), 12) << name;
  }
}

TEST_F(PreviewTest, InvertDrawsTheTopRowAtTheBottom) {
  const std::string path = folder.File("l1.bmp");
  WriteBmp(path, 16, 16, 4, 0xff0000, 0x0000ff);
  PreviewPicture preview;
  ASSERT_EQ(preview.Load(path.c_str()), S_OK);

  Canvas upright(38, 50);
  preview.DrawStretched(upright.window(), upright.dc(), 0);
  EXPECT_EQ(upright.At(19, 0), 0xff0000u);
  EXPECT_EQ(upright.At(19, 49), 0x0000ffu);

  Canvas inverted(38, 50);
  preview.DrawStretched(inverted.window(), inverted.dc(), 1);
  EXPECT_EQ(inverted.At(19, 0), 0x0000ffu);
  EXPECT_EQ(inverted.At(19, 49), 0xff0000u);
  EXPECT_EQ(inverted.At(19, 40), 0xff0000u);

  Canvas other(38, 50);
  preview.DrawStretched(other.window(), other.dc(), 2);
  EXPECT_EQ(other.At(19, 0), 0x808080u);  // neither way up: nothing drawn
}

TEST_F(PreviewTest, NoPicturesPlaceholderIsWhiteTextOnTheBrush) {
  Canvas canvas(124, 106);
  DrawNoPictures(canvas.window(), canvas.dc(), BLACK_BRUSH);
  EXPECT_EQ(canvas.At(0, 0), 0x000000u);
  EXPECT_EQ(canvas.At(123, 105), 0x000000u);
  int white = 0;
  for (int y = 40; y < 66; ++y) {
    for (int x = 20; x < 104; ++x) white += canvas.At(x, y) == 0xffffffu;
  }
  EXPECT_GT(white, 20);
}

TEST_F(PreviewTest, APngIsDrawnAsOurDecoderDecodesIt) {
  const std::string path = "Z:" SOLVANE_TESTDATA "/png/basn2c08.png";
  PreviewPicture preview;
  ASSERT_EQ(preview.Load(path.c_str(), 124, 106), S_OK);
  const FitRect fit = FitPicture(preview.pixelWidth, preview.pixelHeight, 124, 106);
  const std::string bytes = testing_support::ReadFileBytes(path);
  imaging::DecodeOptions options;
  options.width = fit.width;
  options.height = fit.height;
  options.filter = imaging::kFilterLinear | imaging::kFilterMirror;
  imaging::Image expected;
  imaging::SourceInfo info;
  ASSERT_EQ(imaging::DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                 options, expected, info),
            imaging::kImageOk);
  Canvas canvas(124, 106);
  preview.DrawFitted(canvas.window(), canvas.dc());
  int differing = 0;
  for (int y = 0; y < fit.height; ++y) {
    for (int x = 0; x < fit.width; ++x) {
      differing += canvas.At(fit.x + x, fit.y + y) != (expected.At(x, y) & 0xffffff);
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST_F(PreviewTest, OnlyTheNewestOfABurstOfRequestsIsHandedBack) {
  const std::string big = folder.File("big.bmp"), small = folder.File("small.bmp");
  WriteBmp(big, 1600, 1200, 0, 0, 0x00ff00);
  WriteBmp(small, 40, 30, 0, 0, 0xff0000);
  HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
  PreviewLoader loader;
  uint32_t last = 0;
  for (int i = 0; i < 60; ++i) last = loader.Request(i % 2 ? big : small, 124, 106, window, WM_APP);
  last = loader.Request(big, 124, 106, window, WM_APP);
  PreviewPicture picture;
  HRESULT hr = E_FAIL;
  bool taken = false;
  MSG message;
  for (const DWORD end = GetTickCount() + 10000; !taken && GetTickCount() < end;) {
    if (!PeekMessageA(&message, window, WM_APP, WM_APP, PM_REMOVE)) {
      Sleep(5);
      continue;
    }
    const bool newest = message.wParam == last;
    EXPECT_EQ(loader.Take(static_cast<uint32_t>(message.wParam), picture, hr), newest);
    taken = newest;
  }
  ASSERT_TRUE(taken);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(picture.pixelWidth, 1600);
  EXPECT_EQ(picture.image.width, 124u);
  DestroyWindow(window);
}
