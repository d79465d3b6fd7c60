// The Display Settings dialog: per monitor, whether the saver draws there, whether hardware
// 3D rendering is switched off and which display mode to use; and the same image on every
// monitor. It edits a copy of the choices and hands it back on OK; Cancel drops it.
#pragma once

#include <windows.h>
#include <d3d8.h>

#include "host/saver_app.h"

// Runs template 200 (one monitor, or single-screen mode) or 201 (tabs per monitor);
// returns IDOK or IDCANCEL.
INT_PTR ShowDisplaySettings(SaverApp& app, HWND owner);

// String id of the Help text for a monitor and its adapter (null: none).
// `choice`, when given, is the edited copy that overrides the adapter's stored choices.
UINT DisplayHelpTextId(const MonitorRecord& monitor, const AdapterRecord* adapter,
                       const DisplayChoice* choice = nullptr);
// String id of the rendering status line (null adapter: cannot be displayed).
UINT DisplayStatusTextId(const AdapterRecord* adapter, const DisplayChoice* choice = nullptr);
// Colour depth shown for a mode's format.
int ModeBitCount(D3DFORMAT format);
