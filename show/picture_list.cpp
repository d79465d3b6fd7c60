#include "show/picture_list.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/data_paths.h"
#include "base/scoped_file.h"
#include "base/text_copy.h"
#include "base/text_encoding.h"
#include "base/whole_file.h"

namespace {

// The default list file: in the installation folder, or the user's copy in the user's folder.
DataFilePlace DefaultListPlace(const char* installDir) {
  return PlaceDataFile(installDir, "", "", kDefaultListFileName);
}

std::string ListText(const std::vector<PictureEntry>& list) {
  std::string text;
  for (const PictureEntry& entry : list) {
    text += ProgramTextToFile(entry.name);
    text += "\r\n";
    text += ProgramTextToFile(entry.path);
    text += "\r\n";
  }
  return text;
}

}  // namespace

void LoadPictureList(const char* installDir, const char* path, std::vector<PictureEntry>& list,
                     size_t* refused) {
  if (refused != nullptr) *refused = 0;
  char fileName[MAX_PATH * 2];
  if (path != nullptr) {
    // A name cut short would open another file or none.
    if (std::strlen(path) >= sizeof fileName) return;
    CopyText(fileName, path, sizeof fileName);
  } else if (!DataFileToRead(DefaultListPlace(installDir), fileName, sizeof fileName)) {
    return;
  }
  ReadPictureListFile(fileName, list, refused);
}

bool ReadPictureListFile(const char* path, std::vector<PictureEntry>& list,
                         size_t* refused) {
  if (refused != nullptr) *refused = 0;
  ScopedFile file = OpenFile(path, "r");
  if (file == nullptr) return false;
  return ReadPictureListStream(file.get(), list, refused);
}

bool SavePictureList(const char* installDir, const char* path,
                     const std::vector<PictureEntry>& list) {
  if (path != nullptr) return WriteWholeFile(path, ListText(list));
  return WriteDataFile(DefaultListPlace(installDir), ListText(list));
}

void AddDefaultPictures(const char* installDir, std::vector<PictureEntry>& list) {
  for (int n = 1; n <= kDefaultPictureCount; ++n) {
    char name[32];
    char file[32];
    char path[MAX_PATH * 2];
    std::snprintf(name, sizeof name, "defpic%d", n);
    std::snprintf(file, sizeof file, "defpic%d.jpg", n);
    // A path longer than the entry holds is cut like any other.
    std::snprintf(path, sizeof path, "%s\\data\\defpics\\%s", installDir, file);
    list.push_back(MakePictureEntry(name, path));
  }
}

void LoadStartUpPictureList(const char* installDir, bool drawingMode,
                            std::vector<PictureEntry>& list) {
  LoadPictureList(installDir, nullptr, list);
  if (drawingMode && list.empty()) AddDefaultPictures(installDir, list);
}
