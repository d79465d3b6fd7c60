#include "assets/themes.h"

#include <cstdio>

namespace assets {

const std::vector<BuiltInTheme>& BuiltInThemes() {
  // Frame colour, gradient and mug colour are chosen to go together.
  static const std::vector<BuiltInTheme> themes = {
      {0xc9a447, 0, 0, 0, 0xf2ede4, 1, 1},  // gilt frames, midnight blue, cream mug
      {0x262628, 2, 0, 0, 0xb8322a, 1, 1},  // black frames, graphite studio, red mug
      {0x7a4a26, 1, 0, 0, 0x2c4778, 1, 1},  // walnut frames, dusk, navy mug
      {0xe9e5dc, 3, 0, 0, 0xe0782c, 1, 1},  // white frames, ocean teal, orange mug
      {0x5e4433, 5, 0, 0, 0xd8c7a0, 1, 1},  // dark oak, forest, sand mug
      {0xaeb3b9, 9, 0, 0, 0x3471c8, 1, 1},  // silver frames, daylight sky, blue mug
      {0x5c1a26, 6, 0, 0, 0xe2b86a, 1, 1},  // burgundy frames, velvet, golden mug
      {0xcdbd9d, 7, 0, 0, 0x56682e, 0, 1},  // light oak, ivory wall, plain olive mug
      {0x1c2a3a, 8, 0, 0, 0x3cc8a0, 1, 1},  // slate frames, aurora, jade mug
      {0xe8cfd2, 4, 1, 0, 0xffffff, 1, 0},  // blush frames, rose dawn upside down, no mug
  };
  return themes;
}

std::string FormatThemeLine(const BuiltInTheme& t) {
  char line[256];
  std::snprintf(line, sizeof(line),
                "{0x%x, {0x%x, 0x%x, 0x%x}, %d, %d, %d, 0x%x, {0x%x, 0x%x, 0x%x}, %d, %d}\n",
                t.backGndColor, (t.backGndColor >> 16) & 0xff, (t.backGndColor >> 8) & 0xff,
                t.backGndColor & 0xff, t.gradient, t.invertPicture, t.object3DIndex,
                t.object3DColor, (t.object3DColor >> 16) & 0xff, (t.object3DColor >> 8) & 0xff,
                t.object3DColor & 0xff, t.renderReflection, t.render3DObject);
  return line;
}

std::string FormatThemeFile(const std::vector<BuiltInTheme>& themes) {
  std::string text;
  for (const BuiltInTheme& t : themes) text += FormatThemeLine(t);
  return text;
}

}  // namespace assets
