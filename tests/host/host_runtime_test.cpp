// The host's Direct3D glue and input handling against a fake Direct3D: enumeration, output
// set-up with refused devices, the frame loop with lost and reset devices, the password check
// and the input that ends the saver.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "host/saver_app.h"
#include "support/host_exposed.h"
#include "host/saver_errors.h"
#include "support/test_support.h"
#include "support/manual_clock.h"
#include "tests/host/fake_direct3d.h"

namespace {

using fake_d3d::FakeDirect3D;
using fake_d3d::Mode;

const char kKeyPath[] = "Software\\Korrin Software\\Solvane 7.0";

HMONITOR FakeMonitor(int n) { return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x7100 + n)); }

class RecordingApp : public Exposed<SaverApp> {
 public:
  std::vector<std::string> log;
  std::function<HRESULT(D3DCAPS8*, DWORD, D3DFORMAT)> accept = [](D3DCAPS8*, DWORD, D3DFORMAT) {
    return S_OK;
  };
  HRESULT restoreResult = S_OK;

  HRESULT SelectOutput(UINT index) override {
    log.push_back("select " + std::to_string(index));
    return S_OK;
  }
  HRESULT AcceptDevice(D3DCAPS8* caps, DWORD behavior, D3DFORMAT format) override {
    return accept(caps, behavior, format);
  }
  HRESULT CreateDeviceResources() override { return Log("create"); }
  HRESULT RestoreDeviceResources() override {
    log.push_back("restore");
    return restoreResult;
  }
  HRESULT advanceResult = S_OK;  // S_FALSE: nothing in the scene moved
  HRESULT AdvanceScene() override {
    Log("advance");
    return advanceResult;
  }
  HRESULT drawResult = S_OK;  // S_FALSE: the scene could not begin
  HRESULT DrawScene() override { return Log("draw"), drawResult; }
  HRESULT ReleaseDeviceResources() override { return Log("release"); }
  HRESULT DestroyDeviceResources() override { return Log("destroy"); }
  HRESULT ShutdownScene() override { return Log("shutdown"); }

  int Count(const std::string& entry) const {
    int n = 0;
    for (const std::string& e : log) n += e == entry ? 1 : 0;
    return n;
  }

 private:
  HRESULT Log(const char* entry) {
    log.push_back(entry);
    return S_OK;
  }
};

// ShutDown posts the quit message to this thread; later tests must not see it.
void DrainQuit() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

std::vector<D3DDISPLAYMODE> CommonModes() {
  return {Mode(640, 480, D3DFMT_X8R8G8B8),  Mode(640, 480, D3DFMT_R5G6B5),
          Mode(800, 600, D3DFMT_X8R8G8B8),  Mode(800, 600, D3DFMT_R5G6B5),
          Mode(1024, 768, D3DFMT_X8R8G8B8), Mode(1024, 768, D3DFMT_R5G6B5)};
}

// Monitors side by side (the third one left of the primary), one adapter each.
void AddMonitorsAndAdapters(FakeDirect3D& d3d, RecordingApp& app, int count) {
  const RECT rects[3] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}, {-800, 0, 0, 600}};
  for (int i = 0; i < count; ++i) {
    MonitorRecord& m = *app.monitors.Append();
    m.monitorHandle = FakeMonitor(i);
    m.screenRect = rects[i];
    m.adapterIndex = -1;
    fake_d3d::FakeAdapter adapter;
    adapter.desktop = Mode(static_cast<UINT>(rects[i].right - rects[i].left),
                           static_cast<UINT>(rects[i].bottom - rects[i].top), D3DFMT_X8R8G8B8);
    adapter.modes = CommonModes();
    adapter.modes.push_back(Mode(adapter.desktop.Width, adapter.desktop.Height, D3DFMT_R5G6B5));
    adapter.monitor = FakeMonitor(i);
    adapter.deviceId = {0x1000u + static_cast<unsigned>(i), 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    d3d.adapters.push_back(adapter);
  }
  app.direct3d = AdoptComPtr(&d3d);  // takes the reference the fake starts with
}

