// The list of pictures the show draws from, and its .tsl file: name and path of each picture
// on two lines.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

struct PictureEntry {
  char name[256];  // display name, at most 255 characters
  char path[256];  // full path of the picture file
};
static_assert(sizeof(PictureEntry) == 512, "a picture entry is two 256-byte texts");

constexpr const char* kDefaultListFileName = "picsavelist.tsl";
constexpr int kDefaultPictureCount = 14;

// Appends the entries of the file (null: the default list file of installDir, or the user's
// copy) to list. A missing file changes nothing. An entry whose path is longer than a field
// holds is left out and counted in `refused`; a name that long is cut on a character boundary.
void LoadPictureList(const char* installDir, const char* path, std::vector<PictureEntry>& list,
                     size_t* refused = nullptr);

// Appends the entries of the file at path to list, as LoadPictureList does. False when the
// file could not be opened or read to its end; list may then hold part of it.
bool ReadPictureListFile(const char* path, std::vector<PictureEntry>& list,
                         size_t* refused = nullptr);

// The same from a stream opened in text mode at its start; false on a read error.
bool ReadPictureListStream(std::FILE* file, std::vector<PictureEntry>& list,
                           size_t* refused = nullptr);

// Writes list to the file (null: the default list file of installDir, or the per-user copy
// when the installation folder cannot be written). False when nothing could be written.
bool SavePictureList(const char* installDir, const char* path,
                     const std::vector<PictureEntry>& list);

// Appends defpic1 .. defpic14 from the installation data.
void AddDefaultPictures(const char* installDir, std::vector<PictureEntry>& list);

// Start-up: the default list, or the 14 default pictures when it yields none and the run
// draws pictures (configuration keeps an empty list so the user starts from nothing).
void LoadStartUpPictureList(const char* installDir, bool drawingMode,
                            std::vector<PictureEntry>& list);

// A PictureEntry from texts of any length (each cut to at most 255 bytes, never inside a
// character).
PictureEntry MakePictureEntry(const char* name, const char* path);
