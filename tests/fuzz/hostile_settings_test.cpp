// Registry values a user or another program could leave behind: wrong types and sizes,
// extreme timers, a gradient past the table, an installation path too long for its field or
// naming a file. Each is read as stored or left out, the show goes on, and nothing may be
// lost on a save.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "base/data_paths.h"
#include "base/registry_keys.h"
#include "show/picture_list.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/slideshow_choice.h"
#include "show/theme_file.h"
#include "support/test_support.h"

namespace {

using testing_support::CleanSettingsKeys;
using testing_support::kSettingsPath;
using testing_support::TempFolder;

struct Field {
  const char* name;
  int32_t ShowSettings::*member;
};

constexpr Field kFields[] = {
    {"BackGndColor", &ShowSettings::backGndColor},
    {"Object3DColor", &ShowSettings::object3DColor},
    {"Gradient", &ShowSettings::gradient},
    {"InvertPicture", &ShowSettings::invertPicture},
    {"PictureTimer", &ShowSettings::pictureTimer},
    {"Object3DIndex", &ShowSettings::object3DIndex},
    {"Render3DObject", &ShowSettings::render3DObject},
    {"ThemeSelIndex", &ShowSettings::themeSelIndex},
    {"RenderReflection", &ShowSettings::renderReflection},
};

TempFolder* userFolder = nullptr;

bool TestUserFolder(char* out, size_t size) {
  return userFolder != nullptr && FormatPath(out, size, "%s", userFolder->path().c_str());
}

class HostileSettings : public testing::Test {
 protected:
  void SetUp() override {
    userFolder = &user_;
    previousFolder_ = g_userDataFolder;
    g_userDataFolder = TestUserFolder;
  }
  void TearDown() override {
    g_userDataFolder = previousFolder_;
    userFolder = nullptr;
  }

