#include "config/picture_fit.h"

int32_t HimetricToPixels(int32_t himetric, int dpi) {
  // 64-bit so that a huge reported size cannot overflow.
  return static_cast<int32_t>((static_cast<int64_t>(himetric) * dpi + 1270) / 2540);
}

FitRect FitPicture(int32_t pixelWidth, int32_t pixelHeight, int clientWidth, int clientHeight) {
  FitRect rect{0, 0, clientWidth, clientHeight};
  if (pixelWidth <= 0 || pixelHeight <= 0) return rect;
  if (pixelWidth > pixelHeight) {
    rect.height = static_cast<int>(static_cast<double>(clientHeight) * pixelHeight / pixelWidth);
    rect.y = clientHeight / 2 - rect.height / 2;
  } else {
    rect.width = static_cast<int>(static_cast<double>(clientWidth) * pixelWidth / pixelHeight);
    rect.x = clientWidth / 2 - rect.width / 2;
  }
  return rect;
}

int InvertedRow(int row, int height) { return height - 1 - row; }
