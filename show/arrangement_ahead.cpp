// The next arrangement made ready on every output while the gallery stands still: its
// textures filled, and the view on screen kept for the fade. At the change an output then only
// swaps textures and draws, so the new arrangement shows in the frame its change falls due.
#include <utility>

#include "render/fade_overlay.h"
#include "show/show_app.h"
#include "show/slideshow.h"

namespace {

void ReleaseAheadTextures(OutputResources& resources) {
  for (Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture : resources.aheadSlotTextures) {
    texture.Reset();
  }
  resources.aheadBackdropTexture.Reset();
  resources.aheadGeneration = 0;
}

}  // namespace

void ShowApp::UploadArrangementAhead() {
  const uint32_t next = pictureGeneration + 1 == 0 ? 1 : pictureGeneration + 1;
  // Called between frames: the output the host made current last stays current.
  IDirect3DDevice8* const device = currentDevice;
  const D3DSURFACE_DESC backBuffer = backBufferDesc;
  const UINT output = currentOutput;
  for (UINT i = 0; i < outputs.size() && i < kMaxScreens; ++i) {
    MakeOutputCurrent(i);
    OutputResources& resources = *currentResources;
    ReleaseAheadTextures(resources);
    // An output on a device it has not set up yet, or one that is lost, catches up at the
    // change instead.
    if (currentDevice == nullptr || resources.resourceDevice != currentDevice ||
        currentDevice->TestCooperativeLevel() != D3D_OK) {
      continue;
    }
    const Gallery& gallery = galleries[static_cast<int>(i) < pendingGalleryCount ? i : 0];
    for (size_t s = 0; s < kPictureSlotCount; ++s) {
      const std::shared_ptr<const imaging::PictureImage>& picture = gallery.pendingPictures[s];
      if (s < gallery.pendingSlots.size() && picture != nullptr) {
        UploadPicture(currentDevice, *picture, PictureLevels(*picture),
                      resources.aheadSlotTextures[s]);
      }
    }
    if (pendingBackdropPicture != nullptr) {
      UploadPicture(currentDevice, *pendingBackdropPicture, 0, resources.aheadBackdropTexture);
    }
    // Into video memory now, not in the change's frame.
    for (Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture : resources.aheadSlotTextures) {
      if (texture != nullptr) texture->PreLoad();
    }
    if (resources.aheadBackdropTexture != nullptr) resources.aheadBackdropTexture->PreLoad();
    resources.aheadGeneration = next;

    // The view on screen now is the one the change fades from.
    if (state_.settings.transitionTime <= 0 || pictureGeneration == 0 ||
        resources.pictureGeneration != pictureGeneration || firstFramePending_) {
      continue;
    }
    auto draw = [](void* context) {
      ShowApp& app = *static_cast<ShowApp*>(context);
      app.SetShowCamera();
      app.DrawFullScene();
    };
    if (FAILED(CaptureIntoFadeTarget(currentDevice, resources.fade,
                                     static_cast<D3DCOLOR>(state_.settings.backGndColor), draw,
                                     this))) {
      continue;  // the change tries again when it draws
    }
    resources.fadeGeneration = next;
    // The first draw from a texture just rendered into costs the driver most; pay it now, on
    // the back buffer the next frame clears anyway.
    if (SUCCEEDED(currentDevice->BeginScene())) {
      DrawFadeOverlay(currentDevice, resources.fade, 1.0f);
      currentDevice->EndScene();
    }
  }
  currentDevice = device;
  backBufferDesc = backBuffer;
  SelectOutput(output);
}

bool ShowApp::TakeTexturesMadeAhead() {
  OutputResources& resources = *currentResources;
  if (resources.aheadGeneration != pictureGeneration) {
    ReleaseAheadTextures(resources);
    return false;
  }
  for (size_t s = 0; s < kPictureSlotCount; ++s) {
    resources.slotTextures[s] = std::move(resources.aheadSlotTextures[s]);
  }
  resources.backdropTexture = std::move(resources.aheadBackdropTexture);
  ReleaseAheadTextures(resources);
  return true;
}
