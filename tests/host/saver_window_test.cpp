// The saver windows on a real display: the three window kinds, the preview pause, the error
// box painted by GDI, and a real Direct3D device drawing into the test window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "base/text_copy.h"
#include "host/direct3d_loader.h"
#include "host/multi_monitor_api.h"
#include "host/saver_app.h"
#include "support/host_exposed.h"
#include "host/saver_errors.h"
#include "support/saver_process.h"

namespace {

constexpr char kTitle[] = "Solvane ScreenSaver 7.0";
constexpr D3DCOLOR kClearColor = 0x00FF8000;  // orange

class WindowApp : public Exposed<SaverApp> {
 public:
  WindowApp() { CopyText(windowTitle, kTitle, sizeof windowTitle); }
  ~WindowApp() override {
    for (MonitorRecord& m : monitors) {
      if (m.window != nullptr && IsWindow(m.window)) DestroyWindow(m.window);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  std::vector<std::string> log;
  HRESULT DrawScene() override {
    ++draws;
    if (currentDevice == nullptr) return S_OK;
    currentDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    return S_OK;
  }
  HRESULT ShutdownScene() override {
    log.push_back("shutdown");
    return S_OK;
  }
  int draws = 0;
};

using testing_support::Pump;

COLORREF ScreenPixel(int x, int y) {
  const HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return color;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

TEST(SaverWindows, TestModeOpensACaptionedWindowAndDrawsWithDirect3D) {
  WindowApp app;
  app.runMode = RunMode::Test;
  app.DiscoverMonitors();
  ASSERT_EQ(app.CreateSaverWindows(), S_OK);
  const HWND window = app.mainWindow;
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ClassOf(window), "SolvaneSaverWndClass");
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, kTitle);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 400);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(app.monitors[0].window, window);
  EXPECT_EQ(app.targetRect.right, 600);
  EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0);

  app.direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  ASSERT_NE(app.direct3d, nullptr);
  ASSERT_EQ(app.EnumerateAdapters(), S_OK);
  ASSERT_TRUE(app.HasUsableDevice());
  app.SetUpOutputs();
  ASSERT_FALSE(app.errorPending) << std::hex << app.errorCode;
  ASSERT_EQ(app.outputs.size(), 1u);
  EXPECT_EQ(app.windowed, 1u);
  EXPECT_EQ(app.backBufferDesc.Width, 600u);
  EXPECT_EQ(app.backBufferDesc.Height, 400u);
  std::printf("device: %s\n", app.outputs[0].deviceText);

  for (int i = 0; i < 20; ++i) {
    app.RenderFrame();
    Pump(5);
  }
  EXPECT_EQ(app.draws, 20);
  std::printf("frame stats: %s\n", app.outputs[0].frameStatsText);
  POINT centre = {300, 200};
  ClientToScreen(window, &centre);
  EXPECT_EQ(ScreenPixel(centre.x, centre.y), RGB(0xFF, 0x80, 0x00));

