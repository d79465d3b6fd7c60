#include <gtest/gtest.h>

#include "host/direct3d_loader.h"
#include "host/saver_errors.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "support/host_exposed.h"
#include "support/test_support.h"

namespace {

using testing_support::MessageBoxRecorder;

IDirect3D8* WINAPI NoDirect3D(UINT) { return nullptr; }

class Direct3DMissing {
 public:
  Direct3DMissing() : previous_(g_createDirect3D) { g_createDirect3D = NoDirect3D; }
  ~Direct3DMissing() { g_createDirect3D = previous_; }

 private:
  Direct3DCreateFn previous_;
};

TEST(SaverApp, ConstructorSetsTheHostDefaults) {
  Exposed<SaverApp> app;
  EXPECT_EQ(g_saverApp, &app);
  EXPECT_EQ(app.runMode, RunMode::Configure);
  EXPECT_STREQ(app.windowTitle, "Screen Saver");
  EXPECT_STREQ(app.registryKeyPath, "");
  EXPECT_EQ(app.useDepthBuffer, 1u);
  EXPECT_EQ(app.allowReference, 0u);
  EXPECT_EQ(app.multithreaded, 0u);
  EXPECT_EQ(app.singleScreen, 0u);
  EXPECT_EQ(app.minDepthBits, 16u);
  EXPECT_EQ(app.minStencilBits, 0u);
  EXPECT_EQ(app.fullScreenSwapEffect, D3DSWAPEFFECT_DISCARD);
  EXPECT_EQ(app.windowedSwapEffect, D3DSWAPEFFECT_COPY_VSYNC);
  EXPECT_TRUE(IsRectEmpty(&app.targetRect));
  EXPECT_EQ(app.errorPending, 0u);
}

TEST(ShowApp, ConstructionFillsTheProductIdentity) {
  Exposed<ShowApp> app;
  EXPECT_EQ(g_saverApp, &app);
  EXPECT_STREQ(app.registryKeyPath, "Software\\Korrin Software\\Solvane 7.0");
  EXPECT_STREQ(app.windowTitle, "Solvane ScreenSaver 7.0");
  EXPECT_TRUE(app.GalleryAt(0).PictureSlots.empty());
  EXPECT_EQ(app.ResourcesOf(kMaxScreens - 1).fallbackTexture, nullptr);
}

TEST(SaverApp, ConfigureWithPendingErrorShowsTheMessageAndExitsWithZero) {
  MessageBoxRecorder boxes;
  Exposed<ShowApp> app;
  app.runMode = RunMode::Configure;
  app.RecordError(SAVER_E_NO_DIRECT3D);
  EXPECT_EQ(app.Execute(), 0);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            "Direct3D 8.0 could not be initialized.  Please install the latest version of "
            "DirectX.");
  EXPECT_EQ(boxes.boxes()[0].caption, "Solvane ScreenSaver 7.0");
}

TEST(SaverApp, StartUpWithoutDirect3DRecordsTheFailureAndSucceeds) {
  Direct3DMissing missing;
  Exposed<ShowApp> app;
  EXPECT_EQ(app.StartUp(GetModuleHandleA(nullptr)), S_OK);
  EXPECT_EQ(app.errorPending, 1u);
  EXPECT_EQ(app.errorCode, SAVER_E_NO_DIRECT3D);
  EXPECT_EQ(app.direct3d, nullptr);
}

TEST(SaverApp, SaverRunWithoutAnyWindowReportsItsFailureInsteadOfWaiting) {
  MessageBoxRecorder boxes;
  Exposed<ShowApp> app;
  app.runMode = RunMode::Test;
  app.RecordError(SAVER_E_CREATE_DEVICE);
  EXPECT_EQ(app.Execute(), 0);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Could not create the Direct3D device.");
}

TEST(SaverApp, ExecuteFreesTheAdapterRecords) {
  MessageBoxRecorder boxes;
  Exposed<ShowApp> app;
  app.adapters.push_back(std::make_unique<AdapterRecord>());
  app.adapters.push_back(std::make_unique<AdapterRecord>());
  app.runMode = RunMode::ChangePassword;
  EXPECT_EQ(app.Execute(), 0);
  EXPECT_TRUE(app.adapters.empty());
}

}  // namespace