TEST(Enumeration, ListsQualifyingModesOnceInOrderWithBehaviourDepthAndDefault) {
  FakeDirect3D d3d;
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  d3d.adapters[0].modes = {Mode(639, 480, D3DFMT_X8R8G8B8),     Mode(640, 399, D3DFMT_X8R8G8B8),
                           Mode(1024, 768, D3DFMT_X8R8G8B8),    Mode(640, 480, D3DFMT_X8R8G8B8, 60),
                           Mode(640, 480, D3DFMT_X8R8G8B8, 75), Mode(640, 400, D3DFMT_X8R8G8B8),
                           Mode(640, 480, D3DFMT_R5G6B5),       Mode(800, 600, D3DFMT_R5G6B5)};
  ASSERT_EQ(app.EnumerateAdapters(), S_OK);
  ASSERT_EQ(app.adapters.size(), 1u);
  const AdapterRecord& a = *app.adapters[0];
  EXPECT_EQ(a.monitorIndex, 0);
  EXPECT_EQ(app.monitors[0].adapterIndex, 0);
  EXPECT_STREQ(a.identifier.Description, "Fake Adapter");
  EXPECT_EQ(a.desktopMode.Width, 1024u);
  EXPECT_TRUE(a.hasHal);
  EXPECT_TRUE(a.halUsable);
  EXPECT_FALSE(a.hasSoftware);  // no software rasterizer registered
  EXPECT_FALSE(a.softwareUsable);
  ASSERT_EQ(a.deviceCount, 1u);
  const DeviceTypeRecord& hal = a.devices[0];
  EXPECT_EQ(hal.deviceType, D3DDEVTYPE_HAL);
  EXPECT_STREQ(hal.typeName, "HAL");
  EXPECT_TRUE(hal.canDrawWindowed);
  const std::vector<std::vector<uint32_t>> expected = {{640, 400, D3DFMT_X8R8G8B8},
                                                       {640, 480, D3DFMT_R5G6B5},
                                                       {640, 480, D3DFMT_X8R8G8B8},
                                                       {800, 600, D3DFMT_R5G6B5},
                                                       {1024, 768, D3DFMT_X8R8G8B8}};
  ASSERT_EQ(hal.modeCount, expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(hal.modes[i].width, expected[i][0]) << i;
    EXPECT_EQ(hal.modes[i].height, expected[i][1]) << i;
    EXPECT_EQ(static_cast<uint32_t>(hal.modes[i].format), expected[i][2]) << i;
    EXPECT_EQ(hal.modes[i].behavior, DWORD{D3DCREATE_HARDWARE_VERTEXPROCESSING}) << i;
    EXPECT_EQ(hal.modes[i].depthStencilFormat, D3DFMT_D16) << i;
  }
  EXPECT_EQ(hal.currentMode, 1u);
  EXPECT_EQ(a.currentDevice, 0u);
}

TEST(Enumeration, BehaviourFallsFromHardwareToMixedToSoftware) {
  FakeDirect3D d3d;
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  std::vector<DWORD> tried;
  app.accept = [&](D3DCAPS8*, DWORD behavior, D3DFORMAT) {
    tried.push_back(behavior);
    return behavior == D3DCREATE_SOFTWARE_VERTEXPROCESSING ? S_OK : E_FAIL;
  };
  app.EnumerateAdapters();
  ASSERT_GE(tried.size(), 3u);
  EXPECT_EQ(std::vector<DWORD>(tried.begin(), tried.begin() + 3),
            (std::vector<DWORD>{D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                D3DCREATE_MIXED_VERTEXPROCESSING,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING}));
  EXPECT_EQ(app.adapters[0]->devices[0].modes[0].behavior,
            DWORD{D3DCREATE_SOFTWARE_VERTEXPROCESSING});

  FakeDirect3D plain;
  plain.hal.devCaps = 0;  // no hardware transform and lighting
  RecordingApp app2;
  AddMonitorsAndAdapters(plain, app2, 1);
  app2.multithreaded = 1;
  tried.clear();
  app2.accept = [&](D3DCAPS8*, DWORD behavior, D3DFORMAT) {
    tried.push_back(behavior);
    return S_OK;
  };
  app2.EnumerateAdapters();
  for (DWORD b : tried) EXPECT_EQ(b, DWORD{D3DCREATE_SOFTWARE_VERTEXPROCESSING});
  EXPECT_EQ(app2.adapters[0]->devices[0].modes[0].behavior,
            DWORD{D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED});
}

TEST(Enumeration, ADeviceTypeWithoutModesLeavesItsSlotToTheNext) {
  FakeDirect3D d3d;
  d3d.sw.available = true;
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  app.accept = [](D3DCAPS8* caps, DWORD, D3DFORMAT) {
    return caps->DeviceType == D3DDEVTYPE_HAL ? E_FAIL : S_OK;
  };
  app.EnumerateAdapters();
  const AdapterRecord& a = *app.adapters[0];
  EXPECT_TRUE(a.hasHal);
  EXPECT_FALSE(a.halUsable);
  EXPECT_TRUE(a.hasSoftware);
  EXPECT_TRUE(a.softwareUsable);
  ASSERT_EQ(a.deviceCount, 1u);
  EXPECT_EQ(a.devices[0].deviceType, D3DDEVTYPE_SW);
  EXPECT_STREQ(a.devices[0].typeName, "SW");
  EXPECT_GT(a.devices[0].modeCount, 0u);
}

TEST(Enumeration, DepthFormatsAreTriedInOrderAndSkippedWithoutADepthBuffer) {
  FakeDirect3D d3d;
  d3d.depthOk = [](D3DFORMAT f) { return f == D3DFMT_D24X8 || f == D3DFMT_D32; };
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  app.EnumerateAdapters();
  EXPECT_EQ(app.adapters[0]->devices[0].modes[0].depthStencilFormat, D3DFMT_D24X8);
  ASSERT_GE(d3d.depthChecks.size(), 2u);
  EXPECT_EQ(d3d.depthChecks[0], D3DFMT_D16);
  EXPECT_EQ(d3d.depthChecks[1], D3DFMT_D24X8);  // D15S1 is below the 16 bits asked for

  FakeDirect3D noDepth;
  noDepth.depthOk = [](D3DFORMAT) { return false; };
  RecordingApp app2;
  AddMonitorsAndAdapters(noDepth, app2, 1);
  app2.EnumerateAdapters();
  EXPECT_EQ(app2.adapters[0]->deviceCount, 0u);  // no format passed: no device type kept
  EXPECT_FALSE(app2.adapters[0]->halUsable);
  EXPECT_FALSE(app2.HasUsableDevice());

  app2.useDepthBuffer = 0;
  noDepth.depthChecks.clear();
  app2.EnumerateAdapters();
  EXPECT_TRUE(noDepth.depthChecks.empty());
  ASSERT_EQ(app2.adapters[0]->deviceCount, 1u);
  EXPECT_EQ(app2.adapters[0]->devices[0].modes[0].depthStencilFormat, D3DFMT_UNKNOWN);
}

