// Construction of the product's application object.
#include "show/show_app.h"

#include <commctrl.h>

#include <cstdlib>

#include "base/text_copy.h"
#include "host/saver_errors.h"
#include "show/picture_list.h"

ShowApp* activeShowApp = nullptr;

ShowApp::ShowApp() {
  activeShowApp = this;
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
  ambientColor = 0;
  loadStartUpData = LoadStartUpPictureList;
}

ShowApp::~ShowApp() {
  for (OutputResources& resources : outputResources) ReleaseOutputResources(resources);
  if (activeShowApp == this) activeShowApp = nullptr;
}
