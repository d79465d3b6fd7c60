#include "config/dialog_scale.h"

#include "base/dpi.h"

namespace {

using GetThreadContextFn = HANDLE(WINAPI*)();
using ContextsEqualFn = BOOL(WINAPI*)(HANDLE, HANDLE);

// True when this thread runs per-monitor v2, whose dialogs the system re-lays out.
bool SystemScalesDialogs() {
  HMODULE user = GetModuleHandleA("user32.dll");
  if (user == nullptr) return false;
  auto getContext = reinterpret_cast<GetThreadContextFn>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
  auto equal = reinterpret_cast<ContextsEqualFn>(
      reinterpret_cast<void*>(GetProcAddress(user, "AreDpiAwarenessContextsEqual")));
  const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  return getContext != nullptr && equal != nullptr && equal(getContext(), perMonitorV2);
}

// Every control's place and size, and the font, by newDpi / oldDpi.
HFONT ScaleControls(HWND dialog, int oldDpi, int newDpi) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    if (!GetWindowRect(child, &r)) continue;
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, MulDiv(r.left, newDpi, oldDpi), MulDiv(r.top, newDpi, oldDpi),
                 MulDiv(r.right - r.left, newDpi, oldDpi), MulDiv(r.bottom - r.top, newDpi, oldDpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LOGFONTA font;
  const HGDIOBJ current = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  if (current == nullptr || !GetObjectA(current, sizeof font, &font)) return nullptr;
  font.lfHeight = MulDiv(font.lfHeight, newDpi, oldDpi);
  font.lfWidth = MulDiv(font.lfWidth, newDpi, oldDpi);
  HFONT scaled = CreateFontIndirectA(&font);
  if (scaled == nullptr) return nullptr;
  SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
  }
  return scaled;
}

}  // namespace

void DialogScale::Start(HWND dialog) { dpi_ = DpiForWindow(dialog); }

void DialogScale::Follow(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const int newDpi = LOWORD(wParam);
  if (newDpi > 0 && newDpi != dpi_ && !SystemScalesDialogs()) {
    // The old font stays alive until the controls hold the new one.
    if (HFONT scaled = ScaleControls(dialog, dpi_, newDpi)) font_.Reset(scaled);
  }
  if (newDpi > 0) dpi_ = newDpi;
  const RECT* rect = reinterpret_cast<const RECT*>(lParam);
  if (rect != nullptr) {
    SetWindowPos(dialog, nullptr, rect->left, rect->top, rect->right - rect->left,
                 rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
