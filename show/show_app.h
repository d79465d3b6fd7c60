// ShowApp: the product's application object on top of the saver host.
#pragma once

#include <vector>

#include "host/saver_app.h"
#include "show/scene_item.h"

// Per-output Direct3D objects of the show.
struct OutputResources {
  IDirect3DTexture8* fallbackTexture;  // picture of the fallback scene on this output
};

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

  // Writes the settings and the display settings; false when they could not be stored
  // anywhere (the user has then been told).
  bool SaveSettings();

  OutputResources outputResources[10];
  OutputResources* currentResources;
  float driftSpeed[3];
  float spinTimeBase[3];
  std::vector<SceneItem> PictureSlots;
  std::vector<SceneItem> BackdropItems;
  std::vector<DrawOrderEntry> DrawOrder;
  D3DCOLOR ambientColor;
};

extern ShowApp* activeShowApp;
