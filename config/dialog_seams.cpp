#include "config/dialog_seams.h"

#include <shellapi.h>

ChooseColorFn g_chooseColor = ChooseColorA;
FileDialogFn g_getOpenFileName = GetOpenFileNameA;
FileDialogFn g_getSaveFileName = GetSaveFileNameA;
FileDialogErrorFn g_fileDialogError = CommDlgExtendedError;
ShellExecuteFn g_shellExecute = ShellExecuteA;
