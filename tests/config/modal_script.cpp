#include "config/modal_script.h"

#include <cstdio>

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

}  // namespace testing_support
