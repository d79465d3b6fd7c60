// What the show does when the host calls it: device resources and light on every restore,
// and per frame the clear, the slideshow step and the full or the fallback scene.
#include "show/show_app.h"

#include <objbase.h>

#include "base/message_box.h"
#include "host/host_clock.h"
#include "render/fallback_scene.h"
#include "render/full_scene.h"
#include "render/scene_object.h"
#include "render/state_sets.h"
#include "show/show_settings.h"
#include "xfile/frame_node.h"
#include "xfile/mesh_file.h"

static_assert(kSceneMeshSlots == kSceneMeshCount, "one mesh root per scene mesh file");

MeshPaint SceneMeshPaint(const ShowSettings& settings) {
  MeshPaint paint;
  const RgbBytes& frame = settings.backGndRgb;
  const RgbBytes& object = settings.object3DRgb;
  paint.frameRgb[0] = frame.r;
  paint.frameRgb[1] = frame.g;
  paint.frameRgb[2] = frame.b;
  paint.objectRgb[0] = object.r;
  paint.objectRgb[1] = object.g;
  paint.objectRgb[2] = object.b;
  paint.objectReflects = settings.renderReflection == 1;
  return paint;
}

namespace {

// A scene mesh that did not load is named in a box; the scene goes on without it.
void ReportMeshLoadFailure(const char* path) {
  g_messageBox(nullptr, path, "can not load object!", MB_OK);
}

}  // namespace

void ShowApp::ShowConfiguration() {
  // The dialogs' picture previews load through OLE.
  if (configurationDialog_ == nullptr) return;
  const HRESULT com = CoInitialize(nullptr);
  configurationDialog_(*this, parentWindow);
  if (SUCCEEDED(com)) CoUninitialize();
}

HRESULT ShowApp::SelectOutput(UINT index) {
  if (index >= sizeof outputResources / sizeof outputResources[0]) return E_INVALIDARG;
  currentResources = &outputResources[index];
  currentOutput = index;
  return S_OK;
}

HRESULT ShowApp::RestoreDeviceResources() {
  if (currentDevice == nullptr) return S_OK;
  ForgetOutputTexturesOnNewDevice();
  if (FAILED(LoadSceneMeshes())) return E_FAIL;
  currentDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  light.Specular = {0.5f, 0.5f, 0.5f, 0.0f};
  light.Ambient = {0.2f, 0.2f, 0.2f, 0.0f};
  light.Position = {0.0f, 0.0f, -5000.0f};
  light.Direction = {0.0f, 0.0f, 0.0f};
  light.Range = 15000.0f;
  light.Attenuation0 = 1.0f;
  currentDevice->SetLight(0, &light);
  currentDevice->LightEnable(0, TRUE);
  return S_OK;
}

HRESULT ShowApp::AdvanceScene() {
  for (Gallery& gallery : galleries) gallery.frameTimePending = true;
  if (!state_.settingsLoaded) {
    // The fallback picture drifts all the time.
    AdvanceFallbackPicture(elapsedTime);
    return S_OK;
  }
  // The fade goes first, so that a change that waits for it can come in the frame it ends.
  const bool fadeFrame = AdvanceFade(elapsedTime);
  const bool changed = AdvanceSlideshow(elapsedTime);
  // Until the first arrangement is in, the one black frame the host draws first stays.
  return changed || fadeFrame || (firstFramePending_ && pictureGeneration != 0) ? S_OK : S_FALSE;
}

IdleWait ShowApp::NextWait() {
  IdleWait wait;
  // A change that waits for its pictures is woken by their decode (and looked at every
  // second, so that a stalled read is given up); otherwise the next change wakes the loop,
  // whether or not its pictures are in already.
  const double untilChange = state_.settings.pictureTimer - slideshowTimers.changeElapsed;
  if (!state_.settingsLoaded) {
    wait.wakeEvent = decoder.FinishedEvent();
    wait.idleSeconds = 0.0f;  // the fallback picture drifts all the time
  } else if (fading_) {
    wait.idleSeconds = 0.0f;
  } else if (changeWaiting) {
    wait.wakeEvent = decoder.FinishedEvent();
  } else {
    wait.idleSeconds = untilChange > 0.0 ? static_cast<float>(untilChange) : 0.0f;
  }
  return wait;
}

HRESULT ShowApp::DrawScene() {
  if (currentDevice == nullptr) return S_OK;
  ForgetOutputTexturesOnNewDevice();
  // The view before a change goes into this output's fade texture before anything of the new
  // arrangement is drawn.
  if (state_.settingsLoaded && !firstFramePending_) CaptureOutgoingView();
  // Black while the first arrangement is still being read.
  const bool waiting = state_.settingsLoaded && pictureGeneration == 0;
  const D3DCOLOR clear = waiting ? 0 : static_cast<D3DCOLOR>(state_.settings.backGndColor);
  currentDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
  if (waiting) return S_OK;
  if (FAILED(currentDevice->BeginScene())) return S_FALSE;  // nothing drawn: draw again
  if (!state_.settingsLoaded) {
    DrawFallbackScene(TakeFrameTime(CurrentGallery()));
  } else {
    if (firstFramePending_) {
      firstFramePending_ = 0;
      PrepareFullScene();
    } else if (!currentResources->environmentTried) {
      LoadEnvironmentMapHere();
    }
    CatchUpOutputTextures();
    SetShowCamera();
    DrawFullScene();
    DrawFadeOverlayHere();
  }
  currentDevice->EndScene();
  return S_OK;
}

