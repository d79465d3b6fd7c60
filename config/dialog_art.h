// The configuration dialog's artwork: the side logo down the left edge and the header strip
// across the top, both drawn from masters larger than they appear at 96 DPI and scaled evenly,
// so they fill the dialog at any DPI without being pulled out of shape.
#pragma once

#include <windows.h>

struct ArtLayout {
  double scale;       // dialog pixels per master pixel, the same for both
  RECT logo;          // the logo's column: from the top to the bottom of the client area
  RECT logoSource;    // the part of the master shown there (sides and top cut as needed)
  RECT header;        // the header strip: the client's full width
  int headerDrawn;    // client columns the scaled master covers; its last column fills the rest
  int headerSource;   // master columns drawn into those
};

// Pure layout for masters of the given sizes in a client area of the given size, with the
// logo's column `columnWidth` wide. The logo covers its column and the full height: scaled
// evenly by whichever needs more, centred across and resting on the bottom, so the cut parts
// are equal slices of its sides and sky from its top. The header takes the same scale.
ArtLayout LayOutArt(SIZE logoMaster, SIZE headerMaster, int clientWidth, int clientHeight,
                    int columnWidth);

// Draws both into `dc` over the client area `client`. Missing bitmaps are skipped.
void DrawDialogArt(HDC dc, HBITMAP logo, HBITMAP header, const RECT& client, int columnWidth);
