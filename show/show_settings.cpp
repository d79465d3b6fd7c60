// Registry storage of the show settings.
#include "show/show_settings.h"

#include "base/text_copy.h"

#include <cstring>

namespace {

struct DwordValue {
  const char* name;
  int32_t ShowSettings::*field;
  bool look;  // one of the values a theme sets
};

// Registry order of the values.
constexpr DwordValue kValues[] = {
    {"BackGndColor", &ShowSettings::backGndColor, true},
    {"Object3DColor", &ShowSettings::object3DColor, true},
    {"Gradient", &ShowSettings::gradient, true},
    {"InvertPicture", &ShowSettings::invertPicture, true},
    {"PictureTimer", &ShowSettings::pictureTimer, false},
    {"Object3DIndex", &ShowSettings::object3DIndex, true},
    {"Render3DObject", &ShowSettings::render3DObject, true},
    {"ThemeSelIndex", &ShowSettings::themeSelIndex, false},
    {"RenderReflection", &ShowSettings::renderReflection, true},
    {"TransitionTime", &ShowSettings::transitionTime, false},
    {"ShowEveryPicture", &ShowSettings::showEveryPicture, false},
};

}  // namespace

RgbBytes ColorToRgb(int32_t color) {
  const uint32_t c = static_cast<uint32_t>(color);
  return RgbBytes{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                  static_cast<uint8_t>(c)};
}

void RecomputeRgb(ShowSettings& settings) {
  settings.backGndRgb = ColorToRgb(settings.backGndColor);
  settings.object3DRgb = ColorToRgb(settings.object3DColor);
}

void ReadRegistryString(HKEY key, const char* name, char* buffer, DWORD size,
                        const char* defaultText) {
  if (buffer == nullptr || size == 0) return;
  DWORD type = 0;
  DWORD bytes = size;
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    CopyText(buffer, defaultText != nullptr ? defaultText : "", size);
    return;
  }
  // A stored string need not end in NUL; one that fills the buffer is cut.
  buffer[bytes < size ? bytes : size - 1] = '\0';
}

bool ReadShowValues(HKEY key, ShowSettings& settings) {
  bool lookRead = false;
  for (const DwordValue& value : kValues) {
    int32_t data = 0;
    DWORD size = sizeof data;
    // A value of another size leaves the setting as it was.
    if (RegQueryValueExA(key, value.name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data),
                         &size) == ERROR_SUCCESS &&
        size == sizeof data) {
      settings.*value.field = data;
      lookRead = lookRead || value.look;
    }
  }
  // A fade longer than a few seconds only delays the pictures; a negative one is a cut.
  if (settings.transitionTime < 0) settings.transitionTime = 0;
  if (settings.transitionTime > kMaxTransitionMs) settings.transitionTime = kMaxTransitionMs;
  RecomputeRgb(settings);
  return lookRead;
}

bool WriteShowValues(HKEY key, const ShowSettings& settings) {
  bool ok = true;
  for (const DwordValue& value : kValues) {
    const DWORD data = static_cast<DWORD>(settings.*value.field);
    ok = RegSetValueExA(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof data) == ERROR_SUCCESS &&
         ok;
  }
  return ok;
}

void DeleteShowValues(HKEY key) {
  for (const DwordValue& value : kValues) RegDeleteValueA(key, value.name);
}
