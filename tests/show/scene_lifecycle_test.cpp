// The show's overrides on a real windowed device, with picture decoding replaced by a recorder
// that makes small real pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "show/backgrounds.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/show_settings.h"
#include "show/slideshow.h"
#include "support/real_device.h"
#include "support/show_frames.h"
#include "support/test_support.h"
#include "xfile/frame_node.h"

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::Pixels;
using testing_support::Blue;
using testing_support::ColorDistance;
using testing_support::Green;
using testing_support::Red;
using testing_support::RealDevice;
using testing_support::TempFolder;

// The decodes so far, in the order the workers finished them.
std::mutex g_loadsMutex;
std::vector<DecodeJob> g_loads;

// "name_400x300.jpg" decodes as a 400 x 300 picture; a name with "missing" fails.
HRESULT RecordingDecoder(const DecodeJob& job, const std::atomic<bool>&,
                         imaging::PictureImage& picture) {
  {
    std::lock_guard<std::mutex> lock(g_loadsMutex);
    g_loads.push_back(job);
  }
  if (job.path.find("missing") != std::string::npos) return E_FAIL;
  unsigned w = 64, h = 64;
  const size_t size = job.path.rfind('_');
  if (size != std::string::npos) std::sscanf(job.path.c_str() + size + 1, "%ux%u", &w, &h);
  picture.info.Width = w;
  picture.info.Height = h;
  picture.image.width = picture.image.height = job.edge;
  // Each picture its own colour, so that two arrangements look different.
  const uint32_t colour = static_cast<uint32_t>(std::hash<std::string>()(job.path)) | 0xFF000000u;
  picture.image.texels.assign(size_t(job.edge) * job.edge, colour);
  return S_OK;
}

std::vector<std::string> DecodedPaths(size_t from = 0, size_t to = SIZE_MAX) {
  std::vector<std::string> paths;
  for (size_t i = from; i < g_loads.size() && i < to; ++i) paths.push_back(g_loads[i].path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

// A plate of two triangles: enough for the loader to build a frame with a mesh.
const char kPlate[] =
    "xof 0302txt 0032\n"
    "Frame Plate {\n"
    " FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, "
    "0.0,0.0,0.0,1.0;; }\n"
    " Mesh PlateMesh {\n"
    "  4; -0.5;-0.5;0.0;, -0.5;0.5;0.0;, 0.5;0.5;0.0;, 0.5;-0.5;0.0;;\n"
    "  2; 3;0,1,2;, 3;0,2,3;;\n"
    "  MeshNormals { 1; 0.0;0.0;-1.0;; 2; 3;0,0,0;, 3;0,0,0;; }\n"
    "  MeshTextureCoords { 4; 0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;; }\n"
    "  MeshMaterialList { 1; 2; 0, 0;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; "
    "0.0;0.0;0.0;; } }\n"
    " }\n"
    "}\n";

class SceneLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!device_.Create(320, 240)) GTEST_SKIP() << "no Direct3D device: " << device_.error();
    saved_ = g_pictureDecoder;
    g_pictureDecoder = RecordingDecoder;
    g_loads.clear();
    state_.settingsLoaded = 1;
    state_.settings.transitionTime = 0;  // cuts, unless a test fades
    CreateDirectoryA(data_.File("data").c_str(), nullptr);
    CreateDirectoryA(data_.File("data\\objects").c_str(), nullptr);
    for (const char* name : {"object2n.x", "object2nf.x", "object2.x", "object2f.x",
                             "vrkrogla2.x", "coffeemug.x", "coffeemug2.x"}) {
      data_.Write(std::string("data\\objects\\") + name, kPlate);
    }
    std::snprintf(state_.InstallDir, sizeof state_.InstallDir, "%s", data_.path().c_str());
    SetPictures({"a_400x300.jpg", "b_300x400.jpg", "c_500x500.jpg", "d_640x480.jpg",
                 "e_100x50.bmp"});
    app_.currentDevice = device_.get();
    app_.backBufferDesc = device_.BackBufferDesc();
    app_.SelectOutput(0);
  }
  void TearDown() override {
    app_.Decoder().Cancel();
    if (saved_ != nullptr) g_pictureDecoder = saved_;
  }

  void SetPictures(std::vector<const char*> names) {
    state_.PictureList.clear();
    for (const char* name : names) state_.PictureList.push_back(MakePictureEntry(name, name));
  }

  // One frame of the host: advance once, then draw the given outputs. A change started in
  // the frame has finished decoding by the next one.
  void Frame(float seconds, std::vector<UINT> outputs = {0}) {
    app_.elapsedTime = seconds;
    AdvanceShowingTheFirst(app_);
    for (UINT output : outputs) {
      app_.SelectOutput(output);
      EXPECT_EQ(app_.DrawScene(), S_OK);
    }
    app_.Decoder().WaitFinished();
  }

  size_t PictureLoads() const {
    size_t n = 0;
    for (const DecodeJob& job : g_loads) n += job.path.find("\\data\\grad\\") == std::string::npos;
    return n;
  }

  RealDevice device_;
  TempFolder data_;
  Exposed<ShowApp> app_;
  ShowState& state_ = app_.State();
  PictureDecodeFn saved_ = nullptr;
};

