// The fourteen default pictures (defpic1.jpg .. defpic14.jpg), painted procedurally.
#pragma once

#include "assets/canvas.h"

namespace assets {

constexpr int kDefaultPictureCount = 14;

struct PictureSize {
  int width, height;
};

// Size of default picture `index` (0-based); landscape, portrait and square shapes.
PictureSize DefaultPictureSize(int index);

// Paints default picture `index` at its size.
Canvas PaintDefaultPicture(int index);

// The individual paintings, at any size.
Canvas PaintAlpineDawn(int width, int height);
Canvas PaintLakeAtDusk(int width, int height);
Canvas PaintHarbourNight(int width, int height);
Canvas PaintTulipField(int width, int height);
Canvas PaintCircleComposition(int width, int height);
Canvas PaintGreenHills(int width, int height);
Canvas PaintDesertDunes(int width, int height);
Canvas PaintMoonlitForest(int width, int height);
Canvas PaintPaperWaves(int width, int height);
Canvas PaintDaisy(int width, int height);
Canvas PaintNorthernLights(int width, int height);
Canvas PaintStainedGlass(int width, int height);
Canvas PaintTropicalBeach(int width, int height);
Canvas PaintLighthouse(int width, int height);

}  // namespace assets
