// The saver windows of the drawing run modes, their messages, the input that ends the saver,
// the shutdown, and the GDI painting of the black background and the error box.
#include "base/dpi.h"
#include "base/resource_ids.h"
#include "base/scoped_gdi.h"
#include "host/multi_monitor_api.h"
#include "host/saver_app.h"

#include <cstring>

namespace {

constexpr char kWindowClass[] = "SolvaneSaverWndClass";
constexpr UINT_PTR kPreviewTimer = 1;
constexpr UINT kPreviewPauseMs = 500;
// Moves to new positions before the saver ends: a table knock must not end it.
constexpr uint32_t kMouseMovesTolerated = 5;

// Kept for the whole process: the first move anywhere but (-1, -1) counts.
POINT lastMousePosition = {-1, -1};

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_saverApp != nullptr) {
    return g_saverApp->HandleWindowMessage(window, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterSaverClass(HINSTANCE instance) {
  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = SaverWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SOLVANE));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The DC's own font is made for the system's DPI; on a monitor of another scale the same
// font measured for that monitor. Null where the default serves.
HFONT FontForDpi(int dpi) {
  const int systemDpi = SystemDpi();
  LOGFONTA font;
  if (dpi == systemDpi || !GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font)) {
    return nullptr;
  }
  font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi);
  font.lfWidth = MulDiv(font.lfWidth, dpi, systemDpi);
  return CreateFontIndirectA(&font);
}

}  // namespace

HRESULT SaverApp::CreateSaverWindows() {
  if (runMode != RunMode::Preview && runMode != RunMode::FullScreen &&
      runMode != RunMode::Test) {
    return S_OK;
  }
  const HINSTANCE module = instance != nullptr ? instance : GetModuleHandleA(nullptr);
  if (!RegisterSaverClass(module)) return E_FAIL;

  switch (runMode) {
    case RunMode::Preview: {
      RECT rect;
      if (!GetClientRect(parentWindow, &rect)) return E_FAIL;
      AdjustWindowRect(&rect, WS_CHILD | WS_VISIBLE, FALSE);
      mainWindow = CreateWindowExA(0, kWindowClass, windowTitle, WS_CHILD | WS_VISIBLE,
                                   rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, parentWindow, nullptr, module, this);
      break;
    }
    case RunMode::FullScreen:
      mainWindow = nullptr;
      for (MonitorRecord& monitor : monitors) {
        if (monitor.monitorHandle == nullptr) continue;
        const RECT& r = monitor.screenRect;
        monitor.window = CreateWindowExA(WS_EX_TOPMOST, kWindowClass, windowTitle,
                                         WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top, mainWindow, nullptr, module, this);
        if (monitor.window == nullptr) return E_FAIL;
        if (mainWindow == nullptr) mainWindow = monitor.window;
      }
      break;
    case RunMode::Test: {
      const DWORD style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      RECT rect = {50, 50, 650, 450};
      AdjustWindowRect(&rect, style, FALSE);
      mainWindow = CreateWindowExA(0, kWindowClass, windowTitle, style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                   nullptr, module, this);
      break;
    }
    default:
      break;
  }

  if (mainWindow == nullptr) return E_FAIL;
  if (runMode == RunMode::Preview || runMode == RunMode::Test) {
    monitors[0].window = mainWindow;
    GetClientRect(mainWindow, &targetRect);
    currentOutputRect = targetRect;
  }
  return S_OK;
}