  // Closing the test window ends the run.
  DestroyWindow(window);
  EXPECT_EQ(app.log, std::vector<std::string>{"shutdown"});
  EXPECT_EQ(app.outputs.size(), 0u);
  EXPECT_EQ(app.direct3d, nullptr);
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(SaverWindows, FullScreenCoversEachMonitorAndShowsTheDriftingErrorBox) {
  WindowApp app;
  app.runMode = RunMode::FullScreen;
  app.DiscoverMonitors();
  ASSERT_GE(app.monitors.size(), 1u);
  ASSERT_EQ(app.CreateSaverWindows(), S_OK);
  int windows = 0;
  for (uint32_t i = 0; i < app.monitors.size(); ++i) {
    const MonitorRecord& m = app.monitors[i];
    if (m.monitorHandle == nullptr) {
      EXPECT_EQ(m.window, nullptr);
      continue;
    }
    ++windows;
    ASSERT_NE(m.window, nullptr);
    RECT rect;
    GetWindowRect(m.window, &rect);
    EXPECT_TRUE(EqualRect(&rect, &m.screenRect));
    EXPECT_TRUE(GetWindowLongA(m.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(m.window, GWL_STYLE)) & (WS_POPUP | WS_CAPTION),
              DWORD{WS_POPUP});
    // Later windows are owned by the first.
    EXPECT_EQ(GetWindow(m.window, GW_OWNER), windows == 1 ? nullptr : app.mainWindow);
  }
  EXPECT_GE(windows, 1);
  const HWND window = app.monitors[0].window;
  ASSERT_EQ(window, app.mainWindow);

  // Window switching, closing and a new screen-saver start are swallowed; the cursor hidden.
  for (WPARAM command : {SC_CLOSE, SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE}) {
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, command, 0), 0);
  }
  Pump(50);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), nullptr);

  app.RecordError(SAVER_E_NO_DIRECT3D);
  app.ErrorDisplayStep();
  EXPECT_STREQ(app.errorText,
               "Direct3D 8.0 could not be initialized.  Please install the latest version of "
               "DirectX.");
  const MonitorRecord& m = app.monitors[0];
  const float width = static_cast<float>(m.screenRect.right - m.screenRect.left);
  const float height = static_cast<float>(m.screenRect.bottom - m.screenRect.top);
  EXPECT_FLOAT_EQ(m.boxX, (width - 300.0f) * 0.5f);
  EXPECT_FLOAT_EQ(m.boxY, (height - 150.0f) * 0.5f);
  EXPECT_FLOAT_EQ(m.boxVelocityX, width * 0.1f);
  EXPECT_FLOAT_EQ(m.boxVelocityY, height * 0.05f);
  InvalidateRect(window, nullptr, TRUE);
  Pump(100);
  const int boxLeft = static_cast<int>(m.boxX);
  const int boxTop = static_cast<int>(m.boxY);
  // Window colour inside the box (a blank spot under the text), black around it.
  EXPECT_EQ(ScreenPixel(boxLeft + 5, boxTop + 5), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ScreenPixel(boxLeft - 5, boxTop + 20), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel(5, 5), RGB(0, 0, 0));

  // It drifts.
  for (int i = 0; i < 30; ++i) {
    app.ErrorDisplayStep();
    Pump(10);
  }
  EXPECT_GT(m.boxX, static_cast<float>(boxLeft) + 5.0f);
  EXPECT_GT(m.boxY, static_cast<float>(boxTop));
  EXPECT_TRUE(app.log.empty());
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeParent(int width, int height) {
  WNDCLASSA parentClass = {};
  parentClass.lpfnWndProc = ParentProc;
  parentClass.hInstance = GetModuleHandleA(nullptr);
  parentClass.lpszClassName = "PreviewParent";
  RegisterClassA(&parentClass);
  RECT rect = {0, 0, width, height};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  return CreateWindowExA(0, "PreviewParent", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                         rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(SaverWindows, PreviewIsAChildOfTheGivenWindowAndWaitsHalfASecond) {
  const HWND parent = MakeParent(152, 112);
  ASSERT_NE(parent, nullptr);
  WindowApp app;
  app.runMode = RunMode::Preview;
  app.parentWindow = parent;
  app.DiscoverMonitors();
  ASSERT_EQ(app.CreateSaverWindows(), S_OK);
  const HWND child = app.mainWindow;
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 152);
  EXPECT_EQ(client.bottom, 112);

  const DWORD start = GetTickCount();
  app.RunPreviewPause();
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 450u);
  EXPECT_LT(waited, 3000u);
  EXPECT_EQ(app.previewWaiting, 0u);

  // Preview failures fill the whole window with the message box, which does not move.
  app.RecordError(SAVER_E_NO_PREVIEW);
  app.ErrorDisplayStep();
  app.ErrorDisplayStep();
  const MonitorRecord& m = app.monitors[0];
  EXPECT_FLOAT_EQ(m.boxX, 0.0f);
  EXPECT_FLOAT_EQ(m.boxY, 0.0f);
  EXPECT_FLOAT_EQ(m.boxWidth, 152.0f);
  EXPECT_FLOAT_EQ(m.boxHeight, 112.0f);
  EXPECT_STREQ(app.errorText, "No preview available");
  Pump(100);
  POINT corner = {3, 3};
  ClientToScreen(child, &corner);
  EXPECT_EQ(ScreenPixel(corner.x, corner.y), GetSysColor(COLOR_WINDOW));

  // The control panel ends the preview by destroying its window.
  DestroyWindow(parent);
  EXPECT_EQ(app.log, std::vector<std::string>{"shutdown"});
}