TEST_F(SceneLifecycleTest, FirstFullFramePreparesTheSceneAndShowsPicturesAtOnce) {
  state_.settings.pictureTimer = 60;
  ASSERT_EQ(app_.RestoreDeviceResources(), S_OK);
  Frame(0.016f);
  EXPECT_FALSE(app_.FirstFramePending());
  EXPECT_EQ(app_.Backdrop().size(), 2u);
  ASSERT_EQ(app_.GalleryAt(0).PictureSlots.size(), 4u);
  ASSERT_EQ(app_.GalleryAt(0).DrawOrder.size(), 4u);
  EXPECT_EQ(app_.GalleryAt(0).DrawOrder[0].slotIndex, 0);
  EXPECT_EQ(app_.GalleryAt(0).DrawOrder[3].slotIndex, 1);
  // The first arrangement, then the next one decoded ahead.
  ASSERT_EQ(g_loads.size(), 10u);
  std::vector<std::string> expected = {data_.path() + "\\data\\grad\\l1.bmp"};
  for (int i = 0; i < 4; ++i) {
    expected.push_back(state_.PictureList[app_.GalleryAt(0).PictureSlots[i].pictureIndex].path);
    ASSERT_NE(app_.CurrentResources().slotTextures[i], nullptr);
    // A picture no larger than 256 texels keeps one level.
    EXPECT_EQ(app_.CurrentResources().slotTextures[i]->GetLevelCount(), 1u);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(DecodedPaths(0, 5), expected);
  for (const DecodeJob& job : g_loads) {
    EXPECT_EQ(job.edge, 256u);  // no output: the smallest edge
    EXPECT_EQ(job.colorKey, 0xFFF0F0F0u);
  }
  ASSERT_NE(app_.CurrentResources().backdropTexture, nullptr);
  EXPECT_GT(app_.CurrentResources().backdropTexture->GetLevelCount(), 1u);
  EXPECT_EQ(app_.CurrentResources().environmentTried, 1u);  // no env.dds here: none

  // Four different pictures, each fitted to its own shape.
  for (const SceneItem& slot : app_.GalleryAt(0).PictureSlots) {
    const D3DXIMAGE_INFO& info = slot.imageInfo;
    ASSERT_GT(info.Width, 0u);
    if (info.Width > info.Height) {
      EXPECT_FLOAT_EQ(slot.heightFactor, static_cast<float>(info.Height) / info.Width);
    } else {
      EXPECT_FLOAT_EQ(slot.widthFactor, static_cast<float>(info.Width) / info.Height);
    }
  }
  Frame(1.0f);
  EXPECT_EQ(g_loads.size(), 10u);  // nothing more until the next change
}

TEST_F(SceneLifecycleTest, PictureTimerZeroReloadsEveryFrame) {
  state_.settings.pictureTimer = 0;
  app_.RestoreDeviceResources();
  // A change every frame, and one more as the first frame takes the first arrangement.
  for (int frame = 0; frame < 3; ++frame) Frame(0.0f);
  EXPECT_EQ(PictureLoads(), 16u);
  EXPECT_EQ(g_loads.size(), 20u);
}

TEST_F(SceneLifecycleTest, PicturesChangeEveryPictureTimerSecondsOnAnyNumberOfOutputs) {
  state_.settings.pictureTimer = 5;
  app_.SelectOutput(1);
  app_.RestoreDeviceResources();
  app_.SelectOutput(0);
  app_.RestoreDeviceResources();
  Frame(1.0f, {0, 1});
  // One decode (and the next change's); the second output fills its own copies of the same
  // pictures.
  EXPECT_EQ(PictureLoads(), 8u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(app_.ResourcesOf(1).slotTextures[i], nullptr);
    EXPECT_NE(app_.ResourcesOf(1).slotTextures[i].Get(),
              app_.ResourcesOf(0).slotTextures[i].Get());
  }
  EXPECT_NE(app_.ResourcesOf(1).backdropTexture, nullptr);
  const uint32_t first = app_.PictureGeneration();
  for (int frame = 0; frame < 4; ++frame) Frame(1.0f, {0, 1});
  EXPECT_EQ(app_.PictureGeneration(), first);
  EXPECT_EQ(PictureLoads(), 8u);
  Frame(1.0f, {0, 1});
  EXPECT_EQ(app_.PictureGeneration(), first + 1);
  EXPECT_EQ(PictureLoads(), 12u);
}

TEST_F(SceneLifecycleTest, EachOutputHasItsOwnGalleryAndAPictureOnBothIsDecodedOnce) {
  app_.outputs.Append(), app_.outputs.Append();
  SetPictures({"a_1x1.jpg", "b_1x1.jpg"});
  Frame(1.0f, {0, 1});
  // Two pictures on eight slots, each decoded once; the monitors a step apart.
  ASSERT_EQ(app_.GalleryCount(), 2);
  EXPECT_EQ(PictureLoads(), 4u);  // and the next change's two
  EXPECT_EQ(app_.GalleryAt(0).PictureSlots[0].pictureIndex, 0);
  EXPECT_EQ(app_.GalleryAt(1).PictureSlots[0].pictureIndex, 1);
  for (int i = 0; i < 4; ++i) EXPECT_NE(app_.ResourcesOf(1).slotTextures[i], nullptr);
}

TEST_F(SceneLifecycleTest, DeviceResetKeepsTexturesAndTimerAndReloadsMeshesAndLight) {
  state_.settings.pictureTimer = 5;
  ASSERT_EQ(app_.RestoreDeviceResources(), S_OK);
  for (const auto& root : app_.CurrentResources().sceneMeshes) {
    ASSERT_NE(root, nullptr);
    EXPECT_NE(root->firstChild, nullptr);
  }
  Frame(0.5f);
  Frame(2.0f);
  IDirect3DTexture8* before[4];
  for (int i = 0; i < 4; ++i) before[i] = app_.CurrentResources().slotTextures[i].Get();
  IDirect3DTexture8* backdrop = app_.CurrentResources().backdropTexture.Get();

  EXPECT_EQ(app_.ReleaseDeviceResources(), S_OK);
  for (const auto& root : app_.CurrentResources().sceneMeshes) {
    EXPECT_EQ(root->firstChild, nullptr);
    EXPECT_EQ(root->mesh, nullptr);
  }
  device_.get()->LightEnable(0, FALSE);
  ASSERT_TRUE(device_.Reset());
  ASSERT_EQ(app_.RestoreDeviceResources(), S_OK);
  for (const auto& root : app_.CurrentResources().sceneMeshes) EXPECT_NE(root->firstChild, nullptr);

  D3DLIGHT8 light = {};
  ASSERT_EQ(device_.get()->GetLight(0, &light), D3D_OK);
  EXPECT_EQ(light.Type, D3DLIGHT_POINT);
  EXPECT_FLOAT_EQ(light.Diffuse.r, 1.0f);
  EXPECT_FLOAT_EQ(light.Specular.g, 0.5f);
  EXPECT_FLOAT_EQ(light.Ambient.b, 0.2f);
  EXPECT_FLOAT_EQ(light.Position.z, -5000.0f);
  EXPECT_FLOAT_EQ(light.Range, 15000.0f);
  EXPECT_FLOAT_EQ(light.Attenuation0, 1.0f);
  BOOL enabled = FALSE;
  device_.get()->GetLightEnable(0, &enabled);
  EXPECT_TRUE(enabled);
  DWORD lighting = FALSE;
  device_.get()->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, static_cast<DWORD>(TRUE));

  const size_t loads = g_loads.size();
  Frame(1.0f);
  EXPECT_EQ(g_loads.size(), loads);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(app_.CurrentResources().slotTextures[i].Get(), before[i]);
  EXPECT_EQ(app_.CurrentResources().backdropTexture.Get(), backdrop);
  EXPECT_FLOAT_EQ(app_.Timers().changeElapsed, 3.0f);
  Frame(2.0f);
  EXPECT_EQ(g_loads.size(), loads + 5);
}

