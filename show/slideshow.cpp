// The picture changes of the full scene and the fallback scene's single picture. Timers and
// choices are shared by all outputs. A change decodes its pictures on worker threads while the
// previous arrangement stays on screen; once all are in, the new arrangement appears at once
// and each output fills its own textures from the one decode.
#include "show/slideshow.h"

#include <mmsystem.h>

#include <cstdlib>
#include <algorithm>
#include <utility>

#include "d3dx/image_scale.h"
#include "show/backgrounds.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/slideshow_layout.h"
#include "show/texture_sizing.h"

namespace {

int PictureCount() {
  const size_t n = PictureList.size();
  return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

const char* PicturePath(int32_t index) {
  if (index < 0 || index >= PictureCount()) return nullptr;
  return PictureList[static_cast<size_t>(index)].path;
}

uint32_t NextGeneration(uint32_t generation) { return generation + 1 == 0 ? 1 : generation + 1; }

// Pictures above the described 256 x 256 get a mip chain, so that reflections and far slots
// do not shimmer.
uint32_t PictureLevels(const d3dx_image::PictureImage& picture) {
  return picture.image.width > kSmallestPictureEdge ? 0 : 1;
}

}  // namespace

HRESULT UploadPicture(IDirect3DDevice8* device, const d3dx_image::PictureImage& picture,
                      uint32_t levels, Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture) {
  texture.Reset();
  if (device == nullptr || picture.image.width == 0) return E_FAIL;
  return d3dx_image::CreateTextureFromImage(device, picture, levels, d3dx_image::kFilterLinear,
                                            &texture);
}

bool ShowApp::AdvanceSlideshow(float elapsedSeconds) {
  bool changed = false;
  if (decoder.Busy() && decoder.Finished()) {
    ShowDecodedArrangement();
    changed = true;
  }
  if (AdvanceChangeTimer(slideshowTimers, elapsedSeconds, g_settings.pictureTimer)) {
    changeWaiting = true;
  }
  // A change that falls due while the previous one is still decoding waits for it.
  if (changeWaiting && !decoder.Busy()) {
    changeWaiting = false;
    BuildSlots();
    // The layout uses the generator as the previous change left it, the pictures the new seed.
    std::srand(timeGetTime());
    AssignPictures();
    StartDecoding();
    // The very first arrangement is shown before the first frame.
    if (pictureGeneration == 0) {
      decoder.WaitFinished();
      ShowDecodedArrangement();
      changed = true;
    }
  }
  return changed;
}

void ShowApp::BuildSlots() { PlaceSlots(std::rand() % kLayoutCount, pendingSlots, pendingOrder); }

void ShowApp::AssignPictures() {
  int indices[kSlotCount];
  ChoosePictures(PictureCount(), pictureChoice, indices, std::rand);
  for (size_t i = 0; i < pendingSlots.size() && i < kSlotCount; ++i) {
    pendingSlots[i].pictureIndex = indices[i];
  }
}

uint32_t ShowApp::SlotDecodeEdge(int slot) {
  uint32_t edge = kSmallestPictureEdge;
  for (UINT i = 0; i < outputCount && i < kMaxOutputs; ++i) {
    IDirect3DDevice8* device = outputs[i].device.Get();
    if (device == nullptr) continue;
    Microsoft::WRL::ComPtr<IDirect3DSurface8> backBuffer;
    D3DSURFACE_DESC desc = {};
    D3DCAPS8 caps = {};
    if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) ||
        FAILED(backBuffer->GetDesc(&desc)) || FAILED(device->GetDeviceCaps(&caps))) {
      continue;
    }
    edge = std::max(edge, SlotTextureEdge(slot, desc.Width, desc.Height, caps.MaxTextureWidth,
                                          caps.MaxTextureHeight));
  }
  return edge;
}

void ShowApp::StartDecoding() {
  std::vector<DecodeJob> jobs;
  for (size_t i = 0; i < pendingSlots.size() && i < kPictureSlotCount; ++i) {
    const char* path = PicturePath(pendingSlots[i].pictureIndex);
    jobs.push_back({path != nullptr ? path : "", SlotDecodeEdge(static_cast<int>(i)),
                    kPictureColorKey});
  }
  char gradient[1024];
  if (!GradientFilePath(g_settings.InstallDir, g_settings.gradient, gradient, sizeof gradient)) {
    gradient[0] = '\0';
  }
  jobs.push_back({gradient, kSmallestPictureEdge, kPictureColorKey});
  decoder.Start(std::move(jobs));
}

void ShowApp::ShowDecodedArrangement() {
  std::vector<d3dx_image::PictureImage> pictures = decoder.Take();
  pictures.resize(kPictureSlotCount + 1);
  for (size_t i = 0; i < pendingSlots.size() && i < kPictureSlotCount; ++i) {
    SceneItem& slot = pendingSlots[i];
    slot.imageInfo = pictures[i].info;
    FitAspect(slot, slot.imageInfo.Width, slot.imageInfo.Height);
  }
  PictureSlots = std::move(pendingSlots);
  DrawOrder = std::move(pendingOrder);
  pendingSlots.clear();
  pendingOrder.clear();
  shownPictures = std::move(pictures);
  pictureGeneration = NextGeneration(pictureGeneration);
}

void ShowApp::LoadSlotTextures() {
  OutputResources& resources = *currentResources;
  for (size_t i = 0; i < kPictureSlotCount; ++i) {
    if (i < PictureSlots.size() && i < shownPictures.size()) {
      UploadPicture(currentDevice, shownPictures[i], PictureLevels(shownPictures[i]),
                    resources.slotTextures[i]);
    } else {
      resources.slotTextures[i].Reset();
    }
  }
}

void ShowApp::CatchUpOutputTextures() {
  if (pictureGeneration == 0 || currentResources->pictureGeneration == pictureGeneration) return;
  LoadSlotTextures();
  LoadBackdropTexture();
  currentResources->pictureGeneration = pictureGeneration;
}

bool ShowApp::AdvanceFallbackPicture(float elapsedSeconds) {
  bool changed = false;
  if (decoder.Busy() && decoder.Finished()) {
    std::vector<d3dx_image::PictureImage> pictures = decoder.Take();
    fallbackImage = pictures.empty() ? d3dx_image::PictureImage() : std::move(pictures[0]);
    fallbackPicture = pendingFallbackPicture;
    fallbackGeneration = NextGeneration(fallbackGeneration);
    changed = true;
  }
  if (AdvanceFallbackTimer(slideshowTimers, elapsedSeconds)) changeWaiting = true;
  if (changeWaiting && !decoder.Busy()) {
    changeWaiting = false;
    const int n = PictureCount();
    pendingFallbackPicture = n > 0 ? RandomIndex(n, std::rand) : -1;
    const char* path = PicturePath(pendingFallbackPicture);
    decoder.Start({{path != nullptr ? path : "", kSmallestPictureEdge, 0}});
    if (fallbackGeneration == 0) {
      decoder.WaitFinished();
      return AdvanceFallbackPicture(0.0f);
    }
  }
  return changed;
}

void ShowApp::LoadFallbackTextureHere() {
  currentResources->fallbackGeneration = fallbackGeneration;
  UploadPicture(currentDevice, fallbackImage, 1, currentResources->fallbackTexture);
}
