// Everything the show reads and the configuration dialogs edit: the settings, the data folder,
// the picture list and the theme lists. ShowApp owns the one in use; a dialog edits a copy
// and hands it back on OK.
#pragma once

#include <vector>

#include "show/picture_list.h"
#include "show/show_settings.h"
#include "show/theme_file.h"

struct ShowState {
  ShowSettings settings;
  // Installation folder, no trailing separator: every data path is built from it. Kept beside
  // the settings rather than in them: the installer writes it, never the dialog, a theme or
  // SaveSettings.
  char InstallDir[512] = {};
  int settingsLoaded = 0;  // 1 once a settings key could be opened: the gallery, not the fallback
  std::vector<PictureEntry> PictureList;
  std::vector<ThemeRecord> AppThemes;   // filled when the configuration dialog opens
  std::vector<ThemeRecord> UserThemes;
  int selectedPictureIndex = -1;  // entry Select Pictures previews; kept between its openings
};
