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

// One whole line without its line end, of which no more is kept than any entry could use: a
// file of one huge line must not cost its size in memory. `longer` tells that more was
// dropped. False at end of file.
bool ReadLine(FILE* file, std::string& line, bool& longer) {
  constexpr size_t kKept = 1023;  // a legacy line this long is far past a field after conversion
  line.clear();
  longer = false;
  char chunk[512];
  while (std::fgets(chunk, sizeof chunk, file) != nullptr) {
    size_t length = std::strlen(chunk);
    const bool lineEnd = length > 0 && chunk[length - 1] == '\n';
    if (lineEnd) --length;
    const size_t room = kKept - line.size();
    if (length > room) longer = true;
    line.append(chunk, std::min(length, room));
    if (lineEnd) return true;
  }
  return !line.empty();
}

// Lists are UTF-8 since the program runs in UTF-8; a list that is not valid UTF-8 comes from
// before and is in the legacy code page. Decided for the whole file, which the caller then
// reads from its start.
bool IsLegacyList(FILE* file) {
  Utf8Check check;
  char chunk[65536];
  size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) check.Feed(chunk, count);
  std::rewind(file);
  return !check.Valid();
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

PictureEntry MakePictureEntry(const char* name, const char* path) {
  PictureEntry entry;
  std::memset(&entry, 0, sizeof entry);
  // Cut on a character boundary: half a character would make the rest of the text unreadable.
  std::memcpy(entry.name, name, FitText(name, sizeof entry.name - 1));
  std::memcpy(entry.path, path, FitText(path, sizeof entry.path - 1));
  return entry;
}

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
  const bool legacy = IsLegacyList(file.get());

  std::string name;
  std::string line;
  bool longer = false;
  bool haveName = false;
  bool first = true;
  while (ReadLine(file.get(), line, longer)) {
    // A byte-order mark from an editor is no part of the first name.
    if (first && !legacy && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    first = false;
    if (!haveName) {
      name = FileTextToProgram(line, legacy);
      haveName = true;
      continue;
    }
    haveName = false;
    const std::string picture = FileTextToProgram(line, legacy);
    // A path cut short would name another file or none: such an entry is left out.
    if (longer || picture.size() >= sizeof(PictureEntry::path)) {
      if (refused != nullptr) ++*refused;
      continue;
    }
    list.push_back(MakePictureEntry(name.c_str(), picture.c_str()));
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
