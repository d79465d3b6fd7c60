// Theme lines as text, apart from the files so the parser stands alone.
#include "show/theme_file.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char kLineFormat[] =
    "{0x%x, {0x%x, 0x%x, 0x%x}, %d, %d, %d, 0x%x, {0x%x, 0x%x, 0x%x}, %d, %d}";

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

void ReadThemeLines(std::FILE* file, std::vector<ThemeRecord>& list) {
  char line[512];
  for (;;) {
    std::memset(line, 0, sizeof line);
    if (std::fgets(line, sizeof line, file) == nullptr) break;
    ThemeRecord record;
    ParseThemeLine(line, &record);  // a malformed line still gives its record
    list.push_back(record);
  }
}
