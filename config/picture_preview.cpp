#include "config/picture_preview.h"

#include <utility>

namespace {

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
  pixelWidth = HimetricToPixels(width, dpiX);
  pixelHeight = HimetricToPixels(height, dpiY);
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
  // Source extent upward from the bottom edge: HIMETRIC y grows upward.
  picture->Render(dc, fit.x, fit.y, fit.width, fit.height, 0, himetricHeight, himetricWidth,
                  -himetricHeight, &client);
  RestorePalette(dc, previous);
}

void PreviewPicture::DrawStretched(HWND window, HDC dc, int invert) const {
  if (picture == nullptr) return;
  HPALETTE previous = SelectPicturePalette(picture.Get(), dc);
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (bitmap != nullptr) {
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    picture->Render(memory, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight,
                    &client);
    if (invert == 0) {
      BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    } else if (invert == 1) {
      for (int row = 0; row < height; ++row) {
        BitBlt(dc, 0, InvertedRow(row, height), width, 1, memory, 0, row, SRCCOPY);
      }
    }
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
  }
  if (memory != nullptr) DeleteDC(memory);
  RestorePalette(dc, previous);
}

void PreviewPicture::Clear() {
  picture.Reset();
  himetricWidth = himetricHeight = 0;
  pixelWidth = pixelHeight = 0;
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
