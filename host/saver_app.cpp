// The host's application object: construction, start-up, the run modes and the saver run.
#include "host/saver_app.h"

#include "base/com_ptr.h"
#include "base/dpi.h"
#include "base/text_copy.h"
#include "host/direct3d_loader.h"
#include "host/host_clock.h"
#include "host/saver_errors.h"

#include <cstdlib>
#include <cstring>

SaverApp* g_saverApp = nullptr;

SaverApp::SaverApp() {
  runMode = RunMode::Configure;
  allScreensSame = 0;
  mainWindow = nullptr;
  parentWindow = nullptr;
  instance = nullptr;
  previewWaiting = 0;
  mouseMoveCount = 0;
  isWin9x = 0;
  verifyPassword = nullptr;
  checkingPassword = 0;
  windowed = 0;
  errorPending = 0;
  errorCode = S_OK;
  std::memset(errorText, 0, sizeof errorText);
  currentDevice = nullptr;
  SetRectEmpty(&targetRect);
  SetRectEmpty(&currentOutputRect);
  std::memset(&backBufferDesc, 0, sizeof backBufferDesc);
  CopyText(windowTitle, "Screen Saver", sizeof windowTitle);
  allowReference = 0;
  useDepthBuffer = 1;
  multithreaded = 0;
  singleScreen = 0;
  registryKeyPath[0] = '\0';
  minDepthBits = 16;
  minStencilBits = 0;
  fullScreenSwapEffect = D3DSWAPEFFECT_DISCARD;
  windowedSwapEffect = D3DSWAPEFFECT_COPY_VSYNC;
  appTime = 0.0f;
  elapsedTime = 0.0f;
  framesPerSecond = 0.0f;
  deviceText[0] = '\0';
  frameStatsText[0] = '\0';
  g_saverApp = this;
}

SaverApp::~SaverApp() {
  FreeAdapters();
  if (g_saverApp == this) g_saverApp = nullptr;
}

void SaverApp::FreeAdapters() {
  adapters.clear();
  direct3d.Reset();
}

const AdapterRecord* SaverApp::Adapter(int64_t index) const {
  const std::unique_ptr<AdapterRecord>* adapter = adapters.at(index);
  return adapter != nullptr ? adapter->get() : nullptr;
}

AdapterRecord* SaverApp::AdapterAt(int64_t index) {
  std::unique_ptr<AdapterRecord>* adapter = adapters.at(index);
  return adapter != nullptr ? adapter->get() : nullptr;
}

bool SaverApp::HasUsableDevice() const {
  for (const std::unique_ptr<AdapterRecord>& adapter : adapters) {
    if (adapter->halUsable || adapter->softwareUsable) return true;
  }
  return false;
}

DisplaySettings SaverApp::CopyDisplaySettings() const {
  DisplaySettings settings;
  settings.allScreensSame = allScreensSame;
  for (const std::unique_ptr<AdapterRecord>& adapter : adapters) {
    settings.choices.push_back({adapter->savedWidth, adapter->savedHeight, adapter->savedFormat,
                                adapter->leaveBlack, adapter->disableHardware});
  }
  return settings;
}

void SaverApp::ApplyDisplaySettings(const DisplaySettings& settings) {
  allScreensSame = settings.allScreensSame;
  for (uint32_t a = 0; a < adapters.size(); ++a) {
    const DisplayChoice* choice = settings.choices.at(a);
    if (choice == nullptr) break;
    AdapterRecord& adapter = *adapters[a];
    adapter.savedWidth = choice->savedWidth;
    adapter.savedHeight = choice->savedHeight;
    adapter.savedFormat = choice->savedFormat;
    adapter.leaveBlack = choice->leaveBlack;
    adapter.disableHardware = choice->disableHardware;
  }
}

HRESULT SaverApp::StartUp(HINSTANCE instanceHandle) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);

  instance = instanceHandle;
  const CommandLineChoice choice = ParseCommandLine(GetCommandLineA());
  runMode = choice.runMode;
  parentWindow = choice.parentWindow;

  // Monitors, windows and modes in the screen's own pixels, whatever its scale.
  EnsureDpiAwareness();
  DiscoverMonitors();

  const bool drawing = runMode == RunMode::Preview || runMode == RunMode::FullScreen ||
                       runMode == RunMode::Test;
  if (drawing) {
    const HRESULT hr = CreateSaverWindows();
    if (FAILED(hr)) RecordError(hr);
  }
  if (runMode == RunMode::Preview && mainWindow != nullptr) RunPreviewPause();

  direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  if (direct3d == nullptr) {
    RecordError(SAVER_E_NO_DIRECT3D);
    return S_OK;
  }

  HRESULT hr = PrepareEnumeration();
  if (FAILED(hr)) {
    RecordError(hr);
    return S_OK;
  }
  hr = EnumerateAdapters();
  if (FAILED(hr)) {
    RecordError(hr);
    return S_OK;
  }
  if (!HasUsableDevice()) {
    RecordError(SAVER_E_NO_COMPATIBLE_DEVICE);
    return S_OK;
  }

  LoadSettings();

  LoadStartUpData(drawing);
  return S_OK;
}

int SaverApp::Execute() {
  switch (runMode) {
    case RunMode::Configure:
      if (errorPending) {
        ShowErrorMessage(errorCode);
      } else {
        ShowConfiguration();
      }
      break;
    case RunMode::Preview:
    case RunMode::FullScreen:
    case RunMode::Test: {
      const HRESULT hr = RunSaver();
      if (FAILED(hr)) ShowErrorMessage(hr);
      break;
    }
    case RunMode::ChangePassword:
      ChangePassword();
      break;
  }
  FreeAdapters();
  return 0;
}

HRESULT SaverApp::RunSaver() {
  PreparePasswordCheck();
  HostClock::Start();

  if (!errorPending) {
    const HRESULT hr = InitScene();
    if (FAILED(hr)) return hr;
    SetUpOutputs();
  }

  // Without a window nothing could show the failure or take the input that ends the run:
  // report the failure in a message box instead of waiting for input that cannot come.
  if (mainWindow == nullptr) return errorPending ? errorCode : E_FAIL;

  if (runMode == RunMode::FullScreen) {
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, nullptr, 0);
  }

  MSG message;
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) break;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else if (errorPending) {
      ErrorDisplayStep();
      PaceFrame();
    } else {
      RenderFrame();
      if (frameDrawn_) {
        PaceFrame();
      } else {
        WaitForWork();
      }
    }
  }
  return S_OK;
}
