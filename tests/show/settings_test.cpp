#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/registry_keys.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/theme_file.h"
#include "support/test_support.h"

namespace {

using testing_support::CleanSettingsKeys;
using testing_support::DeleteTree;
using testing_support::kSettingsPath;
using testing_support::MessageBoxRecorder;

// The folder of the running program: where the data is looked for without "InstallPath".
std::string ProgramFolder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\'));
}

LONG RefuseKey(const char*, REGSAM, KeyOpen, HKEY* key) {
  *key = nullptr;
  return ERROR_ACCESS_DENIED;
}

// The machine-wide key behaves as for a standard user: readable when it exists, never
// writable.
LONG ReadOnlyMachineKey(const char* path, REGSAM access, KeyOpen how, HKEY* key) {
  if (access != KEY_READ) return RefuseKey(path, access, how, key);
  return OpenMachineKey(path, access, how, key);
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = g_registryOpeners; }
  void TearDown() override { g_registryOpeners = saved_; }

  static void SetDword(HKEY root, const char* name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
  }
  static void SetRaw(HKEY root, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  static bool GetDword(HKEY root, const char* name, DWORD* value) {
    DWORD size = sizeof *value;
    return RegGetValueA(root, kSettingsPath, name, RRF_RT_REG_DWORD, nullptr, value, &size) ==
           ERROR_SUCCESS;
  }

  CleanSettingsKeys clean_;
  RegistryOpeners saved_;
  ShowApp app;
  ShowSettings& settings = app.State().settings;
};

TEST_F(SettingsTest, EmptyKeyGivesTheInitialValues) {
  app.LoadSettings();
  EXPECT_EQ(app.State().settingsLoaded, 1);
  EXPECT_EQ(settings.backGndColor, 0);
  EXPECT_EQ(settings.object3DColor, 0);
  EXPECT_EQ(settings.gradient, 0);
  EXPECT_EQ(settings.invertPicture, 0);
  EXPECT_EQ(settings.pictureTimer, 5);
  EXPECT_EQ(settings.object3DIndex, 0);
  EXPECT_EQ(settings.render3DObject, 1);
  EXPECT_EQ(settings.themeSelIndex, 0);
  EXPECT_EQ(settings.renderReflection, 1);
  EXPECT_EQ(app.State().InstallDir, ProgramFolder());
}

TEST_F(SettingsTest, ColourBytesAreRedGreenBlue) {
  SetDword(HKEY_LOCAL_MACHINE, "BackGndColor", 0x00123456);
  SetDword(HKEY_LOCAL_MACHINE, "Object3DColor", 0x00ABCDEF);
  app.LoadSettings();
  EXPECT_EQ(settings.backGndRgb.r, 0x12);
  EXPECT_EQ(settings.backGndRgb.g, 0x34);
  EXPECT_EQ(settings.backGndRgb.b, 0x56);
  EXPECT_EQ(settings.object3DRgb.r, 0xAB);
  EXPECT_EQ(settings.object3DRgb.g, 0xCD);
  EXPECT_EQ(settings.object3DRgb.b, 0xEF);
}

TEST_F(SettingsTest, SaveAndLoadRoundTripsEveryValueAndNeverWritesInstallPath) {
  const char installPath[] = "C:\\Program Files\\Korrin Software\\Solvane 7.0";
  SetRaw(HKEY_LOCAL_MACHINE, "InstallPath", REG_SZ, installPath, sizeof installPath);
  settings.backGndColor = 0x00102030;
  settings.object3DColor = 0x00405060;
  settings.gradient = 7;
  settings.invertPicture = 1;
  settings.pictureTimer = 42;
  settings.object3DIndex = 2;
  settings.render3DObject = 0;
  settings.themeSelIndex = 3;
  settings.renderReflection = 0;
  settings.transitionTime = 0;
  settings.showEveryPicture = 0;
  std::strcpy(app.State().InstallDir, "C:\\somewhere else");
  EXPECT_TRUE(app.SaveSettings());

  settings = ShowSettings();
  app.LoadSettings();
  EXPECT_EQ(settings.backGndColor, 0x00102030);
  EXPECT_EQ(settings.object3DColor, 0x00405060);
  EXPECT_EQ(settings.gradient, 7);
  EXPECT_EQ(settings.invertPicture, 1);
  EXPECT_EQ(settings.pictureTimer, 42);
  EXPECT_EQ(settings.object3DIndex, 2);
  EXPECT_EQ(settings.render3DObject, 0);
  EXPECT_EQ(settings.themeSelIndex, 3);
  EXPECT_EQ(settings.renderReflection, 0);
  EXPECT_EQ(settings.transitionTime, 0);
  EXPECT_EQ(settings.showEveryPicture, 0);
  EXPECT_STREQ(app.State().InstallDir, installPath);
}

