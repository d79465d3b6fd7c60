// Themes: named bundles of the look settings, one per line in "app.thm" (built-in) and
// "user.thm" (the user's own) under data\tdef.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct ThemeRecord {
  uint32_t backGndColor;  // frame colour, 0x00RRGGBB
  uint8_t backGndRgb[3];  // the same colour as R, G, B
  uint8_t backGndPad;
  int32_t gradient;       // 0..9 into the gradient bitmaps
  int32_t invertPicture;  // 1: gradient upside down
  int32_t object3DIndex;
  uint32_t object3DColor;  // 0x00RRGGBB
  uint8_t object3DRgb[3];
  uint8_t object3DPad;
  int32_t renderReflection;
  int32_t render3DObject;
};
static_assert(sizeof(ThemeRecord) == 36, "a theme record is 36 bytes");

struct ShowSettings;

constexpr const char* kAppThemeFile = "app.thm";
constexpr const char* kUserThemeFile = "user.thm";

// One theme line without its line end.
std::string FormatThemeLine(const ThemeRecord& record);

// Parses one line into a zeroed record; fields after the first mismatch stay zero. True when
// all 13 values were read.
bool ParseThemeLine(const char* line, ThemeRecord* record);

// Appends one record per line of the stream, a malformed line included.
void ReadThemeLines(std::FILE* file, std::vector<ThemeRecord>& list);

// The record New Theme appends: white frame and object, first gradient, upright, object and
// reflection on.
ThemeRecord NewUserTheme();

// Which list a combined theme-list index falls in: built-in themes first, user themes after.
struct ThemeChoice {
  int source;      // 1: AppThemes, 2: UserThemes
  int localIndex;  // index inside that list
};
ThemeChoice ChooseThemeSource(int32_t themeSelIndex, size_t appThemeCount);

// The theme's look values into the settings; the picture timer is not part of a theme.
void CopyThemeLook(const ThemeRecord& theme, ShowSettings& settings);

// The look of the theme that settings.themeSelIndex selects, read from the theme files, as
// the settings dialog would show it. False (settings unchanged) when there is no such theme.
bool TakeLookFromSelectedTheme(const char* installDir, ShowSettings& settings);

// Appends the records of the file to list. path null: fileName in data\tdef of installDir, or
// its per-user copy when there is one. A missing file changes nothing.
void LoadThemeFile(const char* installDir, const char* path, const char* fileName,
                   std::vector<ThemeRecord>& list);

// Writes every record, one per line. path null: data\tdef of installDir, or the per-user tdef
// folder when the installation folder cannot be written. False when nothing could be written.
bool SaveThemeFile(const char* installDir, const char* path, const char* fileName,
                   const std::vector<ThemeRecord>& records);
