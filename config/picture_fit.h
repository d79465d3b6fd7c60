// Where a preview picture goes inside its control: pure arithmetic, no platform calls.
#pragma once

#include <cstdint>

struct FitRect {
  int x, y, width, height;
};

// The rectangle a picture of pixelWidth x pixelHeight fills in a control of
// clientWidth x clientHeight: the long side fills the control, the short side is scaled from
// the control's size on that same axis and centred.
FitRect FitPicture(int32_t pixelWidth, int32_t pixelHeight, int clientWidth, int clientHeight);

// Destination row of source row `row` when a picture of `height` rows is copied upside down.
int InvertedRow(int row, int height);
