// Opens each dialog as the user sees it and writes a picture of it to
// <build>/screenshots, for people to look at; checks only that a picture was taken.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstring>

#include "config/config_dialog.h"
#include "config/config_fixture.h"
#include "config/display_settings_dialog.h"
#include "config/modal_script.h"
#include "show/picture_list.h"
#include "support/pixels.h"
#include "config/select_pictures_dialog.h"
#include "resources/dialog_ids.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "support/host_exposed.h"
#include "show/theme_file.h"

using testing_support::DialogStep;
using testing_support::RunModal;
using testing_support::ScratchInstall;
using testing_support::WriteBmp;

namespace {

bool SaveShot(HWND dialog, const std::string& name) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  return testing_support::SaveBmp(testing_support::CaptureScreen(rect),
                                  std::string("Z:") + SOLVANE_BUILD_DIR + "/screenshots", name);
}

// Paint, give the window a moment, then take the picture and close with `close`.
std::vector<DialogStep> Shoot(const std::string& name, int close) {
  return {[](HWND dialog) {
            SetForegroundWindow(dialog);
            RedrawWindow(dialog, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
          },
          [](HWND) {}, [](HWND) {},
          [name, close](HWND dialog) {
            EXPECT_TRUE(SaveShot(dialog, name));
            SendMessageA(dialog, WM_COMMAND, close, 0);
          }};
}

// A top-to-bottom colour ramp like the gradients the installation ships.
void WriteRamp(const std::string& path, uint32_t top, uint32_t bottom) {
  // Two-band stand-in: enough to see orientation in the preview.
  WriteBmp(path, 32, 64, 32, top, bottom);
}

class DialogScreenshots : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
  ScratchInstall install;
};

}  // namespace

TEST_F(DialogScreenshots, Configuration) {
  ThemeRecord a = NewUserTheme();
  a.backGndColor = 0x2b3f8c;
  a.backGndRgb[0] = 0x2b;
  a.backGndRgb[1] = 0x3f;
  a.backGndRgb[2] = 0x8c;
  a.gradient = 2;
  install.WriteThemes("app.thm",
                      FormatThemeLine(a) + "\n" + FormatThemeLine(NewUserTheme()) + "\n");
  install.WriteThemes("user.thm", FormatThemeLine(NewUserTheme()) + "\n");
  WriteRamp(install.root() + "\\data\\grad\\l3.bmp", 0xf29a4a, 0x2b3f8c);
  install.SetDword("ThemeSelIndex", 2);
  install.SetDword("PictureTimer", 12);
  Exposed<ShowApp> app;
  app.LoadSettings();
  EXPECT_EQ(RunModal([&] { return RunConfigurationDialog(app, nullptr); },
                     Shoot("dialog106_configuration", IDCANCEL)),
            2);
}

TEST_F(DialogScreenshots, SelectPictures) {
  const std::string pictures = install.root() + "\\pics";
  CreateDirectoryA(pictures.c_str(), nullptr);
  WriteBmp(pictures + "\\beach.bmp", 400, 300, 150, 0x6fb7e8, 0xe8d39a);
  WriteBmp(pictures + "\\tower.bmp", 300, 400, 300, 0x9ab0c8, 0x555555);
  ShowState state = InstalledState(install);
  std::vector<PictureEntry>& list = state.PictureList;
  list.push_back(MakePictureEntry("beach.bmp", (pictures + "\\beach.bmp").c_str()));
  list.push_back(MakePictureEntry("tower.bmp", (pictures + "\\tower.bmp").c_str()));
  list.push_back(MakePictureEntry("defpic3", "C:\\Solvane\\data\\defpics\\defpic3.jpg"));
  EXPECT_EQ(RunModal([&] { return RunSelectPicturesDialog(nullptr, state); },
                     Shoot("dialog109_select_pictures", IDOK)),
            1);
}

TEST_F(DialogScreenshots, About) {
  EXPECT_EQ(RunModal([] { return RunAboutDialog(nullptr); }, Shoot("dialog118_about", IDOK)), IDOK);
}

// On one monitor; the multimon tests picture it with a tab per real monitor.
TEST_F(DialogScreenshots, DisplaySettings) {
  Exposed<ShowApp> app;
  MonitorRecord& monitor = *app.monitors.Append();
  std::snprintf(monitor.adapterName, sizeof monitor.adapterName, "Example Graphics");
  monitor.monitorHandle = reinterpret_cast<HMONITOR>(static_cast<UINT_PTR>(1));
  monitor.adapterIndex = 0;
  auto* adapter = new AdapterRecord();
  adapter->monitorIndex = 0;
  adapter->hasHal = adapter->halUsable = adapter->hasSoftware = adapter->softwareUsable = 1;
  adapter->deviceCount = 1;
  adapter->devices[0].modeCount = 2;
  adapter->devices[0].modes[0] = {1024, 768, D3DFMT_X8R8G8B8, 0, D3DFMT_UNKNOWN};
  adapter->devices[0].modes[1] = {800, 600, D3DFMT_R5G6B5, 0, D3DFMT_UNKNOWN};
  app.adapters.push_back(std::unique_ptr<AdapterRecord>(adapter));
  EXPECT_EQ(RunModal([&] { return ShowDisplaySettings(app, nullptr); },
                     Shoot("dialog200_display_settings", IDCANCEL)),
            IDCANCEL);
}
