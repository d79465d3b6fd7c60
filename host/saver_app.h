// SaverApp: the saver host's application object. It owns the run mode, the windows, the
// monitor and adapter tables, the Direct3D object and the screen outputs, and reaches the
// product only through its 21 virtual operations (in this fixed slot order).
#pragma once

#include <windows.h>
#include <d3d8.h>

#include <cstdint>
#include <memory>

#include "base/scoped_handle.h"
#include "host/host_tables.h"
#include "host/mode_rules.h"

enum class RunMode : int32_t {
  Configure = 0,
  Preview = 1,
  FullScreen = 2,
  Test = 3,
  ChangePassword = 4,
};

// The run mode and owner window that a command line selects.
struct CommandLineChoice {
  RunMode runMode;
  HWND parentWindow;
};
CommandLineChoice ParseCommandLine(const char* commandLine);

using VerifyPasswordFn = BOOL(WINAPI*)(HWND);

// What the product waits on while nothing moves: its event (may be null) or at most
// idleSeconds, whichever comes first.
struct IdleWait {
  HANDLE wakeEvent = nullptr;
  float idleSeconds = 1.0f;
};

// The Display Settings dialog's working copy: one choice per adapter, in adapter order.
struct DisplaySettings {
  BoundedTable<DisplayChoice, kMaxScreens> choices;
  uint32_t allScreensSame = 0;
};

class SaverApp {
 public:
  SaverApp();
  virtual ~SaverApp();
  SaverApp(const SaverApp&) = delete;
  SaverApp& operator=(const SaverApp&) = delete;

