// EXIF orientation: the tag search over the APP1 block, then the turn it asks for.
#include "image/exif_orientation.h"
#include "image_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace imaging;
  const int orientation = ReadJpegOrientation(data, size);
  native_fuzz::Expect(orientation >= 1 && orientation <= 8);
  Image stored;
  if (AllocateImage(stored, 3, 2) != kImageOk) return 0;
  for (size_t i = 0; i < stored.texels.size(); ++i) stored.texels[i] = uint32_t(i);
  Image upright;
  if (ApplyOrientation(stored, orientation, upright) == kImageOk) {
    const bool swapped = OrientationSwapsAxes(orientation);
    native_fuzz::CheckDecoded(upright, swapped ? 2 : 3, swapped ? 3 : 2);
  }
  return 0;
}
