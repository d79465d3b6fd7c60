// Small picture previews in owner-drawn buttons: a picture file decoded by the saver's own
// decoders (the system's codecs for other formats), reduced by the area filter and drawn with
// GDI, fitted (Select Pictures) or stretched and optionally upside down (gradients).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "config/picture_fit.h"
#include "image/image.h"

struct PreviewPicture {
  imaging::Image image;  // as it is drawn: upright, reduced; empty: nothing held
  int32_t pixelWidth = 0;  // the file's own size, upright, as the saver shows it
  int32_t pixelHeight = 0;
  std::string source;  // the file last loaded (a copy: callers pass short-lived buffers)

  PreviewPicture() = default;
  PreviewPicture(const PreviewPicture&) = delete;
  PreviewPicture& operator=(const PreviewPicture&) = delete;
  PreviewPicture(PreviewPicture&&) = default;
  PreviewPicture& operator=(PreviewPicture&&) = default;

  bool Held() const { return !image.texels.empty(); }
  // The header only: the file's upright size and its path; nothing is held yet.
  HRESULT Probe(const char* path);
  // Decodes the picture, reduced to where DrawFitted puts it in a box of boxWidth x boxHeight
  // (0: at its own size). keepGoing (may be null) turning false stops it with E_ABORT. On
  // failure nothing is stored.
  HRESULT Load(const char* path, int boxWidth = 0, int boxHeight = 0,
               const std::atomic<bool>* keepGoing = nullptr);
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
// For a file that nothing could read: a short note on black instead of a stale picture.
void DrawUnreadablePicture(HWND window, HDC dc);
