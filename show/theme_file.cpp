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

constexpr const char kLineFormat[] =
    "{0x%x, {0x%x, 0x%x, 0x%x}, %d, %d, %d, 0x%x, {0x%x, 0x%x, 0x%x}, %d, %d}";

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

std::string FormatThemeLine(const ThemeRecord& r) {
  char line[256];
  std::snprintf(line, sizeof line, kLineFormat, static_cast<unsigned>(r.backGndColor),
                static_cast<unsigned>(r.backGndRgb[0]), static_cast<unsigned>(r.backGndRgb[1]),
                static_cast<unsigned>(r.backGndRgb[2]), static_cast<int>(r.gradient),
                static_cast<int>(r.invertPicture), static_cast<int>(r.object3DIndex),
                static_cast<unsigned>(r.object3DColor), static_cast<unsigned>(r.object3DRgb[0]),
                static_cast<unsigned>(r.object3DRgb[1]), static_cast<unsigned>(r.object3DRgb[2]),
                static_cast<int>(r.renderReflection), static_cast<int>(r.render3DObject));
  return line;
}

bool ParseThemeLine(const char* line, ThemeRecord* record) {
  std::memset(record, 0, sizeof *record);
  unsigned frame = 0, frameR = 0, frameG = 0, frameB = 0;
  unsigned object = 0, objectR = 0, objectG = 0, objectB = 0;
  int gradient = 0, invert = 0, objectIndex = 0, reflection = 0, show = 0;
  const int parsed =
      std::sscanf(line, kLineFormat, &frame, &frameR, &frameG, &frameB, &gradient, &invert,
                  &objectIndex, &object, &objectR, &objectG, &objectB, &reflection, &show);
  // sscanf fills the values in line order, so the first `parsed` of them are set and the
  // rest are still zero.
  record->backGndColor = frame;
  record->backGndRgb[0] = static_cast<uint8_t>(frameR);
  record->backGndRgb[1] = static_cast<uint8_t>(frameG);
  record->backGndRgb[2] = static_cast<uint8_t>(frameB);
  record->gradient = gradient;
  record->invertPicture = invert;
  record->object3DIndex = objectIndex;
  record->object3DColor = object;
  record->object3DRgb[0] = static_cast<uint8_t>(objectR);
  record->object3DRgb[1] = static_cast<uint8_t>(objectG);
  record->object3DRgb[2] = static_cast<uint8_t>(objectB);
  record->renderReflection = reflection;
  record->render3DObject = show;
  return parsed == 13;
}

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
  char line[512];
  for (;;) {
    std::memset(line, 0, sizeof line);
    if (std::fgets(line, sizeof line, file.get()) == nullptr) break;
    ThemeRecord record;
    ParseThemeLine(line, &record);  // a malformed line still gives its record
    list.push_back(record);
  }
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
