#include "show/theme_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "base/data_paths.h"
#include "base/scoped_file.h"
#include "base/whole_file.h"
#include "show/show_settings.h"

namespace {

// data\tdef of the installation folder, or the user's copy in the user's tdef folder.
DataFilePlace ThemeFilePlace(const char* installDir, const char* fileName) {
  return PlaceDataFile(installDir, "data\\tdef", "tdef", fileName);
}

std::string ThemesText(const std::vector<ThemeRecord>& records) {
  std::string text;
  for (const ThemeRecord& record : records) text += FormatThemeLine(record) + "\r\n";
  return text;
}

}  // namespace

ThemeRecord NewUserTheme() {
  ThemeRecord record;
  std::memset(&record, 0, sizeof record);
  record.backGndColor = 0xffffff;
  std::memset(record.backGndRgb, 0xff, sizeof record.backGndRgb);
  record.object3DColor = 0xffffff;
  std::memset(record.object3DRgb, 0xff, sizeof record.object3DRgb);
  record.renderReflection = 1;
  record.render3DObject = 1;
  return record;
}

ThemeChoice ChooseThemeSource(int32_t themeSelIndex, size_t appThemeCount) {
  if (appThemeCount > 0 && static_cast<uint32_t>(themeSelIndex) < appThemeCount) {
    return ThemeChoice{1, themeSelIndex};
  }
  return ThemeChoice{2, themeSelIndex - static_cast<int>(appThemeCount)};
}

void CopyThemeLook(const ThemeRecord& theme, ShowSettings& s) {
  s.backGndColor = static_cast<int32_t>(theme.backGndColor);
  s.backGndRgb = RgbBytes{theme.backGndRgb[0], theme.backGndRgb[1], theme.backGndRgb[2]};
  s.gradient = theme.gradient;
  s.invertPicture = theme.invertPicture;
  s.object3DColor = static_cast<int32_t>(theme.object3DColor);
  s.object3DRgb = RgbBytes{theme.object3DRgb[0], theme.object3DRgb[1], theme.object3DRgb[2]};
  s.object3DIndex = theme.object3DIndex;
  s.renderReflection = theme.renderReflection;
  s.render3DObject = theme.render3DObject;
}

bool TakeLookFromSelectedTheme(const char* installDir, ShowSettings& settings) {
  std::vector<ThemeRecord> builtIn;
  std::vector<ThemeRecord> own;
  LoadThemeFile(installDir, nullptr, kAppThemeFile, builtIn);
  const ThemeChoice choice = ChooseThemeSource(settings.themeSelIndex, builtIn.size());
  if (choice.source == 2) LoadThemeFile(installDir, nullptr, kUserThemeFile, own);
  const std::vector<ThemeRecord>& list = choice.source == 1 ? builtIn : own;
  if (choice.localIndex < 0 || static_cast<size_t>(choice.localIndex) >= list.size()) return false;
  CopyThemeLook(list[choice.localIndex], settings);
  return true;
}

void LoadThemeFile(const char* installDir, const char* path, const char* fileName,
                   std::vector<ThemeRecord>& list) {
  char fullName[MAX_PATH * 2];
  if (path != nullptr) {
    if (!FormatPath(fullName, sizeof fullName, "%s", path)) return;
  } else if (!DataFileToRead(ThemeFilePlace(installDir, fileName), fullName,
                             sizeof fullName)) {
    return;
  }
  ScopedFile file = OpenFile(fullName, "r");
  if (file == nullptr) return;
  ReadThemeLines(file.get(), list);
}

bool SaveThemeFile(const char* installDir, const char* path, const char* fileName,
                   const std::vector<ThemeRecord>& records) {
  if (path != nullptr) return WriteWholeFile(path, ThemesText(records));
  return WriteDataFile(ThemeFilePlace(installDir, fileName), ThemesText(records));
}
