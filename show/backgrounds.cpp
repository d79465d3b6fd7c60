// The chosen gradient on backdrop item 0, decoded with the pictures of every change.
#include "show/backgrounds.h"

#include "base/data_paths.h"
#include "show/show_app.h"
#include "show/show_settings.h"
#include "show/slideshow.h"

const char GradientFiles[kGradientCount][256] = {
    "l1.bmp", "l2.bmp", "l3.bmp", "l4.bmp", "l5.bmp",
    "l6.bmp", "l7.bmp", "l8.bmp", "l9.bmp", "l10.bmp",
};

bool GradientFilePath(const char* installDir, int32_t gradient, char* out, size_t size) {
  if (out != nullptr && size > 0) out[0] = '\0';
  // The dialog never stores another index; a hand-edited one just leaves the gradient out.
  if (gradient < 0 || gradient >= kGradientCount) return false;
  return FormatPath(out, size, "%s\\data\\grad\\%s", installDir, GradientFiles[gradient]);
}

void ShowApp::LoadBackdropTexture() {
  // Unlike the pictures, the gradient keeps a full mip chain: the sphere spans the view.
  if (backdropPicture != nullptr) {
    UploadPicture(currentDevice, *backdropPicture, 0, currentResources->backdropTexture);
  } else {
    currentResources->backdropTexture.Reset();
  }
}
