// Pixels read back from a device or the screen, and what the tests ask of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// 0x00RRGGBB per pixel, row after row from the top.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // Share of pixels in the rectangle that are not black: something was drawn there.
  double DrawnShare(const RECT& area) const;
  double DrawnShare() const { return DrawnShare({0, 0, width, height}); }
  // A cheap fingerprint to tell two frames apart.
  uint64_t Hash() const;
};

inline int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Green(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }
// Largest channel difference.
int ColorDistance(uint32_t a, uint32_t b);

// A rectangle of the screen as it is shown now.
Pixels CaptureScreen(const RECT& area);
Pixels CaptureScreen();
// rows > 0: only that many rows through the middle of the client (cheap enough to poll).
RECT ClientOnScreen(HWND window, int rows = 0);

// Writes a 32-bit BMP, for people to look at what a test saw; creates the folder.
bool SaveBmp(const Pixels& picture, const std::string& folder, const std::string& name);

}  // namespace testing_support