TEST_F(SettingsTest, MissingOrWrongSizeValuesKeepTheirField) {
  const unsigned char twoBytes[2] = {1, 2};
  const char text[] = "12";
  SetRaw(HKEY_LOCAL_MACHINE, "PictureTimer", REG_BINARY, twoBytes, sizeof twoBytes);
  SetRaw(HKEY_LOCAL_MACHINE, "Gradient", REG_SZ, text, sizeof text);
  SetDword(HKEY_LOCAL_MACHINE, "InvertPicture", 1);
  settings.pictureTimer = 9;
  settings.gradient = 4;
  app.LoadSettings();
  EXPECT_EQ(settings.pictureTimer, 9);
  EXPECT_EQ(settings.gradient, 4);
  EXPECT_EQ(settings.invertPicture, 1);
}

TEST_F(SettingsTest, NegativeAndZeroTimerAreKeptUnchangedAndFadesStayWithinFiveSeconds) {
  SetDword(HKEY_LOCAL_MACHINE, "PictureTimer", static_cast<DWORD>(-3));
  app.LoadSettings();
  EXPECT_EQ(settings.pictureTimer, -3);
  const int32_t fades[][2] = {{-5, 0}, {0, 0}, {800, 800}, {999999, 5000}};
  for (const auto& fade : fades) {
    SetDword(HKEY_LOCAL_MACHINE, "TransitionTime", static_cast<DWORD>(fade[0]));
    app.LoadSettings();
    EXPECT_EQ(settings.transitionTime, fade[1]);
  }
}

TEST_F(SettingsTest, InstallPathTooLongOrOfWrongTypeMeansTheProgramFolder) {
  char longPath[700];
  std::memset(longPath, 'a', sizeof longPath - 1);
  longPath[sizeof longPath - 1] = '\0';
  SetRaw(HKEY_LOCAL_MACHINE, "InstallPath", REG_SZ, longPath, sizeof longPath);
  app.LoadSettings();
  EXPECT_EQ(app.State().InstallDir, ProgramFolder());

  const DWORD number = 5;
  SetRaw(HKEY_LOCAL_MACHINE, "InstallPath", REG_DWORD, &number, sizeof number);
  app.LoadSettings();
  EXPECT_EQ(app.State().InstallDir, ProgramFolder());
}

TEST_F(SettingsTest, NoKeyAnywhereLeavesTheFallbackScene) {
  g_registryOpeners = {RefuseKey, RefuseKey};
  settings.pictureTimer = 11;
  app.LoadSettings();
  EXPECT_EQ(app.State().settingsLoaded, 0);
  EXPECT_EQ(settings.pictureTimer, 11);
  EXPECT_EQ(app.State().InstallDir, ProgramFolder());
}

TEST_F(SettingsTest, PerUserCopyIsReadOverTheMachineWideOne) {
  const char installPath[] = "C:\\Solvane";
  SetRaw(HKEY_LOCAL_MACHINE, "InstallPath", REG_SZ, installPath, sizeof installPath);
  SetDword(HKEY_LOCAL_MACHINE, "PictureTimer", 20);
  SetDword(HKEY_LOCAL_MACHINE, "Gradient", 3);
  SetDword(HKEY_CURRENT_USER, "PictureTimer", 30);
  const char otherPath[] = "C:\\elsewhere";
  SetRaw(HKEY_CURRENT_USER, "InstallPath", REG_SZ, otherPath, sizeof otherPath);
  g_registryOpeners.openMachine = ReadOnlyMachineKey;
  app.LoadSettings();
  EXPECT_EQ(app.State().settingsLoaded, 1);
  EXPECT_EQ(settings.pictureTimer, 30);
  EXPECT_EQ(settings.gradient, 3);
  EXPECT_STREQ(app.State().InstallDir, installPath);  // only the machine-wide key names it
}