TEST(Enumeration, DesktopFormatDecidesWindowedDrawingAndTablesStopAtNineAdapters) {
  FakeDirect3D d3d;
  d3d.deviceTypeOk = [](D3DDEVTYPE, D3DFORMAT display, D3DFORMAT, BOOL) {
    return display != D3DFMT_X8R8G8B8;
  };
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  for (int i = 0; i < 11; ++i) d3d.adapters.push_back(d3d.adapters[0]);
  app.EnumerateAdapters();
  EXPECT_EQ(app.adapters.size(), kMaxScreens);
  const DeviceTypeRecord& hal = app.adapters[0]->devices[0];
  EXPECT_FALSE(hal.canDrawWindowed);
  for (uint32_t i = 0; i < hal.modeCount; ++i) EXPECT_EQ(hal.modes[i].format, D3DFMT_R5G6B5);
  EXPECT_EQ(app.adapters[5]->monitorIndex, 0);
}

class FullScreenOutputs : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::CleanSettingsKeys::Clear();
    app.runMode = RunMode::FullScreen;
    AddMonitorsAndAdapters(d3d, app, 3);
  }
  void TearDown() override {
    DrainQuit();
    testing_support::CleanSettingsKeys::Clear();
  }
  void Enumerate() { ASSERT_EQ(app.EnumerateAdapters(), S_OK); }

  FakeDirect3D d3d;
  RecordingApp app;
};

TEST_F(FullScreenOutputs, EachMonitorWithAnAdapterGetsAFullScreenDevice) {
  Enumerate();
  app.adapters[2]->leaveBlack = 1;
  app.mouseMoveCount = 4;
  EXPECT_EQ(app.SetUpOutputs(), S_OK);
  EXPECT_FALSE(app.errorPending);
  ASSERT_EQ(app.outputs.size(), 2u);
  EXPECT_EQ(app.windowed, 0u);
  EXPECT_EQ(app.mouseMoveCount, 0u);
  // The black monitor left of the primary is not part of the target.
  EXPECT_EQ(app.targetRect.left, 0);
  EXPECT_EQ(app.targetRect.top, 0);
  EXPECT_EQ(app.targetRect.right, 1824);
  EXPECT_EQ(app.targetRect.bottom, 768);

  ASSERT_EQ(d3d.createCalls.size(), 2u);
  const D3DPRESENT_PARAMETERS& pp = d3d.createCalls[1].params;
  EXPECT_EQ(pp.BackBufferWidth, 800u);
  EXPECT_EQ(pp.BackBufferHeight, 600u);
  EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_FALSE(pp.Windowed);
  EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
  EXPECT_TRUE(pp.EnableAutoDepthStencil);
  EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(pp.FullScreen_PresentationInterval, UINT{D3DPRESENT_INTERVAL_ONE});
  EXPECT_EQ(d3d.createCalls[1].behavior, DWORD{D3DCREATE_HARDWARE_VERTEXPROCESSING});
  EXPECT_EQ(app.outputs[1].monitorIndex, 1);
  EXPECT_EQ(app.outputs[1].adapterIndex, 1u);

  EXPECT_EQ(app.log, (std::vector<std::string>{"select 0", "create", "restore", "select 1",
                                               "create", "restore"}));
  EXPECT_TRUE(app.outputs[0].resourcesCreated);
  EXPECT_TRUE(app.outputs[0].resourcesRestored);
  EXPECT_STREQ(app.outputs[0].deviceText, "HAL (hw vp): Fake Adapter");

  app.TearDownOutputs();
  EXPECT_EQ(app.outputs.size(), 0u);
  EXPECT_EQ(d3d.LiveDevices(), 0);
  EXPECT_EQ(app.direct3d, nullptr);
  EXPECT_EQ(app.Count("release"), 2);
  EXPECT_EQ(app.Count("destroy"), 2);
}

TEST_F(FullScreenOutputs, DisabledHardwareWithoutSoftwareOrReferenceLeavesTheMonitorBlack) {
  Enumerate();
  app.adapters[1]->disableHardware = 1;
  app.SetUpOutputs();
  EXPECT_TRUE(app.adapters[1]->leaveBlack);
  ASSERT_EQ(app.outputs.size(), 2u);
  EXPECT_EQ(app.outputs[0].adapterIndex, 0u);
  EXPECT_EQ(app.outputs[1].adapterIndex, 2u);
  EXPECT_EQ(app.targetRect.left, -800);
  EXPECT_EQ(app.targetRect.right, 1024);
  EXPECT_FALSE(app.errorPending);
}

