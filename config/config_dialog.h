// The configuration dialog: themes, the picture timer, and the doors to Display Settings,
// Select Pictures and the About box. It edits the settings in memory; OK and Preview store
// them with both theme files, Cancel reads them back from the registry.
#pragma once

#include <windows.h>

#include <cstdint>

class ShowApp;

// Runs dialog 106 owned by owner; 1 after OK, 2 after Cancel.
INT_PTR RunConfigurationDialog(ShowApp& app, HWND owner);

// Runs the About box (dialog 118).
INT_PTR RunAboutDialog(HWND owner);

// 0x00BBGGRR (GDI) to 0x00RRGGBB and back.
uint32_t GdiToRgbWord(uint32_t gdiColor);
uint32_t RgbWordToGdi(uint32_t color);