TEST_F(SceneLifecycleTest, TornDownOutputComesBackOnANewDeviceWithItsOwnCopies) {
  state_.settings.pictureTimer = 60;
  app_.RestoreDeviceResources();
  Frame(0.1f);
  ASSERT_EQ(g_loads.size(), 10u);
  FrameNode* roots[kSceneMeshSlots];
  for (int i = 0; i < kSceneMeshSlots; ++i) roots[i] = app_.CurrentResources().sceneMeshes[i].get();

  // What the host does around the password check: tear down, then a new device.
  app_.ReleaseDeviceResources();
  app_.DestroyDeviceResources();
  for (const auto& texture : app_.CurrentResources().slotTextures) {
    EXPECT_EQ(texture, nullptr);
  }
  EXPECT_EQ(app_.CurrentResources().backdropTexture, nullptr);
  RealDevice other;
  ASSERT_TRUE(other.Create(200, 150)) << other.error();
  app_.currentDevice = other.get();
  ASSERT_EQ(app_.RestoreDeviceResources(), S_OK);
  for (int i = 0; i < kSceneMeshSlots; ++i) {
    EXPECT_EQ(app_.CurrentResources().sceneMeshes[i].get(), roots[i]);
    EXPECT_NE(roots[i]->firstChild, nullptr);
  }
  Frame(0.1f);
  // Same pictures, no new change, filled again on the new device without decoding again.
  ASSERT_EQ(g_loads.size(), 10u);
  for (int i = 0; i < 4; ++i) {
    IDirect3DTexture8* texture = app_.CurrentResources().slotTextures[i].Get();
    ASSERT_NE(texture, nullptr);
    IDirect3DDevice8* owner = nullptr;
    texture->GetDevice(&owner);
    EXPECT_EQ(owner, other.get());
    if (owner != nullptr) owner->Release();
  }
  EXPECT_EQ(app_.CurrentResources().environmentTried, 1u);
  app_.ReleaseDeviceResources();
  app_.DestroyDeviceResources();
  app_.currentDevice = nullptr;
}

