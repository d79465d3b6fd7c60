// The saver on two real monitors: Xorg's dummy driver gives Wine two 1024x768 monitors side by
// side and Direct3D one adapter each (scripts/test runs these tests there). The built
// Solvane7.scr runs as the system starts it; its settings come from the real Display Settings
// dialog over the real monitor and adapter tables.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "base/com_ptr.h"
#include "config/display_settings_dialog.h"
#include "config/modal_script.h"
#include "host/direct3d_loader.h"
#include "resources/dialog_ids.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "support/pixels.h"
#include "support/saver_process.h"
#include "support/test_support.h"

using testing_support::CaptureScreen;
using testing_support::Click;
using testing_support::DialogStep;
using testing_support::Pixels;
using testing_support::SaverProcess;

namespace {

std::string WindowsPath(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}
const std::string kSaver = WindowsPath(SOLVANE_BUILD_DIR "/install_root/Solvane7.scr");
const std::string kRefusingSaver =
    WindowsPath(SOLVANE_BUILD_DIR "/tests/multimon/refusing_saver.exe");
const std::string kShots = WindowsPath(SOLVANE_BUILD_DIR "/screens");

// The monitors from left to right.
std::vector<RECT> Monitors() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR, HDC, LPRECT rect, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  std::sort(monitors.begin(), monitors.end(),
            [](const RECT& a, const RECT& b) { return a.left < b.left; });
  return monitors;
}

// A gallery has many colours; black, a cleared screen or an error box very few.
bool ShowsGallery(const Pixels& shot) {
  return std::set<uint32_t>(shot.pixels.begin(), shot.pixels.end()).size() > 60;
}

// The saver's windows, once it has one on each monitor.
std::vector<HWND> SaverWindows(const SaverProcess& saver) {
  std::vector<HWND> windows;
  const DWORD start = GetTickCount();
  while ((windows = saver.TopLevels(testing_support::kSaverWindowClass)).size() < 2 &&
         saver.Running() && GetTickCount() - start < 30000) {
    testing_support::Pump(100);
  }
  return windows;
}

// Where the saver's windows are, from left to right. The saver places each on its monitor
// once the monitor is in the mode it uses (this process may still know the old mode).
std::vector<RECT> WindowRects(const SaverProcess& saver) {
  std::vector<RECT> rects;
  for (HWND window : SaverWindows(saver)) {
    RECT rect;
    GetWindowRect(window, &rect);
    rects.push_back(rect);
  }
  std::sort(rects.begin(), rects.end(),
            [](const RECT& a, const RECT& b) { return a.left < b.left; });
  return rects;
}

// Each monitor once all but `black` show the gallery (a first frame with mode changes takes
// seconds), kept in <build>/screens for people to look at.
std::vector<Pixels> Shoot(const std::string& name, int black = -1) {
  std::vector<Pixels> shots;
  const DWORD start = GetTickCount();
  for (bool drawn = false; !drawn && GetTickCount() - start < 30000;) {
    testing_support::Pump(500);
    shots.clear();
    drawn = true;
    for (const RECT& monitor : Monitors()) {
      shots.push_back(CaptureScreen(monitor));
      if (static_cast<int>(shots.size()) - 1 != black) drawn = drawn && ShowsGallery(shots.back());
    }
  }
  for (size_t i = 0; i < shots.size(); ++i) {
    testing_support::SaveBmp(shots[i], kShots, name + "_monitor" + std::to_string(i + 1));
  }
  return shots;
}

// Share of pixels at which two shots of the same size differ visibly.
double DifferingShare(const Pixels& a, const Pixels& b) {
  size_t differing = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    differing += testing_support::ColorDistance(a.pixels[i], b.pixels[i]) > 24;
  }
  return a.pixels.empty() ? 0.0 : static_cast<double>(differing) / a.pixels.size();
}

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
}

void ChooseTab(HWND dialog, int index) {
  HWND tabs = GetDlgItem(dialog, IDC_DS_TABS);
  TabCtrl_SetCurSel(tabs, index);
  NMHDR header = {tabs, IDC_DS_TABS, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(dialog, WM_NOTIFY, IDC_DS_TABS, reinterpret_cast<LPARAM>(&header));
}

std::vector<std::string> ModeList(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_DS_MODE_LIST);
  std::vector<std::string> modes;
  const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
  for (int i = 1; i < count; ++i) {  // after "Automatic"
    char text[128] = {};
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    modes.push_back(text);
  }
  return modes;
}

