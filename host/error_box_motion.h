// The box in which the error display shows its message: where it starts in a monitor's area
// and how it drifts and bounces off the area's edges.
#pragma once

struct BoxArea {
  int left, top, right, bottom;
};

struct ErrorBox {
  float x, y, width, height;
  float velocityX, velocityY;  // pixels per second
};

// A box rectangle truncated to whole pixels.
struct BoxPixels {
  int left, top, right, bottom;
};

constexpr float kErrorBoxWidth = 300.0f;
constexpr float kErrorBoxHeight = 150.0f;

// First position: in a preview the box fills the window and stays; elsewhere a box of 300x150
// pixels at 96 DPI (larger in proportion at the monitor's `dpi`) centred in the area, moving a
// tenth of the area's width and a twentieth of its height per second.
ErrorBox StartErrorBox(const BoxArea& area, bool preview, int dpi = 96);

// Moves the box by dt seconds, turning back at the area's edges. True when its truncated
// top-left corner changed, with the rectangles before and after for repainting.
bool MoveErrorBox(ErrorBox& box, const BoxArea& area, float dt, BoxPixels* before,
                  BoxPixels* after);

BoxPixels BoxToPixels(const ErrorBox& box);
