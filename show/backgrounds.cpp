// Loading the chosen gradient onto backdrop item 0, at every picture change.
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
  currentResources->backdropTexture.Reset();
  char path[1024];
  if (!GradientFilePath(g_settings.InstallDir, g_settings.gradient, path, sizeof path)) return;
  // Unlike the pictures, the gradient keeps a full mip chain: the sphere spans the view.
  g_textureFileLoader(currentDevice, path, 256, 256, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                      D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR, kPictureColorKey,
                      nullptr, nullptr, &currentResources->backdropTexture);
}