// The sizes and depths Direct3D lists for the adapter that drives the monitor, as the
// dialog words them (sizes below 640x400 are never offered).
std::set<std::string> AdapterModes(const RECT& monitor) {
  const auto direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
  std::set<std::string> modes;
  for (UINT a = 0; direct3d != nullptr && a < direct3d->GetAdapterCount(); ++a) {
    if (direct3d->GetAdapterMonitor(a) != MonitorFromRect(&monitor, MONITOR_DEFAULTTONULL)) {
      continue;
    }
    for (UINT m = 0; m < direct3d->GetAdapterModeCount(a); ++m) {
      D3DDISPLAYMODE mode;
      direct3d->EnumAdapterModes(a, m, &mode);
      if (mode.Width < 640 || mode.Height < 400) continue;
      char text[64];
      std::snprintf(text, sizeof text, "%u by %u, %d bit color", mode.Width, mode.Height,
                    mode.Format == D3DFMT_X8R8G8B8 ? 32 : 16);
      modes.insert(text);
    }
  }
  return modes;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Monitors().size(), 2u) << "needs the two-monitor X server scripts/test starts";
    UseBuiltData();
  }
  static void UseBuiltData() {
    testing_support::CleanSettingsKeys::Clear();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, testing_support::kSettingsPath, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::string installDir = WindowsPath(SOLVANE_BUILD_DIR "/install_root");
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                   static_cast<DWORD>(installDir.size() + 1));
    RegCloseKey(key);
  }

  // The Display Settings dialog over this system's monitors and adapters, as the configuration
  // dialog opens it; its OK stores the settings as the configuration dialog's OK does.
  static INT_PTR ConfigureDisplays(std::vector<DialogStep> steps) {
    Exposed<ShowApp> app;
    app.DiscoverMonitors();
    app.direct3d = AdoptComPtr(g_createDirect3D(D3D_SDK_VERSION));
    if (app.direct3d == nullptr || FAILED(app.PrepareEnumeration()) ||
        FAILED(app.EnumerateAdapters())) {
      return -1;
    }
    app.LoadSettings();
    const INT_PTR result =
        testing_support::RunModal([&] { return ShowDisplaySettings(app, nullptr); }, steps);
    if (result == IDOK) app.SaveSettings();
    return result;
  }

  testing_support::CleanSettingsKeys clean_;
};

TEST_F(TwoMonitors, FullScreenDrawsTheGalleryInATopmostWindowOnEachMonitorUntilAKey) {
  SaverProcess saver(kSaver, "/s");
  const std::vector<HWND> windows = SaverWindows(saver);
  ASSERT_EQ(windows.size(), 2u);
  const std::vector<RECT> monitors = Monitors();
  std::set<LONG> covered;
  for (HWND window : windows) {
    RECT rect;
    GetWindowRect(window, &rect);
    for (const RECT& monitor : monitors) {
      if (EqualRect(&rect, &monitor)) covered.insert(rect.left);
    }
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  }
  EXPECT_EQ(covered.size(), 2u) << "one window on each monitor";
  for (const Pixels& shot : Shoot("multimon_gallery")) {
    EXPECT_GT(shot.DrawnShare(), 0.5);
    EXPECT_TRUE(ShowsGallery(shot));
  }

  PressKey(VK_SPACE);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
  for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
}

TEST_F(TwoMonitors, DisplaySettingsHasATabPerMonitorWithItsAdaptersModes) {
  const std::vector<RECT> monitors = Monitors();
  EXPECT_EQ(ConfigureDisplays({[&](HWND dialog) {
              HWND tabs = GetDlgItem(dialog, IDC_DS_TABS);
              ASSERT_NE(tabs, nullptr);
              ASSERT_EQ(TabCtrl_GetItemCount(tabs), 2);
              std::vector<std::string> lists[2];
              for (int tab = 0; tab < 2; ++tab) {
                ChooseTab(dialog, tab);
                char label[32] = {};
                TCITEMA item = {};
                item.mask = TCIF_TEXT;
                item.pszText = label;
                item.cchTextMax = sizeof label;
                SendMessageA(tabs, TCM_GETITEMA, tab, reinterpret_cast<LPARAM>(&item));
                EXPECT_EQ(std::string(label), "Monitor " + std::to_string(tab + 1));
                lists[tab] = ModeList(dialog);
                EXPECT_EQ(std::set<std::string>(lists[tab].begin(), lists[tab].end()),
                          AdapterModes(monitors[tab]))
                    << "tab " << tab + 1;
              }
              // The second monitor takes no 85 Hz modes: its adapter lists fewer sizes.
              EXPECT_LT(lists[1].size(), lists[0].size());
              RECT rect;
              GetWindowRect(dialog, &rect);
              testing_support::SaveBmp(CaptureScreen(rect), kShots, "multimon_display_settings");
              Click(dialog, IDCANCEL);
            }}),
            IDCANCEL);
}

TEST_F(TwoMonitors, DisplayNothingOnEitherMonitorLeavesThatOneBlack) {
  for (int black = 0; black < 2; ++black) {
    SCOPED_TRACE("black monitor " + std::to_string(black + 1));
    UseBuiltData();
    ASSERT_EQ(ConfigureDisplays({[black](HWND dialog) {
                ChooseTab(dialog, black);
                Click(dialog, IDC_DS_LEAVE_BLACK);
                Click(dialog, IDOK);
              }}),
              IDOK);
    SaverProcess saver(kSaver, "/s");
    ASSERT_EQ(SaverWindows(saver).size(), 2u);
    const std::vector<Pixels> shots = Shoot("multimon_black" + std::to_string(black + 1), black);
    EXPECT_TRUE(ShowsGallery(shots[1 - black]));
    EXPECT_EQ(shots[black].DrawnShare(), 0.0);
    PressKey(VK_SPACE);
    EXPECT_EQ(saver.WaitForExit(20000), 0u);
  }
}