TEST_F(SceneLifecycleTest, MissingMeshFilesAreNamedOneBoxEach) {
  TempFolder empty;
  std::snprintf(state_.InstallDir, sizeof state_.InstallDir, "%s", empty.path().c_str());
  MessageBoxRecorder boxes;
  EXPECT_EQ(app_.RestoreDeviceResources(), S_OK);
  ASSERT_EQ(boxes.boxes().size(), 7u);
  EXPECT_EQ(boxes.boxes()[0].text, empty.path() + "\\data\\objects\\object2n.x");
  EXPECT_EQ(boxes.boxes()[6].text, empty.path() + "\\data\\objects\\coffeemug2.x");
  for (const auto& box : boxes.boxes()) {
    EXPECT_EQ(box.caption, "can not load object!");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  }
  // The saver goes on: lit, and frames draw without meshes.
  BOOL enabled = FALSE;
  device_.get()->GetLightEnable(0, &enabled);
  EXPECT_TRUE(enabled);
  Frame(0.1f);
  EXPECT_EQ(app_.GalleryAt(0).PictureSlots.size(), 4u);
}

TEST_F(SceneLifecycleTest, PictureThatFailsToLoadLeavesAnEmptyFrame) {
  SetPictures({"one_missing_400x300.jpg"});
  app_.RestoreDeviceResources();
  Frame(0.1f);
  ASSERT_EQ(app_.GalleryAt(0).PictureSlots.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const SceneItem& slot = app_.GalleryAt(0).PictureSlots[i];
    EXPECT_EQ(slot.pictureIndex, 0);
    EXPECT_EQ(app_.CurrentResources().slotTextures[i], nullptr);
    EXPECT_EQ(slot.imageInfo.Width, 0u);
    EXPECT_FLOAT_EQ(slot.widthFactor, 1.0f);
    EXPECT_FLOAT_EQ(slot.heightFactor, 1.0f);
  }
}

