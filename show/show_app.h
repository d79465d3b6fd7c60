// ShowApp: the product's application object on top of the saver host.
#pragma once

#include <cstdint>
#include <memory>
#include <wrl/client.h>
#include <vector>

#include "host/saver_app.h"
#include "render/drift_spin.h"
#include "render/fade_overlay.h"
#include "render/scene_item.h"
#include "show/picture_decoder.h"
#include "show/picture_round.h"
#include "show/show_state.h"
#include "show/slideshow_choice.h"
#include "show/slideshow_layout.h"
#include "xfile/frame_node.h"
#include "xfile/mesh_file.h"

constexpr int kSceneMeshSlots = 7;
constexpr int kMaxGalleries = kMaxScreens;  // one per output record
// Gallery k's fallback picture moves as gallery 0's does k times this many seconds later, so
// that the monitors do not move in step.
constexpr float kFallbackLeadSeconds = 5.0f;

// Per-output Direct3D objects of the show. A Direct3D object is only ever used on the device
// that created it, so each output keeps its own copies of the shared scene's textures and
// meshes.
struct OutputResources {
  Microsoft::WRL::ComPtr<IDirect3DTexture8> fallbackTexture;  // picture of the fallback scene on this output
  Microsoft::WRL::ComPtr<IDirect3DTexture8> slotTextures[kPictureSlotCount];  // the pictures of PictureSlots
  Microsoft::WRL::ComPtr<IDirect3DTexture8> backdropTexture;  // the gradient of BackdropItems item 0
  Microsoft::WRL::ComPtr<IDirect3DCubeTexture8> environmentMap;
  std::unique_ptr<FrameNode> sceneMeshes[kSceneMeshSlots];  // indexed by SceneMeshId
  IDirect3DDevice8* resourceDevice = nullptr;  // device the textures above belong to
  uint32_t pictureGeneration = 0;   // picture change the slot textures show; 0: none yet
  uint32_t fallbackGeneration = 0;  // fallback picture change fallbackTexture shows; 0: none
  uint32_t environmentTried = 0;    // the environment map was loaded (or failed) here
  // The arrangement the slot textures belong to: what this output drew last.
  std::vector<SceneItem> drawnSlots;
  std::vector<DrawOrderEntry> drawnOrder;
  // The next arrangement's textures, made while the gallery stood still; `aheadGeneration` is
  // the picture change they belong to (0: none).
  Microsoft::WRL::ComPtr<IDirect3DTexture8> aheadSlotTextures[kPictureSlotCount];
  Microsoft::WRL::ComPtr<IDirect3DTexture8> aheadBackdropTexture;
  uint32_t aheadGeneration = 0;
  FadeTarget fade;              // the outgoing view while a fade runs
  uint32_t fadeGeneration = 0;  // picture change the outgoing view in `fade` fades into
};

// What an output shows: its arrangement and its fallback picture. Each output has its own
// gallery unless the same image is wanted on all monitors; then gallery 0 serves them all.
struct Gallery {
  std::vector<SceneItem> PictureSlots;  // placement and choice; textures live per output
  std::vector<DrawOrderEntry> DrawOrder;
  // The decoded pictures of the slots on screen, shared with any gallery showing the same
  // picture, kept so that an output that comes back on a new device fills its textures from
  // the one decode.
  std::shared_ptr<const imaging::PictureImage> shownPictures[kPictureSlotCount];
  // The next arrangement while its pictures are decoded, and each slot's job in the batch.
  std::vector<SceneItem> pendingSlots;
  std::vector<DrawOrderEntry> pendingOrder;
  int pendingJobs[kPictureSlotCount] = {-1, -1, -1, -1};
  std::shared_ptr<const imaging::PictureImage> pendingPictures[kPictureSlotCount];

  DriftState drift;
  int32_t fallbackPicture = -1;  // PictureList index the fallback scene shows
  int32_t pendingFallbackPicture = -1;
  int pendingFallbackJob = -1;
  std::shared_ptr<const imaging::PictureImage> fallbackImage;
  bool frameTimePending = false;  // this frame's elapsed time is not yet taken
};

// Releases the record's textures; its mesh roots stay.
void ReleaseOutputTextures(OutputResources& resources);
// Releases every Direct3D object of the record and frees its mesh roots.
void ReleaseOutputResources(OutputResources& resources);

class ShowApp;

// The configuration dialog lives above the show; the program's entry passes it in.
using ConfigurationDialogFn = INT_PTR (*)(ShowApp& app, HWND owner);

class ShowApp : public SaverApp {
 public:
  explicit ShowApp(ConfigurationDialogFn configurationDialog = nullptr);
  ~ShowApp() override;

  void ShowConfiguration() override;
  void LoadSettings() override;
  HRESULT SelectOutput(UINT index) override;
  HRESULT RestoreDeviceResources() override;
  HRESULT AdvanceScene() override;
  IdleWait NextWait() override;
  // Reads the picture list once the settings have named the data folder.
  void LoadStartUpData(bool drawingMode) override;
  HRESULT DrawScene() override;
  HRESULT ReleaseDeviceResources() override;
  // Drops the output's own textures before its device goes away.
  HRESULT DestroyDeviceResources() override;

  // Writes the settings and the display settings; false when they could not be stored
  // anywhere (the user has then been told).
  bool SaveSettings(const ShowSettings& settings);
  bool SaveSettings() { return SaveSettings(state_.settings); }

  // The settings, data folder, picture list and themes in use. The dialogs edit a copy.
  ShowState& State() { return state_; }
  const ShowState& State() const { return state_; }

