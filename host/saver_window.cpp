// Saver windows and their input. Not built yet: no window is created, so a drawing run
// reports E_FAIL.
#include "host/saver_app.h"

HRESULT SaverApp::CreateSaverWindows() { return mainWindow != nullptr ? S_OK : E_FAIL; }

void SaverApp::RunPreviewPause() {}

LRESULT SaverApp::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void SaverApp::PaintWindow(HWND, HDC) {}

void SaverApp::InterruptSaver() {
  if (runMode == RunMode::Test || (runMode == RunMode::FullScreen && !checkingPassword)) {
    ShutDown();
  }
}

void SaverApp::ShutDown() {
  if (runMode == RunMode::FullScreen) {
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, nullptr, 0);
  }
  TearDownOutputs();
  ShutdownScene();
  if (passwordModule != nullptr) {
    FreeLibrary(passwordModule);
    passwordModule = nullptr;
  }
  PostQuitMessage(0);
}
