// Keyed texels are replaced before any filtering, so a reduced picture blends towards
// transparency around keyed areas instead of keeping a fringe of the key colour.
#include "image/color_key.h"

namespace imaging {

void ApplyColorKey(uint32_t* texels, size_t count, uint32_t key) {
  if (key == 0) return;
  for (size_t i = 0; i < count; ++i) {
    if (texels[i] == key) texels[i] = 0;
  }
}

}  // namespace imaging
