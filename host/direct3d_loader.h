// d3d8.dll has no import library here, and a system without it must get the "no Direct3D"
// message rather than a loader error: the DLL is loaded at run time.
#pragma once

#include <windows.h>
#include <d3d8.h>

using Direct3DCreateFn = IDirect3D8*(WINAPI*)(UINT sdkVersion);

// Direct3DCreate8 from d3d8.dll, or null when the DLL or the export is missing.
IDirect3D8* WINAPI LoadDirect3D(UINT sdkVersion);

// What StartUp calls; tests point it at a fake.
extern Direct3DCreateFn g_createDirect3D;