TEST_F(FullScreenOutputs, DisabledHardwareFallsBackToTheSoftwareDevice) {
  d3d.sw.available = true;
  Enumerate();
  app.adapters[0]->disableHardware = 1;
  app.SetUpOutputs();
  EXPECT_FALSE(app.adapters[0]->leaveBlack);
  ASSERT_EQ(app.outputs.size(), 3u);
  EXPECT_EQ(app.outputs[0].deviceType, D3DDEVTYPE_SW);
  // Software drawing takes the lowest mode, 16-bit.
  EXPECT_EQ(app.outputs[0].presentParams.BackBufferWidth, 640u);
  EXPECT_EQ(app.outputs[0].presentParams.BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_STREQ(app.outputs[0].deviceText, "SW (sw vp)");
  EXPECT_EQ(app.outputs[1].deviceType, D3DDEVTYPE_HAL);
}

TEST_F(FullScreenOutputs, Refused32BitModeFallsBackToTheSameSizeIn16BitAndIsRemembered) {
  std::strcpy(app.registryKeyPath, kKeyPath);
  d3d.createResult = [](const fake_d3d::CreateCall& call) {
    return call.params.BackBufferFormat == D3DFMT_X8R8G8B8 ? D3DERR_NOTAVAILABLE : D3D_OK;
  };
  Enumerate();
  app.adapters[1]->leaveBlack = 1;
  app.adapters[2]->leaveBlack = 1;
  app.SetUpOutputs();
  EXPECT_FALSE(app.errorPending);
  ASSERT_EQ(app.outputs.size(), 1u);
  ASSERT_EQ(d3d.createCalls.size(), 2u);
  EXPECT_EQ(d3d.createCalls[0].params.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(d3d.createCalls[1].params.BackBufferWidth, 1024u);
  EXPECT_EQ(d3d.createCalls[1].params.BackBufferHeight, 768u);
  EXPECT_EQ(d3d.createCalls[1].params.BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(app.adapters[0]->savedWidth, 1024u);
  EXPECT_EQ(app.adapters[0]->savedFormat, D3DFMT_R5G6B5);

  // The mode values themselves come back in the next start below.
  HKEY screen;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER,
                          "Software\\Korrin Software\\Solvane 7.0\\Screen 1", 0, KEY_READ,
                          &screen),
            ERROR_SUCCESS);
  GUID id = {};
  DWORD size = sizeof id, type = 0;
  RegQueryValueExA(screen, "Adapter ID", nullptr, &type, reinterpret_cast<BYTE*>(&id), &size);
  EXPECT_EQ(type, DWORD{REG_BINARY});
  EXPECT_EQ(id.Data1, 0x1000u);
  RegCloseKey(screen);

  // The next start reads the remembered mode back and asks for it first.
  FakeDirect3D d3d2;
  RecordingApp next;
  next.runMode = RunMode::FullScreen;
  AddMonitorsAndAdapters(d3d2, next, 1);
  next.EnumerateAdapters();
  HKEY settings;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_ALL_ACCESS, &settings),
            ERROR_SUCCESS);
  next.ReadDisplaySettings(settings);
  RegCloseKey(settings);
  next.SetUpOutputs();
  ASSERT_EQ(d3d2.createCalls.size(), 1u);
  EXPECT_EQ(d3d2.createCalls[0].params.BackBufferFormat, D3DFMT_R5G6B5);
}

