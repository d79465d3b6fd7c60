// The gallery drawn on a real device from the installation data, read back pixel by pixel.
// The pictures are solid colours so that every region can be told apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/registry_keys.h"
#include "render/scene_matrices.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/show_settings.h"
#include "support/manual_clock.h"
#include "support/real_device.h"
#include "support/show_frames.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

constexpr int kWidth = 1024, kHeight = 768;
constexpr uint32_t kFrameColor = 0x00C08020;   // orange frames
constexpr uint32_t kObjectColor = 0x0030C030;  // green mug
const uint32_t kPictureColors[4] = {0x00D02828, 0x002850E0, 0x00E0D028, 0x00C028C0};
const unsigned kPictureSizes[4][2] = {{400, 300}, {300, 400}, {256, 256}, {640, 360}};

std::string InstallRoot() {
  std::string path = std::string("Z:") + SOLVANE_BUILD_DIR + "/install_root";
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// A 24-bit bottom-up bitmap of one colour.
std::string SolidBitmap(unsigned width, unsigned height, uint32_t rgb) {
  const unsigned stride = (width * 3 + 3) & ~3u;
  const unsigned size = 54 + stride * height;
  std::string bytes(size, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  bytes[26] = 1;
  bytes[28] = 24;
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      const size_t at = 54 + y * stride + x * 3;
      bytes[at] = static_cast<char>(rgb & 0xFF);
      bytes[at + 1] = static_cast<char>((rgb >> 8) & 0xFF);
      bytes[at + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
  }
  return bytes;
}

bool LooksLikeFrame(uint32_t p) {
  return Red(p) > 50 && Red(p) > Green(p) + 15 && Green(p) > Blue(p) + 15;
}
bool LooksLikeMug(uint32_t p) {
  return Green(p) > 40 && Green(p) > Red(p) + 25 && Green(p) > Blue(p) + 25;
}

LONG RefuseKey(const char*, REGSAM, KeyOpen, HKEY* key) {
  *key = nullptr;
  return ERROR_ACCESS_DENIED;
}

struct Point {
  int x, y;
  bool onScreen;
};

class GalleryRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string objects = std::string(SOLVANE_BUILD_DIR) + "/install_root/data/objects";
    if (GetFileAttributesA((objects + "/coffeemug.x").c_str()) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << "installation data not built";
    }
    if (!device_.Create(kWidth, kHeight)) GTEST_SKIP() << "no device: " << device_.error();
    ShowSettings& settings = state_.settings;
    settings.backGndColor = kFrameColor;
    settings.object3DColor = kObjectColor;
    settings.pictureTimer = 60;
    settings.renderReflection = 0;
    settings.render3DObject = 0;
    std::snprintf(state_.InstallDir, sizeof state_.InstallDir, "%s", InstallRoot().c_str());
    RecomputeRgb(settings);
    state_.settingsLoaded = 1;
    for (int i = 0; i < 4; ++i) {
      const std::string name = "solid" + std::to_string(i) + ".bmp";
      pictures_.Write(name, SolidBitmap(kPictureSizes[i][0], kPictureSizes[i][1],
                                        kPictureColors[i]));
      state_.PictureList.push_back(MakePictureEntry(name.c_str(), pictures_.File(name).c_str()));
    }
    app_.currentDevice = device_.get();
    app_.backBufferDesc = device_.BackBufferDesc();
    app_.SelectOutput(0);
    ASSERT_EQ(app_.RestoreDeviceResources(), S_OK);
  }
  std::vector<uint32_t> Draw(float seconds, const char* shot) {
    app_.elapsedTime = seconds;
    AdvanceShowingTheFirst(app_);
    app_.DrawScene();
    Pixels drawn = device_.ReadBackBuffer();
    EXPECT_EQ(drawn.width, kWidth);
    SaveBmp(drawn, std::string(SOLVANE_BUILD_DIR) + "/render-shots", shot);
    drawn.pixels.resize(static_cast<size_t>(kWidth) * kHeight, 0);
    return drawn.pixels;
  }

  // Screen position of a point in an item's own space, with the camera the scene set.
  Point Project(const D3DXMATRIX& world, float x, float y) {
    D3DMATRIX view, projection;
    device_.get()->GetTransform(D3DTS_VIEW, &view);
    device_.get()->GetTransform(D3DTS_PROJECTION, &projection);
    const D3DXMATRIX all = world * D3DXMATRIX(view) * D3DXMATRIX(projection);
    D3DXVECTOR3 in(x, y, 0), ndc;
    D3DXVec3TransformCoord(&ndc, &in, &all);
    const Point p = {static_cast<int>((ndc.x + 1) * 0.5f * kWidth),
                     static_cast<int>((1 - ndc.y) * 0.5f * kHeight),
                     ndc.x > -0.98f && ndc.x < 0.98f && ndc.y > -0.98f && ndc.y < 0.98f};
    return p;
  }
  // Off the screen reads as black.
  static uint32_t At(const std::vector<uint32_t>& pixels, const Point& p) {
    if (p.x < 0 || p.y < 0 || p.x >= kWidth || p.y >= kHeight) return 0;
    return pixels[static_cast<size_t>(p.y) * kWidth + p.x];
  }

  D3DXMATRIX PictureWorld(const SceneItem& slot, bool mirrored) const {
    const float edge = slot.itemSize - PictureInset(slot.itemSize);
    const D3DXVECTOR3 position(slot.position), size(edge, edge, edge), turn(slot.rotationDeg);
    return mirrored ? ComposeMirrorWorld(MirrorPicture, position, size, turn, slot.widthFactor,
                                         slot.heightFactor)
                    : ComposeItemWorld(position, size, turn, slot.widthFactor,
                                       slot.heightFactor);
  }
  D3DXMATRIX FrameWorld(const SceneItem& slot) const {
    const float edge = slot.itemSize + 0.1f;
    return ComposeItemWorld(D3DXVECTOR3(slot.position), D3DXVECTOR3(edge, edge, edge),
                            D3DXVECTOR3(slot.rotationDeg), slot.widthFactor, slot.heightFactor);
  }

  RealDevice device_;
  TempFolder pictures_;
  Exposed<ShowApp> app_;
  ShowState& state_ = app_.State();
};

