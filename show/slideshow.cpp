// The picture changes of the full scene and the fallback scene's single picture. Timers and
// choices are shared by all outputs; each output loads its own copies of the textures on its
// own device.
#include "show/slideshow.h"

#include <mmsystem.h>

#include <cstdlib>
#include <cstring>

#include "show/picture_list.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/slideshow_layout.h"

TextureFileLoader g_textureFileLoader = D3DXCreateTextureFromFileExA;

HRESULT LoadPictureTexture(IDirect3DDevice8* device, const char* path, D3DCOLOR colorKey,
                           D3DXIMAGE_INFO* info, IDirect3DTexture8** texture) {
  *texture = nullptr;
  Microsoft::WRL::ComPtr<IDirect3DTexture8> loaded;
  const HRESULT hr =
      g_textureFileLoader(device, path, 256, 256, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                          D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR, colorKey, info, nullptr,
                          &loaded);
  if (FAILED(hr) || loaded == nullptr) {
    if (info != nullptr) std::memset(info, 0, sizeof *info);
    return FAILED(hr) ? hr : E_FAIL;
  }
  *texture = loaded.Detach();
  return S_OK;
}

namespace {

int PictureCount() {
  const size_t n = PictureList.size();
  return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

const char* PicturePath(int32_t index) {
  if (index < 0 || index >= PictureCount()) return nullptr;
  return PictureList[static_cast<size_t>(index)].path;
}

// Loads one slot's picture on the device; a slot without a picture gets no texture.
void LoadSlot(IDirect3DDevice8* device, SceneItem& slot, D3DXIMAGE_INFO* info,
              Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture) {
  texture.Reset();
  const char* path = PicturePath(slot.pictureIndex);
  if (path == nullptr) {
    if (info != nullptr) std::memset(info, 0, sizeof *info);
    return;
  }
  LoadPictureTexture(device, path, kPictureColorKey, info, &texture);
}

uint32_t NextGeneration(uint32_t generation) { return generation + 1 == 0 ? 1 : generation + 1; }

}  // namespace

void ShowApp::AdvanceSlideshow(float elapsedSeconds) {
  if (!AdvanceChangeTimer(slideshowTimers, elapsedSeconds, g_settings.pictureTimer)) {
    CatchUpOutputTextures();
    return;
  }
  // The layout uses the generator as the previous change left it, the pictures the new seed.
  BuildSlots();
  std::srand(timeGetTime());
  AssignPictures();
  pictureGeneration = NextGeneration(pictureGeneration);
  LoadSlotTextures();
  LoadBackdropTexture();
  currentResources->pictureGeneration = pictureGeneration;
}

void ShowApp::BuildSlots() { PlaceSlots(std::rand() % kLayoutCount, PictureSlots, DrawOrder); }

void ShowApp::AssignPictures() {
  int indices[kSlotCount];
  ChoosePictures(PictureCount(), pictureChoice, indices, std::rand);
  for (size_t i = 0; i < PictureSlots.size() && i < kSlotCount; ++i) {
    PictureSlots[i].pictureIndex = indices[i];
  }
}

void ShowApp::LoadSlotTextures() {
  for (size_t i = 0; i < PictureSlots.size() && i < kPictureSlotCount; ++i) {
    SceneItem& slot = PictureSlots[i];
    LoadSlot(currentDevice, slot, &slot.imageInfo, currentResources->slotTextures[i]);
    FitAspect(slot, slot.imageInfo.Width, slot.imageInfo.Height);
  }
}

void ShowApp::CatchUpOutputTextures() {
  if (pictureGeneration == 0 || currentResources->pictureGeneration == pictureGeneration) return;
  for (size_t i = 0; i < PictureSlots.size() && i < kPictureSlotCount; ++i) {
    LoadSlot(currentDevice, PictureSlots[i], nullptr, currentResources->slotTextures[i]);
  }
  LoadBackdropTexture();
  currentResources->pictureGeneration = pictureGeneration;
}

void ShowApp::AdvanceFallbackPicture(float elapsedSeconds) {
  if (AdvanceFallbackTimer(slideshowTimers, elapsedSeconds)) {
    const int n = PictureCount();
    fallbackPicture = n > 0 ? RandomIndex(n, std::rand) : -1;
    fallbackGeneration = NextGeneration(fallbackGeneration);
  }
  if (currentResources->fallbackGeneration != fallbackGeneration) LoadFallbackTextureHere();
  if (currentDevice != nullptr) currentDevice->SetTexture(0, currentResources->fallbackTexture.Get());
}

void ShowApp::LoadFallbackTextureHere() {
  currentResources->fallbackTexture.Reset();
  currentResources->fallbackGeneration = fallbackGeneration;
  const char* path = PicturePath(fallbackPicture);
  if (path != nullptr) {
    LoadPictureTexture(currentDevice, path, 0, nullptr, &currentResources->fallbackTexture);
  }
}
