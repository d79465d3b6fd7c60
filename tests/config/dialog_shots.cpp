// Pictures of the dialogs as a user of a saver sees them, for the README: starts
// "<saver> /c", pictures the configuration dialog and the Select Pictures, Display Settings and
// About dialogs opened from it, and closes them again (Select Pictures with OK, its only way
// out, after filling its list with the installation's sample pictures).
//   dialog_shots <saver path> <output folder>     (exit code 0: every picture was taken)
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "resources/dialog_ids.h"
#include "support/pixels.h"
#include "support/saver_process.h"

using testing_support::SaverProcess;

namespace {

// The saver's dialog that takes input now, other than `except`.
HWND WaitForDialog(const SaverProcess& saver, HWND except) {
  const DWORD start = GetTickCount();
  while (saver.Running() && GetTickCount() - start < 30000) {
    for (HWND dialog : saver.TopLevels("#32770")) {
      if (dialog != except && IsWindowEnabled(dialog)) return dialog;
    }
    testing_support::Pump(100);
  }
  return nullptr;
}

// Fills the list with the installation's sample pictures as a user would: Clear All, then Add
// File(s) in the system's file dialog, the folder typed first, then its files.
bool AddSamplePictures(const SaverProcess& saver, HWND selectPictures, const std::string& saverPath) {
  const std::string samples = saverPath.substr(0, saverPath.find_last_of('\\')) + "\\data\\defpics";
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((samples + "\\*.jpg").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  // defpic2 before defpic10.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  std::string files;
  for (const std::string& name : names) files += "\"" + name + "\" ";

  SendMessageA(GetDlgItem(selectPictures, IDC_SP_CLEAR), BM_CLICK, 0, 0);
  PostMessageA(GetDlgItem(selectPictures, IDC_SP_ADD), BM_CLICK, 0, 0);
  const HWND open = WaitForDialog(saver, selectPictures);
  if (open == nullptr) return false;
  saver.Settle(open, 500);
  // The file name box: an edit inside the combo box(es) of the name field.
  HWND name = nullptr;
  for (HWND box = GetDlgItem(open, cmb13); box != nullptr && name == nullptr;
       box = FindWindowExA(box, nullptr, nullptr, nullptr)) {
    name = FindWindowExA(box, nullptr, "Edit", nullptr);
  }
  if (name == nullptr) return false;
  for (const std::string& text : {samples, files}) {
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    saver.Settle(open, 500);
  }
  const DWORD start = GetTickCount();
  while (IsWindow(open) && GetTickCount() - start < 20000) testing_support::Pump(100);
  return !IsWindow(open);
}

bool Shoot(const SaverProcess& saver, HWND dialog, const std::string& folder, const char* name) {
  // The previews draw once their pictures are loaded. Without a window manager nothing draws
  // the frame and caption: the picture is the client area.
  saver.Settle(dialog, 1500);
  const bool taken = testing_support::SaveBmp(
      testing_support::CaptureScreen(testing_support::ClientOnScreen(dialog)), folder, name);
  if (!taken) std::fprintf(stderr, "dialog_shots: no picture of %s\n", name);
  return taken;
}

// Opens the dialog behind `button` of the configuration dialog, fills it in with `prepare`,
// pictures it and closes it with `close`.
bool ShootNested(const SaverProcess& saver, HWND configuration, int button,
                 const std::string& folder, const char* name, int close = IDCANCEL,
                 const std::function<bool(HWND)>& prepare = nullptr) {
  PostMessageA(GetDlgItem(configuration, button), BM_CLICK, 0, 0);
  const HWND dialog = WaitForDialog(saver, configuration);
  if (dialog == nullptr) {
    std::fprintf(stderr, "dialog_shots: %s did not open\n", name);
    return false;
  }
  if (prepare && !prepare(dialog)) std::fprintf(stderr, "dialog_shots: %s not filled in\n", name);
  const bool taken = Shoot(saver, dialog, folder, name);
  PostMessageA(dialog, WM_COMMAND, close, 0);
  const DWORD start = GetTickCount();
  while (IsWindow(dialog) && saver.Running() && GetTickCount() - start < 20000) {
    testing_support::Pump(100);
  }
  return !IsWindow(dialog) && taken;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dialog_shots <saver path> <output folder>\n");
    return 2;
  }
  const std::string folder = argv[2];
  SaverProcess saver(argv[1], "/c");
  const HWND configuration = WaitForDialog(saver, nullptr);
  if (configuration == nullptr) {
    std::fprintf(stderr, "dialog_shots: the configuration dialog did not open\n");
    return 1;
  }
  bool ok = Shoot(saver, configuration, folder, "settings");
  // Select Pictures closes only with OK, which stores the list: the samples again.
  ok = ShootNested(saver, configuration, IDC_CFG_SELECT_PICTURES, folder, "select-pictures", IDOK,
                   [&](HWND dialog) { return AddSamplePictures(saver, dialog, argv[1]); }) &&
       ok;
  ok = ShootNested(saver, configuration, IDC_CFG_DISPLAY_SETTINGS, folder, "display-settings") &&
       ok;
  ok = ShootNested(saver, configuration, IDC_CFG_ABOUT, folder, "about") && ok;
  PostMessageA(configuration, WM_COMMAND, IDCANCEL, 0);
  const DWORD exitCode = saver.WaitForExit(20000);
  if (exitCode != 0) std::fprintf(stderr, "dialog_shots: the saver ended with %lu\n", exitCode);
  return exitCode == 0 && ok ? 0 : 1;
}