TEST_F(SceneLifecycleTest, EmptyPictureListLoadsNothingForTheSlots) {
  state_.PictureList.clear();
  app_.RestoreDeviceResources();
  Frame(0.1f);
  EXPECT_EQ(PictureLoads(), 0u);
  for (const SceneItem& slot : app_.GalleryAt(0).PictureSlots) EXPECT_EQ(slot.pictureIndex, -1);
  state_.settingsLoaded = 0;
  Frame(3.0f);
  EXPECT_EQ(PictureLoads(), 0u);
}

TEST_F(SceneLifecycleTest, GradientOutsideTheTableDrawsNoGradient) {
  app_.RestoreDeviceResources();
  state_.settings.gradient = 10;
  state_.settings.pictureTimer = 0;
  Frame(0.1f);  // the first arrangement shows and the next change starts: two without one
  EXPECT_EQ(g_loads.size(), 8u);
  EXPECT_EQ(app_.CurrentResources().backdropTexture, nullptr);
  state_.settings.gradient = -1;
  Frame(0.1f);
  EXPECT_EQ(g_loads.size(), 12u);
  state_.settings.gradient = 9;
  Frame(0.1f);
  ASSERT_EQ(g_loads.size(), 17u);
  EXPECT_EQ(DecodedPaths(12).front(), data_.path() + "\\data\\grad\\l10.bmp");
  Frame(0.1f);  // that change's arrangement appears
  EXPECT_NE(app_.CurrentResources().backdropTexture, nullptr);
}

TEST_F(SceneLifecycleTest, FallbackSceneShowsOnePictureChangingEveryTwoSeconds) {
  state_.settingsLoaded = 0;
  app_.RestoreDeviceResources();
  Frame(0.1f);
  EXPECT_TRUE(app_.GalleryAt(0).PictureSlots.empty());
  EXPECT_TRUE(app_.Backdrop().empty());
  EXPECT_TRUE(app_.FirstFramePending());
  ASSERT_EQ(g_loads.size(), 1u);
  EXPECT_EQ(g_loads[0].colorKey, 0u);
  EXPECT_EQ(g_loads[0].edge, 256u);
  ASSERT_NE(app_.CurrentResources().fallbackTexture, nullptr);
  EXPECT_EQ(app_.CurrentResources().fallbackTexture->GetLevelCount(), 1u);
  IDirect3DBaseTexture8* bound = nullptr;
  device_.get()->GetTexture(0, &bound);
  EXPECT_EQ(bound, app_.CurrentResources().fallbackTexture.Get());
  if (bound != nullptr) bound->Release();
  const float x = app_.GalleryAt(0).drift.driftPosition[0];
  EXPECT_FLOAT_EQ(x, 0.05f);

  Frame(1.5f);
  EXPECT_EQ(g_loads.size(), 1u);
  Frame(0.5f);
  EXPECT_EQ(g_loads.size(), 2u);
  // After a reset the output's picture comes back at once, without decoding it again.
  app_.ReleaseDeviceResources();
  EXPECT_EQ(app_.CurrentResources().fallbackTexture, nullptr);
  app_.RestoreDeviceResources();
  Frame(0.1f);
  EXPECT_EQ(g_loads.size(), 2u);
  EXPECT_NE(app_.CurrentResources().fallbackTexture, nullptr);
}