TEST_F(GalleryRenderTest, FramedPicturesWithBlendedReflections) {
  const std::vector<uint32_t> pixels = Draw(0.016f, "gallery");
  ASSERT_EQ(app_.GalleryAt(0).PictureSlots.size(), 4u);
  std::vector<bool> shown(4, false);
  for (int i = 0; i < 4; ++i) {
    const SceneItem& slot = app_.GalleryAt(0).PictureSlots[i];
    ASSERT_GE(slot.pictureIndex, 0);
    const uint32_t color = kPictureColors[slot.pictureIndex];
    shown[slot.pictureIndex] = true;

    const Point centre = Project(PictureWorld(slot, false), 0, 0);
    ASSERT_TRUE(centre.onScreen) << "slot " << i;
    EXPECT_LE(ColorDistance(At(pixels, centre), color), 12) << "picture of slot " << i;
    // The large picture stands behind the row of three and is partly hidden by it; its centre
    // and the top of its frame show between them.
    const bool behind = slot.itemSize == 2.0f;
    // Inside the picture rectangle, away from the edges.
    for (float x : {-0.3f, 0.3f}) {
      if (behind) break;
      for (float y : {-0.3f, 0.3f}) {
        EXPECT_LE(ColorDistance(At(pixels, Project(PictureWorld(slot, false), x, y)), color), 12)
            << "slot " << i << " at " << x << "," << y;
      }
    }
    // The frame's band around it, in the frame colour.
    for (const auto& at : {std::make_pair(0.0f, 0.48f), std::make_pair(-0.48f, 0.0f),
                           std::make_pair(0.48f, 0.0f), std::make_pair(0.0f, -0.48f)}) {
      if (behind && at.second != 0.48f) continue;
      const uint32_t band = At(pixels, Project(FrameWorld(slot), at.first, at.second));
      EXPECT_TRUE(LooksLikeFrame(band))
          << "frame of slot " << i << " at " << at.first << "," << at.second << ": " << std::hex
          << band;
    }
    // Its reflection below (the mirror flips y: -0.3 is near the floor line): there, but
    // fainter than the picture.
    const Point mirror = Project(PictureWorld(slot, true), 0, -0.3f);
    ASSERT_TRUE(mirror.onScreen) << "reflection of slot " << i;
    const uint32_t reflected = At(pixels, mirror);
    EXPECT_GT(ColorDistance(reflected, color), 20) << "slot " << i << std::hex << reflected;
    EXPECT_GT(Red(reflected) + Green(reflected) + Blue(reflected), 40) << "slot " << i;
    EXPECT_LT(ColorDistance(reflected, color), ColorDistance(0, color))
        << "the reflection leans towards its picture: slot " << i;
  }
  for (int k = 0; k < 4; ++k) EXPECT_TRUE(shown[k]) << "picture " << k;
}

