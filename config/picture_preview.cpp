#include "config/picture_preview.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "base/scoped_file.h"
#include "base/scoped_gdi.h"
#include "image/exif_orientation.h"

namespace {

// Phones store portrait photos sideways and say so in EXIF; the tag sits near the start of
// the file, in the segments before the picture data.
int FileOrientation(const char* path) {
  ScopedFile file = OpenFile(path, "rb");
  if (file == nullptr) return 1;
  std::vector<uint8_t> head(1u << 17);
  head.resize(std::fread(head.data(), 1, head.size(), file.get()));
  return imaging::ReadJpegOrientation(head.data(), head.size());
}

// Renders the picture as stored into a bitmap of width x height, turns that upright and
// draws it at (x, y). False when GDI could not do it.
bool RenderTurned(IPicture* picture, int32_t himetricWidth, int32_t himetricHeight,
                  int orientation, HDC dc, int x, int y, int width, int height) {
  const bool swap = imaging::OrientationSwapsAxes(orientation);
  imaging::Image stored;
  if (imaging::AllocateImage(stored, swap ? height : width, swap ? width : height) !=
      imaging::kImageOk) {
    return false;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(stored.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(stored.height);  // top-down, as Image rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  if (!memory) return false;
  ScopedBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return false;
  {
    ScopedSelect select(memory.get(), bitmap.get());
    RECT bounds = {0, 0, static_cast<LONG>(stored.width), static_cast<LONG>(stored.height)};
    FillRect(memory.get(), &bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    picture->Render(memory.get(), 0, 0, bounds.right, bounds.bottom, 0, himetricHeight,
                    himetricWidth, -himetricHeight, &bounds);
    GdiFlush();
    std::memcpy(stored.texels.data(), bits, stored.texels.size() * sizeof(uint32_t));
  }
  imaging::Image upright;
  if (imaging::ApplyOrientation(stored, orientation, upright) != imaging::kImageOk) {
    return false;
  }
  info.bmiHeader.biWidth = static_cast<LONG>(upright.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(upright.height);
  return StretchDIBits(dc, x, y, width, height, 0, 0, width, height, upright.texels.data(), &info,
                       DIB_RGB_COLORS, SRCCOPY) != 0;
}

// Selects and realizes the picture's palette when it has one; returns the previous palette.
HPALETTE SelectPicturePalette(IPicture* picture, HDC dc) {
  OLE_HANDLE palette = 0;
  if (FAILED(picture->get_hPal(&palette)) || palette == 0) return nullptr;
  HPALETTE previous =
      SelectPalette(dc, reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette)), FALSE);
  RealizePalette(dc);
  return previous;
}

void RestorePalette(HDC dc, HPALETTE previous) {
  if (previous != nullptr) SelectPalette(dc, previous, FALSE);
}

}  // namespace

HRESULT PreviewPicture::Load(const char* path) {
  if (path == nullptr) return E_INVALIDARG;
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  WCHAR widePath[512];
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, 512) == 0) return E_INVALIDARG;

  Microsoft::WRL::ComPtr<IPicture> loaded;
  HRESULT hr = OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture,
                                  reinterpret_cast<void**>(loaded.GetAddressOf()));
  if (FAILED(hr)) return hr;
  if (loaded == nullptr) return E_FAIL;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  hr = loaded->get_Width(&width);
  if (SUCCEEDED(hr)) hr = loaded->get_Height(&height);
  if (FAILED(hr)) return hr;
  picture = std::move(loaded);
  himetricWidth = width;
  himetricHeight = height;
  orientation = FileOrientation(path);
  const bool swap = imaging::OrientationSwapsAxes(orientation);
  pixelWidth = HimetricToPixels(swap ? height : width, swap ? dpiY : dpiX);
  pixelHeight = HimetricToPixels(swap ? width : height, swap ? dpiX : dpiY);
  source = path;
  return S_OK;
}

void PreviewPicture::DrawFitted(HWND window, HDC dc) const {
  if (picture == nullptr) return;
  HPALETTE previous = SelectPicturePalette(picture.Get(), dc);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const FitRect fit = FitPicture(pixelWidth, pixelHeight, client.right, client.bottom);
  if (orientation == 1 || fit.width <= 0 || fit.height <= 0 ||
      !RenderTurned(picture.Get(), himetricWidth, himetricHeight, orientation, dc, fit.x, fit.y,
                    fit.width, fit.height)) {
    // Source extent upward from the bottom edge: HIMETRIC y grows upward.
    picture->Render(dc, fit.x, fit.y, fit.width, fit.height, 0, himetricHeight, himetricWidth,
                    -himetricHeight, &client);
  }
  RestorePalette(dc, previous);
}

void PreviewPicture::DrawStretched(HWND window, HDC dc, int invert) const {
  if (picture == nullptr) return;
  HPALETTE previous = SelectPicturePalette(picture.Get(), dc);
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  ScopedMemoryDc memory(CreateCompatibleDC(dc));
  ScopedBitmap bitmap(memory ? CreateCompatibleBitmap(dc, width, height) : nullptr);
  if (bitmap) {
    ScopedSelect select(memory.get(), bitmap.get());
    picture->Render(memory.get(), 0, 0, width, height, 0, himetricHeight, himetricWidth,
                    -himetricHeight, &client);
    if (invert == 0) {
      BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    } else if (invert == 1) {
      for (int row = 0; row < height; ++row) {
        BitBlt(dc, 0, InvertedRow(row, height), width, 1, memory.get(), 0, row, SRCCOPY);
      }
    }
  }
  RestorePalette(dc, previous);
}

void PreviewPicture::Clear() {
  picture.Reset();
  himetricWidth = himetricHeight = 0;
  pixelWidth = pixelHeight = 0;
  orientation = 1;
  source.clear();
}

void DrawNoPictures(HWND window, HDC dc, int stockBrush) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(stockBrush)));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, RGB(255, 255, 255));
  DrawTextA(dc, "no pictures", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}
