#include "show/picture_list.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/data_paths.h"
#include "base/scoped_file.h"
#include "base/text_copy.h"
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

// One whole line without its line end, of which no more is kept than a field holds: an entry
// is cut to that anyway, and a file of one huge line must not cost its size in memory. False
// at end of file.
bool ReadLine(FILE* file, std::string& line) {
  constexpr size_t kKept = sizeof(PictureEntry::name) - 1;
  line.clear();
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, file) != nullptr) {
    size_t length = std::strlen(chunk);
    const bool lineEnd = length > 0 && chunk[length - 1] == '\n';
    if (lineEnd) --length;
    if (line.size() < kKept) line.append(chunk, std::min(length, kKept - line.size()));
    if (lineEnd) return true;
  }
  return !line.empty();
}

bool WriteList(const char* path) {
  std::string text;
  for (const PictureEntry& entry : PictureList) {
    text.append(entry.name, strnlen(entry.name, sizeof entry.name));
    text += "\r\n";
    text.append(entry.path, strnlen(entry.path, sizeof entry.path));
    text += "\r\n";
  }
  return WriteWholeFile(path, text);
}

}  // namespace

PictureEntry MakePictureEntry(const char* name, const char* path) {
  PictureEntry entry;
  std::memset(&entry, 0, sizeof entry);
  CopyText(entry.name, name, sizeof entry.name);
  CopyText(entry.path, path, sizeof entry.path);
  return entry;
}

void LoadPictureList(const char* path) {
  char fileName[MAX_PATH * 2];
  if (path != nullptr) {
    CopyText(fileName, path, sizeof fileName);
  } else if (!(UserListPath(fileName, sizeof fileName) && FileExists(fileName)) &&
             !MachineListPath(fileName, sizeof fileName)) {
    return;
  }
  ReadPictureListFile(fileName, PictureList);
}

bool ReadPictureListFile(const char* path, std::vector<PictureEntry>& list) {
  ScopedFile file = OpenFile(path, "r");
  if (file == nullptr) return false;

  std::string name;
  std::string line;
  bool haveName = false;
  while (ReadLine(file.get(), line)) {
    if (!haveName) {
      name = line;
      haveName = true;
    } else {
      list.push_back(MakePictureEntry(name.c_str(), line.c_str()));
      haveName = false;
    }
  }
  return std::ferror(file.get()) == 0;
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
