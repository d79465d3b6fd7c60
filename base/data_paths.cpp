#include "base/data_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>

#include "base/whole_file.h"

bool FormatPath(char* out, size_t size, const char* format, ...) {
  if (out == nullptr || size == 0) return false;
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(out, size, format, args);
  va_end(args);
  if (written < 0 || static_cast<size_t>(written) >= size) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool SystemUserDataFolder(char* out, size_t size) {
  char appData[MAX_PATH];
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
    return false;
  }
  return FormatPath(out, size, "%s\\Korrin Software\\Solvane 7.0", appData);
}

UserDataFolderFn g_userDataFolder = SystemUserDataFolder;

bool CreateFolderTree(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  // The shell's call also walks \\server\share paths: redirected application data folders
  // are common for managed standard users.
  const int result = SHCreateDirectoryExA(nullptr, path, nullptr);
  if (result == ERROR_SUCCESS) return true;
  if (result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

bool UserFolder(const char* subFolder, char* out, size_t size) {
  char folder[MAX_PATH];
  if (!g_userDataFolder(folder, sizeof folder)) return false;
  if (subFolder == nullptr || subFolder[0] == '\0') return FormatPath(out, size, "%s", folder);
  return FormatPath(out, size, "%s\\%s", folder, subFolder);
}

bool UserPath(const DataFilePlace& place, char* out, size_t size) {
  char folder[MAX_PATH + 16];
  return UserFolder(place.subFolder, folder, sizeof folder) &&
         FormatPath(out, size, "%s\\%s", folder, place.fileName);
}

bool HasMachinePath(const DataFilePlace& place) { return place.machinePath[0] != '\0'; }

}  // namespace

DataFilePlace PlaceDataFile(const char* installDir, const char* machineFolder,
                            const char* subFolder, const char* fileName) {
  DataFilePlace place = {{}, subFolder, fileName};
  if (machineFolder[0] == '\0') {
    FormatPath(place.machinePath, sizeof place.machinePath, "%s\\%s", installDir, fileName);
  } else {
    FormatPath(place.machinePath, sizeof place.machinePath, "%s\\%s\\%s", installDir,
               machineFolder, fileName);
  }
  return place;
}

bool DataFileToRead(const DataFilePlace& place, char* out, size_t size) {
  if (UserPath(place, out, size) && FileExists(out)) return true;
  return HasMachinePath(place) && FormatPath(out, size, "%s", place.machinePath);
}

bool WriteDataFile(const DataFilePlace& place, const std::string& text) {
  char userPath[MAX_PATH * 2];
  const bool haveUserPath = UserPath(place, userPath, sizeof userPath);
  if (HasMachinePath(place) && WriteWholeFile(place.machinePath, text)) {
    // The per-user copy is read first: one that stays must at least hold what was saved.
    if (!haveUserPath || DeleteFileA(userPath) || !FileExists(userPath)) return true;
    return WriteWholeFile(userPath, text);
  }
  char folder[MAX_PATH + 16];
  return haveUserPath && UserFolder(place.subFolder, folder, sizeof folder) &&
         CreateFolderTree(folder) && WriteWholeFile(userPath, text);
}
