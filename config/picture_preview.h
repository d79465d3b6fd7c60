// Small picture previews in owner-drawn buttons: a picture file loaded through OLE and drawn
// with GDI, fitted (Select Pictures) or stretched and optionally upside down (gradients).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "config/picture_fit.h"

struct PreviewPicture {
  Microsoft::WRL::ComPtr<IPicture> picture;  // null: nothing held
  int32_t himetricWidth = 0;  // as stored in the file
  int32_t himetricHeight = 0;
  int32_t pixelWidth = 0;  // upright, as the saver shows it
  int32_t pixelHeight = 0;
  int orientation = 1;  // the file's EXIF orientation, 1..8
  std::string source;  // the file last loaded (a copy: callers pass short-lived buffers)

  PreviewPicture() = default;
  PreviewPicture(const PreviewPicture&) = delete;
  PreviewPicture& operator=(const PreviewPicture&) = delete;

  // Loads a JPEG or BMP file; the caller clears a held picture first. S_OK on success,
  // otherwise nothing is stored.
  HRESULT Load(const char* path);
  // Fills the control black and draws the picture upright, fitted and centred.
  void DrawFitted(HWND window, HDC dc) const;
  // Draws the picture over the whole control; invert 1 turns it upside down, any value other
  // than 0 and 1 draws nothing.
  void DrawStretched(HWND window, HDC dc, int invert) const;
  // Drops the picture and its sizes.
  void Clear();
};

// Placeholder for a control without a picture: the stock brush, "no pictures" in white.
void DrawNoPictures(HWND window, HDC dc, int stockBrush);