TEST_F(GalleryRenderTest, InvertPictureFlipsOnlyTheBackdrop) {
  const std::vector<uint32_t> upright = Draw(0.016f, "upright");
  state_.settings.invertPicture = 1;
  const std::vector<uint32_t> inverted = Draw(0.016f, "inverted");
  // The sky above the pictures changes ...
  int changed = 0, total = 0;
  for (int y = 0; y < 120; y += 4) {
    for (int x = 0; x < kWidth; x += 16, ++total) {
      changed += ColorDistance(upright[y * kWidth + x], inverted[y * kWidth + x]) > 6;
    }
  }
  EXPECT_GT(changed, total / 2);
  // ... the pictures and their frames do not.
  for (const SceneItem& slot : app_.GalleryAt(0).PictureSlots) {
    const Point centre = Project(PictureWorld(slot, false), 0, 0);
    EXPECT_LE(ColorDistance(At(upright, centre), At(inverted, centre)), 2);
    const Point band = Project(FrameWorld(slot), 0, 0.48f);
    EXPECT_LE(ColorDistance(At(upright, band), At(inverted, band)), 2);
  }
}

TEST_F(GalleryRenderTest, ObjectSwitchRemovesTheMugAndItsReflection) {
  state_.settings.render3DObject = 1;
  const std::vector<uint32_t> with = Draw(0.016f, "mug");
  state_.settings.render3DObject = 0;
  const std::vector<uint32_t> without = Draw(0.016f, "no-mug");
  D3DXMATRIX upright, mirrored;
  D3DXMatrixTranslation(&upright, -1.2f, -1.0f, 3.8f);
  mirrored = ComposeMirrorWorld(MirrorObject, D3DXVECTOR3(-1.2f, -1.0f, 3.8f),
                                D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(0, 0, 0), 1, 1);
  auto mugPixels = [&](const std::vector<uint32_t>& pixels, const D3DXMATRIX& world) {
    int n = 0;
    for (float x = -0.25f; x <= 0.25f; x += 0.05f) {
      for (float y = -0.35f; y <= 0.1f; y += 0.05f) {
        const Point p = Project(world, x, y);
        if (p.onScreen) n += LooksLikeMug(At(pixels, p));
      }
    }
    return n;
  };
  EXPECT_GT(mugPixels(with, upright), 40);
  EXPECT_GT(mugPixels(with, mirrored), 5);
  EXPECT_EQ(mugPixels(without, upright), 0);
  EXPECT_EQ(mugPixels(without, mirrored), 0);
}

