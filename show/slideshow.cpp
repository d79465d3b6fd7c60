// The picture changes of the full scene and the fallback scene's single picture. One timer
// serves all outputs; each output has a gallery of its own unless the same image is wanted on
// all monitors. The pictures of every gallery's next arrangement are decoded in one batch on
// worker threads, each picture once, while the arrangements before them stay on screen; each
// output fills its own textures from the one decode, and at the change all appear at once.
#include "show/slideshow.h"

#include <mmsystem.h>

#include <cstdlib>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "image/image_scale.h"
#include "show/backgrounds.h"
#include "show/picture_list.h"
#include "show/picture_round.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/slideshow_layout.h"
#include "show/texture_sizing.h"

namespace {

int PictureCount(const std::vector<PictureEntry>& list) {
  const size_t n = list.size();
  return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

const char* PicturePath(const std::vector<PictureEntry>& list, int32_t index) {
  if (index < 0 || index >= PictureCount(list)) return nullptr;
  return list[static_cast<size_t>(index)].path;
}

// Adds a decode of `path` to the batch, or widens the job that decodes it already; its index,
// -1 for no picture.
int AddDecodeJob(std::vector<DecodeJob>& jobs, const char* path, uint32_t edge,
                 D3DCOLOR colorKey) {
  if (path == nullptr) return -1;
  for (size_t j = 0; j < jobs.size(); ++j) {
    if (jobs[j].path == path) {
      jobs[j].edge = std::max(jobs[j].edge, edge);
      return static_cast<int>(j);
    }
  }
  jobs.push_back({path, edge, colorKey});
  return static_cast<int>(jobs.size() - 1);
}

using SharedPicture = std::shared_ptr<const imaging::PictureImage>;

// The batch's pictures, each to be shared by every slot or output that shows it.
std::vector<SharedPicture> ShareDecoded(std::vector<imaging::PictureImage> pictures) {
  std::vector<SharedPicture> shared;
  for (imaging::PictureImage& picture : pictures) {
    shared.push_back(std::make_shared<const imaging::PictureImage>(std::move(picture)));
  }
  return shared;
}

SharedPicture JobPicture(const std::vector<SharedPicture>& decoded, int job) {
  return job >= 0 && static_cast<size_t>(job) < decoded.size() ? decoded[job] : nullptr;
}

// A slot's place and picture without its textures, which the outputs hold themselves.
SceneItem PlacementOf(const SceneItem& slot) {
  SceneItem copy(slot.position);
  for (int i = 0; i < 3; ++i) {
    copy.rotationDeg[i] = slot.rotationDeg[i];
    copy.outward[i] = slot.outward[i];
    copy.across[i] = slot.across[i];
  }
  copy.imageInfo = slot.imageInfo;
  copy.widthFactor = slot.widthFactor;
  copy.heightFactor = slot.heightFactor;
  copy.itemSize = slot.itemSize;
  copy.pictureIndex = slot.pictureIndex;
  return copy;
}

uint32_t NextGeneration(uint32_t generation) { return generation + 1 == 0 ? 1 : generation + 1; }

}  // namespace

uint32_t PictureLevels(const imaging::PictureImage& picture) {
  return picture.image.width > kSmallestPictureEdge ? 0 : 1;
}

HRESULT UploadPicture(IDirect3DDevice8* device, const imaging::PictureImage& picture,
                      uint32_t levels, Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture) {
  texture.Reset();
  if (device == nullptr || picture.image.width == 0) return E_FAIL;
  return imaging::CreateTextureFromImage(device, picture, levels, imaging::kFilterLinear,
                                            &texture);
}

bool ShowApp::AdvanceSlideshow(float elapsedSeconds) {
  if (AdvanceChangeTimer(slideshowTimers, elapsedSeconds, state_.settings.pictureTimer)) {
    changeWaiting = true;
  }
  // Decoded ahead, the next arrangement goes into every output's spare textures while the
  // gallery stands still (not during a fade: its frames keep their pace).
  if (!fading_ && !arrangementReady_ && decoder.Busy() && decoder.Finished()) {
    TakeDecodedArrangement();
    UploadArrangementAhead();
  }
  // A change that falls due while its pictures are still decoding, or while the fade of the
  // one before runs, waits for them; one whose pictures are in appears in this frame.
  bool changed = false;
  if (changeWaiting && !fading_ && arrangementReady_) {
    changeWaiting = false;
    ShowDecodedArrangement();
    changed = true;
  }
  // The next arrangement is chosen and decoded while this one is on screen (a fade's first
  // frame keeps every processor; it starts a frame later). The first too is waited for with
  // the loop running: input must end the saver while a picture is still being read.
  if (!(changed && fading_) && !decoder.Busy() && !arrangementReady_) StartNextArrangement();
  return changed;
}

void ShowApp::StartNextArrangement() {
  pendingGalleryCount = WantedGalleryCount();
  BuildSlots();
  // The layouts use the generator as the previous change left it, the pictures the new seed.
  std::srand(timeGetTime());
  AssignPictures();
  StartDecoding();
}

int ShowApp::WantedGalleryCount() const {
  if (allScreensSame != 0) return 1;
  return static_cast<int>(std::max(1u, std::min<uint32_t>(outputs.size(), kMaxGalleries)));
}

Gallery& ShowApp::CurrentGallery() {
  return galleries[static_cast<int>(currentOutput) < galleryCount ? currentOutput : 0];
}

void ShowApp::BuildSlots() {
  for (int k = 0; k < pendingGalleryCount; ++k) {
    PlaceSlots(std::rand() % kLayoutCount, galleries[k].pendingSlots, galleries[k].pendingOrder);
  }
}

void ShowApp::AssignPictures() {
  int indices[kMaxGalleries][kPictureSlotCount];
  ChooseGalleryPictures(state_.settings.showEveryPicture != 0 ? &pictureRound : nullptr,
                        state_.PictureList, pendingGalleryCount, pictureChoice, indices, std::rand);
  for (int k = 0; k < pendingGalleryCount; ++k) {
    std::vector<SceneItem>& slots = galleries[k].pendingSlots;
    for (size_t i = 0; i < slots.size() && i < kPictureSlotCount; ++i) {
      slots[i].pictureIndex = indices[k][i];
    }
  }
}

uint32_t ShowApp::SlotDecodeEdge(int slot, int gallery) {
  uint32_t edge = kSmallestPictureEdge;
  for (UINT i = 0; i < outputs.size(); ++i) {
    IDirect3DDevice8* device = outputs[i].device.Get();
    const int shows = static_cast<int>(i) < pendingGalleryCount ? static_cast<int>(i) : 0;
    if (device == nullptr || shows != gallery) continue;
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
  for (int k = 0; k < pendingGalleryCount; ++k) {
    Gallery& gallery = galleries[k];
    for (size_t i = 0; i < kPictureSlotCount; ++i) {
      gallery.pendingJobs[i] =
          i < gallery.pendingSlots.size()
              ? AddDecodeJob(jobs,
                             PicturePath(state_.PictureList, gallery.pendingSlots[i].pictureIndex),
                             SlotDecodeEdge(static_cast<int>(i), k), kPictureColorKey)
              : -1;
    }
  }
  char gradient[1024];
  pendingBackdropJob = -1;
  if (GradientFilePath(state_.InstallDir, state_.settings.gradient, gradient, sizeof gradient)) {
    pendingBackdropJob = AddDecodeJob(jobs, gradient, kSmallestPictureEdge, kPictureColorKey);
  }
  decoder.Start(std::move(jobs));
}

void ShowApp::TakeDecodedArrangement() {
  const std::vector<SharedPicture> decoded = ShareDecoded(decoder.Take());
  for (int k = 0; k < pendingGalleryCount; ++k) {
    Gallery& gallery = galleries[k];
    for (size_t i = 0; i < kPictureSlotCount; ++i) {
      gallery.pendingPictures[i] = JobPicture(decoded, gallery.pendingJobs[i]);
      if (i >= gallery.pendingSlots.size()) continue;
      SceneItem& slot = gallery.pendingSlots[i];
      slot.imageInfo = gallery.pendingPictures[i] != nullptr ? gallery.pendingPictures[i]->info
                                                             : D3DXIMAGE_INFO{};
      FitAspect(slot, slot.imageInfo.Width, slot.imageInfo.Height);
    }
  }
  pendingBackdropPicture = JobPicture(decoded, pendingBackdropJob);
  arrangementReady_ = true;
}

void ShowApp::ShowDecodedArrangement() {
  for (int k = 0; k < kMaxGalleries; ++k) {
    Gallery& gallery = galleries[k];
    if (k >= pendingGalleryCount) {
      // Outputs beyond the new galleries show gallery 0 from now on.
      gallery.PictureSlots.clear();
      gallery.DrawOrder.clear();
      for (SharedPicture& picture : gallery.shownPictures) picture.reset();
      continue;
    }
    for (size_t i = 0; i < kPictureSlotCount; ++i) {
      gallery.shownPictures[i] = std::move(gallery.pendingPictures[i]);
    }
    gallery.PictureSlots = std::move(gallery.pendingSlots);
    gallery.DrawOrder = std::move(gallery.pendingOrder);
    gallery.pendingSlots.clear();
    gallery.pendingOrder.clear();
  }
  backdropPicture = std::move(pendingBackdropPicture);
  arrangementReady_ = false;
  galleryCount = pendingGalleryCount;
  StartFade(pictureGeneration != 0);
  pictureGeneration = NextGeneration(pictureGeneration);
}

void ShowApp::LoadSlotTextures() {
  OutputResources& resources = *currentResources;
  Gallery& gallery = CurrentGallery();
  for (size_t i = 0; i < kPictureSlotCount; ++i) {
    const SharedPicture& picture = gallery.shownPictures[i];
    if (i < gallery.PictureSlots.size() && picture != nullptr) {
      UploadPicture(currentDevice, *picture, PictureLevels(*picture), resources.slotTextures[i]);
    } else {
      resources.slotTextures[i].Reset();
    }
  }
}

void ShowApp::CatchUpOutputTextures() {
  if (pictureGeneration == 0 || currentResources->pictureGeneration == pictureGeneration) return;
  if (!TakeTexturesMadeAhead()) {
    LoadSlotTextures();
    LoadBackdropTexture();
  }
  const Gallery& gallery = CurrentGallery();
  currentResources->drawnSlots.clear();
  for (const SceneItem& slot : gallery.PictureSlots) {
    currentResources->drawnSlots.push_back(PlacementOf(slot));
  }
  currentResources->drawnOrder = gallery.DrawOrder;
  currentResources->pictureGeneration = pictureGeneration;
}

bool ShowApp::AdvanceFallbackPicture(float elapsedSeconds) {
  bool changed = false;
  if (decoder.Busy() && decoder.Finished()) {
    const std::vector<SharedPicture> decoded = ShareDecoded(decoder.Take());
    for (int k = 0; k < kMaxGalleries; ++k) {
      Gallery& gallery = galleries[k];
      const bool shown = k < pendingGalleryCount;
      gallery.fallbackImage = shown ? JobPicture(decoded, gallery.pendingFallbackJob) : nullptr;
      gallery.fallbackPicture = shown ? gallery.pendingFallbackPicture : -1;
    }
    galleryCount = pendingGalleryCount;
    fallbackGeneration = NextGeneration(fallbackGeneration);
    changed = true;
  }
  if (AdvanceFallbackTimer(slideshowTimers, elapsedSeconds)) changeWaiting = true;
  if (changeWaiting && !decoder.Busy()) {
    changeWaiting = false;
    pendingGalleryCount = WantedGalleryCount();
    int pictures[kMaxGalleries];
    ChooseFallbackFromRound(state_.settings.showEveryPicture != 0 ? &pictureRound : nullptr,
                            state_.PictureList, pendingGalleryCount, pictures, std::rand);
    std::vector<DecodeJob> jobs;
    for (int k = 0; k < pendingGalleryCount; ++k) {
      galleries[k].pendingFallbackPicture = pictures[k];
      galleries[k].pendingFallbackJob =
          AddDecodeJob(jobs, PicturePath(state_.PictureList, pictures[k]), kSmallestPictureEdge,
                       0);
    }
    decoder.Start(std::move(jobs));
  }
  return changed;
}

void ShowApp::LoadFallbackTextureHere() {
  currentResources->fallbackGeneration = fallbackGeneration;
  const SharedPicture& picture = CurrentGallery().fallbackImage;
  if (picture != nullptr) {
    UploadPicture(currentDevice, *picture, 1, currentResources->fallbackTexture);
  } else {
    currentResources->fallbackTexture.Reset();
  }
}
