#include "config/picture_preview.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "d3dx/texture_upload.h"
#include "image/image_scale.h"
#include "image/wic_decoder.h"

namespace {

// Mirrored at the edges: a plain linear enlargement wraps round, and a gradient's top row
// would then take colour from its bottom row.
constexpr uint32_t kPreviewFilter = imaging::kFilterLinear | imaging::kFilterMirror;

// A 32-bit top-down DIB header for the image's texels (0xAARRGGBB is GDI's BGRA byte order).
BITMAPINFO DibHeader(const imaging::Image& image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(image.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(image.height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// The image 1:1 at (x, y): no GDI stretching and so no dithering.
void DrawImage(HDC dc, int x, int y, const imaging::Image& image) {
  const BITMAPINFO info = DibHeader(image);
  SetDIBitsToDevice(dc, x, y, image.width, image.height, 0, 0, 0, image.height,
                    image.texels.data(), &info, DIB_RGB_COLORS);
}

void DrawCentredText(HWND window, HDC dc, int stockBrush, const char* text) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(stockBrush)));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, RGB(255, 255, 255));
  DrawTextA(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

HRESULT ReadAndProbe(const char* path, std::vector<uint8_t>& bytes, imaging::SourceInfo& info) {
  if (path == nullptr) return E_INVALIDARG;
  HRESULT hr = imaging::ReadWholeFile(path, bytes);
  if (SUCCEEDED(hr)) hr = imaging::ProbeAnyPicture(bytes.data(), bytes.size(), info);
  return hr;
}

}  // namespace

HRESULT PreviewPicture::Probe(const char* path) {
  Clear();
  std::vector<uint8_t> bytes;
  imaging::SourceInfo info;
  const HRESULT hr = ReadAndProbe(path, bytes, info);
  if (FAILED(hr)) return hr;
  pixelWidth = static_cast<int32_t>(info.width);
  pixelHeight = static_cast<int32_t>(info.height);
  source = path;
  return S_OK;
}

HRESULT PreviewPicture::Load(const char* path, int boxWidth, int boxHeight,
                             const std::atomic<bool>* keepGoing) {
  Clear();
  std::vector<uint8_t> bytes;
  imaging::SourceInfo info;
  HRESULT hr = ReadAndProbe(path, bytes, info);
  if (FAILED(hr)) return hr;
  imaging::DecodeOptions options;
  if (boxWidth > 0 && boxHeight > 0) {
    const FitRect fit = FitPicture(static_cast<int32_t>(info.width),
                                   static_cast<int32_t>(info.height), boxWidth, boxHeight);
    options.width = static_cast<uint32_t>(std::max(1, fit.width));
    options.height = static_cast<uint32_t>(std::max(1, fit.height));
  }
  options.filter = kPreviewFilter;
  options.keepGoing = keepGoing;
  imaging::Image decoded;
  hr = imaging::DecodeAnyPicture(bytes.data(), bytes.size(), options, decoded, info);
  if (FAILED(hr)) return hr;
  image = std::move(decoded);
  pixelWidth = static_cast<int32_t>(info.width);
  pixelHeight = static_cast<int32_t>(info.height);
  source = path;
  return S_OK;
}

void PreviewPicture::DrawFitted(HWND window, HDC dc) const {
  if (!Held()) return;
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const FitRect fit = FitPicture(pixelWidth, pixelHeight, client.right, client.bottom);
  if (fit.width <= 0 || fit.height <= 0) return;
  if (image.width == static_cast<uint32_t>(fit.width) &&
      image.height == static_cast<uint32_t>(fit.height)) {
    DrawImage(dc, fit.x, fit.y, image);
    return;
  }
  // Decoded for another box: the area filter takes it to this one.
  imaging::Image fitted;
  if (imaging::ScaleImage(image, fit.width, fit.height, kPreviewFilter, fitted) ==
      imaging::kImageOk) {
    DrawImage(dc, fit.x, fit.y, fitted);
  }
}

void PreviewPicture::DrawStretched(HWND window, HDC dc, int invert) const {
  if (!Held() || (invert != 0 && invert != 1)) return;
  RECT client;
  GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  imaging::Image stretched;
  if (imaging::ScaleImage(image, client.right, client.bottom, kPreviewFilter,
                          stretched) != imaging::kImageOk) {
    return;
  }
  if (invert == 1) {
    for (int row = 0; row < client.bottom / 2; ++row) {
      std::swap_ranges(stretched.Row(row), stretched.Row(row) + stretched.width,
                       stretched.Row(InvertedRow(row, client.bottom)));
    }
  }
  DrawImage(dc, 0, 0, stretched);
}

void PreviewPicture::Clear() {
  image = imaging::Image();
  pixelWidth = pixelHeight = 0;
  source.clear();
}

void DrawNoPictures(HWND window, HDC dc, int stockBrush) {
  DrawCentredText(window, dc, stockBrush, "no pictures");
}

void DrawUnreadablePicture(HWND window, HDC dc) {
  DrawCentredText(window, dc, BLACK_BRUSH, "cannot read picture");
}