TEST_F(FullScreenOutputs, NoFallbackIsRememberedWithoutASettingsKeyOrWhenTheFirstModeWorks) {
  Enumerate();
  app.SetUpOutputs();
  EXPECT_EQ(app.adapters[0]->savedWidth, 0u);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(FullScreenOutputs, ASavedModeNoLongerListedGivesTheAutomaticChoice) {
  Enumerate();
  app.adapters[0]->savedWidth = 1600;
  app.adapters[0]->savedHeight = 1200;
  app.adapters[0]->savedFormat = D3DFMT_X8R8G8B8;
  app.adapters[1]->savedWidth = 640;
  app.adapters[1]->savedHeight = 480;
  app.adapters[1]->savedFormat = D3DFMT_R5G6B5;
  app.SetUpOutputs();
  ASSERT_EQ(app.outputs.size(), 3u);
  EXPECT_EQ(app.outputs[0].presentParams.BackBufferWidth, 1024u);
  EXPECT_EQ(app.outputs[0].presentParams.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(app.outputs[1].presentParams.BackBufferWidth, 640u);
  EXPECT_EQ(app.outputs[1].presentParams.BackBufferFormat, D3DFMT_R5G6B5);
}

TEST_F(FullScreenOutputs, EveryModeRefusedRecordsTheFailureAndKeepsNoOutput) {
  d3d.createResult = [](const fake_d3d::CreateCall& call) {
    return call.adapter == 1 ? D3DERR_OUTOFVIDEOMEMORY : D3D_OK;
  };
  Enumerate();
  app.SetUpOutputs();
  EXPECT_TRUE(app.errorPending);
  EXPECT_EQ(app.errorCode, SAVER_E_CREATE_DEVICE);
  ASSERT_EQ(app.outputs.size(), 2u);
  EXPECT_EQ(app.outputs[1].adapterIndex, 2u);
  // With a failure pending no scene resources are created.
  EXPECT_TRUE(app.log.empty());
  EXPECT_EQ(d3d.LiveDevices(), 2);

  // The error display tears everything down and fills in the message.
  app.ErrorDisplayStep();
  EXPECT_EQ(app.outputs.size(), 0u);
  EXPECT_EQ(d3d.LiveDevices(), 0);
  EXPECT_EQ(d3d.refs, 0u);
  EXPECT_STREQ(app.errorText, "Could not create the Direct3D device.");
}

TEST_F(FullScreenOutputs, SingleScreenDrawsOnlyOnTheBestAdapter) {
  Enumerate();
  app.singleScreen = 1;
  app.SetUpOutputs();
  ASSERT_EQ(app.outputs.size(), 1u);
  EXPECT_EQ(app.outputs[0].adapterIndex, 0u);
  EXPECT_TRUE(app.adapters[1]->leaveBlack);
  EXPECT_TRUE(app.adapters[2]->leaveBlack);
}

// A scene operation that runs a modal message box lets input through; the shutdown it asks
// for waits until the operation is done with the device.
class InterruptedApp : public RecordingApp {
 public:
  UINT interruptWith = WM_KEYDOWN;
  bool interruptInRestore = false;
  bool interruptInDraw = false;
  bool deviceSurvived = true;
  FakeDirect3D* d3d = nullptr;

  HRESULT RestoreDeviceResources() override {
    if (interruptInRestore) Interrupt();
    return RecordingApp::RestoreDeviceResources();
  }
  HRESULT DrawScene() override {
    if (interruptInDraw) Interrupt();
    return RecordingApp::DrawScene();
  }

 private:
  void Interrupt() {
    HandleWindowMessage(nullptr, interruptWith, 0, 0);
    deviceSurvived = deviceSurvived && currentDevice != nullptr && d3d->LiveDevices() > 0;
  }
};

TEST_F(FullScreenOutputs, ShutDownDuringASceneOperationWaitsUntilItReturns) {
  InterruptedApp interrupted;
  FakeDirect3D d3d2;
  interrupted.runMode = RunMode::FullScreen;
  AddMonitorsAndAdapters(d3d2, interrupted, 2);
  interrupted.d3d = &d3d2;
  interrupted.EnumerateAdapters();
  interrupted.interruptInRestore = true;
  interrupted.SetUpOutputs();
  EXPECT_TRUE(interrupted.deviceSurvived);
  EXPECT_EQ(interrupted.Count("shutdown"), 1);
  EXPECT_EQ(interrupted.outputs.size(), 0u);
  EXPECT_EQ(d3d2.LiveDevices(), 0);
  DrainQuit();
}

TEST(WindowedOutput, ClosingTheTestWindowWhileAFrameIsDrawnEndsAfterTheFrame) {
  FakeDirect3D d3d;
  InterruptedApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  app.d3d = &d3d;
  app.runMode = RunMode::Test;
  app.EnumerateAdapters();
  app.SetUpOutputs();
  ASSERT_EQ(app.outputs.size(), 1u);
  app.interruptWith = WM_DESTROY;
  app.interruptInDraw = true;
  app.RenderFrame();
  EXPECT_TRUE(app.deviceSurvived);
  EXPECT_EQ(d3d.devices[0]->presents, 1);  // the frame in progress still ends properly
  EXPECT_EQ(app.Count("shutdown"), 1);
  EXPECT_EQ(d3d.LiveDevices(), 0);
  DrainQuit();
}

TEST(WindowedOutput, PreviewWithoutAWindowCapableDeviceShowsNoPreview) {
  FakeDirect3D d3d;
  d3d.hal.caps2 = 0;
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  app.runMode = RunMode::Preview;
  app.EnumerateAdapters();
  app.SetUpOutputs();
  EXPECT_TRUE(app.errorPending);
  EXPECT_EQ(app.errorCode, SAVER_E_NO_PREVIEW);
  EXPECT_EQ(app.outputs.size(), 0u);
  EXPECT_EQ(app.adapters[0]->currentDevice, kNoChoice);

  FakeDirect3D d3d2;
  d3d2.hal.caps2 = 0;
  RecordingApp test;
  AddMonitorsAndAdapters(d3d2, test, 1);
  test.runMode = RunMode::Test;
  test.EnumerateAdapters();
  test.SetUpOutputs();
  EXPECT_EQ(test.errorCode, SAVER_E_CREATE_DEVICE);
}

TEST(WindowedOutput, BackBufferFormatsAreTriedFromTheDesktopFormatOn) {
  FakeDirect3D d3d;
  d3d.deviceTypeOk = [](D3DDEVTYPE, D3DFORMAT, D3DFORMAT back, BOOL windowed) {
    return !windowed || back == D3DFMT_X8R8G8B8;
  };
  RecordingApp app;
  AddMonitorsAndAdapters(d3d, app, 1);
  d3d.adapters[0].desktop.Format = D3DFMT_R5G6B5;
  app.runMode = RunMode::Test;
  app.EnumerateAdapters();
  app.SetUpOutputs();
  ASSERT_FALSE(app.errorPending);
  ASSERT_EQ(app.outputs.size(), 1u);
  EXPECT_EQ(app.windowed, 1u);
  ASSERT_EQ(d3d.createCalls.size(), 1u);
  const D3DPRESENT_PARAMETERS& pp = d3d.createCalls[0].params;
  EXPECT_TRUE(pp.Windowed);
  EXPECT_EQ(pp.BackBufferWidth, 0u);
  EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_COPY_VSYNC);
  EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(pp.FullScreen_PresentationInterval, 0u);
  EXPECT_EQ(app.adapters[0]->currentDevice, 0u);
  EXPECT_EQ(app.log, (std::vector<std::string>{"select 0", "create", "restore"}));
  app.TearDownOutputs();
}

TEST(Multisampling, AskedWhereOfferedAndDroppedWhenCreationOrResetRefusesIt) {
  const auto none = D3DMULTISAMPLE_NONE, two = D3DMULTISAMPLE_2_SAMPLES,
             four = D3DMULTISAMPLE_4_SAMPLES;
  struct Case {
    RunMode mode;
    D3DMULTISAMPLE_TYPE depthTakes;  // the back buffer takes everything
    bool createRefuses;              // CreateDevice refuses multisampled parameters
    D3DMULTISAMPLE_TYPE made;
    D3DSWAPEFFECT swap;
  } cases[] = {{RunMode::Test, four, false, four, D3DSWAPEFFECT_DISCARD},
               {RunMode::Test, two, false, two, D3DSWAPEFFECT_DISCARD},
               {RunMode::Test, none, false, none, D3DSWAPEFFECT_COPY_VSYNC},
               {RunMode::Test, four, true, none, D3DSWAPEFFECT_COPY_VSYNC},
               {RunMode::FullScreen, four, true, none, D3DSWAPEFFECT_DISCARD}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(&c - cases));
    FakeDirect3D d3d;
    d3d.multiSampleOk = [&c](D3DFORMAT format, D3DMULTISAMPLE_TYPE samples) {
      return format != D3DFMT_D16 || samples <= c.depthTakes;
    };
    d3d.createResult = [&c](const fake_d3d::CreateCall& call) {
      return c.createRefuses && call.params.MultiSampleType != none ? D3DERR_NOTAVAILABLE : D3D_OK;
    };
    RecordingApp app;
    AddMonitorsAndAdapters(d3d, app, 1);
    app.runMode = c.mode;
    app.EnumerateAdapters();
    app.SetUpOutputs();
    ASSERT_EQ(app.outputs.size(), 1u);
    EXPECT_EQ(app.outputs[0].presentParams.MultiSampleType, c.made);
    EXPECT_EQ(app.outputs[0].presentParams.SwapEffect, c.swap);
    if (c.made != none) {  // a reset that refuses the samples is tried again without them
      d3d.devices[0]->cooperativeLevel = D3DERR_DEVICENOTRESET;
      d3d.devices[0]->resetRefusesMultiSample = true;
      app.RenderFrame();
      EXPECT_FALSE(app.errorPending);
      EXPECT_EQ(d3d.devices[0]->resets, 2);
      EXPECT_EQ(app.outputs[0].presentParams.MultiSampleType, none);
      EXPECT_EQ(app.outputs[0].presentParams.SwapEffect, D3DSWAPEFFECT_COPY_VSYNC);
    }
    app.TearDownOutputs();
  }
}