  // The 21 operations, in slot order.
  virtual HRESULT StartUp(HINSTANCE instance);                                    // 0
  virtual int Execute();                                                          // 1
  virtual void ShowConfiguration() {}                                             // 2
  virtual void LoadSettings() {}                                                  // 3
  virtual void PaintWindow(HWND window, HDC dc);                                  // 4
  virtual LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam);                             // 5
  virtual void DescribeDevices();                                                 // 6
  virtual void UpdateFrameRate();                                                 // 7
  virtual BOOL LookupErrorMessage(HRESULT hr, char* text, DWORD size);            // 8
  virtual HRESULT SelectOutput(UINT) { return S_OK; }                             // 9
  virtual HRESULT PrepareEnumeration() { return S_OK; }                           // 10
  virtual HRESULT AcceptDevice(D3DCAPS8*, DWORD, D3DFORMAT) { return S_OK; }      // 11
  virtual HRESULT CheckCreatedDevice(IDirect3DDevice8*) { return S_OK; }          // 12
  virtual HRESULT InitScene() { return S_OK; }                                    // 13
  virtual HRESULT CreateDeviceResources() { return S_OK; }                        // 14
  virtual HRESULT RestoreDeviceResources() { return S_OK; }                       // 15
  virtual HRESULT AdvanceScene() { return S_OK; }                                 // 16
  virtual HRESULT DrawScene() { return S_OK; }                                    // 17
  virtual HRESULT ReleaseDeviceResources() { return S_OK; }                       // 18
  virtual HRESULT DestroyDeviceResources() { return S_OK; }                       // 19
  virtual HRESULT ShutdownScene() { return S_OK; }                                // 20

  // Error reporting.
  HRESULT ShowErrorMessage(HRESULT hr);
  void RecordError(HRESULT hr) {
    errorPending = 1;
    errorCode = hr;
  }

  // Monitors, windows and input.
  void DiscoverMonitors();
  HRESULT CreateSaverWindows();
  void RunPreviewPause();
  void InterruptSaver();
  void ShutDown();

  // Adapters, devices and modes.
  HRESULT EnumerateAdapters();
  BOOL ChooseDepthFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                         D3DFORMAT* depthFormat);
  // 4x, else 2x multisampling where the device takes it for the back buffer and depth formats
  // (depth D3DFMT_UNKNOWN: none); D3DMULTISAMPLE_NONE otherwise.
  D3DMULTISAMPLE_TYPE ChooseMultiSample(UINT adapter, D3DDEVTYPE deviceType,
                                        D3DFORMAT backBufferFormat, D3DFORMAT depthFormat,
                                        bool inWindow);
  bool HasUsableDevice() const;

  // Screen outputs.
  HRESULT SetUpOutputs();
  BOOL PickBestAdapter(int32_t* index);
  HRESULT CreateFullScreenDevice(ScreenOutput& output);
  BOOL ChooseFallbackMode(DeviceTypeRecord& device);
  HRESULT CreateWindowedDevice(ScreenOutput& output);
  HRESULT CheckWindowedFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT desktopFormat,
                              D3DFORMAT backBufferFormat, DWORD* behavior,
                              D3DFORMAT* depthFormat);
  HRESULT MakeOutputCurrent(UINT index);
  // Reset with the output's parameters; a multisampled one that fails is tried once more
  // without multisampling, and keeps those parameters.
  HRESULT ResetOutputDevice(ScreenOutput& output);
  // Releases every output's scene resources and device; the output records stay.
  void ReleaseOutputDevices();
  void TearDownOutputs();

  // Display settings store (the dialog lives with the configuration dialogs). The read and
  // write operations report whether every value went through.
  bool ReadDisplaySettings(HKEY key);
  bool WriteDisplaySettings(HKEY key);
  void RemoveDisplaySettings(HKEY key);

  // Frame loop and error display.
  HRESULT RunSaver();
  void RenderFrame();
  void ErrorDisplayStep();

  // Password (Windows 9x family only).
  void PreparePasswordCheck();
  BOOL RunPasswordCheck();
  void ChangePassword();

  // What start-up reads after the settings (the product's picture list). drawingMode: the
  // run draws pictures rather than configuring.
  virtual void LoadStartUpData(bool /*drawingMode*/) {}

  // When AdvanceScene returned S_FALSE (nothing moved) and the host saw no reason of its own
  // to draw, the loop sleeps, taking input, until this says.
  virtual IdleWait NextWait() { return IdleWait(); }

  // The tables and choices the Display Settings dialog shows.
  const MonitorTable& Monitors() const { return monitors; }
  const AdapterTable& Adapters() const { return adapters; }
  // Null when `index` names no adapter.
  const AdapterRecord* Adapter(int64_t index) const;
  bool SingleScreen() const { return singleScreen != 0; }
  // The choices of every adapter to edit, and the edited copy taken back whole.
  DisplaySettings CopyDisplaySettings() const;
  void ApplyDisplaySettings(const DisplaySettings& settings);

 protected:
  AdapterRecord* AdapterAt(int64_t index);  // null when `index` names no adapter
  void FreeAdapters();

  // Host fields, in declaration order.
  RunMode runMode;
  uint32_t allScreensSame;
  HWND mainWindow;
  HWND parentWindow;
  HINSTANCE instance;
  uint32_t previewWaiting;
  uint32_t mouseMoveCount;
  uint32_t isWin9x;
  ScopedModule passwordModule;
  VerifyPasswordFn verifyPassword;
  uint32_t checkingPassword;
  uint32_t windowed;
  uint32_t errorPending;
  HRESULT errorCode;
  char errorText[400];
  MonitorTable monitors;
  OutputTable outputs;
  AdapterTable adapters;
  Microsoft::WRL::ComPtr<IDirect3D8> direct3d;
  IDirect3DDevice8* currentDevice;  // not owned: the device of the current output
  RECT targetRect;
  RECT currentOutputRect;
  D3DSURFACE_DESC backBufferDesc;
  char windowTitle[200];
  uint32_t allowReference;
  uint32_t useDepthBuffer;
  uint32_t multithreaded;
  uint32_t singleScreen;
  char registryKeyPath[200];
  uint32_t minDepthBits;
  uint32_t minStencilBits;
  D3DSWAPEFFECT fullScreenSwapEffect;
  D3DSWAPEFFECT windowedSwapEffect;
  float appTime;
  float elapsedTime;
  float framesPerSecond;
  char deviceText[90];
  char frameStatsText[42];

 private:
  // Scene operations may run a modal message box, whose message loop can deliver the input or
  // the WM_DESTROY that shuts the saver down. The devices they are using must outlive them:
  // a shutdown asked for meanwhile waits until the outermost scene call has returned.
  void EnterSceneCall() { ++sceneCallDepth_; }
  // True when a waiting shutdown ran; the caller must not touch the outputs any more.
  bool LeaveSceneCall();
  void DrawOutputs();  // one frame's scene calls, Direct3D checks and presents
  // Sleeps, taking input, until the product has work or its wait has passed.
  void WaitForWork();
  // Holds frames that keep moving to the display's refresh rate.
  void PaceFrame();
  // Present parameters of an output in `mode` (windowed: the window's size).
  D3DPRESENT_PARAMETERS PresentParams(bool inWindow, const DisplayModeEntry& mode,
                                      HWND deviceWindow) const;
  // The first vertex-processing behaviour the product accepts, with the multithreading flag.
  bool AcceptedBehavior(D3DCAPS8* caps, D3DFORMAT format, DWORD* behavior);
  // Device creation shared by both kinds of output: multisampled where the device allows it,
  // else, or when that is refused, without; presentParams keep what the device was made with.
  HRESULT CreateOutputDevice(ScreenOutput& output);
  // The output's parameters without multisampling, with the swap effect of its kind.
  void DropMultiSample(D3DPRESENT_PARAMETERS& params) const;

  // The host saw a reason to draw: the first frame, an exposed, resized or restored window,
  // a device that was lost, a scene or present that failed.
  bool redrawPending_ = true;
  bool frameDrawn_ = false;  // the last RenderFrame drew and presented
  double lastPresentTime_ = 0.0;
  FrameRateCounter frameRate_ = {0, 0.0};
  bool errorClockStarted_ = false;
  double errorClockStamp_ = 0.0;

  bool shutDownDone_ = false;  // ShutDown runs once per run
  int sceneCallDepth_ = 0;
  bool shutDownDeferred_ = false;
};

// The one application object of the process (set by the SaverApp constructor).
extern SaverApp* g_saverApp;
