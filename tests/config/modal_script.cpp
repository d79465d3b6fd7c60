#include "config/modal_script.h"

#include <cstdio>
#include <fstream>

namespace testing_support {

namespace {

struct Script {
  std::vector<DialogStep> steps;
  size_t next = 0;
  int idleTicks = 0;
  UINT_PTR timer = 0;
};
Script* running = nullptr;

constexpr int kIdleTicksBeforeClosing = 100;

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
  char className[32];
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script* script = running;
  if (script == nullptr) return;
  HWND dialog = ActiveDialog();
  if (dialog == nullptr) return;
  if (script->next < script->steps.size()) {
    // Advance first: a step may open a nested dialog whose loop ticks on.
    DialogStep step = script->steps[script->next++];
    step(dialog);
    return;
  }
  if (++script->idleTicks > kIdleTicksBeforeClosing) EndDialog(dialog, -99);
}

}  // namespace

HWND ActiveDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

INT_PTR RunModal(const std::function<INT_PTR()>& open, std::vector<DialogStep> steps) {
  Script script;
  script.steps = std::move(steps);
  Script* outer = running;
  running = &script;
  script.timer = SetTimer(nullptr, 0, 15, Tick);
  const INT_PTR result = open();
  KillTimer(nullptr, script.timer);
  running = outer;
  return result;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string ItemText(HWND dialog, int id) {
  char text[1024];
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string ListBoxText(HWND dialog, int id, int index) {
  char text[512] = {};
  if (SendDlgItemMessageA(dialog, id, LB_GETTEXTLEN, index, 0) >=
      static_cast<LRESULT>(sizeof text)) {
    return {};
  }
  SendDlgItemMessageA(dialog, id, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

bool CaptureWindow(HWND window, const std::string& path) {
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  const DWORD imageSize = stride * height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4d42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + imageSize;
  info.bmiHeader.biSizeImage = imageSize;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  const bool ok = out.good();
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace testing_support
