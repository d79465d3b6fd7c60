#include "config/dialog_seams.h"

#include <shellapi.h>

#include "base/message_box.h"

ChooseColorFn g_chooseColor = ChooseColorA;
FileDialogFn g_getOpenFileName = GetOpenFileNameA;
FileDialogFn g_getSaveFileName = GetSaveFileNameA;
FileDialogErrorFn g_fileDialogError = CommDlgExtendedError;
ShellExecuteFn g_shellExecute = ShellExecuteA;
BrowseForFolderFn g_browseForFolder = SHBrowseForFolderW;

void ShowDialogMessage(HWND owner, UINT textId, UINT type) {
  char text[400];
  char caption[200];
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (LoadStringA(module, textId, text, sizeof text) <= 0) text[0] = '\0';
  if (LoadStringA(module, 1000, caption, sizeof caption) <= 0) caption[0] = '\0';
  g_messageBox(owner, text, caption, type);
}
