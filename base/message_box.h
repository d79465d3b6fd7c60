// Every message box of the program goes through this pointer, so that tests can answer them.
#pragma once

#include <windows.h>

using MessageBoxFn = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern MessageBoxFn g_messageBox;  // MessageBoxA unless a test replaced it