void SaverApp::RunPreviewPause() {
  if (mainWindow == nullptr) return;
  previewWaiting = 1;
  PostMessageA(mainWindow, WM_USER, 0, 0);
  MSG message;
  while (previewWaiting) {
    const BOOL got = GetMessageA(&message, mainWindow, 0, 0);
    if (got == 0) {
      PostQuitMessage(0);
      break;
    }
    if (got == -1) break;  // the window is gone: nothing more will come for it
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  previewWaiting = 0;
}

LRESULT SaverApp::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      if (runMode == RunMode::Preview || runMode == RunMode::Test) ShutDown();
      break;

    case WM_SIZE:
    case WM_SHOWWINDOW:
      redrawPending_ = true;
      break;

    case WM_PAINT: {
      redrawPending_ = true;
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      if (!errorPending && runMode == RunMode::Preview) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      } else {
        PaintWindow(window, dc);
      }
      EndPaint(window, &paint);
      return 0;
    }

    case WM_ERASEBKGND:
      if (!checkingPassword) {
        // Direct3D draws these windows; erasing would only flicker.
        for (const ScreenOutput& output : outputs) {
          const AdapterRecord* adapter = AdapterAt(output.adapterIndex);
          if (adapter != nullptr && adapter->deviceWindow == window) return 1;
        }
      }
      break;

    case WM_ACTIVATEAPP:
      if (wParam == FALSE && runMode != RunMode::Test) InterruptSaver();
      break;

    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (runMode != RunMode::Test) InterruptSaver();
      break;

    case WM_MOUSEMOVE:
      if (runMode != RunMode::Test) {
        const LONG x = static_cast<short>(LOWORD(lParam));
        const LONG y = static_cast<short>(HIWORD(lParam));
        if (x != lastMousePosition.x || y != lastMousePosition.y) {
          lastMousePosition = {x, y};
          ++mouseMoveCount;
          if (mouseMoveCount > kMouseMovesTolerated) InterruptSaver();
        }
      }
      break;

    case WM_SETCURSOR:
      if (runMode == RunMode::FullScreen && !checkingPassword) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;

    case WM_SYSCOMMAND:
      if (runMode == RunMode::FullScreen &&
          (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_CLOSE ||
           wParam == SC_SCREENSAVE)) {
        return 0;
      }
      break;

    case WM_TIMER:
      previewWaiting = 0;
      KillTimer(window, kPreviewTimer);
      break;

    case WM_POWERBROADCAST:
      if (wParam == PBT_APMSUSPEND && verifyPassword == nullptr) InterruptSaver();
      break;

    case WM_USER:
      SetTimer(window, kPreviewTimer, kPreviewPauseMs, nullptr);
      break;

    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void SaverApp::InterruptSaver() {
  const bool acts =
      runMode == RunMode::Test || (runMode == RunMode::FullScreen && !checkingPassword);
  if (!acts) return;
  if (runMode == RunMode::FullScreen && isWin9x && verifyPassword != nullptr) {
    // No password dialog on top of a scene operation that is still using the devices.
    if (sceneCallDepth_ > 0) return;
    if (!RunPasswordCheck()) return;
    outputs.clear();  // the check released the devices already
  }
  ShutDown();
}

bool SaverApp::LeaveSceneCall() {
  if (--sceneCallDepth_ > 0 || !shutDownDeferred_) return false;
  shutDownDeferred_ = false;
  ShutDown();
  return true;
}

void SaverApp::ShutDown() {
  // Input queued behind the first interruption must not shut the scene down twice.
  if (shutDownDone_) return;
  if (sceneCallDepth_ > 0) {
    shutDownDeferred_ = true;
    return;
  }
  shutDownDone_ = true;
  // The desktop comes back before anything is released: releasing devices and scene, and the
  // product's own clean-up after it, can take a while.
  for (const MonitorRecord& monitor : monitors) {
    if (monitor.window != nullptr) ShowWindow(monitor.window, SW_HIDE);
  }
  if (mainWindow != nullptr) ShowWindow(mainWindow, SW_HIDE);
  if (runMode == RunMode::FullScreen) {
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, nullptr, 0);
  }
  TearDownOutputs();
  ShutdownScene();
  passwordModule.Reset();
  PostQuitMessage(0);
}

void SaverApp::PaintWindow(HWND window, HDC dc) {
  // The window's own monitor first; in full screen each monitor has its own window.
  const MonitorRecord* monitor = nullptr;
  for (const MonitorRecord& m : monitors) {
    if (monitor == nullptr && m.window == window) monitor = &m;
  }
  if (monitor == nullptr) {
    const HMONITOR handle = multimon::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    for (const MonitorRecord& m : monitors) {
      if (monitor == nullptr && m.monitorHandle == handle) monitor = &m;
    }
  }
  if (monitor == nullptr) return;

  RECT box = {static_cast<LONG>(monitor->boxX), static_cast<LONG>(monitor->boxY),
              static_cast<LONG>(monitor->boxX + monitor->boxWidth),
              static_cast<LONG>(monitor->boxY + monitor->boxHeight)};
  const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  FillRect(dc, &box, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
  FrameRect(dc, &box, black);

  // The text at this monitor's scale, as the box is.
  ScopedGdiObject<HFONT> font(FontForDpi(DpiForWindow(window)));
  const HGDIOBJ oldFont = font ? SelectObject(dc, font.get()) : nullptr;
  RECT measured = box;
  DrawTextA(dc, errorText, -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  const LONG textHeight = measured.bottom - measured.top;
  RECT textRect = box;
  textRect.top = (box.top + box.bottom - textHeight) / 2;
  DrawTextA(dc, errorText, -1, &textRect, DT_WORDBREAK | DT_CENTER);
  if (oldFont != nullptr) SelectObject(dc, oldFont);

  ExcludeClipRect(dc, box.left, box.top, box.right, box.bottom);
  RECT screen = monitor->screenRect;
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&screen), 2);
  FillRect(dc, &screen, black);
}