TEST_F(SettingsTest, StandardUserSavesToThePerUserCopyAndReadsItBack) {
  SetDword(HKEY_LOCAL_MACHINE, "PictureTimer", 20);
  g_registryOpeners.openMachine = ReadOnlyMachineKey;
  MessageBoxRecorder boxes;
  app.LoadSettings();
  settings.pictureTimer = 45;
  settings.backGndColor = 0x00FF0000;
  EXPECT_TRUE(app.SaveSettings());
  EXPECT_TRUE(boxes.boxes().empty());

  DWORD value = 0;
  ASSERT_TRUE(GetDword(HKEY_LOCAL_MACHINE, "PictureTimer", &value));
  EXPECT_EQ(value, 20u);  // the machine-wide key is untouched
  ASSERT_TRUE(GetDword(HKEY_CURRENT_USER, "PictureTimer", &value));
  EXPECT_EQ(value, 45u);

  settings = ShowSettings();
  app.LoadSettings();
  EXPECT_EQ(settings.pictureTimer, 45);
  EXPECT_EQ(settings.backGndRgb.r, 0xFF);
}

TEST_F(SettingsTest, MachineWideSaveRemovesTheStalePerUserCopy) {
  SetDword(HKEY_CURRENT_USER, "PictureTimer", 30);
  app.LoadSettings();
  EXPECT_EQ(settings.pictureTimer, 30);
  settings.pictureTimer = 12;
  EXPECT_TRUE(app.SaveSettings());
  DWORD value = 0;
  EXPECT_FALSE(GetDword(HKEY_CURRENT_USER, "PictureTimer", &value));
  settings = ShowSettings();
  app.LoadSettings();
  EXPECT_EQ(settings.pictureTimer, 12);
}

TEST_F(SettingsTest, NowhereToSaveTellsTheUser) {
  g_registryOpeners = {RefuseKey, RefuseKey};
  MessageBoxRecorder boxes;
  EXPECT_FALSE(app.SaveSettings());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, "Solvane ScreenSaver 7.0");
  EXPECT_EQ(boxes.boxes()[0].text, "Your settings could not be saved.");
}

TEST_F(SettingsTest, APortableCopyRunByAStandardUserShowsTheFirstBuiltInTheme) {
  // No machine-wide key, none to be made, no per-user key yet; the data beside the program.
  g_registryOpeners.openMachine = ReadOnlyMachineKey;
  const std::string data = ProgramFolder() + "\\data";
  CreateDirectoryA(data.c_str(), nullptr);
  CreateDirectoryA((data + "\\tdef").c_str(), nullptr);
  ThemeRecord first = NewUserTheme();
  first.backGndColor = 0x00c9a447;
  first.gradient = 4;
  first.render3DObject = 0;
  testing_support::WriteFileBytes(data + "\\tdef\\app.thm", FormatThemeLine(first) + "\r\n");
  app.LoadSettings();
  DeleteTree(data);
  EXPECT_EQ(app.State().settingsLoaded, 1);  // the gallery, not the fallback scene
  HKEY user;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, KEY_READ, &user), ERROR_SUCCESS);
  RegCloseKey(user);
  EXPECT_EQ(settings.backGndColor, 0x00c9a447);
  EXPECT_EQ(settings.gradient, 4);
  EXPECT_EQ(settings.render3DObject, 0);
}

TEST_F(SettingsTest, TheInstalledFirstRunShowsTheFirstBuiltInThemeUntilALookIsStored) {
  std::string installed = "Z:" SOLVANE_BUILD_DIR "/install_root";
  for (char& c : installed) c = c == '/' ? '\\' : c;
  SetRaw(HKEY_LOCAL_MACHINE, "InstallPath", REG_SZ, installed.c_str(),
         static_cast<DWORD>(installed.size() + 1));
  app.LoadSettings();
  std::vector<ThemeRecord> shipped;
  LoadThemeFile(app.State().InstallDir, nullptr, kAppThemeFile, shipped);
  ASSERT_FALSE(shipped.empty());
  EXPECT_EQ(settings.backGndColor, static_cast<int32_t>(shipped[0].backGndColor));
  EXPECT_EQ(settings.object3DColor, static_cast<int32_t>(shipped[0].object3DColor));
  EXPECT_EQ(settings.gradient, shipped[0].gradient);

  // Any stored look value means the user has chosen: the defaults stand for the rest.
  SetDword(HKEY_LOCAL_MACHINE, "Gradient", 2);
  settings = ShowSettings();
  app.LoadSettings();
  EXPECT_EQ(settings.backGndColor, 0);
  EXPECT_EQ(settings.gradient, 2);
}

}  // namespace
