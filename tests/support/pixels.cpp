#include "support/pixels.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace testing_support {

double Pixels::DrawnShare(const RECT& area) const {
  const long size = long(area.right - area.left) * (area.bottom - area.top);
  if (size <= 0 || pixels.empty()) return 0.0;
  long drawn = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) drawn += At(x, y) != 0 ? 1 : 0;
  }
  return double(drawn) / double(size);
}

uint64_t Pixels::Hash() const {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
}

int ColorDistance(uint32_t a, uint32_t b) {
  return std::max({std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)),
                   std::abs(Blue(a) - Blue(b))});
}

Pixels CaptureScreen(const RECT& area) {
  Pixels shot;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  if (shot.width <= 0 || shot.height <= 0) return Pixels();
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(p, p + size_t(shot.width) * size_t(shot.height));
    for (uint32_t& pixel : shot.pixels) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

Pixels CaptureScreen() {
  return CaptureScreen({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

RECT ClientOnScreen(HWND window, int rows) {
  RECT rect = {};
  if (!GetClientRect(window, &rect)) return rect;
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
  if (rows > 0 && rect.bottom - rect.top > rows) {
    rect.top += (rect.bottom - rect.top - rows) / 2;
    rect.bottom = rect.top + rows;
  }
  return rect;
}

bool SaveBmp(const Pixels& picture, const std::string& folder, const std::string& name) {
  if (picture.pixels.empty()) return false;
  CreateDirectoryA(folder.c_str(), nullptr);
  const DWORD imageSize = static_cast<DWORD>(picture.pixels.size() * 4);
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + imageSize;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = picture.width;
  info.biHeight = -picture.height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biSizeImage = imageSize;
  std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  // Opaque, for viewers that read the fourth byte as alpha.
  std::vector<uint32_t> opaque(picture.pixels);
  for (uint32_t& p : opaque) p |= 0xFF000000u;
  out.write(reinterpret_cast<const char*>(opaque.data()), imageSize);
  return out.good();
}

}  // namespace testing_support
