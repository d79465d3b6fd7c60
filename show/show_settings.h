// The look-and-timing settings of the show, one field per registry value.
#pragma once

#include <windows.h>

#include <cstdint>

struct RgbBytes {
  uint8_t r, g, b;
};

constexpr int32_t kDefaultTransitionMs = 1500;
constexpr int32_t kMaxTransitionMs = 5000;

struct ShowSettings {
  int32_t backGndColor = 0;  // picture frame and clear colour, 0x00RRGGBB
  int32_t object3DColor = 0;  // 0x00RRGGBB
  int32_t gradient = 0;       // index into GradientFiles
  int32_t invertPicture = 0;
  int32_t pictureTimer = 5;  // seconds between picture changes
  int32_t object3DIndex = 0;
  int32_t render3DObject = 1;
  int32_t themeSelIndex = 0;
  int32_t renderReflection = 1;
  int32_t transitionTime = kDefaultTransitionMs;  // cross-fade between arrangements; 0: a cut
  int32_t showEveryPicture = 1;  // every picture once before any repeats, across runs
  RgbBytes backGndRgb = {};
  RgbBytes object3DRgb = {};
};

// R, G and B bytes of a 0x00RRGGBB colour.
RgbBytes ColorToRgb(int32_t color);
void RecomputeRgb(ShowSettings& settings);

// Reads a string value; on any failure the default text is copied instead. The buffer is
// always terminated.
void ReadRegistryString(HKEY key, const char* name, char* buffer, DWORD size,
                        const char* defaultText);

// The nine settings values in the order they are written. Reading tells whether any of the
// look values (those a theme sets) was stored.
bool ReadShowValues(HKEY key, ShowSettings& settings);
bool WriteShowValues(HKEY key, const ShowSettings& settings);
void DeleteShowValues(HKEY key);