class FrameLoop : public FullScreenOutputs {
 protected:
  void SetUp() override {
    FullScreenOutputs::SetUp();
    Enumerate();
    app.adapters[2]->leaveBlack = 1;
    app.SetUpOutputs();
    ASSERT_EQ(app.outputs.size(), 2u);
    app.log.clear();
  }
  fake_d3d::FakeDevice& Device(int i) { return *d3d.devices[i]; }
};

TEST_F(FrameLoop, EachFrameAdvancesOnceDrawsEveryOutputThenPresentsThemAll) {
  app.RenderFrame();
  EXPECT_EQ(app.log, (std::vector<std::string>{"advance", "select 0", "draw", "select 1", "draw",
                                               "select 0", "select 1"}));
  EXPECT_EQ(Device(0).presents, 1);
  EXPECT_EQ(Device(1).presents, 1);
}

TEST_F(FrameLoop, AStillSceneIsPresentedOnlyWhenTheSceneOrAWindowAsksForIt) {
  app.advanceResult = S_FALSE;
  app.RenderFrame();  // the first frame is always drawn
  EXPECT_EQ(Device(0).presents, 1);
  for (int frame = 0; frame < 300; ++frame) app.RenderFrame();  // five still seconds at 60 Hz
  EXPECT_EQ(Device(0).presents, 1);
  EXPECT_EQ(app.Count("draw"), 2);

  app.HandleWindowMessage(nullptr, WM_SIZE, 0, 0);
  app.RenderFrame();
  EXPECT_EQ(Device(1).presents, 2);
  const HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
  app.HandleWindowMessage(window, WM_PAINT, 0, 0);  // exposed
  DestroyWindow(window);
  app.RenderFrame();
  app.RenderFrame();
  EXPECT_EQ(Device(0).presents, 3);
  app.drawResult = S_FALSE;  // a scene that could not begin is drawn again on the next turn
  app.HandleWindowMessage(nullptr, WM_SIZE, 0, 0);
  app.RenderFrame();
  app.drawResult = S_OK;
  app.RenderFrame();
  app.RenderFrame();
  EXPECT_EQ(Device(0).presents, 5);
  app.advanceResult = S_OK;  // the scene itself changed
  app.RenderFrame();
  EXPECT_EQ(Device(1).presents, 6);
}