TEST_F(SceneLifecycleTest, FallbackSceneGivesEachOutputItsOwnPictureAndDrift) {
  state_.settingsLoaded = 0;
  app_.outputs.Append(), app_.outputs.Append();
  const float start = app_.GalleryAt(1).drift.driftPosition[0];
  EXPECT_NE(start, 0.0f);  // a further output starts elsewhere in the box
  Frame(0.1f, {0, 1});
  ASSERT_EQ(g_loads.size(), 2u);
  EXPECT_NE(g_loads[0].path, g_loads[1].path);
  EXPECT_NE(app_.GalleryAt(0).fallbackPicture, app_.GalleryAt(1).fallbackPicture);
  // Both drift by the whole frame.
  EXPECT_FLOAT_EQ(app_.GalleryAt(0).drift.driftPosition[0], 0.05f);
  EXPECT_FLOAT_EQ(std::fabs(app_.GalleryAt(1).drift.driftPosition[0] - start), 0.05f);
}

// A decoder held at a gate, the way a large photo keeps a worker busy.
std::mutex g_gateMutex;
std::condition_variable g_gateChanged;
bool g_gateOpen = true;
int g_gaveUp = 0;
std::atomic<int> g_atGate{0};

HRESULT GatedDecoder(const DecodeJob& job, const std::atomic<bool>& keepGoing,
                     imaging::PictureImage& picture) {
  std::unique_lock<std::mutex> lock(g_gateMutex);
  if (!g_gateOpen) ++g_atGate;
  while (!g_gateOpen) {
    if (!keepGoing) {
      ++g_gaveUp;
      return E_ABORT;
    }
    g_gateChanged.wait_for(lock, std::chrono::milliseconds(1));
  }
  lock.unlock();
  return RecordingDecoder(job, keepGoing, picture);
}

void SetGate(bool open) {
  std::lock_guard<std::mutex> lock(g_gateMutex);
  g_gateOpen = open;
  g_gateChanged.notify_all();
}

TEST_F(SceneLifecycleTest, TheArrangementOnScreenStaysUntilTheNextIsDecodedAndChangesDoNotPileUp) {
  g_pictureDecoder = GatedDecoder;
  state_.settings.pictureTimer = 5;
  app_.RestoreDeviceResources();
  Frame(0.1f);
  SetGate(false);
  app_.elapsedTime = 5.0f;
  EXPECT_EQ(app_.AdvanceScene(), S_OK);  // decoded ahead: on screen the frame it falls due
  EXPECT_EQ(app_.DrawScene(), S_OK);
  const uint32_t first = app_.PictureGeneration();
  IDirect3DTexture8* shown = app_.CurrentResources().slotTextures[0].Get();

  app_.elapsedTime = 5.0f;
  EXPECT_EQ(app_.AdvanceScene(), S_FALSE);  // still decoding: nothing new to draw yet
  EXPECT_TRUE(app_.Decoder().Busy());
  EXPECT_NE(app_.NextWait().wakeEvent, nullptr);
  app_.elapsedTime = 5.0f;  // the next change falls due meanwhile
  EXPECT_EQ(app_.AdvanceScene(), S_FALSE);
  EXPECT_EQ(app_.DrawScene(), S_OK);
  EXPECT_EQ(app_.PictureGeneration(), first);
  EXPECT_EQ(app_.CurrentResources().slotTextures[0].Get(), shown);

  SetGate(true);
  app_.Decoder().WaitFinished();
  app_.elapsedTime = 0.0f;
  EXPECT_EQ(app_.AdvanceScene(), S_OK);  // the whole new arrangement at once
  EXPECT_EQ(app_.PictureGeneration(), first + 1);
  app_.Decoder().WaitFinished();  // the next, ahead; the two late changes were one
  EXPECT_EQ(app_.AdvanceScene(), S_FALSE);
  EXPECT_EQ(app_.PictureGeneration(), first + 1);
  EXPECT_EQ(app_.NextWait().wakeEvent, nullptr);  // no spinning on the finished decode
  EXPECT_EQ(PictureLoads(), 16u);
}

