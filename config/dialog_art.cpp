#include "config/dialog_art.h"

#include "base/scoped_gdi.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info;
  if (bitmap == nullptr || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// The filter that averages when shrinking; COLORONCOLOR would drop whole rows of the master.
void SmoothStretch(HDC dc) {
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
}

}  // namespace

ArtLayout LayOutArt(SIZE logoMaster, SIZE headerMaster, int clientWidth, int clientHeight,
                    int columnWidth) {
  ArtLayout layout = {};
  if (logoMaster.cx <= 0 || logoMaster.cy <= 0 || clientHeight <= 0 || columnWidth <= 0) {
    return layout;
  }
  const double across = static_cast<double>(columnWidth) / logoMaster.cx;
  const double down = static_cast<double>(clientHeight) / logoMaster.cy;
  const double scale = across > down ? across : down;
  layout.scale = scale;
  layout.logo = {0, 0, columnWidth, clientHeight};
  const LONG shownWidth = static_cast<LONG>(columnWidth / scale + 0.5);
  const LONG shownHeight = static_cast<LONG>(clientHeight / scale + 0.5);
  const LONG left = (logoMaster.cx - shownWidth) / 2;
  const LONG top = logoMaster.cy - shownHeight;
  layout.logoSource = {left > 0 ? left : 0, top > 0 ? top : 0, 0, logoMaster.cy};
  layout.logoSource.right = layout.logoSource.left + shownWidth;
  if (headerMaster.cx <= 0 || headerMaster.cy <= 0 || clientWidth <= 0) return layout;
  layout.header = {0, 0, clientWidth, static_cast<LONG>(headerMaster.cy * scale + 0.5)};
  const int scaledWidth = static_cast<int>(headerMaster.cx * scale + 0.5);
  if (scaledWidth <= clientWidth) {
    layout.headerDrawn = scaledWidth;
    layout.headerSource = headerMaster.cx;
  } else {
    layout.headerDrawn = clientWidth;
    layout.headerSource = static_cast<int>(clientWidth / scale + 0.5);
    if (layout.headerSource < 1) layout.headerSource = 1;
  }
  return layout;
}

void DrawDialogArt(HDC dc, HBITMAP logo, HBITMAP header, const RECT& client, int columnWidth) {
  const SIZE logoSize = BitmapSize(logo);
  const SIZE headerSize = BitmapSize(header);
  const ArtLayout layout = LayOutArt(logoSize, headerSize, client.right - client.left,
                                     client.bottom - client.top, columnWidth);
  ScopedMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  SmoothStretch(dc);
  const RECT& l = layout.logo;
  const RECT& s = layout.logoSource;
  if (logo != nullptr && l.right > 0) {
    ScopedSelect select(source.get(), logo);
    StretchBlt(dc, l.left, l.top, l.right - l.left, l.bottom - l.top, source.get(), s.left,
               s.top, s.right - s.left, s.bottom - s.top, SRCCOPY);
  }
  const RECT& h = layout.header;
  if (header != nullptr && h.bottom > 0) {
    ScopedSelect select(source.get(), header);
    // The part of the master that fits, then its last column stretched over the rest.
    const int width = layout.headerDrawn;
    StretchBlt(dc, 0, 0, width, h.bottom, source.get(), 0, 0, layout.headerSource,
               headerSize.cy, SRCCOPY);
    if (width < h.right) {
      StretchBlt(dc, width, 0, h.right - width, h.bottom, source.get(), headerSize.cx - 1, 0, 1,
                 headerSize.cy, SRCCOPY);
    }
  }
}