TEST_F(GalleryRenderTest, ReflectionSwitchRemovesOnlyTheEnvironmentMap) {
  state_.settings.render3DObject = 1;
  state_.settings.renderReflection = 1;
  const std::vector<uint32_t> mapped = Draw(0.016f, "mug-mapped");
  state_.settings.renderReflection = 0;
  const std::vector<uint32_t> plain = Draw(0.016f, "mug-plain");
  ASSERT_NE(app_.CurrentResources().environmentMap, nullptr);
  D3DXMATRIX mug;
  D3DXMatrixTranslation(&mug, -1.2f, -1.0f, 3.8f);
  int differing = 0;
  for (float x = -0.2f; x <= 0.2f; x += 0.05f) {
    for (float y = -0.3f; y <= 0.3f; y += 0.1f) {
      const Point p = Project(mug, x, y);
      if (p.onScreen) differing += ColorDistance(At(mapped, p), At(plain, p)) > 10;
    }
  }
  EXPECT_GT(differing, 20);
  // The mug is there in both; the pictures' reflections are the same in both.
  const Point centre = Project(mug, 0, 0);
  EXPECT_TRUE(LooksLikeMug(At(plain, centre))) << std::hex << At(plain, centre);
  for (const SceneItem& slot : app_.GalleryAt(0).PictureSlots) {
    for (float x : {-0.3f, 0.3f}) {
      const Point p = Project(PictureWorld(slot, true), x, -0.3f);
      const Point mugCentre = Project(mug, 0, 0);
      if (std::abs(p.x - mugCentre.x) < 120) continue;  // behind the mug
      EXPECT_LE(ColorDistance(At(mapped, p), At(plain, p)), 2);
    }
  }
}

// Position of the pixels in a picture colour, and the direction from their centre to the
// topmost of them (for a turning square: its turn, modulo a quarter turn).
struct Blob {
  long area = 0;
  double x = 0, y = 0, angle = 0;
};
Blob FindPicture(const std::vector<uint32_t>& pixels) {
  Blob blob;
  int topRow = -1;
  double topX = 0;
  long topCount = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool picture = false;
      for (uint32_t c : kPictureColors) {
        picture = picture || ColorDistance(pixels[y * kWidth + x], c) <= 12;
      }
      if (!picture) continue;
      ++blob.area;
      blob.x += x;
      blob.y += y;
      if (topRow < 0) topRow = y;
      if (y == topRow) {
        topX += x;
        ++topCount;
      }
    }
  }
  if (blob.area == 0) return blob;
  blob.x /= blob.area;
  blob.y /= blob.area;
  blob.angle = std::atan2(blob.y - topRow, topX / topCount - blob.x);
  return blob;
}

TEST_F(GalleryRenderTest, FallbackSceneWhenNoSettingsKeyOpens) {
  const RegistryOpeners saved = g_registryOpeners;
  g_registryOpeners = {RefuseKey, RefuseKey};
  state_.settingsLoaded = 0;
  app_.LoadSettings();
  g_registryOpeners = saved;
  ASSERT_EQ(state_.settingsLoaded, 0);

  // One picture, on a square surface; it turns only about the view axis here (the back of
  // the single-sided surface is culled), at half a radian per second.
  state_.PictureList.resize(1);
  app_.SetSpinTimeBase(7500.0f, 7500.0f, 2000.0f);
  testing_support::ManualClock clock;
  const std::vector<uint32_t> first = Draw(0.5f, "fallback-1");
  clock.Advance(0.3);
  const std::vector<uint32_t> second = Draw(0.5f, "fallback-2");
  const Blob a = FindPicture(first), b = FindPicture(second);
  EXPECT_GT(a.area, 3000);
  EXPECT_GT(b.area, 3000);
  EXPECT_GT(std::abs(b.x - a.x) + std::abs(b.y - a.y), 10) << "the picture drifts";
  const double quarter = 3.14159265 / 2;
  double turn = std::fmod(std::abs(b.angle - a.angle), quarter);
  turn = std::min(turn, quarter - turn);
  EXPECT_GT(turn, 0.05) << "the picture spins";
  EXPECT_TRUE(app_.GalleryAt(0).PictureSlots.empty());
  EXPECT_TRUE(app_.Backdrop().empty());
  // One picture, no frames, backdrop or object: the rest is the clear colour.
  long rest = 0, clear = 0;
  for (size_t i = 0; i < second.size(); i += 7) {
    bool picture = false;
    for (uint32_t c : kPictureColors) picture = picture || ColorDistance(second[i], c) <= 60;
    if (picture) continue;
    ++rest;
    clear += ColorDistance(second[i], kFrameColor) <= 2;
  }
  EXPECT_GT(clear, rest * 98 / 100);
}

}  // namespace