  // What tests and benchmarks look at, and the one knob the fallback shots turn.
  bool FirstFramePending() const { return firstFramePending_ != 0; }
  const Gallery& GalleryAt(int gallery) const { return galleries[gallery]; }
  int GalleryCount() const { return galleryCount; }
  OutputResources& CurrentResources() { return *currentResources; }
  const OutputResources& ResourcesOf(UINT output) const { return outputResources[output]; }
  const std::vector<SceneItem>& Backdrop() const { return BackdropItems; }
  D3DCOLOR AmbientColor() const { return ambientColor; }
  void SetSpinTimeBase(float x, float y, float z);
  SlideshowTimers& Timers() { return slideshowTimers; }
  uint32_t PictureGeneration() const { return pictureGeneration; }
  uint32_t FallbackGeneration() const { return fallbackGeneration; }
  PictureDecoder& Decoder() { return decoder; }
  bool Fading() const { return fading_; }
  // How far the running fade is, 0 (the outgoing view) to 1.
  float FadeProgress() const;

  // Slideshow: the picture changes of the full scene and the fallback scene's picture.
  // Both take the seconds this call accounts for and tell whether a new arrangement (or
  // fallback picture) has just appeared.
  bool AdvanceSlideshow(float elapsedSeconds);
  // The next arrangement of every gallery: slots and draw order, then pictures.
  void BuildSlots();
  void AssignPictures();
  // This output's textures from the decoded pictures of its gallery.
  void LoadSlotTextures();
  bool AdvanceFallbackPicture(float elapsedSeconds);
  // Backgrounds: the gradient on backdrop item 0.
  void LoadBackdropTexture();
  // The largest texture edge slot `slot` needs on the outputs showing `gallery`.
  uint32_t SlotDecodeEdge(int slot, int gallery);
  // The galleries a change makes: one per output, or one for all.
  int WantedGalleryCount() const;
  // The gallery the current output shows.
  Gallery& CurrentGallery();
  // Scene: meshes, first-frame preparation and the two scenes.
  HRESULT LoadSceneMeshes();
  void PrepareFullScene();
  void SetShowCamera();
  // The arrangement this output's slot textures belong to.
  void DrawFullScene();
  void DrawFallbackScene(float elapsedSeconds);

 private:
  ShowState state_;
  int firstFramePending_ = 1;  // 1 until the first full-scene frame
  ConfigurationDialogFn configurationDialog_;

  OutputResources outputResources[kMaxScreens];
  OutputResources* currentResources;
  float driftSpeed[3];
  float spinTimeBase[3];
  std::vector<SceneItem> BackdropItems;
  D3DCOLOR ambientColor;

  Gallery galleries[kMaxGalleries];
  int galleryCount = 1;         // galleries on screen; outputs beyond them show gallery 0
  int pendingGalleryCount = 1;  // galleries of the change being decoded
  UINT currentOutput = 0;

  // Shared by every output: one timer, so that all monitors change together.
  SlideshowTimers slideshowTimers;
  PictureChoiceState pictureChoice[kMaxGalleries];
  PictureRound pictureRound;  // every picture once before any repeats, across runs
  uint32_t pictureGeneration = 0;  // number of picture changes so far
  uint32_t fallbackGeneration = 0;  // number of fallback picture changes so far

  // Decoding: one batch for every gallery's pictures, each picture once, then the backdrop
  // gradient. The gradient of the arrangement on screen is kept like the pictures.
  PictureDecoder decoder;
  bool changeWaiting = false;  // a change fell due and waits for its pictures or a fade
  int pendingBackdropJob = -1;
  std::shared_ptr<const imaging::PictureImage> backdropPicture;
  std::shared_ptr<const imaging::PictureImage> pendingBackdropPicture;
  bool arrangementReady_ = false;  // the next arrangement is decoded and taken

  // The frame's elapsed time for the first output drawn in it with this gallery, 0 for the
  // others, so that a shared drift runs at the same speed with any number of outputs.
  float TakeFrameTime(Gallery& gallery);
  // Loads this output's copies of the slot and backdrop textures when they are missing or
  // belong to an earlier picture change.
  void CatchUpOutputTextures();
  void LoadFallbackTextureHere();
  void StartDecoding();
  // Chooses the next arrangement and starts decoding it, to be kept until its change is due.
  void StartNextArrangement();
  // The finished batch into the pending arrangement, then that on screen.
  void TakeDecodedArrangement();
  void ShowDecodedArrangement();
  // Fills every output's spare textures with the pending arrangement, and at the change swaps
  // them in; false when this output has none for this change.
  void UploadArrangementAhead();
  bool TakeTexturesMadeAhead();
  void LoadEnvironmentMapHere();
  // Cross-fade: one clock for every output; each output keeps the view it showed before the
  // change in a texture and lays it over the new arrangement, fainter every frame.
  bool fading_ = false;
  double fadeMs_ = 0.0;
  void StartFade(bool hadArrangement);
  // Moves the running fade on; true while a frame is wanted for it (its last one included).
  bool AdvanceFade(float elapsedSeconds);
  void CaptureOutgoingView();
  void DrawFadeOverlayHere();
  // A device that is not the one this output's textures were made on gets fresh copies.
  void ForgetOutputTexturesOnNewDevice();
};

// The settings' colours as the mesh drawer takes them: frames, pictures and backdrop in the
// frame colour, the mug in its own colour.
MeshPaint SceneMeshPaint(const ShowSettings& settings);
