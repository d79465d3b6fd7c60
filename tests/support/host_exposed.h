// An application object whose host state a test may set and read directly.
#pragma once

#include "host/saver_app.h"

template <typename App>
struct Exposed : App {
  using SaverApp::adapters, SaverApp::allowReference, SaverApp::allScreensSame,
      SaverApp::backBufferDesc, SaverApp::checkingPassword, SaverApp::currentDevice,
      SaverApp::direct3d, SaverApp::elapsedTime, SaverApp::errorCode,
      SaverApp::errorPending, SaverApp::errorText, SaverApp::framesPerSecond,
      SaverApp::fullScreenSwapEffect, SaverApp::instance,
      SaverApp::isWin9x, SaverApp::mainWindow, SaverApp::minDepthBits, SaverApp::minStencilBits,
      SaverApp::monitors, SaverApp::mouseMoveCount, SaverApp::multithreaded, SaverApp::outputs,
      SaverApp::parentWindow, SaverApp::passwordModule, SaverApp::previewWaiting,
      SaverApp::registryKeyPath, SaverApp::runMode, SaverApp::singleScreen, SaverApp::targetRect,
      SaverApp::useDepthBuffer, SaverApp::verifyPassword, SaverApp::windowed,
      SaverApp::windowedSwapEffect, SaverApp::windowTitle;
};
