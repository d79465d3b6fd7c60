// The configuration dialog of "<saver> /c" at the screen's DPI, seen from outside. Its picture
// goes to <folder>\settings-<dpi>.bmp; the side logo must keep the master's proportions (the
// sun round and as large as in the master scaled to the dialog's height) and meet the controls
// beside it, the header must reach the right edge, and no control may stick out of the dialog.
//   dpi_dialog_check <saver path> <dpi the prefix runs at> <output folder>  (0: all held)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/dpi.h"
#include "support/pixels.h"
#include "support/saver_process.h"

using testing_support::ColorDistance;

namespace {

int failures = 0;

void Expect(bool held, const char* what, double seen, double wanted) {
  std::printf("%s %s: %.1f (want %.1f)\n", held ? "ok  " : "FAIL", what, seen, wanted);
  if (!held) ++failures;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM rects) {
  RECT rect;
  if (IsWindowVisible(child) && GetWindowRect(child, &rect)) {
    reinterpret_cast<std::vector<RECT>*>(rects)->push_back(rect);
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  EnsureDpiAwareness();
  const int dpi = std::atoi(argv[2]);
  Expect(SystemDpi() == dpi, "screen DPI", SystemDpi(), dpi);
  testing_support::SaverProcess saver(argv[1], "/c");
  const HWND dialog = saver.FindTopLevel("#32770", 30000);
  if (dialog == nullptr) return 1;
  saver.Settle(dialog, 1500);
  const RECT onScreen = testing_support::ClientOnScreen(dialog);
  const testing_support::Pixels shot = testing_support::CaptureScreen(onScreen);
  testing_support::SaveBmp(shot, argv[3], "settings-" + std::to_string(dpi));
  const int h = shot.height;
  const COLORREF f = GetSysColor(COLOR_BTNFACE);
  const uint32_t face = (GetRValue(f) << 16) | (GetGValue(f) << 8) | GetBValue(f);
  int artRight = 0;  // on the bottom row, below the controls
  while (artRight < shot.width && ColorDistance(shot.At(artRight, h - 1), face) > 4) ++artRight;
  // The master (336 x 1120) scaled evenly to cover the column and the height.
  const double scale = std::max(artRight / 336.0, h / 1120.0);

  // The master's sun: 88 pixels across, in the logo's column.
  const uint32_t sun = 0xf7d774;
  int left = shot.width, right = -1, top = h, bottom = -1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < shot.width / 3; ++x) {
      if (ColorDistance(shot.At(x, y), sun) > 24) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  const double across = right - left + 1, down = bottom - top + 1;
  Expect(std::abs(across - down) <= 2, "sun width against height", across, down);
  Expect(std::abs(across - 88 * scale) <= 3, "sun width against the master's", across,
         88 * scale);

  // The controls beside the logo.
  std::vector<RECT> controls;
  EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&controls));
  int nearest = shot.width, outside = 0;
  for (const RECT& c : controls) {
    nearest = std::min<int>(nearest, c.left - onScreen.left);
    if (c.left < onScreen.left || c.top < onScreen.top || c.right > onScreen.right ||
        c.bottom > onScreen.bottom) {
      ++outside;
    }
  }
  const int gap = nearest - artRight;
  Expect(gap >= 0 && gap <= ScaleForDpi(14, dpi), "gap between logo and controls (at most)",
         gap, ScaleForDpi(14, dpi));
  Expect(outside == 0, "controls outside the dialog", outside, 0);
  Expect(ColorDistance(shot.At(shot.width - 2, 2), face) > 16, "header at the right edge", 1, 1);

  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  saver.WaitForExit(20000);
  return failures == 0 ? 0 : 1;
}