// One frame as the host draws it, read back.
Pixels DrawnFrame(Exposed<ShowApp>& app, RealDevice& device, float seconds, HRESULT advanced) {
  app.elapsedTime = seconds;
  EXPECT_EQ(app.AdvanceScene(), advanced);
  EXPECT_EQ(app.DrawScene(), S_OK);
  return device.ReadBackBuffer();
}

// Half way through a fade every pixel that differs between the two arrangements is half way
// between them.
void ExpectHalfWay(const Pixels& before, const Pixels& middle, const Pixels& after) {
  size_t changed = 0, halfway = 0;
  for (size_t i = 0; i < before.pixels.size(); ++i) {
    const uint32_t a = before.pixels[i], b = after.pixels[i], m = middle.pixels[i];
    if (ColorDistance(a, b) < 64) continue;
    ++changed;
    const int channels[3][3] = {{Red(a), Red(b), Red(m)}, {Green(a), Green(b), Green(m)},
                                {Blue(a), Blue(b), Blue(m)}};
    bool between = true;
    for (const auto& c : channels) between = between && std::abs((c[0] + c[1]) / 2 - c[2]) <= 6;
    halfway += between;
  }
  ASSERT_GT(changed, before.pixels.size() / 50) << "the two arrangements look alike";
  EXPECT_GE(halfway, changed * 98 / 100);
}

TEST_F(SceneLifecycleTest, AFadeBlendsTheOutgoingViewIntoTheNewOneOverTransitionTime) {
  state_.settings.pictureTimer = 5;
  state_.settings.transitionTime = 1000;
  app_.outputs.Append()->device = device_.get();
  app_.RestoreDeviceResources();
  Frame(0.1f);
  // The view on screen is kept while the gallery stands still; after a reset lost it, the
  // change keeps it in its own frame.
  for (const bool reset : {false, true}) {
    app_.Decoder().WaitFinished();
    const Pixels before = DrawnFrame(app_, device_, 0.0f, S_FALSE);  // takes the decoded one
    EXPECT_NE(app_.CurrentResources().aheadGeneration, 0u);
    if (reset) {
      app_.ReleaseDeviceResources();
      app_.RestoreDeviceResources();
    }
    EXPECT_EQ(app_.CurrentResources().fade.texture == nullptr, reset);
    // The change frame still shows the outgoing view whole; frames go on through the fade.
    const Pixels start = DrawnFrame(app_, device_, 5.0f, S_OK);
    EXPECT_TRUE(app_.Fading());
    EXPECT_EQ(start.Hash(), before.Hash());
    const Pixels middle = DrawnFrame(app_, device_, 0.5f, S_OK);
    EXPECT_FLOAT_EQ(app_.FadeProgress(), 0.5f);
    EXPECT_EQ(app_.NextWait().idleSeconds, 0.0f);
    const Pixels after = DrawnFrame(app_, device_, 0.5f, S_OK);  // the fade's last frame
    EXPECT_FALSE(app_.Fading());
    ExpectHalfWay(before, middle, after);
    DrawnFrame(app_, device_, 0.1f, S_FALSE);  // still again
  }
  app_.outputs[0].device = nullptr;
}

TEST_F(SceneLifecycleTest, TransitionTimeZeroCutsInTheFrameTheChangeFallsDue) {
  state_.settings.pictureTimer = 5;
  app_.RestoreDeviceResources();
  Frame(0.1f);
  DrawnFrame(app_, device_, 0.0f, S_FALSE);
  const Pixels before = device_.ReadBackBuffer();
  const Pixels cut = DrawnFrame(app_, device_, 5.0f, S_OK);
  EXPECT_FALSE(app_.Fading());
  EXPECT_NE(cut.Hash(), before.Hash());
  EXPECT_EQ(app_.CurrentResources().fade.texture, nullptr);
  const Pixels still = DrawnFrame(app_, device_, 0.1f, S_FALSE);
  EXPECT_EQ(still.Hash(), cut.Hash());
}

