// Resource ids shared by the .rc files and the code.
#pragma once

#define IDI_SOLVANE 101

// Texts of the show, in strings.rc.
#define IDS_SETTINGS_NOT_SAVED 2120