TEST_F(FrameLoop, ALostDeviceSkipsDrawingAndPresentingOnEveryOutput) {
  Device(1).cooperativeLevel = D3DERR_DEVICELOST;
  app.RenderFrame();
  EXPECT_EQ(app.Count("draw"), 1);  // output 0 was drawn before output 1 was found lost
  EXPECT_EQ(Device(0).presents, 0);
  EXPECT_EQ(Device(1).presents, 0);
  EXPECT_FALSE(app.errorPending);

  Device(1).cooperativeLevel = D3D_OK;
  app.RenderFrame();
  EXPECT_EQ(Device(0).presents, 1);
  EXPECT_EQ(Device(1).presents, 1);
}

TEST_F(FrameLoop, ADeviceThatWasNotResetIsResetAndRestoredBeforeDrawing) {
  Device(0).cooperativeLevel = D3DERR_DEVICENOTRESET;
  app.RenderFrame();
  EXPECT_EQ(app.log, (std::vector<std::string>{"advance", "select 0", "release", "restore",
                                               "draw", "select 1", "draw", "select 0",
                                               "select 1"}));
  EXPECT_EQ(Device(0).resets, 1);
  EXPECT_EQ(Device(0).resetParams.BackBufferWidth, 1024u);
  EXPECT_EQ(Device(0).resetParams.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_FALSE(Device(0).resetParams.Windowed);
  EXPECT_TRUE(app.outputs[0].resourcesRestored);
  EXPECT_FALSE(app.errorPending);
  EXPECT_EQ(Device(0).presents, 1);
}

TEST_F(FrameLoop, AFailedResetSwitchesToTheErrorDisplayWithTheCodeSoFar) {
  Device(0).cooperativeLevel = D3DERR_DEVICENOTRESET;
  Device(0).resetResult = D3DERR_INVALIDCALL;
  app.RenderFrame();
  EXPECT_TRUE(app.errorPending);
  EXPECT_EQ(app.errorCode, S_OK);
  EXPECT_FALSE(app.outputs[0].resourcesRestored);
  EXPECT_EQ(app.Count("restore"), 0);
  EXPECT_EQ(app.Count("draw"), 1);  // only the output that is still sound

  app.ErrorDisplayStep();
  EXPECT_EQ(app.outputs.size(), 0u);
  EXPECT_STREQ(app.errorText, "There was an unspecified problem with this screen saver.");
  // Resources already released before the reset are not released twice.
  EXPECT_EQ(app.Count("release"), 2);
}

TEST_F(FrameLoop, AFailedRestoreAfterResetAlsoEndsDrawing) {
  Device(1).cooperativeLevel = D3DERR_DEVICENOTRESET;
  app.restoreResult = E_OUTOFMEMORY;
  app.RenderFrame();
  EXPECT_TRUE(app.errorPending);
  EXPECT_FALSE(app.outputs[1].resourcesRestored);
}

TEST_F(FrameLoop, TheFrameRateTextNamesModeAndDepthFormat) {
  testing_support::ManualClock clock;  // the first frame measures, the next within a second not
  app.RenderFrame();
  EXPECT_GT(app.framesPerSecond, 0.0f);
  const std::string text = app.outputs[1].frameStatsText;
  EXPECT_NE(text.find(" fps (800x600x32) (D16)"), std::string::npos) << text;
  const std::string first = app.outputs[0].frameStatsText;
  app.RenderFrame();
  EXPECT_EQ(std::string(app.outputs[0].frameStatsText), first);
}

// The password check of the Windows 9x family, driven through a stand-in verifier.
int verifyCalls = 0;
bool acceptPassword = false;
bool devicesGoneDuringCheck = false;
FakeDirect3D* checkedDirect3D = nullptr;

BOOL WINAPI FakeVerify(HWND) {
  ++verifyCalls;
  devicesGoneDuringCheck = checkedDirect3D->LiveDevices() == 0 &&
                           static_cast<RecordingApp*>(g_saverApp)->checkingPassword;
  return acceptPassword ? TRUE : FALSE;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(FrameLoop, ARefusedPasswordRecreatesTheDevicesAndCountsSixFreshMoves) {
  app.isWin9x = 1;
  app.verifyPassword = FakeVerify;
  checkedDirect3D = &d3d;
  verifyCalls = 0;
  acceptPassword = false;
  for (int i = 0; i < 6; ++i) app.HandleWindowMessage(nullptr, WM_MOUSEMOVE, 0, At(3000 + i, 7));
  EXPECT_EQ(verifyCalls, 1);
  EXPECT_TRUE(devicesGoneDuringCheck);
  EXPECT_FALSE(app.checkingPassword);
  EXPECT_EQ(app.Count("shutdown"), 0);
  EXPECT_EQ(app.mouseMoveCount, 0u);
  ASSERT_EQ(app.outputs.size(), 2u);
  EXPECT_EQ(d3d.LiveDevices(), 2);
  ASSERT_EQ(d3d.createCalls.size(), 4u);
  EXPECT_EQ(d3d.createCalls[2].params.BackBufferWidth, d3d.createCalls[0].params.BackBufferWidth);
  EXPECT_EQ(d3d.createCalls[3].behavior, d3d.createCalls[1].behavior);
  EXPECT_TRUE(app.outputs[0].resourcesRestored);
  EXPECT_FALSE(app.errorPending);

  for (int i = 0; i < 5; ++i) app.HandleWindowMessage(nullptr, WM_MOUSEMOVE, 0, At(3100 + i, 7));
  EXPECT_EQ(verifyCalls, 1);
  acceptPassword = true;
  app.HandleWindowMessage(nullptr, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(verifyCalls, 2);
  EXPECT_EQ(app.Count("shutdown"), 1);
  EXPECT_EQ(app.outputs.size(), 0u);
  EXPECT_EQ(d3d.LiveDevices(), 0);
}

TEST(Password, NoPasswordLibraryIsLoadedOnWindowsNT) {
  HKEY desktop;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &desktop, nullptr),
            ERROR_SUCCESS);
  DWORD old = 0, size = sizeof old;
  const bool hadValue = RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&old), &size) == ERROR_SUCCESS;
  const DWORD on = 1;
  RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&on), sizeof on);
  RecordingApp app;
  app.runMode = RunMode::FullScreen;
  app.PreparePasswordCheck();
  EXPECT_EQ(app.isWin9x, 0u);
  EXPECT_FALSE(app.passwordModule);
  EXPECT_EQ(app.verifyPassword, nullptr);
  if (hadValue) {
    RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&old), sizeof old);
  } else {
    RegDeleteValueA(desktop, "ScreenSaveUsePassword");
  }
  RegCloseKey(desktop);
}

