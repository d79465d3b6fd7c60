// The pictures below a folder, for Select Pictures' "Add Folder...".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "show/picture_list.h"

// Every "*.ext" the slideshow reads, lower case: our decoders' and the system codecs' (asked
// once per process).
const std::vector<std::string>& PicturePatterns();

// The open-file filter of Add File(s): "All pictures" first, then the entries for JPEG, BMP and
// PNG the program always had, then one for each other family.
std::string PictureFilter();

// True for the names of the files the slideshow reads (PicturePatterns), in any case.
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