TEST_F(SceneLifecycleTest, ShutdownDuringADecodeStopsTheWorkersWithoutWaitingForThem) {
  g_pictureDecoder = GatedDecoder;
  app_.RestoreDeviceResources();
  Frame(0.1f);
  SetGate(false);
  g_gaveUp = 0;
  g_atGate = 0;
  app_.elapsedTime = 60.0f;
  app_.AdvanceScene();
  while (g_atGate == 0) Sleep(1);
  app_.Decoder().Cancel();  // returns at once; the workers see the cancel and give up
  EXPECT_FALSE(app_.Decoder().Busy());
  for (int i = 0; i < 2000 && g_gaveUp == 0; ++i) Sleep(1);
  EXPECT_GT(g_gaveUp, 0);
  SetGate(true);
  EXPECT_EQ(PictureLoads(), 8u);  // nothing of the cancelled change was decoded
}

// A read that never answers and does not look at the cancel, as on a share that stopped.
std::atomic<int> g_stalledReads{0};
HRESULT StallingDecoder(const DecodeJob& job, const std::atomic<bool>& keepGoing,
                        imaging::PictureImage& picture) {
  if (job.path.find("stalled") == std::string::npos) return RecordingDecoder(job, keepGoing, picture);
  ++g_stalledReads;
  std::unique_lock<std::mutex> lock(g_gateMutex);
  g_gateChanged.wait(lock, [] { return g_gateOpen; });
  return E_FAIL;
}

TEST(PictureDecoderTest, AStalledReadCostsOnlyItsPictureAndIsNotPiledUp) {
  const PictureDecodeFn saved = g_pictureDecoder;
  g_pictureDecoder = StallingDecoder;
  SetGate(false);
  g_stalledReads = 0;
  {
    PictureDecoder decoder(1000);  // long enough for the good ones on a loaded machine
    const std::vector<DecodeJob> jobs = {{"a_10x10.jpg", 16, 0}, {"x\\stalled.jpg", 16, 0},
                                         {"b_20x10.jpg", 16, 0}, {"c_30x10.jpg", 16, 0}};
    for (int change = 0; change < 2; ++change) {
      ASSERT_TRUE(decoder.Start(jobs));
      decoder.WaitFinished();  // bounded by the give-up time, not by the read
      const std::vector<imaging::PictureImage> pictures = decoder.Take();
      ASSERT_EQ(pictures.size(), 4u);
      EXPECT_EQ(pictures[1].image.width, 0u);  // the stalled one: an empty frame
      for (size_t i : {0u, 2u, 3u}) EXPECT_EQ(pictures[i].image.width, 16u);
    }
    EXPECT_EQ(g_stalledReads, 1);  // the second change did not read the stalled file again
  }  // the decoder goes while its worker is still inside the read
  SetGate(true);
  g_pictureDecoder = saved;
}

TEST(GradientPathTest, TableEntriesAndEmptyInstallFolder) {
  char path[300];
  EXPECT_TRUE(GradientFilePath("", 0, path, sizeof path));
  EXPECT_STREQ(path, "\\data\\grad\\l1.bmp");
  EXPECT_TRUE(GradientFilePath("C:\\Solvane", 9, path, sizeof path));
  EXPECT_STREQ(path, "C:\\Solvane\\data\\grad\\l10.bmp");
  EXPECT_FALSE(GradientFilePath("C:\\Solvane", 10, path, sizeof path));
  EXPECT_STREQ(path, "");
  EXPECT_FALSE(GradientFilePath("C:\\Solvane", -1, path, sizeof path));
  const std::string deep(290, 'x');
  EXPECT_FALSE(GradientFilePath(deep.c_str(), 0, path, sizeof path));
  EXPECT_STREQ(path, "");
}

}  // namespace
