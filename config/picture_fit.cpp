#include "config/picture_fit.h"

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
