// A dialog dragged to a monitor of another scale (WM_DPICHANGED). Under per-monitor v2 the
// dialog manager scales the controls and their font itself; under the first per-monitor
// awareness (Windows 8.1, early Windows 10) nothing does, so it is done here. Either way the
// dialog takes the size and place the system suggests.
#pragma once

#include <windows.h>

#include "base/scoped_gdi.h"

class DialogScale {
 public:
  // At WM_INITDIALOG: the DPI the template was laid out for.
  void Start(HWND dialog);
  // WM_DPICHANGED's parameters.
  void Follow(HWND dialog, WPARAM wParam, LPARAM lParam);
  int dpi() const { return dpi_; }

 private:
  int dpi_ = 96;
  ScopedGdiObject<HFONT> font_;  // the dialog's font remade at the new DPI, when made here
};
