#include "show/picture_list.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/data_paths.h"
#include "base/scoped_file.h"
#include "base/text_copy.h"
#include "base/text_encoding.h"
#include "base/whole_file.h"
#include "show/show_settings.h"

std::vector<PictureEntry> PictureList;

namespace {

bool MachineListPath(char* out, size_t size) {
  return FormatPath(out, size, "%s\\%s", g_settings.InstallDir, kDefaultListFileName);
}

bool UserListFolder(char* out, size_t size) { return g_userDataFolder(out, size); }

bool UserListPath(char* out, size_t size) {
  char folder[MAX_PATH];
  return UserListFolder(folder, sizeof folder) &&
         FormatPath(out, size, "%s\\%s", folder, kDefaultListFileName);
}

bool FileExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteList(const char* path) {
  std::string text;
  for (const PictureEntry& entry : PictureList) {
    text += ProgramTextToFile(entry.name);
    text += "\r\n";
    text += ProgramTextToFile(entry.path);
    text += "\r\n";
  }
  return WriteWholeFile(path, text);
}

}  // namespace

void LoadPictureList(const char* path, size_t* refused) {
  if (refused != nullptr) *refused = 0;
  char fileName[MAX_PATH * 2];
  if (path != nullptr) {
    // A name cut short would open another file or none.
    if (std::strlen(path) >= sizeof fileName) return;
    CopyText(fileName, path, sizeof fileName);
  } else if (!(UserListPath(fileName, sizeof fileName) && FileExists(fileName)) &&
             !MachineListPath(fileName, sizeof fileName)) {
    return;
  }
  ReadPictureListFile(fileName, PictureList, refused);
}

bool ReadPictureListFile(const char* path, std::vector<PictureEntry>& list,
                         size_t* refused) {
  if (refused != nullptr) *refused = 0;
  ScopedFile file = OpenFile(path, "r");
  if (file == nullptr) return false;
  return ReadPictureListStream(file.get(), list, refused);
}

bool SavePictureList(const char* path) {
  if (path != nullptr) return WriteList(path);

  char machinePath[MAX_PATH * 2];
  char userPath[MAX_PATH * 2];
  const bool haveUserPath = UserListPath(userPath, sizeof userPath);
  if (MachineListPath(machinePath, sizeof machinePath) && WriteList(machinePath)) {
    // A per-user copy would be read first and hide the list just written.
    if (haveUserPath) DeleteFileA(userPath);
    return true;
  }
  char folder[MAX_PATH];
  return haveUserPath && UserListFolder(folder, sizeof folder) && CreateFolderTree(folder) &&
         WriteList(userPath);
}

void AddDefaultPictures() {
  for (int n = 1; n <= kDefaultPictureCount; ++n) {
    char name[32];
    char file[32];
    char path[MAX_PATH * 2];
    std::snprintf(name, sizeof name, "defpic%d", n);
    std::snprintf(file, sizeof file, "defpic%d.jpg", n);
    // A path longer than the entry holds is cut like any other.
    std::snprintf(path, sizeof path, "%s\\data\\defpics\\%s", g_settings.InstallDir, file);
    PictureList.push_back(MakePictureEntry(name, path));
  }
}

void LoadStartUpPictureList(bool drawingMode) {
  LoadPictureList(nullptr);
  if (drawingMode && PictureList.empty()) AddDefaultPictures();
}
