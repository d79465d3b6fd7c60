// The pictures below a folder, for Select Pictures' "Add Folder...".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "show/picture_list.h"

// True for the names of the files the slideshow shows: .jpg, .jpeg, .bmp and .png, in any case.
bool IsPictureFileName(const std::wstring& name);

struct FolderPictures {
  // Sorted by path as a tree reads: ignoring case, and everything inside a folder before a
  // sibling whose name merely starts with the folder's ("a\z.jpg" before "a b.jpg").
  std::vector<PictureEntry> entries;
  size_t refused = 0;                 // pictures whose path does not fit an entry
};

// Every picture in folder and its subfolders. Linked folders (junctions, symbolic links) are
// not followed: they can lead back up the tree.
FolderPictures FindFolderPictures(const std::wstring& folder);
