// The configuration dialog: themes, the picture timer, and the doors to Display Settings,
// Select Pictures and the About box. It edits a copy of the show's state; OK and Preview
// store it with both theme files, OK hands it back to the show, Cancel drops it.
#pragma once

#include <windows.h>

#include <cstdint>

class ShowApp;
struct ShowState;

// Runs dialog 106 owned by owner; 1 after OK, 2 after Cancel.
INT_PTR RunConfigurationDialog(ShowApp& app, HWND owner);

// The copy an open configuration dialog edits.
const ShowState& EditedState(HWND dialog);

// Runs the About box (dialog 118).
INT_PTR RunAboutDialog(HWND owner);

// 0x00BBGGRR (GDI) to 0x00RRGGBB and back.
uint32_t GdiToRgbWord(uint32_t gdiColor);
uint32_t RgbWordToGdi(uint32_t color);
