// Where the program's files are: data paths under the installation folder, and the per-user
// folder that takes the files a standard user cannot write into the installation folder.
#pragma once

#include <cstddef>

// snprintf into out; false (and out emptied) when the result would not fit.
bool FormatPath(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// "%APPDATA%\Korrin Software\Solvane 7.0", or false when the system has no such folder.
using UserDataFolderFn = bool (*)(char* out, size_t size);
extern UserDataFolderFn g_userDataFolder;
bool SystemUserDataFolder(char* out, size_t size);

// Creates every missing folder of path (a folder, not a file).
bool CreateFolderTree(const char* path);
