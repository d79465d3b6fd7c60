// The cross-fade from one arrangement to the next. Between changes the gallery stands still
// and no frames are drawn; a fade draws at the display's pace for "TransitionTime"
// milliseconds. Each output draws the view it showed last once into a texture and lays that
// over the new arrangement with falling opacity; an output that cannot (no render-target
// texture, a lost device) simply cuts.
#include "show/show_app.h"

#include <algorithm>

#include "render/fade_overlay.h"

void ShowApp::StartFade(bool hadArrangement) {
  // The first arrangement comes out of black: nothing to fade from.
  fading_ = hadArrangement && state_.settings.transitionTime > 0;
  fadeMs_ = 0.0;
}

bool ShowApp::AdvanceFade(float elapsedSeconds) {
  if (!fading_) return false;
  fadeMs_ += static_cast<double>(elapsedSeconds) * 1000.0;
  // The frame the fade ends in draws the new arrangement alone.
  if (fadeMs_ >= state_.settings.transitionTime) fading_ = false;
  return true;
}

float ShowApp::FadeProgress() const {
  if (!fading_ || state_.settings.transitionTime <= 0) return 1.0f;
  return static_cast<float>(std::min(1.0, fadeMs_ / state_.settings.transitionTime));
}

void ShowApp::CaptureOutgoingView() {
  OutputResources& resources = *currentResources;
  // Only an output that still holds the arrangement it drew before the change fades; one
  // that has nothing yet, or has its outgoing view already, does not capture again.
  if (!fading_ || resources.pictureGeneration == 0 ||
      resources.pictureGeneration == pictureGeneration ||
      resources.fadeGeneration == pictureGeneration) {
    return;
  }
  auto draw = [](void* context) {
    ShowApp& app = *static_cast<ShowApp*>(context);
    app.SetShowCamera();
    app.DrawFullScene();
  };
  const HRESULT hr = CaptureIntoFadeTarget(
      currentDevice, resources.fade, static_cast<D3DCOLOR>(state_.settings.backGndColor), draw,
      this);
  if (SUCCEEDED(hr)) {
    resources.fadeGeneration = pictureGeneration;
  } else {
    ReleaseFadeTarget(resources.fade);  // a cut here; the next change tries again
  }
}

void ShowApp::DrawFadeOverlayHere() {
  const OutputResources& resources = *currentResources;
  if (!fading_ || resources.fadeGeneration != pictureGeneration) return;
  DrawFadeOverlay(currentDevice, resources.fade, 1.0f - FadeProgress());
}