TEST_F(TwoMonitors, EachMonitorShowsItsOwnPicturesUnlessTheSameImageIsChecked) {
  for (const bool same : {false, true}) {
    SCOPED_TRACE(same ? "same image on all monitors" : "a gallery per monitor");
    UseBuiltData();
    ASSERT_EQ(ConfigureDisplays({[same](HWND dialog) {
                EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DS_SAME_IMAGE), BST_UNCHECKED);
                if (same) Click(dialog, IDC_DS_SAME_IMAGE);
                Click(dialog, IDOK);
              }}),
              IDOK);
    // No change falls between the two shots.
    const DWORD minute = 60;
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, testing_support::kSettingsPath, "PictureTimer",
                              REG_DWORD, &minute, sizeof minute),
              ERROR_SUCCESS);
    SaverProcess saver(kSaver, "/s");
    ASSERT_EQ(SaverWindows(saver).size(), 2u);
    const std::vector<Pixels> shots = Shoot(same ? "multimon_same_image" : "multimon_own_gallery");
    ASSERT_EQ(shots.size(), 2u);
    ASSERT_EQ(shots[0].width, shots[1].width);
    ASSERT_EQ(shots[0].height, shots[1].height);
    // The backdrop and the mug are alike on both; the framed pictures and their reflections
    // cover a good part of each screen.
    const double differing = DifferingShare(shots[0], shots[1]);
    if (same) {
      EXPECT_LT(differing, 0.01);
    } else {
      EXPECT_GT(differing, 0.05);
    }
    PressKey(VK_SPACE);
    EXPECT_EQ(saver.WaitForExit(20000), 0u);
  }
}

TEST_F(TwoMonitors, AModeRefusedOnOneMonitorFallsBackThereAloneAndIsRemembered) {
  const std::vector<RECT> monitors = Monitors();
  const RECT desktop = monitors[1];
  SIZE fellBack = {};
  {
    SaverProcess saver(kRefusingSaver, "/s");
    ASSERT_EQ(SaverWindows(saver).size(), 2u);
    for (const Pixels& shot : Shoot("multimon_fallback")) EXPECT_TRUE(ShowsGallery(shot));
    // Each window covers its monitor in the mode it got.
    const std::vector<RECT> screens = WindowRects(saver);
    ASSERT_EQ(screens.size(), 2u);
    EXPECT_TRUE(EqualRect(&screens[0], &monitors[0])) << "the first monitor keeps its mode";
    fellBack = {screens[1].right - screens[1].left, screens[1].bottom - screens[1].top};
    EXPECT_EQ(screens[1].left, desktop.left);
    EXPECT_LT(fellBack.cx * fellBack.cy,
              (desktop.right - desktop.left) * (desktop.bottom - desktop.top));
    PressKey(VK_SPACE);
    EXPECT_EQ(saver.WaitForExit(20000), 0u);
  }

  // Remembered for this user and that monitor only.
  const std::string screenKey = std::string(testing_support::kSettingsPath) + "\\Screen ";
  DWORD width = 0, height = 0, size = sizeof width;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, (screenKey + "2").c_str(), "Width", RRF_RT_REG_DWORD,
                         nullptr, &width, &size),
            ERROR_SUCCESS);
  size = sizeof height;
  RegGetValueA(HKEY_CURRENT_USER, (screenKey + "2").c_str(), "Height", RRF_RT_REG_DWORD, nullptr,
               &height, &size);
  EXPECT_EQ(width, static_cast<DWORD>(fellBack.cx));
  EXPECT_EQ(height, static_cast<DWORD>(fellBack.cy));
  size = sizeof width;
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, (screenKey + "1").c_str(), "Width", RRF_RT_REG_DWORD,
                         nullptr, &width, &size),
            ERROR_SUCCESS);

  // The next run, where nothing is refused, takes the remembered mode there at once.
  SaverProcess saver(kSaver, "/s");
  ASSERT_EQ(SaverWindows(saver).size(), 2u);
  for (const Pixels& shot : Shoot("multimon_remembered")) EXPECT_TRUE(ShowsGallery(shot));
  const std::vector<RECT> screens = WindowRects(saver);
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[0].right - screens[0].left, 1024);
  EXPECT_EQ(screens[1].right - screens[1].left, fellBack.cx);
  EXPECT_EQ(screens[1].bottom - screens[1].top, fellBack.cy);
  PressKey(VK_SPACE);
  EXPECT_EQ(saver.WaitForExit(20000), 0u);
}

}  // namespace