  static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void SetDword(const char* name, int32_t value) {
    SetRaw(name, REG_DWORD, &value, sizeof value);
  }
  static void SetText(const char* name, const std::string& text) {
    SetRaw(name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
  }

  CleanSettingsKeys clean_;
  TempFolder user_;
  TempFolder install_;
  UserDataFolderFn previousFolder_ = nullptr;
  ShowApp app;
  ShowState& state = app.State();
};

TEST_F(HostileSettings, ValuesOfAnotherSizeKeepTheirFieldAndFourBytesOfAnyTypeAreTaken) {
  const std::string big(70000, 'x');
  const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const char multi[] = "a\0b\0";
  struct Variant {
    DWORD type;
    const void* data;
    DWORD size;
  };
  const Variant variants[] = {
      {REG_SZ, "12", 3},       {REG_QWORD, eight, 8},         {REG_BINARY, eight, 0},
      {REG_BINARY, eight, 3},  {REG_BINARY, big.data(), DWORD(big.size())},
      {REG_MULTI_SZ, multi, sizeof multi}, {REG_NONE, eight, 0}};
  for (const Field& field : kFields) {
    for (const Variant& variant : variants) {
      SCOPED_TRACE(std::string(field.name) + " of type " + std::to_string(variant.type) +
                   " and size " + std::to_string(variant.size));
      CleanSettingsKeys::Clear();
      SetRaw(field.name, variant.type, variant.data, variant.size);
      state.settings.*field.member = 0x00345678;
      app.LoadSettings();
      EXPECT_EQ(state.settingsLoaded, 1);
      EXPECT_EQ(state.settings.*field.member, 0x00345678);
    }
    // Types are not checked: four bytes of binary are the number they spell.
    CleanSettingsKeys::Clear();
    SetRaw(field.name, REG_BINARY, eight, 4);
    app.LoadSettings();
    EXPECT_EQ(state.settings.*field.member, 0x04030201) << field.name;
  }
}

TEST_F(HostileSettings, ExtremeTimersAreKeptAndTheSlideshowKeepsGoing) {
  for (int32_t timer : {0, -1, INT_MIN, INT_MAX, 1000000}) {
    SCOPED_TRACE(timer);
    SetDword("PictureTimer", timer);
    app.LoadSettings();
    ASSERT_EQ(state.settings.pictureTimer, timer);
    // Ten minutes of frames at 60 per second.
    SlideshowTimers timers;
    int changes = 0;
    for (int frame = 0; frame < 36000; ++frame) {
      changes += AdvanceChangeTimer(timers, 1.0f / 60.0f, state.settings.pictureTimer) ? 1 : 0;
    }
    if (timer <= 0) {
      EXPECT_EQ(changes, 36000);  // a change on every frame
    } else {
      EXPECT_EQ(changes, 1);  // only the first frame's
    }
  }
}

TEST_F(HostileSettings, InstallPathLongerThanItsFieldCountsAsMissing) {
  app.LoadSettings();
  const std::string missing = state.InstallDir;  // what the data paths use without one
  SetText("InstallPath", std::string(600, 'a'));
  app.LoadSettings();
  EXPECT_EQ(std::string(state.InstallDir), missing);
  // 511 characters and the NUL fill the field exactly; one more does not fit.
  SetText("InstallPath", std::string(511, 'b'));
  app.LoadSettings();
  EXPECT_EQ(std::string(state.InstallDir), std::string(511, 'b'));
  SetText("InstallPath", std::string(512, 'c'));
  app.LoadSettings();
  EXPECT_EQ(std::string(state.InstallDir), missing);
  // Stored without its NUL: still a terminated text.
  const std::string bare = "C:\\Solvane";
  SetRaw("InstallPath", REG_SZ, bare.data(), DWORD(bare.size()));
  app.LoadSettings();
  EXPECT_STREQ(state.InstallDir, "C:\\Solvane");
}

TEST_F(HostileSettings, AnInstallPathTooLongForAnyDataPathLosesNothing) {
  SetText("InstallPath", "C:\\" + std::string(500, 'd'));
  app.LoadSettings();
  ASSERT_EQ(std::strlen(state.InstallDir), 503u);

  LoadStartUpPictureList(state.InstallDir, true, state.PictureList);
  ASSERT_EQ(state.PictureList.size(), size_t(kDefaultPictureCount));
  for (const PictureEntry& entry : state.PictureList) {
    ASSERT_NE(std::memchr(entry.path, '\0', sizeof entry.path), nullptr);
    EXPECT_EQ(std::strlen(entry.path), 255u);  // cut like any other long path
  }
  std::vector<ThemeRecord> themes;
  LoadThemeFile(state.InstallDir, nullptr, kAppThemeFile, themes);
  EXPECT_TRUE(themes.empty());

  // Nothing can be written under such a folder: the per-user copies take the files.
  state.PictureList = {MakePictureEntry("beach.jpg", "C:\\Photos\\beach.jpg")};
  EXPECT_TRUE(SavePictureList(state.InstallDir, nullptr, state.PictureList));
  EXPECT_TRUE(SaveThemeFile(state.InstallDir, nullptr, kUserThemeFile, {NewUserTheme()}));
  state.PictureList.clear();
  LoadPictureList(state.InstallDir, nullptr, state.PictureList);
  ASSERT_EQ(state.PictureList.size(), 1u);
  EXPECT_STREQ(state.PictureList[0].path, "C:\\Photos\\beach.jpg");
  themes.clear();
  LoadThemeFile(state.InstallDir, nullptr, kUserThemeFile, themes);
  EXPECT_EQ(themes.size(), 1u);
}

TEST_F(HostileSettings, AnInstallPathNamingAFileLeavesTheFileAlone) {
  install_.Write("Solvane7.scr", "not a folder");
  const std::string file = install_.File("Solvane7.scr");
  SetText("InstallPath", file);
  app.LoadSettings();
  ASSERT_EQ(std::string(state.InstallDir), file);

  LoadStartUpPictureList(state.InstallDir, true, state.PictureList);
  EXPECT_EQ(state.PictureList.size(), size_t(kDefaultPictureCount));
  std::vector<ThemeRecord> themes;
  LoadThemeFile(state.InstallDir, nullptr, kAppThemeFile, themes);
  EXPECT_TRUE(themes.empty());

  state.PictureList = {MakePictureEntry("one", "C:\\one.jpg"),
                       MakePictureEntry("two", "C:\\two.bmp")};
  EXPECT_TRUE(SavePictureList(state.InstallDir, nullptr, state.PictureList));
  EXPECT_TRUE(
      SaveThemeFile(state.InstallDir, nullptr, kUserThemeFile, {NewUserTheme(), NewUserTheme()}));
  EXPECT_EQ(install_.Read("Solvane7.scr"), "not a folder");
  state.PictureList.clear();
  LoadPictureList(state.InstallDir, nullptr, state.PictureList);
  ASSERT_EQ(state.PictureList.size(), 2u);
  EXPECT_STREQ(state.PictureList[1].name, "two");
  themes.clear();
  LoadThemeFile(state.InstallDir, nullptr, kUserThemeFile, themes);
  EXPECT_EQ(themes.size(), 2u);
}

}  // namespace
