// The Select Pictures dialog: builds PictureList from picture files and .tsl lists, with a
// preview of the selected picture. OK stores the list as the default list file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Entry of PictureList being previewed; -1 for none. Kept between openings.
extern int selectedPictureIndex;

// Runs dialog 109 owned by owner; returns 1 (the dialog closes only through OK).
INT_PTR RunSelectPicturesDialog(HWND owner);

// The names an open-file dialog returned with multiple selection: the folder and the file
// names when several were chosen, or the full path alone when one was.
struct ChosenFiles {
  std::string first;               // folder, or the one full path
  std::vector<std::string> names;  // empty when one file was chosen
};
ChosenFiles SplitChosenFiles(const char* buffer, size_t size);
// folder + "\" + name, without doubling a separator the folder already ends with.
std::string JoinPath(const std::string& folder, const std::string& name);
