// The built-in themes shipped in data/tdef/app.thm.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct BuiltInTheme {
  uint32_t backGndColor;   // frame colour, 0x00RRGGBB
  int gradient;            // 0..9 -> l1.bmp..l10.bmp
  int invertPicture;
  int object3DIndex;
  uint32_t object3DColor;  // 0x00RRGGBB
  int renderReflection;
  int render3DObject;
};

const std::vector<BuiltInTheme>& BuiltInThemes();

// One line of the theme file, with its line end: the colour words, their R, G, B bytes and
// the flags, in the file's fixed order.
std::string FormatThemeLine(const BuiltInTheme& theme);

// The whole app.thm text (LF line ends; the file is written in binary mode with CR LF).
std::string FormatThemeFile(const std::vector<BuiltInTheme>& themes);

}  // namespace assets
