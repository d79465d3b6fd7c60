#include "assets/pictures.h"

namespace assets {
namespace {

struct PictureEntry {
  PictureSize size;
  Canvas (*paint)(int, int);
};

const PictureEntry kPictures[kDefaultPictureCount] = {
    {{2048, 1365}, PaintAlpineDawn},       {{1800, 1200}, PaintLakeAtDusk},
    {{1920, 1080}, PaintHarbourNight},     {{1200, 1600}, PaintTulipField},
    {{1400, 1400}, PaintCircleComposition}, {{1600, 1067}, PaintGreenHills},
    {{1500, 1000}, PaintDesertDunes},      {{1080, 1440}, PaintMoonlitForest},
    {{1200, 1200}, PaintPaperWaves},       {{1200, 1500}, PaintDaisy},
    {{1800, 1200}, PaintNorthernLights},   {{1024, 1024}, PaintStainedGlass},
    {{1600, 1000}, PaintTropicalBeach},    {{1000, 1500}, PaintLighthouse},
};

}  // namespace

PictureSize DefaultPictureSize(int index) { return kPictures[index].size; }

Canvas PaintDefaultPicture(int index) {
  const PictureEntry& e = kPictures[index];
  return e.paint(e.size.width, e.size.height);
}

}  // namespace assets
