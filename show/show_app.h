// ShowApp: the product's application object on top of the saver host.
#pragma once

#include <cstdint>
#include <memory>
#include <wrl/client.h>
#include <vector>

#include "host/saver_app.h"
#include "render/drift_spin.h"
#include "render/scene_item.h"
#include "show/picture_decoder.h"
#include "show/slideshow_choice.h"
#include "xfile/frame_node.h"
#include "xfile/mesh_file.h"

constexpr int kPictureSlotCount = 4;
constexpr int kSceneMeshSlots = 7;

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
};

// Releases the record's textures; its mesh roots stay.
void ReleaseOutputTextures(OutputResources& resources);
// Releases every Direct3D object of the record and frees its mesh roots.
void ReleaseOutputResources(OutputResources& resources);

class ShowApp : public SaverApp {
 public:
  ShowApp();
  ~ShowApp() override;

  void ShowConfiguration() override;
  void LoadSettings() override;
  HRESULT SelectOutput(UINT index) override;
  HRESULT RestoreDeviceResources() override;
  HRESULT AdvanceScene() override;
  HRESULT DrawScene() override;
  HRESULT ReleaseDeviceResources() override;
  // Drops the output's own textures before its device goes away.
  HRESULT DestroyDeviceResources() override;

  // Writes the settings and the display settings; false when they could not be stored
  // anywhere (the user has then been told).
  bool SaveSettings();

  // Slideshow: the picture changes of the full scene and the fallback scene's picture.
  // Both take the seconds this call accounts for and tell whether a new arrangement (or
  // fallback picture) has just appeared.
  bool AdvanceSlideshow(float elapsedSeconds);
  // The next arrangement: its slots and draw order, then its pictures.
  void BuildSlots();
  void AssignPictures();
  // This output's textures from the decoded pictures of the arrangement on screen.
  void LoadSlotTextures();
  bool AdvanceFallbackPicture(float elapsedSeconds);
  // Backgrounds: the gradient on backdrop item 0.
  void LoadBackdropTexture();
  // The largest texture edge slot `slot` needs on any output.
  uint32_t SlotDecodeEdge(int slot);
  // Scene: meshes, first-frame preparation and the two scenes.
  HRESULT LoadSceneMeshes();
  void PrepareFullScene();
  void SetShowCamera();
  void DrawFullScene();
  void DrawFallbackScene(float elapsedSeconds);

  OutputResources outputResources[10];
  OutputResources* currentResources;
  float driftSpeed[3];
  float spinTimeBase[3];
  std::vector<SceneItem> PictureSlots;  // placement and choice; textures live per output
  std::vector<SceneItem> BackdropItems;
  std::vector<DrawOrderEntry> DrawOrder;
  D3DCOLOR ambientColor;

  // Shared by every output.
  SlideshowTimers slideshowTimers;
  PictureChoiceState pictureChoice;
  DriftState drift;
  uint32_t pictureGeneration = 0;  // number of picture changes so far
  uint32_t fallbackGeneration = 0;  // number of fallback picture changes so far
  int32_t fallbackPicture = -1;     // PictureList index the fallback scene shows
  uint32_t frameTimePending = 0;   // this frame's elapsed time is not yet taken

  // Decoding: the next arrangement while its pictures are decoded, and the decoded pictures
  // of the arrangement on screen (the four slots, then the backdrop gradient), kept so that
  // every output, and any output that comes back on a new device, fills its textures from
  // one decode.
  PictureDecoder decoder;
  std::vector<SceneItem> pendingSlots;
  std::vector<DrawOrderEntry> pendingOrder;
  bool changeWaiting = false;  // a change fell due and waits for the decoder
  std::vector<d3dx_image::PictureImage> shownPictures;
  d3dx_image::PictureImage fallbackImage;
  int32_t pendingFallbackPicture = -1;

 private:
  // The frame's elapsed time for the first output drawn in it, 0 for the others, so that
  // timers and drift run at the same speed with any number of outputs.
  float TakeFrameTime();
  // Loads this output's copies of the slot and backdrop textures when they are missing or
  // belong to an earlier picture change.
  void CatchUpOutputTextures();
  void LoadFallbackTextureHere();
  void StartDecoding();
  void ShowDecodedArrangement();
  void LoadEnvironmentMapHere();
  // A device that is not the one this output's textures were made on gets fresh copies.
  void ForgetOutputTexturesOnNewDevice();
};

extern ShowApp* activeShowApp;

// The settings' colours as the mesh drawer takes them: frames, pictures and backdrop in the
// frame colour, the mug in its own colour.
MeshPaint SceneMeshPaint();

// The configuration dialog lives above the show; the program's entry installs it.
using ConfigurationDialogFn = INT_PTR (*)(ShowApp& app, HWND owner);
extern ConfigurationDialogFn g_configurationDialog;