class Input : public ::testing::Test {
 protected:
  void TearDown() override { DrainQuit(); }
  // The last mouse position is kept for the process: each test moves in its own area.
  void Move(int x, int y) { app.HandleWindowMessage(nullptr, WM_MOUSEMOVE, 0, At(x, y)); }
  RecordingApp app;
};

TEST_F(Input, TheSixthMoveToANewPositionEndsTheFullScreenSaver) {
  app.runMode = RunMode::FullScreen;
  for (int i = 0; i < 5; ++i) Move(100 + i, 200);
  EXPECT_EQ(app.mouseMoveCount, 5u);
  EXPECT_EQ(app.Count("shutdown"), 0);
  for (int i = 0; i < 10; ++i) Move(104, 200);  // the same place again never counts
  EXPECT_EQ(app.mouseMoveCount, 5u);
  EXPECT_EQ(app.Count("shutdown"), 0);
  Move(-5, -300);  // signed halves of lParam
  EXPECT_EQ(app.Count("shutdown"), 1);
  // Input queued behind the first interruption does not shut down again.
  app.HandleWindowMessage(nullptr, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(app.Count("shutdown"), 1);
}

TEST_F(Input, KeysButtonsAndDeactivationEndTheFullScreenSaverAtOnce) {
  for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    RecordingApp fresh;
    fresh.runMode = RunMode::FullScreen;
    fresh.HandleWindowMessage(nullptr, message, 0, 0);
    EXPECT_EQ(fresh.Count("shutdown"), 1) << message;
    DrainQuit();
  }
  app.runMode = RunMode::FullScreen;
  app.HandleWindowMessage(nullptr, WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(app.Count("shutdown"), 0);
  app.HandleWindowMessage(nullptr, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(app.Count("shutdown"), 1);
}

TEST_F(Input, InTestAndPreviewModeInputNeverEndsTheRun) {
  for (RunMode mode : {RunMode::Test, RunMode::Preview}) {
    RecordingApp quiet;
    quiet.runMode = mode;
    for (int i = 0; i < 10; ++i) {
      quiet.HandleWindowMessage(nullptr, WM_MOUSEMOVE, 0, At(500 + i, 20 * static_cast<int>(mode)));
    }
    quiet.HandleWindowMessage(nullptr, WM_KEYDOWN, 'A', 0);
    quiet.HandleWindowMessage(nullptr, WM_LBUTTONDOWN, 0, 0);
    quiet.HandleWindowMessage(nullptr, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(quiet.Count("shutdown"), 0);
  }
  // Closing the window is what ends them.
  app.runMode = RunMode::Test;
  app.HandleWindowMessage(nullptr, WM_DESTROY, 0, 0);
  EXPECT_EQ(app.Count("shutdown"), 1);
}

TEST_F(Input, ASuspendEndsTheSaverOnlyWithoutAPasswordFunction) {
  app.runMode = RunMode::FullScreen;
  app.verifyPassword = FakeVerify;
  app.HandleWindowMessage(nullptr, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  EXPECT_EQ(app.Count("shutdown"), 0);
  app.verifyPassword = nullptr;
  app.HandleWindowMessage(nullptr, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  EXPECT_EQ(app.Count("shutdown"), 0);
  app.HandleWindowMessage(nullptr, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  EXPECT_EQ(app.Count("shutdown"), 1);
}

TEST_F(Input, WhileThePasswordDialogIsUpInputStartsNoSecondCheck) {
  app.runMode = RunMode::FullScreen;
  app.checkingPassword = 1;
  app.HandleWindowMessage(nullptr, WM_KEYDOWN, 'A', 0);
  for (int i = 0; i < 8; ++i) Move(900 + i, 900);
  EXPECT_EQ(app.Count("shutdown"), 0);
}

}  // namespace
