// The Select Pictures dialog: builds the picture list of the state it is given (the
// configuration dialog's copy) from picture files and .tsl lists, with a preview of the
// selected picture. OK stores the list as the default list file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ShowState;

// Runs dialog 109 owned by owner on state's PictureList and selectedPictureIndex; returns 1
// (the dialog closes only through OK).
INT_PTR RunSelectPicturesDialog(HWND owner, ShowState& state);

// The names an open-file dialog returned with multiple selection: the folder and the file
// names when several were chosen, or the full path alone when one was.
struct ChosenFiles {
  std::string first;               // folder, or the one full path
  std::vector<std::string> names;  // empty when one file was chosen
};
ChosenFiles SplitChosenFiles(const char* buffer, size_t size);
// folder + "\" + name, without doubling a separator the folder already ends with.
std::string JoinPath(const std::string& folder, const std::string& name);
