// "<saver> /c" at the screen's DPI, seen from outside; its picture goes to the folder as
// settings-<dpi>.bmp. The logo keeps the master's shape (the sun round and as large as in the
// master scaled to the logo's column), meets the controls, the header reaches the right edge,
// and no control sticks out.   dpi_dialog_check <saver> <dpi of the prefix> <folder>
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
  failures += held ? 0 : 1;
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
  const RECT client = testing_support::ClientOnScreen(dialog);
  const testing_support::Pixels shot = testing_support::CaptureScreen(client);
  testing_support::SaveBmp(shot, argv[3], "settings-" + std::to_string(dpi));
  const int h = shot.height;
  const COLORREF f = GetSysColor(COLOR_BTNFACE);
  const uint32_t face = (GetRValue(f) << 16) | (GetGValue(f) << 8) | GetBValue(f);
  int artRight = 0;  // on the bottom row, below the controls
  while (artRight < shot.width && ColorDistance(shot.At(artRight, h - 1), face) > 4) ++artRight;
  // The master, 336 x 1120 with a sun 88 across, covers the column and the height evenly.
  const double sunSize = 88 * std::max(artRight / 336.0, h / 1120.0);
  int left = shot.width, right = -1, top = h, bottom = -1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < artRight; ++x) {
      if (ColorDistance(shot.At(x, y), 0xf7d774) > 24) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  Expect(std::abs(right - left - (bottom - top)) <= 2, "sun width against height", right - left,
         bottom - top);
  Expect(std::abs(right - left + 1 - sunSize) <= 3, "sun against the master's", right - left + 1,
         sunSize);

  int nearest = shot.width, outside = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    if (!IsWindowVisible(c) || !GetWindowRect(c, &r)) continue;
    nearest = std::min<int>(nearest, r.left - client.left);
    outside += r.left < client.left || r.top < client.top || r.right > client.right ||
               r.bottom > client.bottom;
  }
  Expect(nearest >= artRight && nearest - artRight <= ScaleForDpi(14, dpi),
         "gap between logo and controls, at most", nearest - artRight, ScaleForDpi(14, dpi));
  Expect(outside == 0, "controls outside the dialog", outside, 0);
  Expect(ColorDistance(shot.At(shot.width - 2, 2), face) > 16, "header at the right edge", 1, 1);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  saver.WaitForExit(20000);
  return failures == 0 ? 0 : 1;
}
