// The system dialogs and the shell call the configuration dialogs make, behind pointers so
// that tests can answer them.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

using ChooseColorFn = BOOL(WINAPI*)(LPCHOOSECOLORA);
using FileDialogFn = BOOL(WINAPI*)(LPOPENFILENAMEA);
using FileDialogErrorFn = DWORD(WINAPI*)();
using BrowseForFolderFn = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOW);
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

extern ChooseColorFn g_chooseColor;          // ChooseColorA
extern FileDialogFn g_getOpenFileName;       // GetOpenFileNameA
extern FileDialogFn g_getSaveFileName;       // GetSaveFileNameA
extern FileDialogErrorFn g_fileDialogError;  // CommDlgExtendedError
extern ShellExecuteFn g_shellExecute;        // ShellExecuteA
extern BrowseForFolderFn g_browseForFolder;  // SHBrowseForFolderW

// Message box with one of the dialogs' texts, captioned with the program's title.
void ShowDialogMessage(HWND owner, UINT textId, UINT type);