HRESULT ShowApp::ReleaseDeviceResources() {
  currentResources->fallbackTexture.Reset();
  currentResources->fallbackGeneration = 0;
  // Default-pool objects go before a Reset; a fade that was running ends as a cut here.
  ReleaseFadeTarget(currentResources->fade);
  currentResources->fadeGeneration = 0;
  ReleaseSceneMeshFiles(currentResources->sceneMeshes);
  return S_OK;
}

HRESULT ShowApp::DestroyDeviceResources() {
  // The mesh roots (emptied by ReleaseDeviceResources) stay for the next device.
  ReleaseOutputTextures(*currentResources);
  return S_OK;
}

float ShowApp::TakeFrameTime(Gallery& gallery) {
  if (!gallery.frameTimePending) return 0.0f;
  gallery.frameTimePending = false;
  return elapsedTime;
}

void ShowApp::ForgetOutputTexturesOnNewDevice() {
  OutputResources& resources = *currentResources;
  if (resources.resourceDevice == currentDevice) return;
  ReleaseOutputTextures(resources);
  resources.resourceDevice = currentDevice;
}

HRESULT ShowApp::LoadSceneMeshes() {
  return LoadSceneMeshFiles(currentDevice, state_.InstallDir, currentResources->sceneMeshes,
                            ReportMeshLoadFailure);
}

void ShowApp::PrepareFullScene() {
  const float origin[3] = {0.0f, 0.0f, 0.0f};
  BackdropItems.emplace_back(origin);
  BackdropItems.emplace_back(origin);
  LoadEnvironmentMapHere();
}

void ShowApp::LoadEnvironmentMapHere() {
  currentResources->environmentMap.Reset();
  currentResources->environmentMap = LoadEnvironmentMap(currentDevice, state_.InstallDir);
  currentResources->environmentTried = 1;
}

void ShowApp::SetShowCamera() { ::SetShowCamera(currentDevice, BackBufferAspect(backBufferDesc)); }

void ShowApp::DrawFullScene() {
  OutputResources& resources = *currentResources;
  std::vector<bool> loaded(resources.drawnSlots.size(), false);
  for (size_t i = 0; i < loaded.size() && i < kPictureSlotCount; ++i) {
    loaded[i] = resources.slotTextures[i] != nullptr;
  }
  const ShowSettings& settings = state_.settings;
  const SceneSwitches switches = {settings.invertPicture == 1, settings.render3DObject == 1,
                                  settings.renderReflection == 1};
  const SceneTextures textures = {resources.slotTextures, kPictureSlotCount,
                                  resources.backdropTexture.Get(),
                                  resources.environmentMap.Get()};
  ::DrawFullScene(currentDevice,
                  PlanFullScene(resources.drawnSlots, resources.drawnOrder, loaded, switches),
                  resources.sceneMeshes, textures, ambientColor,
                  SceneMeshPaint(settings));
}

void ShowApp::DrawFallbackScene(float elapsedSeconds) {
  ApplyFallbackStates(currentDevice, ambientColor);
  SetFallbackCamera(currentDevice, BackBufferAspect(backBufferDesc));
  if (currentResources->fallbackGeneration != fallbackGeneration) LoadFallbackTextureHere();
  currentDevice->SetTexture(0, currentResources->fallbackTexture.Get());
  Gallery& gallery = CurrentGallery();
  // Each gallery's picture turns as gallery 0's will some seconds later.
  const DWORD lead = static_cast<DWORD>((&gallery - galleries) * kFallbackLeadSeconds * 1000.0f);
  const D3DXMATRIX world =
      ComputeDriftSpin(gallery.drift, driftSpeed, spinTimeBase, elapsedSeconds,
                       static_cast<DWORD>(HostClock::AbsoluteTime() * 1000.0) + lead);
  DrawFallbackPicture(currentDevice, currentResources->sceneMeshes[PictureMesh].get(), world,
                      SceneMeshPaint(state_.settings));
}

void ReleaseOutputTextures(OutputResources& resources) {
  resources.fallbackTexture.Reset();
  for (Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture : resources.slotTextures) texture.Reset();
  resources.backdropTexture.Reset();
  resources.environmentMap.Reset();
  resources.resourceDevice = nullptr;
  resources.pictureGeneration = 0;
  resources.fallbackGeneration = 0;
  resources.environmentTried = 0;
  for (Microsoft::WRL::ComPtr<IDirect3DTexture8>& texture : resources.aheadSlotTextures) {
    texture.Reset();
  }
  resources.aheadBackdropTexture.Reset();
  resources.aheadGeneration = 0;
  resources.drawnSlots.clear();
  resources.drawnOrder.clear();
  ReleaseFadeTarget(resources.fade);
  resources.fadeGeneration = 0;
}

void ReleaseOutputResources(OutputResources& resources) {
  ReleaseOutputTextures(resources);
  for (std::unique_ptr<FrameNode>& root : resources.sceneMeshes) root.reset();
}
