#include "base/data_paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

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
  char partial[1024];
  const size_t length = std::strlen(path);
  if (length == 0 || length >= sizeof partial) return false;
  for (size_t i = 0; i <= length; ++i) {
    const char c = path[i];
    if ((c == '\\' || c == '/' || c == '\0') && i > 0 && path[i - 1] != ':') {
      std::memcpy(partial, path, i);
      partial[i] = '\0';
      if (!CreateDirectoryA(partial, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesA(partial);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
          return false;
        }
      }
    }
  }
  return true;
}
