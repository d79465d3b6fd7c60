// The frame loop (advance the scene, draw every output, present them all), the frame-rate
// text, and the error display that replaces drawing once a failure was recorded.
#include "base/dpi.h"
#include "host/error_box_motion.h"
#include "host/host_clock.h"
#include "host/mode_rules.h"
#include "host/saver_app.h"


namespace {

RECT ToRect(const BoxPixels& box) { return {box.left, box.top, box.right, box.bottom}; }

}  // namespace

void SaverApp::RenderFrame() {
  appTime = static_cast<float>(HostClock::AppTime());
  elapsedTime = static_cast<float>(HostClock::ElapsedTime());
  EnterSceneCall();
  const bool wanted = AdvanceScene() != S_FALSE;
  frameDrawn_ = wanted || redrawPending_;
  if (frameDrawn_) {
    redrawPending_ = false;
    DrawOutputs();
  }
  LeaveSceneCall();
}

void SaverApp::WaitForWork() {
  if (frameDrawn_) return;
  const IdleWait wait = NextWait();
  const DWORD milliseconds = HostClock::WaitMilliseconds(wait.idleSeconds);
  const DWORD handles = wait.wakeEvent != nullptr ? 1 : 0;
  MsgWaitForMultipleObjects(handles, handles ? &wait.wakeEvent : nullptr, FALSE, milliseconds,
                            QS_ALLINPUT);
}

void SaverApp::PaceFrame() {
  UINT refresh = 0;
  const AdapterRecord* adapter = outputs.empty() ? nullptr : AdapterAt(outputs[0].adapterIndex);
  if (adapter != nullptr) {
    refresh = adapter->desktopMode.RefreshRate;
  }
  if (refresh < 24 || refresh > 500) refresh = 60;
  const double interval = 1.0 / refresh;
  const double since = HostClock::AbsoluteTime() - lastPresentTime_;
  if (since >= 0.0 && since < interval) {
    const DWORD milliseconds = HostClock::WaitMilliseconds(interval - since);
    if (milliseconds > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
  }
  lastPresentTime_ = HostClock::AbsoluteTime();
}

void SaverApp::DrawOutputs() {
  UpdateFrameRate();

  for (UINT i = 0; i < outputs.size(); ++i) {
    MakeOutputCurrent(i);
    ScreenOutput& output = outputs[i];
    if (output.device == nullptr) continue;
    const HRESULT state = output.device->TestCooperativeLevel();
    // A lost device cannot present; try the whole frame again on the next idle turn.
    if (state == D3DERR_DEVICELOST) {
      redrawPending_ = true;
      return;
    }
    if (state == D3DERR_DEVICENOTRESET) {
      AdapterRecord* adapter = AdapterAt(output.adapterIndex);
      if (windowed && direct3d != nullptr && adapter != nullptr) {
        direct3d->GetAdapterDisplayMode(output.adapterIndex, &adapter->desktopMode);
      }
      if (output.resourcesRestored) {
        ReleaseDeviceResources();
        output.resourcesRestored = 0;
      }
      if (FAILED(ResetOutputDevice(output))) {
        errorPending = 1;
        continue;  // nothing to draw on a device that did not come back
      }
      if (FAILED(RestoreDeviceResources())) {
        errorPending = 1;
        continue;
      }
      output.resourcesRestored = 1;
    }
    // A scene that could not begin leaves only the clear colour: a still scene must be drawn
    // again rather than stay that way until something moves.
    if (DrawScene() != S_OK) redrawPending_ = true;
  }

  for (UINT i = 0; i < outputs.size(); ++i) {
    MakeOutputCurrent(i);
    IDirect3DDevice8* device = outputs[i].device.Get();
    if (device != nullptr && FAILED(device->Present(nullptr, nullptr, nullptr, nullptr))) {
      redrawPending_ = true;
    }
  }
}

void SaverApp::UpdateFrameRate() {
  float rate;
  if (!CountFrame(frameRate_, HostClock::AbsoluteTime(), &rate)) return;
  framesPerSecond = rate;
  for (ScreenOutput& output : outputs) {
    const AdapterRecord* record = AdapterAt(output.adapterIndex);
    if (direct3d == nullptr || record == nullptr) continue;
    const AdapterRecord& adapter = *record;
    D3DDISPLAYMODE mode = {};
    direct3d->GetAdapterDisplayMode(output.adapterIndex, &mode);
    D3DFORMAT depth = D3DFMT_UNKNOWN;
    if (adapter.currentDevice < adapter.deviceCount && adapter.currentDevice < kMaxDeviceTypes) {
      const DeviceTypeRecord& record = adapter.devices[adapter.currentDevice];
      if (record.currentMode < record.modeCount && record.currentMode < kMaxModes) {
        depth = record.modes[record.currentMode].depthStencilFormat;
      }
    }
    FormatFrameStats(output.frameStatsText, sizeof output.frameStatsText, framesPerSecond, mode,
                     useDepthBuffer != 0, depth);
  }
}

void SaverApp::ErrorDisplayStep() {
  if (errorPending && !outputs.empty()) {
    TearDownOutputs();
    // The last frames stay on screen until something paints over them: show black instead.
    for (const MonitorRecord& monitor : monitors) {
      if (monitor.window != nullptr) InvalidateRect(monitor.window, nullptr, FALSE);
    }
  }

  const double now = HostClock::AbsoluteTime();
  if (!errorClockStarted_) {
    errorClockStarted_ = true;
    errorClockStamp_ = now;
  }
  const float dt = static_cast<float>(now - errorClockStamp_);
  errorClockStamp_ = now;

  if (errorText[0] == '\0') LookupErrorMessage(errorCode, errorText, sizeof errorText);

  const bool preview = runMode == RunMode::Preview;
  for (MonitorRecord& monitor : monitors) {
    if (monitor.window == nullptr) continue;
    RECT area = targetRect;
    if (runMode == RunMode::FullScreen) {
      area = monitor.screenRect;
      MapWindowPoints(HWND_DESKTOP, monitor.window, reinterpret_cast<POINT*>(&area), 2);
    }
    const BoxArea boxArea = {area.left, area.top, area.right, area.bottom};

    ErrorBox box = {monitor.boxX,      monitor.boxY,         monitor.boxWidth,
                    monitor.boxHeight, monitor.boxVelocityX, monitor.boxVelocityY};
    bool repaintWhole = false;
    BoxPixels before{}, after{};
    bool moved = false;
    if (box.width == 0.0f) {
      box = StartErrorBox(boxArea, preview, DpiForWindow(monitor.window));
      repaintWhole = preview;
    } else if (!preview) {
      moved = MoveErrorBox(box, boxArea, dt, &before, &after);
    }
    monitor.boxX = box.x;
    monitor.boxY = box.y;
    monitor.boxWidth = box.width;
    monitor.boxHeight = box.height;
    monitor.boxVelocityX = box.velocityX;
    monitor.boxVelocityY = box.velocityY;

    if (repaintWhole) {
      InvalidateRect(monitor.window, nullptr, FALSE);
      UpdateWindow(monitor.window);
    } else if (moved) {
      const RECT oldRect = ToRect(before);
      const RECT newRect = ToRect(after);
      InvalidateRect(monitor.window, &oldRect, FALSE);
      InvalidateRect(monitor.window, &newRect, FALSE);
      UpdateWindow(monitor.window);
    }
  }
}
