#include "show/theme_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "base/data_paths.h"
#include "base/scoped_file.h"
#include "base/whole_file.h"
#include "show/show_settings.h"

std::vector<ThemeRecord> AppThemes;
std::vector<ThemeRecord> UserThemes;

namespace {

constexpr const char* kGradientNames[kGradientCount] = {"l1.bmp", "l2.bmp", "l3.bmp", "l4.bmp",
                                                        "l5.bmp", "l6.bmp", "l7.bmp", "l8.bmp",
                                                        "l9.bmp", "l10.bmp"};

bool MachineThemePath(char* out, size_t size, const char* fileName) {
  return FormatPath(out, size, "%s\\data\\tdef\\%s", g_settings.InstallDir, fileName);
}

bool UserThemeFolder(char* out, size_t size) {
  char folder[MAX_PATH];
  return g_userDataFolder(folder, sizeof folder) && FormatPath(out, size, "%s\\tdef", folder);
}

bool UserThemePath(char* out, size_t size, const char* fileName) {
  char folder[MAX_PATH + 8];
  return UserThemeFolder(folder, sizeof folder) &&
         FormatPath(out, size, "%s\\%s", folder, fileName);
}

bool FileExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteThemes(const char* path, const std::vector<ThemeRecord>& records) {
  std::string text;
  for (const ThemeRecord& record : records) text += FormatThemeLine(record) + "\r\n";
  return WriteWholeFile(path, text);
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

bool TakeLookFromSelectedTheme(ShowSettings& settings) {
  // Lists of its own: the dialog fills the shared ones when it opens.
  std::vector<ThemeRecord> builtIn;
  std::vector<ThemeRecord> own;
  LoadThemeFile(nullptr, kAppThemeFile, builtIn);
  const ThemeChoice choice = ChooseThemeSource(settings.themeSelIndex, builtIn.size());
  if (choice.source == 2) LoadThemeFile(nullptr, kUserThemeFile, own);
  const std::vector<ThemeRecord>& list = choice.source == 1 ? builtIn : own;
  if (choice.localIndex < 0 || static_cast<size_t>(choice.localIndex) >= list.size()) return false;
  CopyThemeLook(list[choice.localIndex], settings);
  return true;
}

const char* GradientFileName(int32_t gradient) {
  if (gradient < 0 || gradient >= kGradientCount) return nullptr;
  return kGradientNames[gradient];
}

bool GradientPath(char* out, size_t size, int32_t gradient) {
  const char* name = GradientFileName(gradient);
  if (name == nullptr) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return FormatPath(out, size, "%s\\data\\grad\\%s", g_settings.InstallDir, name);
}

void LoadThemeFile(const char* path, const char* fileName, std::vector<ThemeRecord>& list) {
  char fullName[MAX_PATH * 2];
  if (path != nullptr) {
    if (!FormatPath(fullName, sizeof fullName, "%s", path)) return;
  } else if (!(UserThemePath(fullName, sizeof fullName, fileName) && FileExists(fullName)) &&
             !MachineThemePath(fullName, sizeof fullName, fileName)) {
    return;
  }
  ScopedFile file = OpenFile(fullName, "r");
  if (file == nullptr) return;
  ReadThemeLines(file.get(), list);
}

bool SaveThemeFile(const char* path, const char* fileName, std::vector<ThemeRecord> records) {
  if (path != nullptr) return WriteThemes(path, records);

  char machinePath[MAX_PATH * 2];
  char userPath[MAX_PATH * 2];
  const bool haveUserPath = UserThemePath(userPath, sizeof userPath, fileName);
  if (MachineThemePath(machinePath, sizeof machinePath, fileName) &&
      WriteThemes(machinePath, records)) {
    // A per-user copy is read first and would hide what was just written.
    if (haveUserPath) DeleteFileA(userPath);
    return true;
  }
  char folder[MAX_PATH + 8];
  return haveUserPath && UserThemeFolder(folder, sizeof folder) && CreateFolderTree(folder) &&
         WriteThemes(userPath, records);
}