TEST(SaverWindows, PreviewDrawsIntoTheChildWithAWindowedDevice) {
  const HWND parent = MakeParent(152, 112);
  ASSERT_NE(parent, nullptr);
  WindowApp app;
  app.runMode = RunMode::Preview;
  app.parentWindow = parent;
  app.DiscoverMonitors();
  ASSERT_EQ(app.CreateSaverWindows(), S_OK);
  app.RunPreviewPause();
  app.direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  ASSERT_NE(app.direct3d, nullptr);
  ASSERT_EQ(app.EnumerateAdapters(), S_OK);
  app.SetUpOutputs();
  ASSERT_FALSE(app.errorPending) << std::hex << app.errorCode;
  ASSERT_EQ(app.outputs.size(), 1u);
  EXPECT_EQ(app.outputs[0].presentParams.hDeviceWindow, app.mainWindow);
  EXPECT_EQ(app.backBufferDesc.Width, 152u);
  for (int i = 0; i < 40; ++i) {
    app.RenderFrame();
    Pump(20);
  }
  EXPECT_EQ(app.draws, 40);
  // Wine on Xvfb shows nothing drawn by Direct3D into a child window (top-level windows
  // work), so the picture itself is not checked here.
  POINT centre = {76, 56};
  ClientToScreen(app.mainWindow, &centre);
  std::printf("preview centre pixel: %06lx\n", ScreenPixel(centre.x, centre.y));
  DestroyWindow(parent);
  EXPECT_EQ(app.log, std::vector<std::string>{"shutdown"});
  EXPECT_EQ(app.outputs.size(), 0u);
}

TEST(MonitorDiscovery, WithoutTheMultiMonitorApiOnePrimaryDisplayIsListed) {
  LookUpMultiMonitorApi(TheMultiMonitorApi(), [](const char*) -> FARPROC { return nullptr; });
  WindowApp app;
  app.DiscoverMonitors();
  LookUpMultiMonitorApi(TheMultiMonitorApi(), [](const char* name) {
    return GetProcAddress(GetModuleHandleA("USER32"), name);
  });
  ASSERT_EQ(app.monitors.size(), 1u);
  EXPECT_STREQ(app.monitors[0].adapterName, "DISPLAY");
  EXPECT_EQ(app.monitors[0].monitorHandle, kPrimaryMonitorHandle);
  EXPECT_EQ(app.monitors[0].screenRect.left, 0);
  EXPECT_EQ(app.monitors[0].screenRect.top, 0);
  EXPECT_EQ(app.monitors[0].screenRect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(app.monitors[0].screenRect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST(MonitorDiscovery, TheSystemListsItsMonitorsWithHandlesThatDirect3DNames) {
  WindowApp app;
  app.DiscoverMonitors();
  ASSERT_GE(app.monitors.size(), 1u);
  for (uint32_t i = 0; i < app.monitors.size(); ++i) {
    const MonitorRecord& m = app.monitors[i];
    std::printf("monitor %u: '%s' / '%s' handle %p rect (%ld,%ld)-(%ld,%ld)\n", i,
                m.adapterName, m.monitorName, static_cast<void*>(m.monitorHandle), m.screenRect.left,
                m.screenRect.top, m.screenRect.right, m.screenRect.bottom);
  }
  EXPECT_NE(app.monitors[0].monitorHandle, nullptr);
  app.direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  ASSERT_NE(app.direct3d, nullptr);
  app.EnumerateAdapters();
  ASSERT_GE(app.adapters.size(), 1u);
  for (uint32_t a = 0; a < app.adapters.size(); ++a) {
    const AdapterRecord& adapter = *app.adapters[a];
    std::printf("adapter %u: '%s' monitor %d desktop %ux%u fmt %d, %u device types, hal %u sw %u\n",
                a, adapter.identifier.Description, adapter.monitorIndex, adapter.desktopMode.Width,
                adapter.desktopMode.Height, adapter.desktopMode.Format, adapter.deviceCount,
                adapter.halUsable, adapter.softwareUsable);
  }
  // The primary adapter drives the primary monitor.
  EXPECT_EQ(app.adapters[0]->monitorIndex, 0);
}

}  // namespace
