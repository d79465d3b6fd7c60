// Construction of the product's application object.
#include "show/show_app.h"

#include <commctrl.h>

#include <cstdlib>

#include "base/text_copy.h"
#include "host/saver_errors.h"
#include "show/picture_list.h"

ShowApp::ShowApp(ConfigurationDialogFn configurationDialog)
    : configurationDialog_(configurationDialog) {
  InitCommonControls();  // the configuration dialog has a trackbar
  currentResources = &outputResources[0];
  std::srand(0);
  CopyText(registryKeyPath, "Software\\Korrin Software\\Solvane 7.0", sizeof registryKeyPath);
  char title[sizeof windowTitle];
  if (LoadStringA(GetModuleHandleA(nullptr), IDS_WINDOW_TITLE, title, sizeof title) > 0) {
    CopyText(windowTitle, title, sizeof windowTitle);
  }
  driftSpeed[0] = 0.5f;
  driftSpeed[1] = 0.75f;
  driftSpeed[2] = 1.0f;
  for (float& base : spinTimeBase) base = 2000.0f;
  // Further galleries start their choice rules and their fallback drift further on, so that
  // no two monitors show the same sequence.
  for (int k = 1; k < kMaxGalleries; ++k) {
    pictureChoice[k] = FirstChoiceState(k);
    // Small steps, so that the drift turns at the box walls as it does in frames.
    const int steps = static_cast<int>(k * kFallbackLeadSeconds / 0.1f);
    for (int step = 0; step < steps; ++step) {
      ComputeDriftSpin(galleries[k].drift, driftSpeed, spinTimeBase, 0.1f, 0);
    }
  }
  ambientColor = 0;
}

void ShowApp::SetSpinTimeBase(float x, float y, float z) {
  spinTimeBase[0] = x;
  spinTimeBase[1] = y;
  spinTimeBase[2] = z;
}

// Configuration keeps an empty list so that the user starts from nothing.
void ShowApp::LoadStartUpData(bool drawingMode) {
  LoadStartUpPictureList(state_.InstallDir, drawingMode, state_.PictureList);
}

ShowApp::~ShowApp() {
  for (OutputResources& resources : outputResources) ReleaseOutputResources(resources);
}
